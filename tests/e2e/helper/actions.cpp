#include "actions.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include "dialog_driver.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

constexpr DWORD kSendTimeoutMs = 2000;
// Controls of Wine's message box template: the text and the icon.
constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 1088;
constexpr int kMessageButtonIds[] = {IDOK,  IDCANCEL, IDABORT,    IDRETRY,   IDIGNORE,
                                     IDYES, IDNO,     IDTRYAGAIN, IDCONTINUE};
constexpr DWORD kExitWaitMs = 10000;

INPUT KeyInput(std::uint16_t virtualKey, bool release) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags =
        (release ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

std::vector<std::uint16_t> ModifierKeys(std::uint16_t modifiers) {
    std::vector<std::uint16_t> keys;
    if (modifiers & kControl) {
        keys.push_back(VK_CONTROL);
    }
    if (modifiers & kAlt) {
        keys.push_back(VK_MENU);
    }
    if (modifiers & kShift) {
        keys.push_back(VK_SHIFT);
    }
    if (modifiers & kWin) {
        keys.push_back(VK_LWIN);
    }
    return keys;
}

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length)) {
        return std::wstring();
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
        return std::wstring();
    }
    text.resize(copied);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 63);
    return name;
}

struct EnumState {
    DWORD processId = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* state = reinterpret_cast<EnumState*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (state->processId == 0 || owner == state->processId) {
        state->windows.push_back(window);
    }
    return TRUE;
}

std::string Describe(const BoxText& box) {
    return "\"" + Utf8(box.caption) + "\" / \"" + Utf8(box.text) + "\"";
}

}  // namespace

HWND FindHintWindow(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        if (ClassName(window) == L"PavixHints") {
            return window;
        }
    }
    return nullptr;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(WindowText(child));
    }
    return texts;
}

std::wstring TextOf(HWND window) {
    return WindowText(window);
}

std::vector<HWND> TopLevelWindows(DWORD processId) {
    EnumState state;
    state.processId = processId;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size,
                        nullptr, nullptr);
    return result;
}

std::string Hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "0x%X", static_cast<unsigned>(value));
    return buffer;
}

bool PressChords(const std::vector<Chord>& chords) {
    std::vector<INPUT> inputs;
    for (const Chord& chord : chords) {
        const std::vector<std::uint16_t> modifiers = ModifierKeys(chord.modifiers);
        for (std::uint16_t key : modifiers) {
            inputs.push_back(KeyInput(key, false));
        }
        inputs.push_back(KeyInput(chord.virtualKey, false));
        inputs.push_back(KeyInput(chord.virtualKey, true));
        for (auto key = modifiers.rbegin(); key != modifiers.rend(); ++key) {
            inputs.push_back(KeyInput(*key, true));
        }
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

DWORD ProbeChord(const Chord& chord) {
    constexpr int kProbeId = 0x4FFF;
    if (!RegisterHotKey(nullptr, kProbeId, chord.modifiers, chord.virtualKey)) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    UnregisterHotKey(nullptr, kProbeId);
    return 0;
}

HotkeyHold::~HotkeyHold() {
    ReleaseAll();
}

bool HotkeyHold::Take(const Chord& chord) {
    const int id = nextId_++;
    if (!RegisterHotKey(nullptr, id, chord.modifiers, chord.virtualKey)) {
        return false;
    }
    ids_.push_back(id);
    return true;
}

void HotkeyHold::ReleaseAll() {
    for (int id : ids_) {
        UnregisterHotKey(nullptr, id);
    }
    ids_.clear();
}

// Labels of ordinary dialogs carry the id 0xFFFF as well; the icon control is the message
// box's own.
bool IsMessageBox(HWND window) {
    return ClassName(window) == L"#32770" && GetDlgItem(window, kMessageTextId) != nullptr &&
           GetDlgItem(window, kMessageIconId) != nullptr;
}

std::vector<HWND> FindMessageBoxes(DWORD processId) {
    std::vector<HWND> boxes;
    for (HWND window : TopLevelWindows(processId)) {
        if (IsWindowVisible(window) && IsMessageBox(window)) {
            boxes.push_back(window);
        }
    }
    return boxes;
}

bool ReadMessageBox(HWND box, BoxText* out) {
    HWND text = GetDlgItem(box, kMessageTextId);
    if (text == nullptr) {
        return false;
    }
    out->caption = WindowText(box);
    out->text = WindowText(text);
    out->hasOwner = GetWindow(box, GW_OWNER) != nullptr;
    HWND icon = GetDlgItem(box, kMessageIconId);
    DWORD_PTR iconHandle = 0;
    out->hasIcon = icon != nullptr && IsWindowVisible(icon) &&
                   SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                       &iconHandle) &&
                   iconHandle != 0;
    out->okOnly = true;
    for (int id : kMessageButtonIds) {
        HWND button = GetDlgItem(box, id);
        const bool shown = button != nullptr && IsWindowVisible(button);
        out->okOnly = out->okOnly && (id == IDOK ? shown : !shown);
    }
    return true;
}

bool DismissMessageBox(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok != nullptr) {
        PostMessageW(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

Verdict ReadAndDismiss(DWORD processId, BoxText* out) {
    std::vector<HWND> boxes;
    if (!WaitUntil([&] {
            boxes = FindMessageBoxes(processId);
            return !boxes.empty();
        })) {
        return Fail("no message box appeared");
    }
    if (!ReadMessageBox(boxes.front(), out)) {
        return Fail("the message box has no text control");
    }
    if (!DismissMessageBox(boxes.front())) {
        return Fail("the message box " + Describe(*out) + " did not close on OK");
    }
    return Pass();
}

Verdict CheckErrorBoxForm(const BoxText& box) {
    if (box.hasOwner || !box.hasIcon || !box.okOnly) {
        return Fail("the error box " + Describe(box) + " should have no owner (" +
                    (box.hasOwner ? "has one" : "none") + "), an icon (" +
                    (box.hasIcon ? "shown" : "none") + ") and OK as its only button (" +
                    (box.okOnly ? "yes" : "no") + ")");
    }
    return Pass();
}

Verdict ExpectErrorBox(DWORD processId, const std::wstring& expectedText) {
    BoxText box;
    Verdict verdict = ReadAndDismiss(processId, &box);
    if (!verdict.passed) {
        return Fail("expected the error box \"" + Utf8(expectedText) + "\": " + verdict.reason);
    }
    if (box.caption != kErrorCaption || box.text != expectedText) {
        return Fail("expected the error box \"" + Utf8(kErrorCaption) + "\" / \"" +
                    Utf8(expectedText) + "\", saw " + Describe(box));
    }
    return CheckErrorBoxForm(box);
}

HWND FindPopupMenu(DWORD processId) {
    for (HWND window : TopLevelWindows(processId)) {
        if (IsWindowVisible(window) && ClassName(window) == L"#32768") {
            return window;
        }
    }
    return nullptr;
}

bool PostMenuCommand(HWND window, UINT commandId) {
    return PostMessageW(window, WM_COMMAND, commandId, 0) != FALSE;
}

bool PostTaskbarCreated(HWND target) {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message != 0 && PostMessageA(target, message, 0, 0) != FALSE;
}

std::vector<HWND> FindPavixWindows(DWORD processId) {
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows(processId)) {
        if (ClassName(window) != L"#32770" && WindowText(window) == L"Pavix") {
            found.push_back(window);
        }
    }
    return found;
}

std::uint32_t HandleValue(HWND window) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window));
}

