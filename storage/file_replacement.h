// The one way a data file is replaced: the new contents go to the save file beside it (".new"),
// are flushed to disk and only then moved over the old file; on any failure the save file is
// deleted and the old file stays byte for byte. What it does not promise: that a crash between
// the flush and the move leaves anything but the old file and a stray save file, or that the
// move itself is atomic on every file system.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "storage/binary_io.h"
#include "storage/owned_handle.h"

namespace pavix {

class FileReplacement {
  public:
    // `path` is the data file; nothing is created yet.
    FileReplacement(FileApi& files, std::string path);
    // An unfinished replacement is discarded.
    ~FileReplacement() { Discard(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the save file. False when it cannot be created, or when there is no path (the
    // executable's folder is too deep for one).
    bool Begin();
    // Buffers the new contents; only valid between a successful Begin and Commit or Discard.
    FileWriter& Writer() { return *writer_; }
    // Writes out, flushes, closes and moves the save file over the data file. False, with the
    // save file deleted and the data file untouched, when any step fails.
    bool Commit();
    // Closes and deletes the save file, if one is open.
    void Discard();

  private:
    FileApi& files_;
    std::string path_;
    std::string savePath_;
    OwnedHandle file_;
    std::optional<FileWriter> writer_;
};

}  // namespace pavix
