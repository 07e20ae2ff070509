#include "editors/sequence_text_transfer.h"

#include "editors/error_boxes.h"
#include "editors/file_chooser.h"
#include "storage/code_page.h"
#include "storage/sequence_text.h"
#include "storage/text_file.h"

namespace pavix {

void ExportSequences(Platform& platform, DialogStack& dialogs, const SequenceList& list,
                     std::string& path) {
    if (!ChooseTextFile(platform, dialogs, TextFileDialog::kExport, path)) {
        return;
    }
    SystemCodePage codePage(platform);
    std::string text;
    const ExportError error = WriteSequenceText(list, codePage, text);
    if (error.kind != ExportErrorKind::kNone || !WriteWholeFile(platform, path, text)) {
        ErrorBoxes(platform).ReportExportFailed(error);
    }
}

std::optional<SequenceList> ImportSequences(Platform& platform, DialogStack& dialogs,
                                            std::string& path) {
    if (!ChooseTextFile(platform, dialogs, TextFileDialog::kImport, path)) {
        return std::nullopt;
    }
    std::string bytes;
    const WholeFileResult read = ReadWholeFile(platform, path, kLargestSequenceText, bytes);
    if (read != WholeFileResult::kOk) {
        ErrorBoxes(platform).ReportImportUnreadable(path, read);
        return std::nullopt;
    }
    SystemCodePage codePage(platform);
    SequenceText text = ReadSequenceText(bytes, codePage);
    if (!text.errors.empty()) {
        ErrorBoxes(platform).ReportImportErrors(path, text.errors);
        return std::nullopt;
    }
    return std::move(text.sequences);
}

}  // namespace pavix