PavixProcess::~PavixProcess() {
    End();
}

Verdict PavixProcess::Start(const std::string& exePath, const std::string& currentDir) {
    End();
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.c_str(), &startup, &info)) {
        return Fail("cannot start " + exePath + " (error " + std::to_string(GetLastError()) + ")");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    window_ = nullptr;
    return Pass();
}

Verdict PavixProcess::WaitForWindow() {
    std::vector<HWND> windows;
    const bool found = WaitUntil([&] {
        windows = FindPavixWindows(processId_);
        return !windows.empty() || !IsRunning();
    });
    if (!found || windows.empty()) {
        DWORD code = 0;
        if (process_ != nullptr && GetExitCodeProcess(process_, &code) && code != STILL_ACTIVE) {
            return Fail("Pavix ended with exit code " + std::to_string(code) +
                        " before its window \"Pavix\" appeared");
        }
        return Fail("no window titled \"Pavix\" appeared");
    }
    window_ = windows.front();
    return Pass();
}

bool PavixProcess::IsRunning() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool PavixProcess::WaitForExit(DWORD capMs, DWORD* exitCode) {
    if (process_ == nullptr || WaitForSingleObject(process_, capMs) != WAIT_OBJECT_0) {
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    if (exitCode != nullptr) {
        *exitCode = code;
    }
    return true;
}

Verdict PavixProcess::End() {
    if (process_ == nullptr) {
        return Pass();
    }
    Verdict verdict;
    auto note = [&verdict](const std::string& problem) {
        if (verdict.passed) {
            verdict = Fail(problem);
        } else {
            verdict.reason += "; " + problem;
        }
    };
    auto dismissOpenBoxes = [&] {
        for (HWND box : FindMessageBoxes(processId_)) {
            BoxText text;
            ReadMessageBox(box, &text);
            note("unexpected message box " + Describe(text));
            DismissMessageBox(box);
        }
    };
    // A scenario that stopped half-way may leave dialogs open. Cancel is posted to all of them
    // at once: the innermost ends first and each outer one as its loop resumes, so that Exit
    // never arrives under a modal loop.
    auto closeOpenDialogs = [&] {
        const std::vector<HWND> dialogs = FindDialogs(processId_);
        if (dialogs.empty()) {
            return;
        }
        std::string titles;
        for (HWND dialog : dialogs) {
            titles += (titles.empty() ? "\"" : ", \"") + Utf8(WindowTitle(dialog)) + "\"";
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        note("dialog(s) left open: " + titles);
        if (!WaitUntil([&] {
                dismissOpenBoxes();
                return FindDialogs(processId_).empty();
            })) {
            note("the dialogs left open did not close on Cancel");
        }
    };
    if (IsRunning()) {
        dismissOpenBoxes();
        closeOpenDialogs();
        if (window_ == nullptr) {
            const std::vector<HWND> windows = FindPavixWindows(processId_);
            window_ = windows.empty() ? nullptr : windows.front();
        }
        if (window_ != nullptr) {
            PostMenuCommand(window_, kMenuExit);
        }
        const bool ended = WaitUntil(
            [&] {
                dismissOpenBoxes();
                return !IsRunning();
            },
            kExitWaitMs);
        if (!ended) {
            note("Pavix did not end after the menu command Exit; terminated");
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, kExitWaitMs);
        } else {
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            if (code != 0) {
                note("Pavix ended with exit code " + std::to_string(code) + " after Exit");
            }
        }
    }
    Close();
    return verdict;
}

void PavixProcess::Close() {
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
    process_ = nullptr;
    processId_ = 0;
    window_ = nullptr;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                               &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadFileBytes(const std::string& path, Bytes* bytes) {
    // Pavix holds its files without sharing while it reads or replaces them; a reader here waits
    // that moment out as a second program would, and reports any other error at once.
    HANDLE file = INVALID_HANDLE_VALUE;
    WaitUntil([&] {
        file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
    });
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bytes->clear();
    std::uint8_t buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof(buffer), &got, nullptr) != FALSE) && got > 0) {
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
    CloseHandle(file);
    return ok;
}

