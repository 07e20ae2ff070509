#include "editors/error_boxes.h"

#include "resources/ids.h"
#include "resources/texts.h"
#include "storage/backup.h"

namespace pavix {
namespace {

bool IsReadProblem(FileProblem problem) {
    return problem != FileProblem::kOpenForWriteFailed && problem != FileProblem::kWriteFailed;
}

}  // namespace

void ErrorBoxes::ReportFileProblem(FileProblem problem) {
    const std::string text = LoadText(platform_, FileProblemTextId(problem));
    ShowError(platform_, IsReadProblem(problem) ? text + readNote_ : text);
}

void ErrorBoxes::ReportHotkeyRefused(KeyChord chord) {
    ShowError(platform_,
              LoadText(platform_, ids::kTextRegisterHotkeyFailed) + ChordLabel(platform_, chord));
}

void ErrorBoxes::ReportLaunchFailed(const std::string& reason) {
    ShowError(platform_, LoadText(platform_, ids::kTextExecuteFailed) + reason);
}

void ErrorBoxes::ReportBackupFailed(const std::string& path) {
    ShowError(platform_, LoadText(platform_, ids::kTextWriteFailed) + "\n" + BackupPathFor(path));
}

std::string BackupNote(Platform& platform, const std::string& path) {
    return "\n" + LoadText(platform, ids::kTextBackupKept) + BackupPathFor(path);
}

}  // namespace pavix
