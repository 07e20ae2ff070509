// What opening or loading one of the data files came to, and what storage tells its caller about
// a data file that it cannot use: storage shows nothing itself.
#pragma once

#include <type_traits>

#include "platform/platform.h"

namespace pavix {

enum class FileResult : int {
    kOk = 0,        // opened or loaded
    kMissing = 1,   // cannot be opened for reading: treated as absent, nothing reported
    kUnusable = 2,  // unusable; the problem has been reported already
};

enum class FileProblem {
    // Opening for reading: the header (or Config.dat's body) is not what the writer produces.
    kInvalidFormat,
    kVersionMismatch,
    kReadFailed,
    // Sequence.dat: a record after a valid header is damaged (reported by the reader's caller).
    kDamagedRecord,
    // Saving: the new file cannot be created; a write, the flush or the replacement failed.
    kOpenForWriteFailed,
    kWriteFailed,
};

// Told of each problem at the moment it is found, with no data file left open, so that whatever
// the receiver shows cannot hold a file open.
class FileProblemReporter {
  public:
    virtual ~FileProblemReporter() = default;
    virtual void ReportFileProblem(FileProblem problem) = 0;
};

// The platform calls that storage makes: the file group, and the last error that a failed
// GetFileSize leaves.
struct FileSystem {
    // Any object that offers both groups, such as the whole platform.
    template <typename Api, typename = std::enable_if_t<std::is_base_of_v<FileApi, Api> &&
                                                        std::is_base_of_v<ErrorApi, Api>>>
    FileSystem(Api& api) : files(api), errors(api) {}  // NOLINT(google-explicit-constructor)
    FileApi& files;
    ErrorApi& errors;
};

}  // namespace pavix
