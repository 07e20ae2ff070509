// Sequence.dat: a short header, then one record per sequence until the end of the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/sequence.h"
#include "platform/platform.h"
#include "storage/file_replacement.h"
#include "storage/file_result.h"
#include "storage/owned_handle.h"
#include "storage/sequence_record.h"

namespace pavix {

class FileReader;

class SequenceFile {
  public:
    // Fixes the path of Sequence.dat beside the executable; nothing is opened. Problems with the
    // file go to `reporter`.
    SequenceFile(FileSystem system, FileProblemReporter& reporter);
    // A Sequence.dat at a path of the caller's choosing (the command-line tool's); a path of
    // kMaxPath bytes or more names no file, which then opens for neither reading nor writing.
    // Writing goes through a fresh save file (SaveFileName::kFresh).
    SequenceFile(FileSystem system, FileProblemReporter& reporter, const std::string& path);
    // Closes an open file; an unfinished write pass is discarded.
    virtual ~SequenceFile();

    // Reading: kOk (the next Read gives the first record), kMissing, or kUnusable (file closed,
    // then the problem reported: its header, or kReadFailed when its records find no memory).
    // Writing: kOk, or kUnusable (problem reported, nothing to write). Writing replaces the file
    // only at Close (see FileReplacement).
    virtual FileResult Open(bool forWriting);
    // Reads the next record into `sequence`: the name is replaced, keys and commands appended.
    // False at the end of the file, at a damaged record (see Damaged) or with no file open.
    virtual bool Read(Sequence& sequence);
    // Hands over the records not yet read, for a caller that keeps them as they are (the engine);
    // Read then finds the clean end. Valid after an Open for reading that returned kOk.
    StoredRecords TakeRecords();
    // Appends one record. False when a write came up short (reported once) or no file is open.
    // Records are buffered: a short write may surface at a later Write or only at Close.
    virtual bool Write(const Sequence& sequence);
    // Closes the file if one is open (true), else does nothing (false). A write pass in which
    // nothing failed replaces the old file by the new one; otherwise the old file stays as it was
    // (kWriteFailed is reported once per pass when a write or the replacement fails).
    virtual bool Close();

    // After Read returned false: true when it stopped at a damaged record, not at the clean end.
    bool Damaged() const { return records_.Damaged(); }
    const char* Path() const { return path_; }

  private:
    enum class State {
        kClosed,
        kReading,      // header valid; records follow
        kUnusable,     // opened for reading, header not yet accepted
        kWriting,      // new file open, nothing failed so far
        kWriteFailed,  // new file already discarded, problem reported; Close ends the pass
    };

    FileResult OpenForReading();
    // Closes the file before telling why it cannot be read (its header, or no memory for its
    // records), so that nothing the reporter shows holds it open.
    FileResult RejectHeader(FileProblem problem);
    FileResult OpenForWriting();
    void FailWrite();

    FileSystem system_;
    FileProblemReporter& reporter_;
    char path_[kMaxPath] = {};
    // Beside the program, Sequence.new is Pavix's own; elsewhere it may be anyone's.
    SaveFileName saveFileName_ = SaveFileName::kOwn;
    StoredRecords records_;  // read whole once the header is accepted
    State state_ = State::kClosed;
    OwnedHandle file_;  // while reading
    std::unique_ptr<FileReader> reader_;
    std::unique_ptr<FileReplacement> replacement_;  // while writing
};

}  // namespace pavix
