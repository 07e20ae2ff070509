// Sequence.dat: a short header, then one record per sequence until the end of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/sequence.h"
#include "platform/platform.h"
#include "storage/file_result.h"

namespace pavix {

class FileReader;
class FileWriter;

class SequenceFile {
  public:
    // Fixes the path of Sequence.dat beside the executable; nothing is opened.
    explicit SequenceFile(Platform& platform);
    // Closes an open file; an unfinished write pass is discarded.
    virtual ~SequenceFile();

    // Reading: kFileOk (the next Read gives the first record), kFileMissing, or kFileUnusable
    // (file closed, then the header error shown). Writing: kFileOk, or kFileUnusable (error
    // shown, nothing to write).
    // Writing goes to a new file beside the old one, which Close puts in its place.
    virtual int Open(bool forWriting);
    // Reads the next record into `sequence`: the name is replaced, keys and commands appended.
    // False at the end of the file, at a damaged record (see Damaged) or with no file open.
    virtual bool Read(Sequence& sequence);
    // Appends one record. False when a write came up short (error shown once) or no file is open.
    // Records are buffered: a short write may surface at a later Write or only at Close.
    virtual bool Write(const Sequence& sequence);
    // Closes the file if one is open (true), else does nothing (false). A write pass in which
    // nothing failed replaces the old file by the new one; otherwise the old file stays as it was
    // (error 6 is shown once per pass when a write or the replacement fails).
    virtual bool Close();

    // After Read returned false: true when it stopped at a damaged record, not at the clean end.
    bool Damaged() const { return damaged_; }
    // Added to every error that opening for reading shows, for a caller with more to say.
    void SetReadErrorNote(std::string note) { readErrorNote_ = std::move(note); }
    const char* Path() const { return path_; }

  private:
    enum class State {
        kClosed,
        kReading,      // header valid; records follow
        kUnusable,     // opened for reading, header not yet accepted
        kWriting,      // new file open, nothing failed so far
        kWriteFailed,  // new file already discarded, error shown; Close ends the pass
    };

    int OpenForReading();
    // Closes the file before telling why its header is unusable, so that no box holds it open.
    int RejectHeader(std::uint32_t textId);
    int OpenForWriting();
    // Writes out what is buffered, flushes, closes and puts the new file in place of the old.
    void Commit();
    // Closes and deletes the new file; the old file stays as it was.
    void Discard();
    void FailWrite();
    std::string NewPath() const;

    Platform& platform_;
    char path_[kMaxPath] = {};
    std::string readErrorNote_;
    bool damaged_ = false;
    bool ended_ = false;  // Read has returned false in this pass
    State state_ = State::kClosed;
    FileHandle file_ = kInvalidHandleValue;
    std::unique_ptr<FileReader> reader_;
    std::unique_ptr<FileWriter> writer_;
};

}  // namespace pavix
