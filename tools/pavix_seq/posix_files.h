// The file calls of the platform as the command-line tool needs them on Linux, over POSIX calls,
// with the platform's error codes. Only the two ways Pavix opens files exist: an existing file for
// reading, and a file created anew (emptied if it exists) for writing; sharing and attributes are
// the system's business here. Nothing beside the executable exists: a tool names its files.
#pragma once

#include "platform/platform.h"

namespace pavix::tool {

class PosixFiles final : public FileApi, public ErrorApi {
  public:
    std::uint32_t GetLastError() override { return lastError_; }
    FileHandle CreateFileA(const char* path, std::uint32_t access, std::uint32_t shareMode,
                           std::uint32_t creationDisposition,
                           std::uint32_t flagsAndAttributes) override;
    bool ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                  std::uint32_t* bytesRead) override;
    bool WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                   std::uint32_t* bytesWritten) override;
    bool FlushFileBuffers(FileHandle file) override;
    std::uint32_t GetFileSize(FileHandle file, std::uint32_t* sizeHigh) override;
    bool CloseHandle(KernelHandle handle) override;
    bool MoveFileExA(const char* existing, const char* replacement, std::uint32_t flags) override;
    bool CopyFileA(const char* existing, const char* newFile, bool failIfExists) override;
    std::uint32_t GetFileAttributesA(const char* path) override;
    bool DeleteFileA(const char* path) override;
    ModuleHandle GetModuleHandleA(const char*) override { return 0; }
    std::uint32_t GetModuleFileNameA(ModuleHandle, char*, std::uint32_t) override { return 0; }
    bool PathRemoveFileSpecA(char*) override { return false; }
    bool PathAppendA(char*, const char*) override { return false; }

  private:
    // Keeps the platform's code of the error that errno names.
    void SetLastErrorFromErrno();

    std::uint32_t lastError_ = 0;
};

}  // namespace pavix::tool
