// The files, the folder of the data files, and the single-instance lock.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/linux_platform.h"

namespace pavix {
namespace {

constexpr ModuleHandle kProgramModule = 0x400000;
constexpr const char* kProgramName = "pavix";

// Copies `text` with its terminator when it fits in `size` bytes.
bool CopyWhole(const std::string& text, char* buffer, std::size_t size) {
    if (text.size() >= size) {
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

FileHandle LinuxPlatform::CreateFileA(const char* path, std::uint32_t access,
                                      std::uint32_t shareMode, std::uint32_t creationDisposition,
                                      std::uint32_t flagsAndAttributes) {
    return files_.CreateFileA(path, access, shareMode, creationDisposition, flagsAndAttributes);
}

bool LinuxPlatform::ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                             std::uint32_t* bytesRead) {
    return files_.ReadFile(file, buffer, bytesToRead, bytesRead);
}

bool LinuxPlatform::WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                              std::uint32_t* bytesWritten) {
    return files_.WriteFile(file, buffer, bytesToWrite, bytesWritten);
}

bool LinuxPlatform::FlushFileBuffers(FileHandle file) {
    return files_.FlushFileBuffers(file);
}

std::uint32_t LinuxPlatform::GetFileSize(FileHandle file, std::uint32_t* sizeHigh) {
    return files_.GetFileSize(file, sizeHigh);
}

bool LinuxPlatform::CloseHandle(KernelHandle handle) {
    // The process's pseudo handle and the token are no descriptors, nor is the lock, which stays
    // until the process ends as the mutex does.
    if (handle == GetCurrentProcess() || handle == kTokenHandle || handle == kLockHandle) {
        return true;
    }
    return files_.CloseHandle(handle);
}

bool LinuxPlatform::MoveFileExA(const char* existing, const char* replacement,
                                std::uint32_t flags) {
    return files_.MoveFileExA(existing, replacement, flags);
}

bool LinuxPlatform::CopyFileA(const char* existing, const char* newFile, bool failIfExists) {
    return files_.CopyFileA(existing, newFile, failIfExists);
}

std::uint32_t LinuxPlatform::GetFileAttributesA(const char* path) {
    return files_.GetFileAttributesA(path);
}

bool LinuxPlatform::DeleteFileA(const char* path) {
    return files_.DeleteFileA(path);
}

ModuleHandle LinuxPlatform::GetModuleHandleA(const char* moduleName) {
    return moduleName == nullptr ? kProgramModule : 0;
}

// The data files live in the configuration folder, which is what "beside the executable" means
// for the program: the module's path names a file in it.
std::uint32_t LinuxPlatform::GetModuleFileNameA(ModuleHandle, char* buffer, std::uint32_t size) {
    const std::string path = places_.configFolder + "/" + kProgramName;
    if (size == 0) {
        return 0;
    }
    if (!CopyWhole(path, buffer, size)) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        files_.SetLastError(kErrorInsufficientBuffer);
        return size;
    }
    return static_cast<std::uint32_t>(path.size());
}

bool LinuxPlatform::PathRemoveFileSpecA(char* path) {
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        const bool removed = path[0] != '\0';
        path[0] = '\0';
        return removed;
    }
    slash[slash == path ? 1 : 0] = '\0';  // the root keeps its slash
    return true;
}

bool LinuxPlatform::PathAppendA(char* path, const char* more) {
    std::string joined = path;
    std::string tail = more;
    for (char& c : tail) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (!tail.empty() && tail[0] == '/') {
        joined.clear();  // an absolute path replaces the folder
    } else if (!joined.empty() && joined.back() != '/') {
        joined += '/';
    }
    joined += tail;
    return CopyWhole(joined, path, kMaxPath);
}

// One Pavix per X display and user: a lock that the system lets go with the process. 0 when the
// lock cannot be made (no such folder, no right to write there), with the reason as last error.
KernelHandle LinuxPlatform::CreateMutexA(const void*, bool, const char*) {
    if (lockDescriptor_ < 0) {
        lockDescriptor_ =
            ::open(places_.instanceLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (lockDescriptor_ < 0) {
            files_.SetLastErrorFromErrno();
            return 0;
        }
    }
    if (!lockHeld_ && ::flock(lockDescriptor_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {  // no lock at all: nobody holds it either
            files_.SetLastErrorFromErrno();
            return 0;
        }
        files_.SetLastError(kErrorAlreadyExists);
        return kLockHandle;
    }
    lockHeld_ = true;
    // The lock names its holder, so that a second start can call it (CallRunningPavix).
    const std::string holder = std::to_string(::getpid()) + "\n";
    if (::ftruncate(lockDescriptor_, 0) != 0 ||
        ::pwrite(lockDescriptor_, holder.data(), holder.size(), 0) !=
            static_cast<ssize_t>(holder.size())) {
        std::perror("pavix: cannot name itself in its lock");  // a second start cannot call it
    }
    files_.SetLastError(kErrorSuccess);
    return kLockHandle;
}

bool LinuxPlatform::CallRunningPavix() {
    char text[32] = {};
    const ssize_t length =
        lockDescriptor_ < 0 ? -1 : ::pread(lockDescriptor_, text, sizeof text - 1, 0);
    if (length <= 0 || lockHeld_) {
        return false;
    }
    char* end = nullptr;
    const long holder = std::strtol(text, &end, 10);
    // The holder keeps the lock while it lives, so the number cannot name another process.
    return holder > 0 && end != text && *end == '\n' &&
           ::kill(static_cast<pid_t>(holder), SIGUSR1) == 0;
}

KernelHandle LinuxPlatform::FindFirstChangeNotificationA(const char* path, bool, std::uint32_t) {
    const KernelHandle handle = nextChange_;
    std::unique_ptr<FolderWatch> watch;
    if (Module() != nullptr) {
        watch = module_->WatchFolder(path, [this, handle] {
            if (const auto found = changes_.find(handle); found != changes_.end()) {
                found->second.signalled = true;
            }
        });
    }
    if (!watch) {
        files_.SetLastError(kErrorNotSupported);
        return kInvalidHandleValue;
    }
    --nextChange_;
    changes_[handle].watch = std::move(watch);
    return handle;
}

bool LinuxPlatform::FindNextChangeNotification(KernelHandle change) {
    const auto found = changes_.find(change);
    if (found == changes_.end()) {
        files_.SetLastError(kErrorInvalidHandle);
        return false;
    }
    found->second.signalled = false;
    return true;
}

bool LinuxPlatform::FindCloseChangeNotification(KernelHandle change) {
    if (changes_.erase(change) == 0) {
        files_.SetLastError(kErrorInvalidHandle);
        return false;
    }
    return true;
}

}  // namespace pavix
