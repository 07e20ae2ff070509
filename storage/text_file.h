// Files read and written whole, for the sequences as text, through the platform's file calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/file_result.h"

namespace pavix {

enum class WholeFileResult {
    kOk,
    kCannotOpen,  // the file cannot be opened for reading (normally: it does not exist)
    kTooLarge,    // larger than the caller's limit; nothing was read
    kCannotRead,  // a read failed
};

// Reads the whole file into `bytes`. Memory grows only as bytes arrive, never past `limit`.
WholeFileResult ReadWholeFile(FileSystem system, const std::string& path, std::uint64_t limit,
                              std::string& bytes);

// Replaces `path`, a file the user chose, by a file of `bytes`, through the one file replacement
// (FileReplacement) with a fresh save file. False when any step failed: the old file then stays as
// it was, and so does every other file of its folder.
bool WriteWholeFile(FileSystem system, const std::string& path, std::string_view bytes);

}  // namespace pavix
