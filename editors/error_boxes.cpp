#include "editors/error_boxes.h"

#include "resources/text_ids.h"
#include "resources/texts.h"
#include "storage/backup.h"

namespace pavix {
namespace {

std::uint32_t TextOf(FileProblem problem) {
    switch (problem) {
        case FileProblem::kInvalidFormat:
        case FileProblem::kDamagedRecord:
            return kTextInvalidFormat;
        case FileProblem::kVersionMismatch:
            return kTextVersionMismatch;
        case FileProblem::kReadFailed:
            return kTextReadFailed;
        case FileProblem::kOpenForWriteFailed:
            return kTextOpenForWriteFailed;
        case FileProblem::kWriteFailed:
            break;
    }
    return kTextWriteFailed;
}

bool IsReadProblem(FileProblem problem) {
    return problem != FileProblem::kOpenForWriteFailed && problem != FileProblem::kWriteFailed;
}

}  // namespace

void ErrorBoxes::ReportFileProblem(FileProblem problem) {
    const std::string text = LoadText(platform_, TextOf(problem));
    ShowError(platform_, IsReadProblem(problem) ? text + readNote_ : text);
}

void ErrorBoxes::ReportHotkeyRefused(KeyChord chord) {
    ShowError(platform_,
              LoadText(platform_, kTextRegisterHotkeyFailed) + ChordLabel(platform_, chord));
}

void ErrorBoxes::ReportLaunchFailed(const std::string& reason) {
    ShowError(platform_, LoadText(platform_, kTextExecuteFailed) + reason);
}

void ErrorBoxes::ReportBackupFailed(const std::string& path) {
    ShowError(platform_, LoadText(platform_, kTextWriteFailed) + "\n" + BackupPathFor(path));
}

std::string BackupNote(Platform& platform, const std::string& path) {
    return "\n" + LoadText(platform, kTextBackupKept) + BackupPathFor(path);
}

}  // namespace pavix
