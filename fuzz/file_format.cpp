#include "fuzz/file_format.h"

#include <algorithm>
#include <cstring>

namespace pavix::fuzz {
namespace {

constexpr char kSequenceMagic[] = "\x07\x08PavixSeq";
constexpr std::size_t kSequenceMagicSize = 10;
constexpr char kConfigMagic[] = "\x07\x08PavixConf";
constexpr std::size_t kConfigMagicSize = 11;
constexpr std::int32_t kDisableResult = 5;
constexpr std::int32_t kExitResult = 7;
constexpr std::int32_t kDoneResult = 3;
constexpr std::int32_t kDisableHotkeyId = 2;
constexpr std::int32_t kExitId = 3;

std::int32_t Int32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return static_cast<std::int32_t>(value);
}

std::uint16_t UInt16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

std::string UpToZero(const std::string& bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

// Walks one record field by field; every failed step means the record cannot be read.
class Cursor {
  public:
    Cursor(const std::string& bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    bool Int32(std::int32_t& value) {
        if (bytes_.size() - at_ < 4) {
            return false;
        }
        value = Int32At(bytes_, at_);
        at_ += 4;
        return true;
    }
    bool Text(std::string& text) {
        std::int32_t length = 0;
        if (!Int32(length) || length < 0 ||
            static_cast<std::size_t>(length) > bytes_.size() - at_) {
            return false;
        }
        text = UpToZero(bytes_.substr(at_, static_cast<std::size_t>(length)));
        at_ += static_cast<std::size_t>(length);
        return true;
    }
    bool Chord(ModelChord& chord) {
        if (bytes_.size() - at_ < 4) {
            return false;
        }
        chord.modifiers = UInt16At(bytes_, at_);
        chord.key = UInt16At(bytes_, at_ + 2);
        at_ += 4;
        return true;
    }
    std::size_t At() const { return at_; }

  private:
    const std::string& bytes_;
    std::size_t at_;
};

bool ParseCommand(Cursor& cursor, ModelCommand& command) {
    if (!cursor.Int32(command.kind)) {
        return false;
    }
    if (command.kind == 0) {
        return cursor.Int32(command.id) && command.id >= 0 && command.id <= 15;
    }
    if (command.kind == 1) {
        return cursor.Text(command.path) && cursor.Text(command.parameter) &&
               cursor.Text(command.directory);
    }
    return false;
}

bool ParseRecord(Cursor& cursor, ModelRecord& record) {
    std::int32_t keyCount = 0;
    std::int32_t commandCount = 0;
    if (!cursor.Text(record.name) || !cursor.Int32(keyCount) || keyCount < 0) {
        return false;
    }
    for (std::int32_t i = 0; i < keyCount; ++i) {
        ModelChord chord;
        if (!cursor.Chord(chord)) {
            return false;
        }
        record.keys.push_back(chord);
    }
    if (!cursor.Int32(commandCount) || commandCount < 0) {
        return false;
    }
    for (std::int32_t i = 0; i < commandCount; ++i) {
        ModelCommand command;
        if (!ParseCommand(cursor, command)) {
            return false;
        }
        record.commands.push_back(std::move(command));
    }
    return true;
}

void AppendText(std::string& bytes, const std::string& text) {
    bytes += LittleEndian32(static_cast<std::int32_t>(text.size()));
    bytes += text;
}

std::string Chord16(std::uint16_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

}  // namespace

std::string LittleEndian32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return std::string{static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                       static_cast<char>((bits >> 16) & 0xFF), static_cast<char>(bits >> 24)};
}

ParsedSequenceFile ParseSequenceFile(const std::string& bytes) {
    ParsedSequenceFile parsed;
    if (bytes.size() < kSequenceMagicSize ||
        bytes.compare(0, kSequenceMagicSize, kSequenceMagic, kSequenceMagicSize) != 0) {
        parsed.openResult = FileResult::kUnusable;
        parsed.message = kInvalidFormatMessage;
        return parsed;
    }
    if (bytes.size() < kSequenceHeaderSize) {
        parsed.openResult = FileResult::kUnusable;
        parsed.message = kReadFailedMessage;
        return parsed;
    }
    if (Int32At(bytes, kSequenceMagicSize) != 1) {
        parsed.openResult = FileResult::kUnusable;
        parsed.message = kVersionMismatchMessage;
        return parsed;
    }
    std::size_t at = kSequenceHeaderSize;
    while (at < bytes.size()) {
        Cursor cursor(bytes, at);
        ModelRecord record;
        if (!ParseRecord(cursor, record)) {
            parsed.damaged = true;
            break;
        }
        parsed.records.push_back(std::move(record));
        at = cursor.At();
    }
    return parsed;
}

std::string SequenceRecordBytes(const ModelRecord& record) {
    std::string bytes;
    AppendText(bytes, record.name);
    bytes += LittleEndian32(static_cast<std::int32_t>(record.keys.size()));
    for (const ModelChord& key : record.keys) {
        bytes += Chord16(key.modifiers) + Chord16(key.key);
    }
    bytes += LittleEndian32(static_cast<std::int32_t>(record.commands.size()));
    for (const ModelCommand& command : record.commands) {
        bytes += LittleEndian32(command.kind);
        if (command.kind == 0) {
            bytes += LittleEndian32(command.id);
        } else {
            AppendText(bytes, command.path);
            AppendText(bytes, command.parameter);
            AppendText(bytes, command.directory);
        }
    }
    return bytes;
}

std::string SequenceFileBytes(const std::vector<ModelRecord>& records) {
    std::string bytes(kSequenceMagic, kSequenceMagicSize);
    bytes += LittleEndian32(1);
    for (const ModelRecord& record : records) {
        bytes += SequenceRecordBytes(record);
    }
    return bytes;
}

ParsedConfig ParseConfig(const std::string& bytes) {
    ParsedConfig parsed;
    parsed.result = FileResult::kUnusable;
    if (bytes.size() < kConfigMagicSize ||
        bytes.compare(0, kConfigMagicSize, kConfigMagic, kConfigMagicSize) != 0) {
        parsed.message = kInvalidFormatMessage;
        return parsed;
    }
    if (bytes.size() < kConfigBodyAt) {
        parsed.message = kReadFailedMessage;
        return parsed;
    }
    if (Int32At(bytes, kConfigMagicSize) != 1) {
        parsed.message = kVersionMismatchMessage;
        return parsed;
    }
    if (bytes.size() < kConfigSize) {
        parsed.message = kReadFailedMessage;
        return parsed;
    }
    parsed.result = FileResult::kOk;
    parsed.abortEnabled = Int32At(bytes, kConfigBodyAt);
    parsed.abortKey.modifiers = UInt16At(bytes, kConfigBodyAt + 4);
    parsed.abortKey.key = UInt16At(bytes, kConfigBodyAt + 6);
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t field = kConfigBodyAt + kSoundsAt + i * kSoundFieldSize;
        parsed.sounds.push_back(UpToZero(bytes.substr(field, kSoundFieldSize - 1)));
    }
    parsed.timeout = Int32At(bytes, kConfigBodyAt + kTimeoutAt);
    return parsed;
}

std::string ConfigBytes(const ConfigValues& values) {
    std::string bytes(kConfigMagic, kConfigMagicSize);
    bytes += LittleEndian32(1);
    bytes += LittleEndian32(values.abortEnabled);
    bytes += Chord16(values.abortKey.modifiers) + Chord16(values.abortKey.key);
    for (std::size_t i = 0; i < 6; ++i) {
        std::string field = i < values.sounds.size() ? values.sounds[i] : std::string();
        field.resize(kSoundFieldSize, '\0');
        bytes += field;
    }
    bytes += std::string(2, '\0');
    bytes += LittleEndian32(values.timeout);
    return bytes;
}

std::int32_t FoldedResult(const std::vector<ModelCommand>& commands) {
    const auto has = [&](std::int32_t id) {
        return std::any_of(commands.begin(), commands.end(), [id](const ModelCommand& command) {
            return command.kind == 0 && command.id == id;
        });
    };
    if (has(kExitId)) {
        return kExitResult;
    }
    return has(kDisableHotkeyId) ? kDisableResult : kDoneResult;
}

}  // namespace pavix::fuzz
