#include "storage/sequence_file.h"

#include <cstring>
#include <limits>

#include "platform/constants.h"
#include "storage/binary_io.h"
#include "storage/file_replacement.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint8_t kMagic[10] = {0x07, 0x08, 'P', 'a', 'v', 'i', 'x', 'S', 'e', 'q'};
constexpr std::int32_t kVersion = 1;
constexpr std::int32_t kBuiltinKind = 0;
constexpr std::int32_t kExternalKind = 1;

// Writes a text as its length and bytes; a text too long for its length field fails the output.
void WriteText(FileWriter& writer, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        writer.SetFailed();
        return;
    }
    writer.WriteInt32(static_cast<std::int32_t>(text.size()));
    writer.Write(text.data(), text.size());
}

void WriteCount(FileWriter& writer, std::size_t count) {
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        writer.SetFailed();
        return;
    }
    writer.WriteInt32(static_cast<std::int32_t>(count));
}

void WriteRecord(FileWriter& writer, const Sequence& sequence) {
    WriteText(writer, sequence.Name());
    WriteCount(writer, sequence.Keys().size());
    for (const KeyChord key : sequence.Keys()) {
        writer.WriteUInt16(key.modifiers);
        writer.WriteUInt16(key.keyCode);
    }
    WriteCount(writer, sequence.Commands().size());
    for (const auto& command : sequence.Commands()) {
        if (command->IsBuiltin()) {
            writer.WriteInt32(kBuiltinKind);
            writer.WriteInt32(static_cast<const BuiltinCommand&>(*command).Id());
        } else {
            const auto& external = static_cast<const ExternalCommand&>(*command);
            writer.WriteInt32(kExternalKind);
            WriteText(writer, external.Path());
            WriteText(writer, external.Parameter());
            WriteText(writer, external.Directory());
        }
    }
}

}  // namespace

SequenceFile::SequenceFile(FileSystem system, FileProblemReporter& reporter)
    : system_(system), reporter_(reporter), file_(system.files) {
    PathBesideExecutable(system_.files, path_, "Sequence.dat");
}

SequenceFile::SequenceFile(FileSystem system, FileProblemReporter& reporter,
                           const std::string& path)
    : system_(system),
      reporter_(reporter),
      saveFileName_(SaveFileName::kFresh),
      file_(system.files) {
    if (path.size() < sizeof path_) {
        std::memcpy(path_, path.c_str(), path.size() + 1);
    }
}

// A write pass still under way is discarded by its replacement's own destructor.
SequenceFile::~SequenceFile() {
    if (state_ != State::kWriting) {
        Close();
    }
}

FileResult SequenceFile::Open(bool forWriting) {
    Close();
    records_ = StoredRecords();
    return forWriting ? OpenForWriting() : OpenForReading();
}

FileResult SequenceFile::OpenForReading() {
    file_.Reset(
        system_.files.CreateFileA(path_, kGenericRead, 0, kOpenExisting, kFileAttributeNormal));
    if (!file_.IsOpen()) {
        return FileResult::kMissing;
    }
    reader_ =
        std::make_unique<FileReader>(system_.files, file_.Get(), SizeOfFile(system_, file_.Get()));
    state_ = State::kUnusable;

    std::uint8_t magic[sizeof kMagic];
    if (!reader_->Read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        return RejectHeader(FileProblem::kInvalidFormat);
    }
    std::int32_t version = 0;
    if (!reader_->ReadInt32(version)) {
        return RejectHeader(FileProblem::kReadFailed);
    }
    if (version != kVersion) {
        return RejectHeader(FileProblem::kVersionMismatch);
    }
    // The records come in whole, each read straight into place; they are checked as they are
    // walked. A file too large for the memory there is cannot be read at all.
    ByteBlock bytes;
    std::size_t size = 0;
    const RestRead read = reader_->ReadRest(bytes, size);
    if (read == RestRead::kNoMemory) {
        return RejectHeader(FileProblem::kReadFailed);
    }
    records_ = StoredRecords(std::move(bytes), size, read == RestRead::kComplete);
    state_ = State::kReading;
    return FileResult::kOk;
}

FileResult SequenceFile::RejectHeader(FileProblem problem) {
    Close();
    reporter_.ReportFileProblem(problem);
    return FileResult::kUnusable;
}

FileResult SequenceFile::OpenForWriting() {
    replacement_ = std::make_unique<FileReplacement>(system_, path_, saveFileName_);
    if (!replacement_->Begin()) {
        replacement_.reset();
        reporter_.ReportFileProblem(FileProblem::kOpenForWriteFailed);
        return FileResult::kUnusable;
    }
    state_ = State::kWriting;
    FileWriter& writer = replacement_->Writer();
    writer.Write(kMagic, sizeof kMagic);
    writer.WriteInt32(kVersion);
    // The header goes out at once, so that a file that cannot take it is known here.
    if (!writer.Flush()) {
        replacement_.reset();
        state_ = State::kClosed;
        reporter_.ReportFileProblem(FileProblem::kWriteFailed);
        return FileResult::kUnusable;
    }
    return FileResult::kOk;
}

bool SequenceFile::Read(Sequence& sequence) {
    StoredRecord record;
    if (state_ != State::kReading || !records_.Next(record)) {
        return false;
    }
    BuildSequence(record, sequence);
    return true;
}

StoredRecords SequenceFile::TakeRecords() {
    StoredRecords taken = std::move(records_);
    records_ = StoredRecords();
    return taken;
}

bool SequenceFile::Write(const Sequence& sequence) {
    if (state_ != State::kWriting) {
        return false;
    }
    FileWriter& writer = replacement_->Writer();
    WriteRecord(writer, sequence);
    if (writer.Failed()) {
        FailWrite();
        return false;
    }
    return true;
}

bool SequenceFile::Close() {
    if (state_ == State::kClosed) {
        return false;
    }
    if (state_ == State::kWriting && !replacement_->Commit()) {
        reporter_.ReportFileProblem(FileProblem::kWriteFailed);
    }
    file_.Close();
    reader_.reset();
    replacement_.reset();
    state_ = State::kClosed;
    return true;
}

void SequenceFile::FailWrite() {
    replacement_.reset();
    state_ = State::kWriteFailed;
    reporter_.ReportFileProblem(FileProblem::kWriteFailed);
}

}  // namespace pavix
