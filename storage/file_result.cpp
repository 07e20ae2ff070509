#include "storage/file_result.h"

#include "resources/ids.h"

namespace pavix {

std::uint32_t FileProblemTextId(FileProblem problem) {
    switch (problem) {
        case FileProblem::kInvalidFormat:
        case FileProblem::kDamagedRecord:
            return ids::kTextInvalidFormat;
        case FileProblem::kVersionMismatch:
            return ids::kTextVersionMismatch;
        case FileProblem::kReadFailed:
            return ids::kTextReadFailed;
        case FileProblem::kOpenForWriteFailed:
            return ids::kTextOpenForWriteFailed;
        case FileProblem::kWriteFailed:
            break;
    }
    return ids::kTextWriteFailed;
}

}  // namespace pavix
