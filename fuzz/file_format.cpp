#include "fuzz/file_format.h"

#include <algorithm>
#include <cstring>

namespace pavix::fuzz {
namespace {

using testing::kConfigFileSize;
using testing::kConfigHeaderSize;
using testing::kSequenceHeaderSize;
using testing::kSoundFieldSize;
using testing::kSoundsAt;
using testing::kTimeoutAt;

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
    bool Key(Chord& chord) {
        if (bytes_.size() - at_ < 4) {
            return false;
        }
        chord.modifiers = UInt16At(bytes_, at_);
        chord.virtualKey = UInt16At(bytes_, at_ + 2);
        at_ += 4;
        return true;
    }
    std::size_t At() const { return at_; }

  private:
    const std::string& bytes_;
    std::size_t at_;
};

bool ParseCommand(Cursor& cursor, CommandSpec& command) {
    std::int32_t kind = 0;
    if (!cursor.Int32(kind)) {
        return false;
    }
    command.builtin = kind == 0;
    if (kind == 0) {
        return cursor.Int32(command.id) && command.id >= 0 && command.id <= 15;
    }
    if (kind == 1) {
        return cursor.Text(command.path) && cursor.Text(command.parameter) &&
               cursor.Text(command.directory);
    }
    return false;
}

bool ParseRecord(Cursor& cursor, SequenceSpec& record) {
    std::int32_t keyCount = 0;
    std::int32_t commandCount = 0;
    if (!cursor.Text(record.name) || !cursor.Int32(keyCount) || keyCount < 0) {
        return false;
    }
    for (std::int32_t i = 0; i < keyCount; ++i) {
        Chord chord;
        if (!cursor.Key(chord)) {
            return false;
        }
        record.keys.push_back(chord);
    }
    if (!cursor.Int32(commandCount) || commandCount < 0) {
        return false;
    }
    for (std::int32_t i = 0; i < commandCount; ++i) {
        CommandSpec command;
        if (!ParseCommand(cursor, command)) {
            return false;
        }
        record.commands.push_back(std::move(command));
    }
    return true;
}

}  // namespace

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
        SequenceSpec record;
        if (!ParseRecord(cursor, record)) {
            parsed.damaged = true;
            break;
        }
        parsed.records.push_back(std::move(record));
        at = cursor.At();
    }
    return parsed;
}

ParsedConfig ParseConfig(const std::string& bytes) {
    ParsedConfig parsed;
    parsed.result = FileResult::kUnusable;
    if (bytes.size() < kConfigMagicSize ||
        bytes.compare(0, kConfigMagicSize, kConfigMagic, kConfigMagicSize) != 0) {
        parsed.message = kInvalidFormatMessage;
        return parsed;
    }
    if (bytes.size() < kConfigHeaderSize) {
        parsed.message = kReadFailedMessage;
        return parsed;
    }
    if (Int32At(bytes, kConfigMagicSize) != 1) {
        parsed.message = kVersionMismatchMessage;
        return parsed;
    }
    if (bytes.size() < kConfigFileSize) {
        parsed.message = kReadFailedMessage;
        return parsed;
    }
    parsed.result = FileResult::kOk;
    parsed.abortEnabled = Int32At(bytes, kConfigHeaderSize);
    parsed.abortKey.modifiers = UInt16At(bytes, kConfigHeaderSize + 4);
    parsed.abortKey.virtualKey = UInt16At(bytes, kConfigHeaderSize + 6);
    for (std::size_t i = 0; i < 6; ++i) {
        const std::size_t field = kConfigHeaderSize + kSoundsAt + i * kSoundFieldSize;
        parsed.sounds.push_back(UpToZero(bytes.substr(field, kSoundFieldSize - 1)));
    }
    parsed.timeout = Int32At(bytes, kConfigHeaderSize + kTimeoutAt);
    return parsed;
}

std::int32_t FoldedResult(const std::vector<CommandSpec>& commands) {
    const auto has = [&](std::int32_t id) {
        return std::any_of(commands.begin(), commands.end(), [id](const CommandSpec& command) {
            return command.builtin && command.id == id;
        });
    };
    if (has(kExitId)) {
        return kExitResult;
    }
    return has(kDisableHotkeyId) ? kDisableResult : kDoneResult;
}

}  // namespace pavix::fuzz
