#include "fake/fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fake/key_names.h"
#include "platform/constants.h"

namespace pavix::fake {
namespace {

constexpr std::uint32_t kMapVkToVsc = 0;
constexpr KernelHandle kCurrentProcess = -1;
constexpr KernelHandle kToken = 0x7001;

std::string Text(const char* text) {
    return text ? text : "";
}

// The ANSI file calls take at most kMaxPath - 1 characters of path.
bool TooLong(const char* path) {
    return path != nullptr && std::strlen(path) >= static_cast<std::size_t>(kMaxPath);
}

void CopyText(const std::string& text, char* buffer, std::uint32_t size) {
    if (size == 0) {
        return;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace

FakePlatform::FakePlatform() {
    version.size = sizeof(OsVersionInfo);
    version.majorVersion = 5;
    version.minorVersion = 1;
    version.buildNumber = 2600;
    version.platformId = kVerPlatformWin32Nt;
    systemMessages[kErrorFileNotFound] = "The system cannot find the file specified.\r\n";
    systemMessages[kErrorPathNotFound] = "The system cannot find the path specified.\r\n";
    systemMessages[kErrorAccessDenied] = "Access is denied.\r\n";
}

FakePlatform::~FakePlatform() {
    for (char* allocation : allocations_) {
        delete[] allocation;
    }
}

Calls FakePlatform::CallsNamed(const std::string& name) const {
    return CallsNamed({name});
}

Calls FakePlatform::CallsNamed(std::initializer_list<std::string> names) const {
    Calls selected;
    for (const Call& call : calls) {
        if (names.size() == 0 || std::find(names.begin(), names.end(), call.name) != names.end()) {
            selected.push_back(call);
        }
    }
    return selected;
}

std::string FakePlatform::ModuleDirectory() const {
    return modulePath.substr(0, modulePath.rfind('\\') + 1);
}

void FakePlatform::Script(const std::string& name, std::int64_t result, std::uint32_t error,
                          std::function<bool(const Call&)> match, int times) {
    rules_.push_back({name, result, error, std::move(match), times});
}

std::optional<std::int64_t> FakePlatform::Record(Call call) {
    std::optional<std::int64_t> answer;
    for (Rule& rule : rules_) {
        if (rule.times == 0 || rule.name != call.name || (rule.match && !rule.match(call))) {
            continue;
        }
        if (rule.times > 0) {
            --rule.times;
        }
        lastError = rule.error;
        answer = rule.result;
        break;
    }
    if (recording) {
        calls.push_back(std::move(call));
    }
    return answer;
}

std::uint32_t FakePlatform::GetLastError() {
    if (auto scripted = Record(Call("GetLastError"))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return lastError;
}

bool FakePlatform::RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                  std::uint32_t key) {
    if (auto scripted = Record(Call("RegisterHotKey", window, id, modifiers, key))) {
        return *scripted != 0;
    }
    const auto chord = std::make_pair(modifiers, key);
    const bool inUse = std::any_of(hotkeys.begin(), hotkeys.end(),
                                   [&](const auto& entry) { return entry.second == chord; });
    if (inUse || takenChords.count(chord) != 0) {
        return Fail(kErrorHotkeyAlreadyRegistered);
    }
    if (hotkeys.count(id) != 0) {
        return Fail(kErrorHotkeyAlreadyRegistered);
    }
    hotkeys[id] = chord;
    return true;
}

bool FakePlatform::UnregisterHotKey(WindowHandle window, std::int32_t id) {
    if (auto scripted = Record(Call("UnregisterHotKey", window, id))) {
        return *scripted != 0;
    }
    return hotkeys.erase(id) != 0;
}

std::uint32_t FakePlatform::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    if (auto scripted = Record(Call("MapVirtualKeyA", code, mapType))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return mapType == kMapVkToVsc ? ScanCodeOf(code) : 0;
}

std::int32_t FakePlatform::GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) {
    if (auto scripted = Record(Call("GetKeyNameTextA", lParam, size))) {
        return static_cast<std::int32_t>(*scripted);
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(lParam);
    const char* name = NameOfScanCode((bits >> 16) & 0xFF, (bits & 0x01000000u) != 0);
    if (name == nullptr || size <= 0) {
        return 0;
    }
    CopyText(name, buffer, static_cast<std::uint32_t>(size));
    return static_cast<std::int32_t>(std::strlen(buffer));
}

FileHandle FakePlatform::CreateFileA(const char* path, std::uint32_t access,
                                     std::uint32_t shareMode, std::uint32_t creationDisposition,
                                     std::uint32_t flagsAndAttributes) {
    if (auto scripted = Record(Call("CreateFileA", path, access, shareMode, creationDisposition,
                                    flagsAndAttributes))) {
        return static_cast<FileHandle>(*scripted);
    }
    if (TooLong(path)) {
        lastError = kErrorFilenameExcedRange;
        return kInvalidHandleValue;
    }
    const std::string name = Text(path);
    const bool busy = std::any_of(openFiles_.begin(), openFiles_.end(),
                                  [&](const auto& entry) { return entry.second.path == name; });
    if (busy) {
        lastError = kErrorSharingViolation;
        return kInvalidHandleValue;
    }
    if (creationDisposition == kOpenExisting && files.count(name) == 0) {
        lastError = kErrorFileNotFound;
        return kInvalidHandleValue;
    }
    if (creationDisposition == kCreateNew && files.count(name) != 0) {
        lastError = kErrorFileExists;
        return kInvalidHandleValue;
    }
    if (creationDisposition == kCreateAlways || creationDisposition == kCreateNew) {
        files[name].clear();
    }
    const FileHandle handle = nextHandle_++;
    openFiles_[handle] = OpenFile{name, 0, (access & kGenericWrite) != 0};
    return handle;
}

bool FakePlatform::ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                            std::uint32_t* bytesRead) {
    if (auto scripted = Record(Call("ReadFile", file, bytesToRead))) {
        *bytesRead = 0;
        return *scripted != 0;
    }
    *bytesRead = 0;
    auto open = openFiles_.find(file);
    if (open == openFiles_.end() || open->second.writing) {
        return Fail(6);  // ERROR_INVALID_HANDLE
    }
    const std::string& data = files[open->second.path];
    std::uint64_t end = data.size();
    if (auto limit = readLimits_.find(open->second.path); limit != readLimits_.end()) {
        end = std::min(end, limit->second);
    }
    const std::uint64_t position = open->second.position;
    const std::uint64_t available = end > position ? end - position : 0;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, bytesToRead));
    std::memcpy(buffer, data.data() + position, count);
    open->second.position += count;
    *bytesRead = count;
    return true;
}

bool FakePlatform::WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                             std::uint32_t* bytesWritten) {
    if (auto scripted = Record(Call("WriteFile", file, bytesToWrite))) {
        *bytesWritten = 0;
        return *scripted != 0;
    }
    *bytesWritten = 0;
    auto open = openFiles_.find(file);
    if (open == openFiles_.end() || !open->second.writing) {
        return Fail(6);
    }
    std::string& data = files[open->second.path];
    const std::uint64_t position = open->second.position;
    std::uint64_t count = bytesToWrite;
    if (auto limit = writeLimits_.find(open->second.path); limit != writeLimits_.end()) {
        count = limit->second > position ? std::min(count, limit->second - position) : 0;
    }
    if (data.size() < position + count) {
        data.resize(position + count);
    }
    std::memcpy(&data[position], buffer, count);
    open->second.position += count;
    *bytesWritten = static_cast<std::uint32_t>(count);
    if (count < bytesToWrite) {
        return Fail(kErrorHandleDiskFull);
    }
    return true;
}

