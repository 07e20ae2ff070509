// The one way a file is replaced: the new contents go to a save file beside it, are flushed to
// disk and only then moved over the old file; on any failure the save file is deleted and the old
// file stays byte for byte. What it does not promise: that a crash between the flush and the move
// leaves anything but the old file and a stray save file, or that the move itself is atomic on
// every file system.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"
#include "storage/binary_io.h"
#include "storage/file_result.h"
#include "storage/owned_handle.h"

namespace pavix {

// Which file holds the new contents until they are complete.
enum class SaveFileName {
    // "<name>.new" (SavePathFor): for Pavix's own data files beside the program, where that name
    // is Pavix's too.
    kOwn,
    // A name that no file had, created as new in the file's folder: for a file the user chose,
    // whose folder may hold anything, a "<name>.new" of someone else's included.
    kFresh,
};

class FileReplacement {
  public:
    // `path` is the file to replace; nothing is created yet.
    FileReplacement(FileSystem system, std::string path, SaveFileName naming);
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
    bool Create(std::uint32_t disposition);
    bool CreateFresh();

    FileSystem system_;
    std::string path_;
    SaveFileName naming_;
    std::string savePath_;  // once Begin has created it
    OwnedHandle file_;
    std::optional<FileWriter> writer_;
};

}  // namespace pavix
