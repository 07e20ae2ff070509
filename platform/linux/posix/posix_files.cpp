#include "platform/linux/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/constants.h"

namespace pavix {
namespace {

constexpr std::uint32_t kFileAttributeDirectory = 0x10;

int Descriptor(KernelHandle handle) {
    return static_cast<int>(handle);
}

}  // namespace

std::uint32_t ErrorOfErrno(int error) {
    switch (error) {
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case ENOSPC:
            return kErrorHandleDiskFull;
        case EEXIST:
            return kErrorFileExists;
        default:  // EACCES, EPERM, EROFS and whatever else refuses the file
            return kErrorAccessDenied;
    }
}

void PosixFiles::SetLastErrorFromErrno() {
    lastErrno_ = errno;
    lastError_ = ErrorOfErrno(lastErrno_);
    fromErrno_ = true;
}

FileHandle PosixFiles::CreateFileA(const char* path, std::uint32_t access, std::uint32_t,
                                   std::uint32_t creationDisposition, std::uint32_t) {
    const bool writing = (access & kGenericWrite) != 0;
    int flags = writing ? O_WRONLY : O_RDONLY;
    if (creationDisposition == kCreateAlways) {
        flags |= O_CREAT | O_TRUNC;
    } else if (creationDisposition == kCreateNew) {
        flags |= O_CREAT | O_EXCL;
    }
    const int descriptor = ::open(path, flags | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        SetLastErrorFromErrno();
        return kInvalidHandleValue;
    }
    return descriptor;
}

bool PosixFiles::ReadFile(FileHandle file, void* buffer, std::uint32_t bytesToRead,
                          std::uint32_t* bytesRead) {
    // A disk file delivers everything asked for except at its end, as the program expects.
    auto* target = static_cast<char*>(buffer);
    std::uint32_t total = 0;
    while (total < bytesToRead) {
        const ssize_t got = ::read(Descriptor(file), target + total, bytesToRead - total);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            SetLastErrorFromErrno();
            *bytesRead = total;
            return false;
        }
        if (got == 0) {
            break;
        }
        total += static_cast<std::uint32_t>(got);
    }
    *bytesRead = total;
    return true;
}

bool PosixFiles::WriteFile(FileHandle file, const void* buffer, std::uint32_t bytesToWrite,
                           std::uint32_t* bytesWritten) {
    const auto* source = static_cast<const char*>(buffer);
    std::uint32_t total = 0;
    while (total < bytesToWrite) {
        const ssize_t put = ::write(Descriptor(file), source + total, bytesToWrite - total);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            SetLastErrorFromErrno();
            *bytesWritten = total;
            return false;
        }
        total += static_cast<std::uint32_t>(put);
    }
    *bytesWritten = total;
    return true;
}

bool PosixFiles::FlushFileBuffers(FileHandle file) {
    if (::fsync(Descriptor(file)) != 0) {
        SetLastErrorFromErrno();
        return false;
    }
    return true;
}

std::uint32_t PosixFiles::GetFileSize(FileHandle file, std::uint32_t* sizeHigh) {
    struct stat status {};
    if (::fstat(Descriptor(file), &status) != 0) {
        SetLastErrorFromErrno();
        return 0xFFFFFFFFu;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (sizeHigh != nullptr) {
        *sizeHigh = static_cast<std::uint32_t>(size >> 32);
    }
    SetLastError(kErrorSuccess);
    return static_cast<std::uint32_t>(size);
}

bool PosixFiles::CloseHandle(KernelHandle handle) {
    if (::close(Descriptor(handle)) != 0) {
        SetLastErrorFromErrno();
        return false;
    }
    return true;
}

// rename replaces an existing file in one step, which is all MOVEFILE_REPLACE_EXISTING asks.
bool PosixFiles::MoveFileExA(const char* existing, const char* replacement, std::uint32_t) {
    if (std::rename(existing, replacement) != 0) {
        SetLastErrorFromErrno();
        return false;
    }
    return true;
}

std::uint32_t PosixFiles::GetFileAttributesA(const char* path) {
    struct stat status {};
    if (::stat(path, &status) != 0) {
        SetLastErrorFromErrno();
        return kInvalidFileAttributes;
    }
    return S_ISDIR(status.st_mode) ? kFileAttributeDirectory : kFileAttributeNormal;
}

// A folder is refused before the destination is touched, as the platform refuses to open one. A
// copy that fails once the destination is open takes it away: a shorter copy must not stand for
// the whole file.
bool PosixFiles::CopyFileA(const char* existing, const char* newFile, bool failIfExists) {
    const FileHandle from = CreateFileA(existing, kGenericRead, 0, kOpenExisting, 0);
    if (from == kInvalidHandleValue) {
        return false;
    }
    struct stat status {};
    if (::fstat(Descriptor(from), &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        SetLastErrorFromErrno();
        ::close(Descriptor(from));
        return false;
    }
    const int exclusive = failIfExists ? O_EXCL : O_TRUNC;
    const int to = ::open(newFile, O_WRONLY | O_CREAT | exclusive | O_CLOEXEC, 0666);
    if (to < 0) {
        SetLastErrorFromErrno();
        ::close(Descriptor(from));
        return false;
    }
    bool copied = CopyContents(from, to);
    ::close(Descriptor(from));
    if (::close(to) != 0 && copied) {
        SetLastErrorFromErrno();
        copied = false;
    }
    if (!copied) {
        ::unlink(newFile);
    }
    return copied;
}

bool PosixFiles::CopyContents(FileHandle from, FileHandle to) {
    char buffer[16384];
    for (;;) {
        std::uint32_t got = 0;
        std::uint32_t put = 0;
        if (!ReadFile(from, buffer, sizeof buffer, &got)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        if (!WriteFile(to, buffer, got, &put)) {
            return false;
        }
    }
}

bool PosixFiles::DeleteFileA(const char* path) {
    if (::unlink(path) != 0) {
        SetLastErrorFromErrno();
        return false;
    }
    return true;
}

}  // namespace pavix
