// Results of opening or loading one of the data files.
#pragma once

namespace pavix {

enum FileResult : int {
    kFileOk = 0,        // opened or loaded
    kFileMissing = 1,   // cannot be opened for reading: treated as absent, nothing shown
    kFileUnusable = 2,  // unusable; the error has been shown already
};

}  // namespace pavix
