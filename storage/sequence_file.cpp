#include "storage/sequence_file.h"

#include <cstring>
#include <limits>

#include "platform/constants.h"
#include "resources/text_ids.h"
#include "resources/texts.h"
#include "storage/binary_io.h"
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
constexpr std::uint32_t kReplaceFlags = kMoveFileReplaceExisting | kMoveFileWriteThrough;

// A count is believed only when that many items of at least `itemSize` bytes fit in the rest of
// the file; so nothing is ever sized beyond what the file holds.
bool ReadCount(FileReader& reader, std::uint64_t itemSize, std::int32_t& count) {
    return reader.ReadInt32(count) && count >= 0 &&
           static_cast<std::uint64_t>(count) * itemSize <= reader.Remaining();
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

SequenceFile::SequenceFile(Platform& platform) : platform_(platform) {
    PathBesideExecutable(platform_, path_, "Sequence.dat");
}

SequenceFile::~SequenceFile() {
    if (state_ == State::kWriting) {
        Discard();
    } else {
        Close();
    }
}

std::string SequenceFile::NewPath() const {
    return SavePathFor(path_);
}

int SequenceFile::Open(bool forWriting) {
    Close();
    damaged_ = false;
    ended_ = false;
    return forWriting ? OpenForWriting() : OpenForReading();
}

int SequenceFile::OpenForReading() {
    file_ = platform_.CreateFileA(path_, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    if (file_ == kInvalidHandleValue) {
        return kFileMissing;
    }
    reader_ = std::make_unique<FileReader>(platform_, file_, SizeOfFile(platform_, file_));
    state_ = State::kUnusable;

    std::uint8_t magic[sizeof kMagic];
    if (!reader_->Read(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        return RejectHeader(kTextInvalidFormat);
    }
    std::int32_t version = 0;
    if (!reader_->ReadInt32(version)) {
        return RejectHeader(kTextReadFailed);
    }
    if (version != kVersion) {
        return RejectHeader(kTextVersionMismatch);
    }
    state_ = State::kReading;
    return kFileOk;
}

int SequenceFile::RejectHeader(std::uint32_t textId) {
    Close();
    ShowError(platform_, LoadText(platform_, textId) + readErrorNote_);
    return kFileUnusable;
}

int SequenceFile::OpenForWriting() {
    // Without a path (the executable's folder is too deep for one) there is nothing to create.
    file_ = path_[0] == '\0' ? kInvalidHandleValue
                             : platform_.CreateFileA(NewPath().c_str(), kGenericWrite, 0,
                                                     kCreateAlways, kFileAttributeNormal);
    if (file_ == kInvalidHandleValue) {
        ShowErrorText(platform_, kTextOpenForWriteFailed);
        return kFileUnusable;
    }
    writer_ = std::make_unique<FileWriter>(platform_, file_);
    state_ = State::kWriting;
    writer_->Write(kMagic, sizeof kMagic);
    writer_->WriteInt32(kVersion);
    // The header goes out at once, so that a file that cannot take it is known here.
    if (!writer_->Flush()) {
        Discard();
        ShowErrorText(platform_, kTextWriteFailed);
        return kFileUnusable;
    }
    return kFileOk;
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
    WriteRecord(*writer_, sequence);
    if (writer_->Failed()) {
        FailWrite();
        return false;
    }
    return true;
}

bool SequenceFile::Close() {
    switch (state_) {
        case State::kClosed:
            return false;
        case State::kReading:
        case State::kUnusable:
            platform_.CloseHandle(file_);
            break;
        case State::kWriting:
            Commit();
            break;
        case State::kWriteFailed:
            break;
    }
    file_ = kInvalidHandleValue;
    reader_.reset();
    writer_.reset();
    state_ = State::kClosed;
    return true;
}

void SequenceFile::Commit() {
    const std::string newPath = NewPath();
    bool written = writer_->Flush() && platform_.FlushFileBuffers(file_);
    written = platform_.CloseHandle(file_) && written;
    file_ = kInvalidHandleValue;
    if (!written || !platform_.MoveFileExA(newPath.c_str(), path_, kReplaceFlags)) {
        platform_.DeleteFileA(newPath.c_str());
        ShowErrorText(platform_, kTextWriteFailed);
    }
}

void SequenceFile::Discard() {
    platform_.CloseHandle(file_);
    platform_.DeleteFileA(NewPath().c_str());
    file_ = kInvalidHandleValue;
    writer_.reset();
    state_ = State::kClosed;
}

void SequenceFile::FailWrite() {
    Discard();
    state_ = State::kWriteFailed;
    ShowErrorText(platform_, kTextWriteFailed);
}

}  // namespace pavix
