// Files, modules and paths.
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

namespace pavix {

using win32::Kernel;
using win32::Module;

namespace {

// DWORD is `unsigned long` here, a distinct type from std::uint32_t of the same size: counts go
// through a native local. A null count pointer stays null.
class Count {
  public:
    explicit Count(std::uint32_t* portable) : portable_(portable) {}
    ~Count() {
        if (portable_ != nullptr) {
            *portable_ = native_;
        }
    }
    Count(const Count&) = delete;
    Count& operator=(const Count&) = delete;
    DWORD* Native() { return portable_ != nullptr ? &native_ : nullptr; }

  private:
    std::uint32_t* portable_;
    DWORD native_ = 0;
};

}  // namespace

FileHandle Win32Platform::CreateFileA(const char* path, std::uint32_t access,
                                      std::uint32_t shareMode, std::uint32_t creationDisposition,
                                      std::uint32_t flagsAndAttributes) {
    HANDLE file = ::CreateFileA(path, access, shareMode, nullptr, creationDisposition,
                                flagsAndAttributes, nullptr);
    return win32::FromNative<FileHandle>(file);
}

bool Win32Platform::ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                             std::uint32_t* bytesRead) {
    Count count(bytesRead);
    return ::ReadFile(Kernel(file), buffer, bytesToRead, count.Native(), nullptr) != FALSE;
}

bool Win32Platform::WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                              std::uint32_t* bytesWritten) {
    Count count(bytesWritten);
    return ::WriteFile(Kernel(file), buffer, bytesToWrite, count.Native(), nullptr) != FALSE;
}

bool Win32Platform::FlushFileBuffers(FileHandle file) {
    return ::FlushFileBuffers(Kernel(file)) != FALSE;
}

std::uint32_t Win32Platform::GetFileSize(FileHandle file, std::uint32_t* sizeHigh) {
    Count high(sizeHigh);
    return ::GetFileSize(Kernel(file), high.Native());
}

bool Win32Platform::CloseHandle(KernelHandle handle) {
    return ::CloseHandle(Kernel(handle)) != FALSE;
}

bool Win32Platform::MoveFileExA(const char* existing, const char* replacement,
                                std::uint32_t flags) {
    return ::MoveFileExA(existing, replacement, flags) != FALSE;
}

std::uint32_t Win32Platform::GetFileAttributesA(const char* path) {
    return ::GetFileAttributesA(path);
}

bool Win32Platform::CopyFileA(const char* existing, const char* newFile, bool failIfExists) {
    return ::CopyFileA(existing, newFile, failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Platform::DeleteFileA(const char* path) {
    return ::DeleteFileA(path) != FALSE;
}

ModuleHandle Win32Platform::GetModuleHandleA(const char* moduleName) {
    return win32::FromNative<ModuleHandle>(::GetModuleHandleA(moduleName));
}

std::uint32_t Win32Platform::GetModuleFileNameA(ModuleHandle module, char* buffer,
                                                std::uint32_t size) {
    return ::GetModuleFileNameA(Module(module), buffer, size);
}

bool Win32Platform::PathRemoveFileSpecA(char* path) {
    return ::PathRemoveFileSpecA(path) != FALSE;
}

bool Win32Platform::PathAppendA(char* path, const char* more) {
    return ::PathAppendA(path, more) != FALSE;
}

KernelHandle Win32Platform::FindFirstChangeNotificationA(const char* path, bool watchSubtree,
                                                         std::uint32_t filter) {
    return win32::FromNative<KernelHandle>(
        ::FindFirstChangeNotificationA(path, watchSubtree ? TRUE : FALSE, filter));
}

bool Win32Platform::FindNextChangeNotification(KernelHandle change) {
    return ::FindNextChangeNotification(Kernel(change)) != FALSE;
}

bool Win32Platform::FindCloseChangeNotification(KernelHandle change) {
    return ::FindCloseChangeNotification(Kernel(change)) != FALSE;
}

}  // namespace pavix
