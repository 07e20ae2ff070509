#include "editors/error_boxes.h"

#include <algorithm>

#include "resources/ids.h"
#include "resources/texts.h"
#include "storage/backup.h"
#include "storage/code_page.h"
#include "wording/wording.h"

namespace pavix {
namespace {

// An import message lists this many errors, then how many more there are.
constexpr std::size_t kListedErrors = 10;

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

void ErrorBoxes::ReportExportFailed(const ExportError& error) {
    std::string reason;
    if (error.kind == ExportErrorKind::kNone) {  // the text was good; writing its file failed
        reason = LoadText(platform_, ids::kTextWriteFailed);
    } else {
        reason = FillIn(LoadText(platform_, ExportErrorTextId(error.kind)),
                        std::to_string(error.sequence + 1));
    }
    ShowError(platform_, LoadText(platform_, ids::kTextExportFailed) + "\n" + reason);
}

void ErrorBoxes::ReportImportUnreadable(const std::string& path, WholeFileResult result) {
    const std::string reason = result == WholeFileResult::kTooLarge
                                   ? FillIn(LoadText(platform_, ids::kTextFileTooLarge),
                                            std::to_string(kLargestSequenceText))
                                   : LoadText(platform_, ids::kTextReadFailed);
    ShowError(platform_, FillIn(LoadText(platform_, ids::kTextImportFailed), path) + "\n" + reason);
}

// The details quote the file in UTF-8; the message shows them in the code page, with a stand-in
// for any character it lacks.
void ErrorBoxes::ReportImportErrors(const std::string& path, const std::vector<TextError>& errors) {
    SystemCodePage codePage(platform_);
    std::string message = FillIn(LoadText(platform_, ids::kTextImportFailed), path);
    const std::string linePattern = LoadText(platform_, ids::kTextErrorLine);
    for (std::size_t i = 0; i < std::min(errors.size(), kListedErrors); ++i) {
        std::string detail;
        codePage.FromUtf8(errors[i].detail, detail);
        const std::string what =
            FillIn(LoadText(platform_, TextErrorTextId(errors[i].kind)), detail);
        message += "\n" + FillIn(linePattern, {std::to_string(errors[i].line), what});
    }
    if (errors.size() > kListedErrors) {
        message += "\n" + FillIn(LoadText(platform_, ids::kTextMoreChords),
                                 std::to_string(errors.size() - kListedErrors));
    }
    ShowError(platform_, message);
}

std::string BackupNote(Platform& platform, const std::string& path) {
    return "\n" + LoadText(platform, ids::kTextBackupKept) + BackupPathFor(path);
}

}  // namespace pavix
