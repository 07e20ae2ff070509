// Where the failures that the lower layers report become what the user sees: each one is the
// common error box with its text from the string table.
#pragma once

#include <string>
#include <vector>

#include "engine/engine_reporter.h"
#include "platform/platform.h"
#include "storage/sequence_text.h"
#include "storage/text_file.h"

namespace pavix {

class ErrorBoxes final : public EngineReporter {
  public:
    explicit ErrorBoxes(Platform& platform) : platform_(platform) {}

    // Added to every problem found while reading a data file (not to those of saving it), for
    // an editor that has more to say about a file it cannot read completely.
    void SetReadNote(std::string note) { readNote_ = std::move(note); }

    void ReportFileProblem(FileProblem problem) override;
    void ReportHotkeyRefused(KeyChord chord) override;
    void ReportLaunchFailed(const std::string& reason) override;
    // The backup of `path` could not be made (see KeepBackup).
    void ReportBackupFailed(const std::string& path);

    // The sequences as text. Export: the sequence that the text cannot hold, or with kNone the
    // file that could not be written. Import: a file that could not be read whole, or every error
    // of the text, one line each with its line number (the first few of many).
    void ReportExportFailed(const ExportError& error);
    void ReportImportUnreadable(const std::string& path, WholeFileResult result);
    void ReportImportErrors(const std::string& path, const std::vector<TextError>& errors);

  private:
    Platform& platform_;
    std::string readNote_;
};

// What an editor adds to the error it shows on opening a file it could not read completely: on
// a line of its own, that OK keeps the original, and under which path.
std::string BackupNote(Platform& platform, const std::string& path);

}  // namespace pavix
