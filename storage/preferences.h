// The choices the user makes from the tray menu, kept across runs in Preferences.dat beside the
// executable (Config.dat keeps its layout): the magic "\x07\x08PavixPref", the version 1, then one
// little-endian 32-bit value per choice. Nothing here tells the user anything: the callers decide
// what a failure is worth.
#pragma once

#include "platform/platform.h"
#include "storage/file_result.h"

namespace pavix {

class Preferences {
  public:
    // Fixes the path beside the executable; every choice has its default.
    explicit Preferences(Platform& platform);

    // kOk; kMissing or kUnusable (a wrong magic or version, a short file, a value out
    // of range) leave every choice as it was.
    FileResult Load();
    // True when the whole file was written; it replaces Preferences.dat only when complete
    // (FileReplacement), otherwise the old file stays as it was. A file that the last Load found
    // unusable (perhaps another version's) is first copied to Preferences.dat.bak (KeepBackup);
    // when that copy cannot be made, nothing is replaced and the answer is false.
    bool Save();

    // The hint window while a sequence is half typed; on by default.
    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool show) { showHints_ = show; }

  private:
    FileResult Read();

    Platform& platform_;
    char path_[kMaxPath] = {};
    bool showHints_ = true;
    bool keepOldFile_ = false;  // the file on disk is unusable and has no backup yet
};

}  // namespace pavix
