// The narrow interfaces through which the core reaches its platform. Each operation keeps the
// platform's own name, argument order and numeric values; only the types are portable. A backend
// implements every group in one object (Platform), while each part of the core asks only for the
// groups it uses.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace pavix {

class ErrorApi {
public:
    virtual ~ErrorApi() = default;
    // The calling thread's last error, as the most recent failing call left it.
    virtual std::uint32_t GetLastError() = 0;
};

class HotkeyApi {
public:
    virtual ~HotkeyApi() = default;
    virtual bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                                std::uint32_t key) = 0;
    virtual bool UnregisterHotKey(WindowHandle window, std::int32_t id) = 0;
};

class KeyboardApi {
public:
    virtual ~KeyboardApi() = default;
    virtual std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) = 0;
    // Writes at most size - 1 bytes and a terminating zero; returns the bytes written.
    virtual std::int32_t GetKeyNameTextA(std::int32_t lParam, char* buffer, std::int32_t size) = 0;
};

class FileApi {
public:
    virtual ~FileApi() = default;
    virtual FileHandle CreateFileA(const char* path, std::uint32_t access, std::uint32_t shareMode,
                                   std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes) = 0;
    virtual bool ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                          std::uint32_t* bytesRead) = 0;
    virtual bool WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                           std::uint32_t* bytesWritten) = 0;
    virtual bool FlushFileBuffers(FileHandle file) = 0;
    // Returns the low 32 bits of the size and stores the high ones; 0xFFFFFFFF with a last error
    // on failure.
    virtual std::uint32_t GetFileSize(FileHandle file, std::uint32_t* sizeHigh) = 0;
    virtual bool CloseHandle(KernelHandle handle) = 0;
    virtual bool MoveFileExA(const char* existing, const char* replacement,
                             std::uint32_t flags) = 0;
    virtual bool DeleteFileA(const char* path) = 0;
    virtual ModuleHandle GetModuleHandleA(const char* moduleName) = 0;
    virtual std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer,
                                             std::uint32_t size) = 0;
    // Both work in place on a buffer of kMaxPath bytes.
    virtual bool PathRemoveFileSpecA(char* path) = 0;
    virtual bool PathAppendA(char* path, const char* more) = 0;
};

class SoundApi {
public:
    virtual ~SoundApi() = default;
    virtual bool PlaySoundA(const char* sound, ModuleHandle module, std::uint32_t flags) = 0;
};

class SystemApi {
public:
    virtual ~SystemApi() = default;
    virtual std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                        const char* parameters, const char* directory,
                                        std::int32_t showCommand) = 0;
    // With kFormatMessageAllocateBuffer the text is allocated by the platform, stored in
    // *allocated and released with LocalFree. Returns the length of the text, 0 when none.
    virtual std::uint32_t FormatMessageA(std::uint32_t flags, const void* source,
                                         std::uint32_t messageId, std::uint32_t languageId,
                                         char** allocated, std::uint32_t size) = 0;
    virtual void LocalFree(void* memory) = 0;
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
    virtual bool LockWorkStation() = 0;
    virtual bool GetVersionExA(OsVersionInfo* info) = 0;
    virtual KernelHandle GetCurrentProcess() = 0;
    virtual bool OpenProcessToken(KernelHandle process, std::uint32_t access,
                                  KernelHandle* token) = 0;
    virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid* luid) = 0;
    virtual bool AdjustTokenPrivileges(KernelHandle token, bool disableAll,
                                       const TokenPrivilege* newState) = 0;
    virtual bool PostMessageA(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
};

class ResourceApi {
public:
    virtual ~ResourceApi() = default;
    // Copies at most bufferMax - 1 bytes and a terminating zero; returns the bytes copied, 0 for
    // a missing id.
    virtual std::int32_t LoadStringA(ModuleHandle instance, std::uint32_t id, char* buffer,
                                     std::int32_t bufferMax) = 0;
    virtual std::int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption,
                                     std::uint32_t type) = 0;
};

// Everything the program asks of its platform.
class Platform : public ErrorApi,
                 public HotkeyApi,
                 public KeyboardApi,
                 public FileApi,
                 public SoundApi,
                 public SystemApi,
                 public ResourceApi {};

}  // namespace pavix