Verdict ExpectFileBytes(const std::string& path, const Bytes& expected) {
    Bytes seen;
    if (!ReadFileBytes(path, &seen)) {
        return Fail("cannot read " + path + " (error " + std::to_string(GetLastError()) + ")");
    }
    const auto mismatch = std::mismatch(seen.begin(), seen.end(), expected.begin(), expected.end());
    if (mismatch.first == seen.end() && mismatch.second == expected.end()) {
        return Pass();
    }
    const std::size_t offset = static_cast<std::size_t>(mismatch.first - seen.begin());
    auto byteAt = [offset](const Bytes& bytes) {
        return offset < bytes.size() ? Hex(static_cast<std::uint8_t>(bytes[offset]))
                                     : std::string("the end");
    };
    return Fail(path + " holds " + std::to_string(seen.size()) + " bytes, expected " +
                std::to_string(expected.size()) + "; the first difference is at offset " +
                std::to_string(offset) + ": " + byteAt(seen) + ", expected " + byteAt(expected));
}

Verdict ExpectChordsFree(const std::vector<Chord>& chords, bool free, const std::string& when) {
    for (const Chord& chord : chords) {
        const DWORD error = ProbeChord(chord);
        if (free && error != 0) {
            return Fail(when + ": chord " + Hex(chord.virtualKey) +
                        " is still registered (RegisterHotKey error " + std::to_string(error) +
                        ")");
        }
        if (!free && error != kErrorHotkeyAlreadyRegistered) {
            return Fail(when + ": chord " + Hex(chord.virtualKey) +
                        (error == 0 ? std::string(" is not registered")
                                    : " gave RegisterHotKey error " + std::to_string(error)) +
                        ", expected it held by Pavix");
        }
    }
    return Pass();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadShellLink(const std::string& link, std::string* target, std::string* folder) {
    const bool initialized = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* shellLink = nullptr;
    IPersistFile* file = nullptr;
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkA, reinterpret_cast<void**>(&shellLink)));
    read = read &&
           SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    wchar_t widePath[MAX_PATH];
    read = read && MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, widePath, MAX_PATH) > 0 &&
           SUCCEEDED(file->Load(widePath, STGM_READ));
    char path[MAX_PATH] = {};
    char workingFolder[MAX_PATH] = {};
    read = read && SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)) &&
           SUCCEEDED(shellLink->GetWorkingDirectory(workingFolder, MAX_PATH));
    if (file != nullptr) {
        file->Release();
    }
    if (shellLink != nullptr) {
        shellLink->Release();
    }
    if (initialized) {
        CoUninitialize();
    }
    *target = path;
    *folder = workingFolder;
    return read;
}

std::string FolderListing(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) {
        listing += (listing.empty() ? "" : ", ") + name;
    }
    return listing;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lines;
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    CloseHandle(file);
    std::string line;
    for (char c : content) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    return lines;
}

bool WaitForLines(const std::string& path, std::size_t count) {
    return WaitUntil([&] { return ReadLines(path).size() >= count; });
}

bool WaitForChildren(DWORD parentId) {
    return WaitUntil([parentId] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE) {
            return false;
        }
        bool childAlive = false;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32First(snapshot, &entry); more && !childAlive;
             more = Process32Next(snapshot, &entry)) {
            childAlive = entry.th32ParentProcessID == parentId && entry.th32ProcessID != parentId;
        }
        CloseHandle(snapshot);
        return !childAlive;
    });
}

}  // namespace pavix_e2e