bool FakePlatform::FlushFileBuffers(FileHandle file) {
    if (auto scripted = Record(Call("FlushFileBuffers", file))) {
        return *scripted != 0;
    }
    return openFiles_.count(file) != 0;
}

std::uint32_t FakePlatform::GetFileSize(FileHandle file, std::uint32_t* sizeHigh) {
    if (auto scripted = Record(Call("GetFileSize", file))) {
        if (sizeHigh) {
            *sizeHigh = 0;
        }
        return static_cast<std::uint32_t>(*scripted);
    }
    auto open = openFiles_.find(file);
    if (open == openFiles_.end()) {
        lastError = 6;
        return 0xFFFFFFFFu;
    }
    const std::uint64_t size = files[open->second.path].size();
    if (sizeHigh) {
        *sizeHigh = static_cast<std::uint32_t>(size >> 32);
    }
    return static_cast<std::uint32_t>(size);
}

bool FakePlatform::CloseHandle(KernelHandle handle) {
    if (auto scripted = Record(Call("CloseHandle", handle))) {
        return *scripted != 0;
    }
    return openFiles_.erase(handle) != 0 || handle == kToken;
}

std::uint32_t FakePlatform::TransferError(const char* existing, const char* target) const {
    if (TooLong(existing) || TooLong(target)) {
        return kErrorFilenameExcedRange;
    }
    const std::string from = Text(existing);
    const std::string to = Text(target);
    const bool busy = std::any_of(openFiles_.begin(), openFiles_.end(), [&](const auto& entry) {
        return entry.second.path == from || entry.second.path == to;
    });
    if (busy) {
        return kErrorSharingViolation;
    }
    return files.count(from) == 0 ? kErrorFileNotFound : kErrorSuccess;
}

bool FakePlatform::MoveFileExA(const char* existing, const char* replacement, std::uint32_t flags) {
    if (auto scripted = Record(Call("MoveFileExA", existing, replacement, flags))) {
        return *scripted != 0;
    }
    if (const std::uint32_t error = TransferError(existing, replacement); error != kErrorSuccess) {
        return Fail(error);
    }
    const std::string from = Text(existing);
    const std::string to = Text(replacement);
    if (files.count(to) != 0 && (flags & kMoveFileReplaceExisting) == 0) {
        return Fail(kErrorAlreadyExists);
    }
    files[to] = std::move(files[from]);
    files.erase(from);
    return true;
}

