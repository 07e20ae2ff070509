// The file calls of the platform on Linux, over POSIX calls, with the platform's error codes; the
// command-line tool uses them as they are, the program adds the folder of its data files. Only the
// two ways Pavix opens files exist: an existing file for reading, and a file created anew (emptied
// if it exists) for writing; sharing and attributes are the system's business here.
#pragma once

#include "platform/constants.h"
#include "platform/platform.h"

namespace pavix {

// The platform's error code for an errno value.
std::uint32_t ErrorOfErrno(int error);

class PosixFiles : public FileApi, public ErrorApi {
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
    // Nothing lies beside a tool's executable: a tool names its files.
    ModuleHandle GetModuleHandleA(const char*) override { return 0; }
    std::uint32_t GetModuleFileNameA(ModuleHandle, char*, std::uint32_t) override { return 0; }
    bool PathRemoveFileSpecA(char*) override { return false; }
    bool PathAppendA(char*, const char*) override { return false; }
    // A tool watches nothing: the program's watch needs its main loop (linux_platform.h).
    KernelHandle FindFirstChangeNotificationA(const char*, bool, std::uint32_t) override {
        SetLastError(kErrorNotSupported);
        return kInvalidHandleValue;
    }
    bool FindNextChangeNotification(KernelHandle) override { return false; }
    bool FindCloseChangeNotification(KernelHandle) override { return false; }

    void SetLastError(std::uint32_t error) {
        lastError_ = error;
        fromErrno_ = false;
    }
    // Keeps the platform's code of the error that errno names, and errno for the system's wording.
    void SetLastErrorFromErrno();
    // The errno behind the last error, or 0 when the error came from elsewhere.
    int LastErrno() const { return fromErrno_ ? lastErrno_ : 0; }

  private:
    // Reads `from` to its end into `to`; false at the first read or write that fails.
    bool CopyContents(FileHandle from, FileHandle to);

    std::uint32_t lastError_ = 0;
    bool fromErrno_ = false;
    int lastErrno_ = 0;
};

}  // namespace pavix
