#include "storage/sequence_record.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "storage/binary_io.h"

namespace pavix {
namespace {

constexpr std::int32_t kBuiltinKind = 0;
constexpr std::int32_t kExternalKind = 1;
// The shortest command: a kind and a built-in id.
constexpr std::size_t kSmallestCommandSize = 8;

// Little-endian fields of bytes held in memory; every read checks that its bytes are there.
class ByteReader {
  public:
    ByteReader(std::string_view bytes, std::size_t offset) : bytes_(bytes), offset_(offset) {}

    std::size_t Offset() const { return offset_; }
    // The bytes read since `start`.
    std::string_view Since(std::size_t start) const {
        return bytes_.substr(start, offset_ - start);
    }
    std::size_t Remaining() const { return bytes_.size() - offset_; }

    bool Skip(std::size_t size, std::string_view& taken) {
        if (size > Remaining()) {
            return false;
        }
        taken = bytes_.substr(offset_, size);
        offset_ += size;
        return true;
    }
    bool Int32(std::int32_t& value) {
        std::string_view taken;
        if (!Skip(4, taken)) {
            return false;
        }
        value = LoadInt32(reinterpret_cast<const std::uint8_t*>(taken.data()));
        return true;
    }
    // A count is believed only when that many items of at least `itemSize` bytes follow.
    bool Count(std::size_t itemSize, std::int32_t& count) {
        return Int32(count) && count >= 0 &&
               static_cast<std::uint64_t>(count) * itemSize <= Remaining();
    }
    // A length and its bytes; the text ends at its first zero byte, if it has one.
    bool Text(std::string_view& text) {
        std::int32_t length = 0;
        if (!Count(1, length) || !Skip(static_cast<std::size_t>(length), text)) {
            return false;
        }
        const void* zero = text.empty() ? nullptr : std::memchr(text.data(), 0, text.size());
        if (zero != nullptr) {
            text = text.substr(
                0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
        }
        return true;
    }

  private:
    std::string_view bytes_;
    std::size_t offset_;
};

// One command, checked; `command` is built only when asked for.
bool ReadCommand(ByteReader& reader, std::unique_ptr<Command>* command) {
    std::int32_t kind = 0;
    if (!reader.Int32(kind)) {
        return false;
    }
    if (kind == kBuiltinKind) {
        std::int32_t id = 0;
        if (!reader.Int32(id) || id < 0 || id >= kBuiltinCommandCount) {
            return false;
        }
        if (command != nullptr) {
            *command = std::make_unique<BuiltinCommand>(id);
        }
        return true;
    }
    if (kind == kExternalKind) {
        std::string_view path;
        std::string_view parameter;
        std::string_view directory;
        if (!reader.Text(path) || !reader.Text(parameter) || !reader.Text(directory)) {
            return false;
        }
        if (command != nullptr) {
            *command = std::make_unique<ExternalCommand>(std::string(path), std::string(parameter),
                                                         std::string(directory));
        }
        return true;
    }
    return false;
}

// False at the first field that is short or holds what the writer never produces.
bool ReadRecord(ByteReader& reader, StoredRecord& record) {
    std::int32_t keyCount = 0;
    std::int32_t commandCount = 0;
    if (!reader.Text(record.name) || !reader.Count(StoredRecord::kKeySize, keyCount) ||
        !reader.Skip(static_cast<std::size_t>(keyCount) * StoredRecord::kKeySize, record.keys) ||
        !reader.Count(kSmallestCommandSize, commandCount)) {
        return false;
    }
    const std::size_t start = reader.Offset();
    for (std::int32_t i = 0; i < commandCount; ++i) {
        if (!ReadCommand(reader, nullptr)) {
            return false;
        }
    }
    record.commands.bytes = reader.Since(start);
    record.commands.count = static_cast<std::uint32_t>(commandCount);
    return true;
}

// Builds the commands of a checked record one by one, in order, and hands each to `add`.
template <typename Add>
void EachCommand(const StoredCommands& stored, Add add) {
    ByteReader reader(stored.bytes, 0);
    for (std::uint32_t i = 0; i < stored.count; ++i) {
        std::unique_ptr<Command> command;
        if (!ReadCommand(reader, &command)) {
            return;  // never, for a checked record
        }
        add(std::move(command));
    }
}

}  // namespace

KeyChord StoredRecord::Key(std::size_t index) const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(keys.data()) + index * kKeySize;
    return KeyChord{LoadUInt16(bytes), LoadUInt16(bytes + 2)};
}

StoredRecords::StoredRecords(ByteBlock bytes, std::size_t size, bool complete)
    : block_(std::move(bytes)), bytes_(block_.Data(), size), complete_(complete) {}

bool StoredRecords::Next(StoredRecord& record) {
    if (ended_) {
        return false;
    }
    if (offset_ == bytes_.size()) {
        ended_ = true;
        damaged_ = !complete_;
        return false;
    }
    ByteReader reader(bytes_, offset_);
    if (!ReadRecord(reader, record)) {
        ended_ = true;
        damaged_ = true;
        return false;
    }
    record.bytes = reader.Since(offset_);
    offset_ = reader.Offset();
    return true;
}

// A checked record's counts are backed by its bytes, so reserving them whole is safe.
void BuildCommands(const StoredCommands& stored, CommandArray& commands) {
    commands.reserve(commands.size() + stored.count);
    EachCommand(stored,
                [&](std::unique_ptr<Command> command) { commands.push_back(std::move(command)); });
}

void BuildSequence(const StoredRecord& record, Sequence& sequence) {
    sequence.SetName(std::string(record.name));
    const std::size_t keyCount = record.KeyCount();
    sequence.ReserveKeys(sequence.Keys().size() + keyCount);
    for (std::size_t i = 0; i < keyCount; ++i) {
        sequence.AppendKey(record.Key(i));
    }
    sequence.ReserveCommands(sequence.Commands().size() + record.commands.count);
    EachCommand(record.commands, [&](std::unique_ptr<Command> command) {
        sequence.AppendCommand(std::move(command));
    });
}

}  // namespace pavix
