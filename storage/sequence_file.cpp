#include "storage/sequence_file.h"

#include <algorithm>

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
constexpr std::uint64_t kKeySize = 4;
// The shortest command record: a kind and a built-in id.
constexpr std::uint64_t kSmallestCommandSize = 8;

// A count is believed only when that many items of at least `itemSize` bytes fit in the rest of
// the file; so nothing is ever sized beyond what the file holds.
bool ReadCount(FileReader& reader, std::uint64_t itemSize, std::int32_t& count) {
    return reader.ReadInt32(count) && count >= 0 &&
           static_cast<std::uint64_t>(count) * itemSize <= reader.Remaining();
}

// Room to make at once for `count` items of a record: all of an ordinary record, so that
// reading it allocates each array once, but never more than a few whatever the count claims
// (the size of the file may be unknown); more grow as they arrive.
std::size_t RoomFor(std::int32_t count) {
    constexpr std::int32_t kMostReserved = 16;
    return static_cast<std::size_t>(std::min(count, kMostReserved));
}

bool ReadText(FileReader& reader, std::string& text) {
    std::int32_t length = 0;
    return ReadCount(reader, 1, length) && reader.ReadText(static_cast<std::size_t>(length), text);
}

bool ReadCommand(FileReader& reader, Sequence& sequence) {
    std::int32_t kind = 0;
    if (!reader.ReadInt32(kind)) {
        return false;
    }
    if (kind == kBuiltinKind) {
        std::int32_t id = 0;
        if (!reader.ReadInt32(id) || id < 0 || id >= kBuiltinCommandCount) {
            return false;
        }
        sequence.AppendCommand(std::make_unique<BuiltinCommand>(id));
        return true;
    }
    if (kind == kExternalKind) {
        std::string path;
        std::string parameter;
        std::string directory;
        if (!ReadText(reader, path) || !ReadText(reader, parameter) ||
            !ReadText(reader, directory)) {
            return false;
        }
        sequence.AppendCommand(std::make_unique<ExternalCommand>(
            std::move(path), std::move(parameter), std::move(directory)));
        return true;
    }
    return false;
}

// False at the first field that is short or holds what the writer never produces.
bool ReadRecord(FileReader& reader, Sequence& sequence) {
    std::string name;
    if (!ReadText(reader, name)) {
        return false;
    }
    sequence.SetName(std::move(name));

    std::int32_t keyCount = 0;
    if (!ReadCount(reader, kKeySize, keyCount)) {
        return false;
    }
    sequence.ReserveKeys(RoomFor(keyCount));
    for (std::int32_t i = 0; i < keyCount; ++i) {
        std::uint8_t bytes[kKeySize];
        if (!reader.Read(bytes, sizeof bytes)) {
            return false;
        }
        sequence.AppendKey(KeyChord{LoadUInt16(bytes), LoadUInt16(bytes + 2)});
    }

    std::int32_t commandCount = 0;
    if (!ReadCount(reader, kSmallestCommandSize, commandCount)) {
        return false;
    }
    sequence.ReserveCommands(RoomFor(commandCount));
    for (std::int32_t i = 0; i < commandCount; ++i) {
        if (!ReadCommand(reader, sequence)) {
            return false;
        }
    }
    return true;
}

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
    : system_(system), reporter_(reporter), file_(system.files) {
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
    damaged_ = false;
    ended_ = false;
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
    state_ = State::kReading;
    return FileResult::kOk;
}

FileResult SequenceFile::RejectHeader(FileProblem problem) {
    Close();
    reporter_.ReportFileProblem(problem);
    return FileResult::kUnusable;
}

FileResult SequenceFile::OpenForWriting() {
    replacement_ = std::make_unique<FileReplacement>(system_.files, path_);
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
    if (state_ != State::kReading || ended_) {
        return false;
    }
    if (reader_->AtEnd()) {
        ended_ = true;
        damaged_ = false;
        return false;
    }
    if (!ReadRecord(*reader_, sequence)) {
        ended_ = true;
        damaged_ = true;
        return false;
    }
    return true;
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