// Files held open are there all the same: only their contents are out of reach.
std::uint32_t FakePlatform::GetFileAttributesA(const char* path) {
    if (auto scripted = Record(Call("GetFileAttributesA", path))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    if (TooLong(path)) {
        lastError = kErrorFilenameExcedRange;
        return kInvalidFileAttributes;
    }
    if (files.count(Text(path)) == 0) {
        lastError = kErrorFileNotFound;
        return kInvalidFileAttributes;
    }
    return kFileAttributeNormal;
}

bool FakePlatform::CopyFileA(const char* existing, const char* newFile, bool failIfExists) {
    if (auto scripted = Record(Call("CopyFileA", existing, newFile, failIfExists))) {
        return *scripted != 0;
    }
    if (const std::uint32_t error = TransferError(existing, newFile); error != kErrorSuccess) {
        return Fail(error);
    }
    const std::string from = Text(existing);
    const std::string to = Text(newFile);
    if (failIfExists && files.count(to) != 0) {
        return Fail(kErrorFileExists);
    }
    files[to] = files[from];
    return true;
}

bool FakePlatform::DeleteFileA(const char* path) {
    if (auto scripted = Record(Call("DeleteFileA", path))) {
        return *scripted != 0;
    }
    if (TooLong(path)) {
        return Fail(kErrorFilenameExcedRange);
    }
    return files.erase(Text(path)) != 0 || Fail(kErrorFileNotFound);
}

ModuleHandle FakePlatform::GetModuleHandleA(const char* moduleName) {
    if (auto scripted = Record(Call("GetModuleHandleA", moduleName))) {
        return static_cast<ModuleHandle>(*scripted);
    }
    return moduleName == nullptr ? kInstance : 0;
}

std::uint32_t FakePlatform::GetModuleFileNameA(ModuleHandle module, char* buffer,
                                               std::uint32_t size) {
    if (auto scripted = Record(Call("GetModuleFileNameA", module, size))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    CopyText(modulePath, buffer, size);
    return static_cast<std::uint32_t>(std::strlen(buffer));
}

bool FakePlatform::PathRemoveFileSpecA(char* path) {
    if (auto scripted = Record(Call("PathRemoveFileSpecA", path))) {
        return *scripted != 0;
    }
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr) {
        const bool changed = path[0] != '\0';
        path[0] = '\0';
        return changed;
    }
    // A root such as "C:\" keeps its backslash.
    if (slash == path + 2 && path[1] == ':') {
        ++slash;
    }
    const bool changed = *slash != '\0';
    *slash = '\0';
    return changed;
}

KernelHandle FakePlatform::FindFirstChangeNotificationA(const char* path, bool watchSubtree,
                                                        std::uint32_t filter) {
    if (auto scripted = Record(Call("FindFirstChangeNotificationA", path, watchSubtree, filter))) {
        return static_cast<KernelHandle>(*scripted);
    }
    changeHandles.insert(nextChangeHandle_);
    return nextChangeHandle_++;
}

bool FakePlatform::FindNextChangeNotification(KernelHandle change) {
    if (auto scripted = Record(Call("FindNextChangeNotification", change))) {
        return *scripted != 0;
    }
    return changeHandles.count(change) != 0 || Fail(6);  // ERROR_INVALID_HANDLE
}

bool FakePlatform::FindCloseChangeNotification(KernelHandle change) {
    if (auto scripted = Record(Call("FindCloseChangeNotification", change))) {
        return *scripted != 0;
    }
    return changeHandles.erase(change) != 0 || Fail(6);
}

bool FakePlatform::PathAppendA(char* path, const char* more) {
    if (auto scripted = Record(Call("PathAppendA", path, more))) {
        return *scripted != 0;
    }
    std::string joined = path;
    std::string tail = Text(more);
    while (!tail.empty() && tail.front() == '\\') {
        tail.erase(0, 1);
    }
    if (!joined.empty() && joined.back() != '\\' && !tail.empty()) {
        joined += '\\';
    }
    joined += tail;
    if (joined.size() >= static_cast<std::size_t>(kMaxPath)) {
        return false;
    }
    std::memcpy(path, joined.c_str(), joined.size() + 1);
    return true;
}

// Every code page is Latin-1 here: each byte is the code point of the same value, and a code
// point above 0xFF has no equivalent.
std::int32_t FakePlatform::MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                               const char* multiByte, std::int32_t multiByteCount,
                                               char16_t* wide, std::int32_t wideCount) {
    const std::size_t count =
        multiByteCount < 0 ? std::strlen(multiByte) + 1 : static_cast<std::size_t>(multiByteCount);
    if (auto scripted = Record(Call("MultiByteToWideChar", codePage, flags,
                                    std::string(multiByte, count), wideCount))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (count == 0) {
        lastError = kErrorInvalidParameter;
        return 0;
    }
    if (wideCount == 0) {
        return static_cast<std::int32_t>(count);
    }
    if (static_cast<std::size_t>(wideCount) < count) {
        lastError = kErrorInsufficientBuffer;
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i) {
        wide[i] = static_cast<unsigned char>(multiByte[i]);
    }
    return static_cast<std::int32_t>(count);
}

std::int32_t FakePlatform::WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags,
                                               const char16_t* wide, std::int32_t wideCount,
                                               char* multiByte, std::int32_t multiByteCount,
                                               const char* defaultChar, bool* usedDefaultChar) {
    std::size_t count = 0;
    if (wideCount < 0) {
        while (wide[count] != 0) {
            ++count;
        }
        ++count;
    } else {
        count = static_cast<std::size_t>(wideCount);
    }
    if (auto scripted =
            Record(Call("WideCharToMultiByte", codePage, flags, count, multiByteCount))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (count == 0) {
        lastError = kErrorInvalidParameter;
        return 0;
    }
    std::string bytes;
    bool used = false;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = wide[i];
        if (unit <= 0xFF) {
            bytes += static_cast<char>(unit);
            continue;
        }
        // A surrogate pair is one character, so it gets one default character.
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < count && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            ++i;
        }
        bytes += defaultChar != nullptr ? *defaultChar : '?';
        used = true;
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = used;
    }
    if (multiByteCount == 0) {
        return static_cast<std::int32_t>(bytes.size());
    }
    if (static_cast<std::size_t>(multiByteCount) < bytes.size()) {
        lastError = kErrorInsufficientBuffer;
        return 0;
    }
    std::memcpy(multiByte, bytes.data(), bytes.size());
    return static_cast<std::int32_t>(bytes.size());
}

bool FakePlatform::PlaySoundA(const char* sound, ModuleHandle module, std::uint32_t flags) {
    if (auto scripted = Record(Call("PlaySoundA", sound, module, flags))) {
        return *scripted != 0;
    }
    return true;
}

std::intptr_t FakePlatform::ShellExecuteA(WindowHandle owner, const char* operation,
                                          const char* file, const char* parameters,
                                          const char* directory, std::int32_t showCommand) {
    if (auto scripted = Record(
            Call("ShellExecuteA", owner, operation, file, parameters, directory, showCommand))) {
        return static_cast<std::intptr_t>(*scripted);
    }
    return 42;
}

std::uint32_t FakePlatform::FormatMessageA(std::uint32_t flags, const void* source,
                                           std::uint32_t messageId, std::uint32_t languageId,
                                           char** allocated, std::uint32_t size) {
    if (auto scripted = Record(Call("FormatMessageA", flags, source == nullptr ? 0 : 1, messageId,
                                    languageId, size))) {
        *allocated = nullptr;
        return static_cast<std::uint32_t>(*scripted);
    }
    *allocated = nullptr;
    auto message = systemMessages.find(messageId);
    if (message == systemMessages.end()) {
        lastError = 317;  // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    char* text = new char[message->second.size() + 1];
    std::memcpy(text, message->second.c_str(), message->second.size() + 1);
    allocations_.insert(text);
    *allocated = text;
    return static_cast<std::uint32_t>(message->second.size());
}

void FakePlatform::LocalFree(void* memory) {
    Record(Call("LocalFree", memory == nullptr ? 0 : 1));
    auto found = allocations_.find(static_cast<char*>(memory));
    if (found != allocations_.end()) {
        delete[] * found;
        allocations_.erase(found);
    }
}

bool FakePlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    if (auto scripted = Record(Call("ExitWindowsEx", flags, reason))) {
        return *scripted != 0;
    }
    return true;
}

bool FakePlatform::SetSystemPowerState(bool suspend, bool force) {
    if (auto scripted = Record(Call("SetSystemPowerState", suspend, force))) {
        return *scripted != 0;
    }
    return true;
}

bool FakePlatform::LockWorkStation() {
    if (auto scripted = Record(Call("LockWorkStation"))) {
        return *scripted != 0;
    }
    return true;
}

bool FakePlatform::GetVersionExA(OsVersionInfo* info) {
    if (auto scripted = Record(Call("GetVersionExA", info->size))) {
        return *scripted != 0;
    }
    if (info->size != sizeof(OsVersionInfo)) {
        return Fail(122);  // ERROR_INSUFFICIENT_BUFFER
    }
    *info = version;
    return true;
}

KernelHandle FakePlatform::GetCurrentProcess() {
    Record(Call("GetCurrentProcess"));
    return kCurrentProcess;
}

bool FakePlatform::OpenProcessToken(KernelHandle process, std::uint32_t access,
                                    KernelHandle* token) {
    if (auto scripted = Record(Call("OpenProcessToken", process, access))) {
        *token = 0;
        return *scripted != 0;
    }
    *token = kToken;
    return true;
}

bool FakePlatform::LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) {
    if (auto scripted = Record(Call("LookupPrivilegeValueA", systemName, name))) {
        return *scripted != 0;
    }
    luid->lowPart = 19;  // SE_SHUTDOWN_PRIVILEGE
    luid->highPart = 0;
    return true;
}

bool FakePlatform::AdjustTokenPrivileges(KernelHandle token, bool disableAll,
                                         const TokenPrivilege* newState) {
    if (auto scripted =
            Record(Call("AdjustTokenPrivileges", token, disableAll, newState->privilegeCount,
                        newState->luid.lowPart, newState->luid.highPart, newState->attributes))) {
        return *scripted != 0;
    }
    lastError = lastErrorAfterAdjust;
    return true;
}

bool FakePlatform::PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (auto scripted = Record(Call("PostMessageA", window, message, wParam, lParam))) {
        return *scripted != 0;
    }
    if (window == kFileDialog && fileDialogOwner_ && message == kWmCommand && wParam == kIdCancel) {
        fileDialogCancelled_ = true;
    }
    return true;
}

std::int32_t FakePlatform::LoadStringA(ModuleHandle instance, std::uint32_t id, char* buffer,
                                       std::int32_t bufferMax) {
    if (auto scripted = Record(Call("LoadStringA", instance, id, bufferMax))) {
        return static_cast<std::int32_t>(*scripted);
    }
    std::string text;
    if (auto override = stringOverrides_.find(id); override != stringOverrides_.end()) {
        text = override->second;
    } else if (const char* found = resources::FindString(language, id)) {
        text = found;
    } else {
        if (bufferMax > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    if (bufferMax <= 0) {
        return 0;
    }
    CopyText(text, buffer, static_cast<std::uint32_t>(bufferMax));
    return static_cast<std::int32_t>(std::strlen(buffer));
}

std::int32_t FakePlatform::MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                                       std::uint32_t type) {
    messageBoxes.push_back({Text(text), Text(caption), type});
    if (auto scripted = Record(Call("MessageBoxA", owner, text, caption, type))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (whileMessageBoxOpen) {
        whileMessageBoxOpen(MessageBox{Text(text), Text(caption), type});
    }
    return kIdOk;
}

}  // namespace pavix::fake

namespace pavix::fake {
namespace {

constexpr std::uint32_t kQuitMarker = 0x0012;  // WM_QUIT
constexpr KernelHandle kMutex = 0x5001;
constexpr std::uint16_t kClassAtom = 0xC001;

}  // namespace

std::intptr_t FakePlatform::Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    auto found = windows.find(window);
    return found == windows.end() ? 0 : found->second->WindowProc(window, message, wParam, lParam);
}

KernelHandle FakePlatform::CreateMutexA(const void* attributes, bool initialOwner,
                                        const char* name) {
    if (auto scripted =
            Record(Call("CreateMutexA", attributes == nullptr ? 0 : 1, initialOwner, name))) {
        return static_cast<KernelHandle>(*scripted);
    }
    lastError = mutexTaken ? kErrorAlreadyExists : kErrorSuccess;
    return kMutex;
}

std::int32_t FakePlatform::CoInitialize(const void* reserved) {
    if (auto scripted = Record(Call("CoInitialize", reserved == nullptr ? 0 : 1))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return 0;
}

void FakePlatform::CoUninitialize() {
    Record(Call("CoUninitialize"));
}

bool FakePlatform::InitCommonControlsEx(std::uint32_t size, std::uint32_t classes) {
    if (auto scripted = Record(Call("InitCommonControlsEx", size, classes))) {
        return *scripted != 0;
    }
    return true;
}

std::uint32_t FakePlatform::RegisterWindowMessageA(const char* name) {
    if (auto scripted = Record(Call("RegisterWindowMessageA", name))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return kTaskbarCreatedMessage;
}

std::uint16_t FakePlatform::RegisterClassExA(const WindowClass& windowClass) {
    if (auto scripted = Record(Call("RegisterClassExA", windowClass.className, windowClass.instance,
                                    windowClass.cursorId, windowClass.background))) {
        return static_cast<std::uint16_t>(*scripted);
    }
    return kClassAtom;
}

WindowHandle FakePlatform::CreateWindowExA(std::uint32_t exStyle, const char* className,
                                           const char* windowName, std::uint32_t style,
                                           std::int32_t x, std::int32_t y, std::int32_t width,
                                           std::int32_t height, WindowHandle parent,
                                           MenuHandle menu, ModuleHandle instance,
                                           WindowHandler* handler) {
    if (auto scripted = Record(Call("CreateWindowExA", exStyle, className, windowName, style, x, y,
                                    width, height, parent, menu, instance))) {
        return static_cast<WindowHandle>(*scripted);
    }
    // The first top-level window with a handler is the main window; every other window gets a
    // handle of its own.
    const bool main = parent == 0 && handler != nullptr && windows.count(kMainWindow) == 0;
    const WindowHandle handle = main ? kMainWindow : nextWindow_;
    if (!main) {
        nextWindow_ += 0x10;
        FakeWindow& made = createdWindows[handle];
        made.className = Text(className);
        made.text = Text(windowName);
        made.exStyle = exStyle;
        made.style = style;
        made.rect = Rect{x, y, x + width, y + height};
        made.parent = parent;
        made.visible = (style & kWsVisible) != 0;
    }
    if (handler == nullptr) {
        return handle;
    }
    windows[handle] = handler;
    if (handler->WindowProc(handle, kWmCreate, 0, 0) == -1) {
        windows.erase(handle);
        createdWindows.erase(handle);
        return 0;
    }
    return handle;
}

std::int32_t FakePlatform::GetMessageA(Message* message, WindowHandle window,
                                       std::uint32_t filterMin, std::uint32_t filterMax) {
    if (auto scripted = Record(Call("GetMessageA", window, filterMin, filterMax))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (queue.empty() || queue.front().message == kQuitMarker) {
        *message = queue.empty() ? Message{0, kQuitMarker, 0, 0} : queue.front();
        if (!queue.empty()) {
            queue.pop_front();
        }
        return 0;
    }
    *message = queue.front();
    queue.pop_front();
    return 1;
}

bool FakePlatform::PeekMessageA(Message* message, WindowHandle window, std::uint32_t filterMin,
                                std::uint32_t filterMax, std::uint32_t removeFlags) {
    if (auto scripted = Record(Call("PeekMessageA", window, filterMin, filterMax, removeFlags))) {
        return *scripted != 0;
    }
    if (folderChanges > 0 && !changeHandles.empty()) {
        return false;
    }
    *message = queue.empty() ? Message{0, kQuitMarker, 0, 0} : queue.front();
    if (!queue.empty()) {
        queue.pop_front();
    }
    return true;
}

std::uint32_t FakePlatform::MsgWaitForMultipleObjectsEx(std::uint32_t count,
                                                        const KernelHandle* handles,
                                                        std::uint32_t milliseconds,
                                                        std::uint32_t wakeMask,
                                                        std::uint32_t flags) {
    if (auto scripted = Record(Call("MsgWaitForMultipleObjectsEx", count,
                                    count > 0 ? handles[0] : 0, milliseconds, wakeMask, flags))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    if (count > 0 && folderChanges > 0 && changeHandles.count(handles[0]) != 0) {
        --folderChanges;
        return kWaitObject0;
    }
    return kWaitObject0 + count;
}

bool FakePlatform::TranslateMessage(const Message* message) {
    Record(Call("TranslateMessage", message->message));
    return false;
}

std::intptr_t FakePlatform::DispatchMessageA(const Message* message) {
    Record(Call("DispatchMessageA", message->window, message->message, message->wParam,
                message->lParam));
    return Send(message->window, message->message, message->wParam, message->lParam);
}

std::intptr_t FakePlatform::DefWindowProcA(WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam, std::intptr_t lParam) {
    if (auto scripted = Record(Call("DefWindowProcA", window, message, wParam, lParam))) {
        return static_cast<std::intptr_t>(*scripted);
    }
    return 0;
}

bool FakePlatform::DestroyWindow(WindowHandle window) {
    if (auto scripted = Record(Call("DestroyWindow", window))) {
        return *scripted != 0;
    }
    if (FakeDialog* dialog = dialogs.Find(window); dialog != nullptr && dialogs.IsDialog(window)) {
        for (WindowHandle child : ChildrenOf(window)) {
            DestroyWindow(child);
        }
        return dialogs.Destroy(window, activeWindow);
    }
    if (window == focusedWindow) {
        focusedWindow = 0;
    }
    const bool created = createdWindows.count(window) != 0;
    auto found = windows.find(window);
    if (found == windows.end() && !created) {
        return false;
    }
    // Child and owned windows go first, as the platform's do.
    for (WindowHandle child : ChildrenOf(window)) {
        DestroyWindow(child);
    }
    found = windows.find(window);
    if (found != windows.end()) {
        found->second->WindowProc(window, kWmDestroy, 0, 0);
        windows.erase(window);
    }
    createdWindows.erase(window);
    return true;
}

void FakePlatform::PostQuitMessage(std::int32_t exitCode) {
    Record(Call("PostQuitMessage", exitCode));
    queue.push_back(Message{0, kQuitMarker, static_cast<std::uintptr_t>(exitCode), 0});
}

std::uintptr_t FakePlatform::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t elapse,
                                      const void* timerProc) {
    if (auto scripted =
            Record(Call("SetTimer", window, id, elapse, timerProc == nullptr ? 0 : 1))) {
        return static_cast<std::uintptr_t>(*scripted);
    }
    return id;
}

bool FakePlatform::KillTimer(WindowHandle window, std::uintptr_t id) {
    if (auto scripted = Record(Call("KillTimer", window, id))) {
        return *scripted != 0;
    }
    return true;
}

WindowHandle FakePlatform::GetActiveWindow() {
    if (auto scripted = Record(Call("GetActiveWindow"))) {
        return static_cast<WindowHandle>(*scripted);
    }
    return activeWindow;
}

WindowHandle FakePlatform::GetWindow(WindowHandle window, std::uint32_t command) {
    if (auto scripted = Record(Call("GetWindow", window, command))) {
        return static_cast<WindowHandle>(*scripted);
    }
    return window == kFileDialog && command == kGwOwner && fileDialogOwner_ ? *fileDialogOwner_ : 0;
}

bool FakePlatform::SetForegroundWindow(WindowHandle window) {
    if (auto scripted = Record(Call("SetForegroundWindow", window))) {
        return *scripted != 0;
    }
    return true;
}

std::intptr_t FakePlatform::DialogBoxParamA(ModuleHandle instance, std::uint32_t templateId,
                                            WindowHandle owner, DialogHandler* dialog,
                                            std::intptr_t initParam) {
    if (auto scripted = Record(Call("DialogBoxParamA", instance, templateId, owner, initParam))) {
        return static_cast<std::intptr_t>(*scripted);
    }
    return dialogRunner ? dialogRunner(templateId, dialog) : kIdCancel;
}

bool FakePlatform::MessageBeep(std::uint32_t type) {
    if (auto scripted = Record(Call("MessageBeep", type))) {
        return *scripted != 0;
    }
    return true;
}

WindowHandle FakePlatform::FindWindowA(const char* className, const char* windowName) {
    if (auto scripted = Record(Call("FindWindowA", className, windowName))) {
        return static_cast<WindowHandle>(*scripted);
    }
    return Text(className) == "Shell_TrayWnd" ? taskbar : 0;
}

WindowHandle FakePlatform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                         const char* className, const char* windowName) {
    if (auto scripted = Record(Call("FindWindowExA", parent, childAfter, className, windowName))) {
        return static_cast<WindowHandle>(*scripted);
    }
    if (parent == 0 && childAfter == 0 && Text(className) == kDialogClass && fileDialogOwner_) {
        return kFileDialog;
    }
    const bool found = parent != 0 && parent == taskbar && Text(className) == "TrayNotifyWnd";
    return found ? notificationArea : 0;
}

namespace {

// What GetSystemMetrics reports at 96 DPI.
std::int32_t MetricAtStandardDpi(std::int32_t index) {
    switch (index) {
        case kSmCxIcon:
        case kSmCyIcon:
            return 32;
        case kSmCxSmIcon:
        case kSmCySmIcon:
            return 16;
        case kSmCxVScroll:
            return 17;
        default:
            return 0;
    }
}

std::int32_t AtDpi(std::int32_t pixels, std::uint32_t dpi) {
    return static_cast<std::int32_t>(pixels * static_cast<std::int64_t>(dpi) / kStandardDpi);
}

}  // namespace

std::int32_t FakePlatform::GetSystemMetrics(std::int32_t index) {
    if (auto scripted = Record(Call("GetSystemMetrics", index))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return AtDpi(MetricAtStandardDpi(index), systemDpi);
}

std::int32_t FakePlatform::GetSystemMetricsForDpi(std::int32_t index, std::uint32_t atDpi) {
    if (auto scripted = Record(Call("GetSystemMetricsForDpi", index, atDpi))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return AtDpi(MetricAtStandardDpi(index), atDpi);
}

IconHandle FakePlatform::LoadImageA(ModuleHandle instance, std::uint32_t resourceId,
                                    std::uint32_t type, std::int32_t width, std::int32_t height,
                                    std::uint32_t flags) {
    if (auto scripted =
            Record(Call("LoadImageA", instance, resourceId, type, width, height, flags))) {
        return static_cast<IconHandle>(*scripted);
    }
    return 0x3000 + resourceId;
}

bool FakePlatform::DestroyIcon(IconHandle icon) {
    if (auto scripted = Record(Call("DestroyIcon", icon))) {
        return *scripted != 0;
    }
    return true;
}

bool FakePlatform::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData* data) {
    if (auto scripted = Record(Call("Shell_NotifyIconA", message, data->cbSize, data->hWnd,
                                    data->uID, data->uFlags, data->uCallbackMessage, data->hIcon,
                                    std::string(data->szTip, strnlen(data->szTip, 64))))) {
        return *scripted != 0;
    }
    if (message == kNimDelete) {
        return trayIcons.erase(data->uID) != 0;
    }
    if ((message == kNimModify) != (trayIcons.count(data->uID) != 0)) {
        return false;  // adding twice or changing an icon that is not there
    }
    trayIcons[data->uID] = *data;
    return true;
}

bool FakePlatform::GetCursorPos(Point* point) {
    if (auto scripted = Record(Call("GetCursorPos"))) {
        return *scripted != 0;
    }
    *point = cursor;
    return true;
}

MenuHandle FakePlatform::LoadMenuA(ModuleHandle instance, std::uint32_t resourceId) {
    if (auto scripted = Record(Call("LoadMenuA", instance, resourceId))) {
        return static_cast<MenuHandle>(*scripted);
    }
    return 0x4000 + resourceId;
}

MenuHandle FakePlatform::GetSubMenu(MenuHandle menu, std::int32_t position) {
    if (auto scripted = Record(Call("GetSubMenu", menu, position))) {
        return static_cast<MenuHandle>(*scripted);
    }
    return menu + 0x100 + static_cast<MenuHandle>(position);
}

std::int32_t FakePlatform::EnableMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t flags) {
    if (auto scripted = Record(Call("EnableMenuItem", menu, id, flags))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return 0;
}

std::int32_t FakePlatform::TrackPopupMenu(MenuHandle menu, std::uint32_t flags, std::int32_t x,
                                          std::int32_t y, std::int32_t reserved, WindowHandle owner,
                                          const void* rect) {
    if (auto scripted = Record(
            Call("TrackPopupMenu", menu, flags, x, y, reserved, owner, rect == nullptr ? 0 : 1))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (menuChoice == 0) {
        return 0;
    }
    queue.push_back(Message{owner, kWmCommand, menuChoice, 0});
    return 1;
}

bool FakePlatform::DestroyMenu(MenuHandle menu) {
    if (auto scripted = Record(Call("DestroyMenu", menu))) {
        return *scripted != 0;
    }
    return true;
}

std::int32_t FakePlatform::SHGetFolderPathA(WindowHandle owner, std::int32_t folder,
                                            KernelHandle token, std::uint32_t flags, char* path) {
    if (auto scripted = Record(Call("SHGetFolderPathA", owner, folder, token, flags))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if ((folder & ~kCsidlFlagCreate) != kCsidlStartup) {
        return kEFail;
    }
    std::snprintf(path, kMaxPath, "%s", startupFolder.c_str());
    return kSOk;
}

std::int32_t FakePlatform::SaveShellLinkA(const char* linkPath, const char* target,
                                          const char* workingFolder) {
    if (auto scripted = Record(Call("SaveShellLinkA", linkPath, target, workingFolder))) {
        return static_cast<std::int32_t>(*scripted);
    }
    files[Text(linkPath)] = ShellLinkContents(target, workingFolder);
    return kSOk;
}

}  // namespace pavix::fake

namespace pavix::fake {
namespace {

std::string DescribeParameter(std::uint32_t message, std::intptr_t lParam) {
    if (message == kCbAddString) {
        return FormatArg(reinterpret_cast<const char*>(lParam));
    }
    if (message == kLvmInsertColumnA) {
        const auto* column = reinterpret_cast<const ListViewColumn*>(lParam);
        return "{" + FormatArg(column->cx) + ", " + FormatArg(column->pszText) + "}";
    }
    if (message == kLvmSetItemState) {
        const auto* item = reinterpret_cast<const ListViewItem*>(lParam);
        return "{" + FormatArg(item->state) + ", " + FormatArg(item->stateMask) + "}";
    }
    return FormatArg(lParam);
}

// GetDlgItemInt's reading: blanks, a sign when signed, then only digits and blanks, within the
// range of the asked kind.
std::optional<std::uint32_t> ParseDialogNumber(const std::string& text, bool isSigned) {
    std::size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const bool negative = isSigned && text[at] == '-';
    at += negative ? 1 : 0;
    const std::size_t end = std::min(text.find_first_not_of("0123456789", at), text.size());
    if (end == at || text.find_first_not_of(' ', end) != std::string::npos) {
        return std::nullopt;
    }
    const std::size_t significant = std::min(text.find_first_not_of('0', at), end - 1);
    const std::string digits = text.substr(significant, end - significant);
    const long long limit = isSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL;
    if (digits.size() > 10 || std::stoll(digits) > limit) {
        return std::nullopt;
    }
    const long long magnitude = std::stoll(digits);
    return static_cast<std::uint32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

void FakePlatform::UseFakeDialogs() {
    useFakeDialogs_ = true;
    dialogs.destroyChildren = [this](WindowHandle dialog) {
        for (WindowHandle child : ChildrenOf(dialog)) {
            DestroyWindow(child);
        }
    };
    dialogRunner = [this](std::uint32_t templateId, DialogHandler* handler) {
        return dialogs.Run(templateId, handler, activeWindow);
    };
}

WindowHandle FakePlatform::GetDlgItem(WindowHandle dialog, std::int32_t id) {
    if (auto scripted = Record(Call("GetDlgItem", dialog, id))) {
        return static_cast<WindowHandle>(*scripted);
    }
    FakeDialog* found = dialogs.Find(dialog);
    return found != nullptr && dialogs.IsDialog(dialog) ? found->ItemHandle(id) : 0;
}

std::intptr_t FakePlatform::SendDlgItemMessageA(WindowHandle dialog, std::int32_t id,
                                                std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
    Call call("SendDlgItemMessageA", dialog, id, message, wParam);
    call.args.push_back(DescribeParameter(message, lParam));
    if (auto scripted = Record(std::move(call))) {
        return static_cast<std::intptr_t>(*scripted);
    }
    FakeDialog* found = dialogs.Find(dialog);
    return found != nullptr ? found->Send(id, message, wParam, lParam) : 0;
}

std::intptr_t FakePlatform::SendMessageA(WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) {
    Call call("SendMessageA", window, message, wParam);
    call.args.push_back(DescribeParameter(message, lParam));
    if (auto scripted = Record(std::move(call))) {
        return static_cast<std::intptr_t>(*scripted);
    }
    auto created = createdWindows.find(window);
    if (created != createdWindows.end()) {
        if (message == kWmSetFont) {
            created->second.font = static_cast<GdiObject>(wParam);
        }
        return 0;
    }
    FakeDialog* found = dialogs.Find(window);
    if (found == nullptr) {
        return 0;
    }
    return dialogs.IsDialog(window)
               ? found->SendToDialog(message, wParam, lParam)
               : found->Send(dialogs.ControlId(window), message, wParam, lParam);
}

bool FakePlatform::SetDlgItemTextA(WindowHandle dialog, std::int32_t id, const char* text) {
    if (auto scripted = Record(Call("SetDlgItemTextA", dialog, id, text))) {
        return *scripted != 0;
    }
    FakeDialog* found = dialogs.Find(dialog);
    if (found == nullptr) {
        return false;
    }
    found->Control(id).text = Text(text);
    return true;
}

std::uint32_t FakePlatform::GetDlgItemInt(WindowHandle dialog, std::int32_t id, bool* translated,
                                          bool isSigned) {
    if (translated != nullptr) {
        *translated = false;
    }
    if (auto scripted = Record(Call("GetDlgItemInt", dialog, id, isSigned))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    FakeDialog* found = dialogs.Find(dialog);
    const auto value = found ? ParseDialogNumber(found->Text(id), isSigned) : std::nullopt;
    if (translated != nullptr) {
        *translated = value.has_value();
    }
    return value.value_or(0);
}

bool FakePlatform::SetDlgItemInt(WindowHandle dialog, std::int32_t id, std::uint32_t value,
                                 bool isSigned) {
    if (auto scripted = Record(Call("SetDlgItemInt", dialog, id, value, isSigned))) {
        return *scripted != 0;
    }
    FakeDialog* found = dialogs.Find(dialog);
    if (found == nullptr) {
        return false;
    }
    found->Control(id).text =
        isSigned ? std::to_string(static_cast<std::int32_t>(value)) : std::to_string(value);
    return true;
}

std::int32_t FakePlatform::GetWindowTextLengthA(WindowHandle window) {
    if (auto scripted = Record(Call("GetWindowTextLengthA", window))) {
        return static_cast<std::int32_t>(*scripted);
    }
    FakeDialog* found = dialogs.Find(window);
    return found ? static_cast<std::int32_t>(found->Text(dialogs.ControlId(window)).size()) : 0;
}

std::int32_t FakePlatform::GetWindowTextA(WindowHandle window, char* buffer,
                                          std::int32_t maxCount) {
    if (auto scripted = Record(Call("GetWindowTextA", window, maxCount))) {
        return static_cast<std::int32_t>(*scripted);
    }
    FakeDialog* found = dialogs.Find(window);
    if (found == nullptr || maxCount <= 0) {
        return 0;
    }
    CopyText(found->Text(dialogs.ControlId(window)), buffer, static_cast<std::uint32_t>(maxCount));
    return static_cast<std::int32_t>(std::strlen(buffer));
}

bool FakePlatform::EnableWindow(WindowHandle window, bool enable) {
    if (auto scripted = Record(Call("EnableWindow", window, enable))) {
        return *scripted != 0;
    }
    FakeDialog* found = dialogs.Find(window);
    if (found == nullptr) {
        return false;
    }
    FakeControl& control = found->Control(dialogs.ControlId(window));
    const bool wasDisabled = !control.enabled;
    control.enabled = enable;
    return wasDisabled;
}

WindowHandle FakePlatform::SetFocus(WindowHandle window) {
    if (auto scripted = Record(Call("SetFocus", window))) {
        return static_cast<WindowHandle>(*scripted);
    }
    // A window with a handler hears of the focus coming and going, as the platform's do.
    const WindowHandle previousWindow = focusedWindow;
    if (previousWindow != 0 && previousWindow != window) {
        focusedWindow = 0;
        Send(previousWindow, kWmKillFocus, window, 0);
    }
    if (windows.count(window) != 0) {
        if (previousWindow != window) {
            focusedWindow = window;
            Send(window, kWmSetFocus, previousWindow, 0);
        }
        return previousWindow;
    }
    FakeDialog* found = dialogs.Find(window);
    if (found == nullptr) {
        return 0;
    }
    const WindowHandle previous = found->focus != 0 ? found->ItemHandle(found->focus) : 0;
    found->focus = dialogs.ControlId(window);
    return previous;
}

bool FakePlatform::GetClientRect(WindowHandle window, Rect* rect) {
    if (auto scripted = Record(Call("GetClientRect", window))) {
        return *scripted != 0;
    }
    *rect = Rect{0, 0, FakeControl::kClientWidth, FakeControl::kClientHeight};
    return dialogs.Find(window) != nullptr;
}

bool FakePlatform::InvalidateRect(WindowHandle window, const Rect* rect, bool erase) {
    if (auto scripted = Record(Call("InvalidateRect", window, rect != nullptr, erase))) {
        return *scripted != 0;
    }
    FakeDialog* found = dialogs.Find(window);
    if (found == nullptr) {
        return false;
    }
    ++found->Control(dialogs.ControlId(window)).redraws;
    return true;
}

bool FakePlatform::EndDialog(WindowHandle dialog, std::intptr_t result) {
    if (auto scripted = Record(Call("EndDialog", dialog, result))) {
        return *scripted != 0;
    }
    FakeDialog* found = dialogs.Find(dialog);
    if (found == nullptr || !dialogs.IsDialog(dialog)) {
        return false;
    }
    found->ended = true;
    found->result = result;
    return true;
}

bool FakePlatform::GetOpenFileNameA(OpenFileName* openFileName) {
    return ChooseFileName("GetOpenFileNameA", openFileName);
}

bool FakePlatform::GetSaveFileNameA(OpenFileName* openFileName) {
    return ChooseFileName("GetSaveFileNameA", openFileName);
}

bool FakePlatform::ChooseFileName(const char* name, OpenFileName* openFileName) {
    std::string filter;
    for (const char* part = openFileName->lpstrFilter; part && *part; part += strlen(part) + 1) {
        filter += (filter.empty() ? "" : "|") + std::string(part);
    }
    if (auto scripted = Record(Call(name, openFileName->hwndOwner, filter, openFileName->lpstrFile,
                                    openFileName->nMaxFile, openFileName->Flags,
                                    openFileName->lpstrTitle, openFileName->lpstrDefExt))) {
        return *scripted != 0;
    }
    std::optional<std::string> choice = std::move(dialogs.fileChoice);
    dialogs.fileChoice.reset();
    fileDialogOwner_ = openFileName->hwndOwner;
    fileDialogCancelled_ = false;
    if (whileFileDialogOpen) {
        whileFileDialogOpen();
    }
    fileDialogOwner_.reset();
    if (!choice || fileDialogCancelled_ || openFileName->nMaxFile == 0) {
        return false;
    }
    CopyText(*choice, openFileName->lpstrFile, openFileName->nMaxFile);
    return true;
}

}  // namespace pavix::fake
