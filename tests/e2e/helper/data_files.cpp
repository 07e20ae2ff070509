#include "data_files.h"

#include <cstring>
#include <utility>

namespace pavix_e2e {
namespace {

constexpr char kConfigMagic[] = "\x07\x08PavixConf";   // 11 bytes without the terminator
constexpr char kSequenceMagic[] = "\x07\x08PavixSeq";  // 10 bytes without the terminator
constexpr std::size_t kConfigBodySize = 1580;
constexpr std::size_t kSoundFieldSize = 261;
constexpr std::size_t kSoundFieldsOffset = 8;
constexpr std::size_t kTimeoutOffset = 1576;

void AppendRaw(Bytes& bytes, const void* data, std::size_t size) {
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes.insert(bytes.end(), begin, begin + size);
}

void AppendText(Bytes& bytes, const std::string& text) {
    AppendInt32(bytes, static_cast<std::int32_t>(text.size()));
    AppendRaw(bytes, text.data(), text.size());
}

void PutUint16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutInt32(Bytes& bytes, std::size_t offset, std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>((raw >> (8 * i)) & 0xFF);
    }
}

}  // namespace

void AppendInt32(Bytes& bytes, std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((raw >> (8 * i)) & 0xFF));
    }
}

CommandRecord Builtin(std::int32_t id) {
    CommandRecord command;
    command.builtin = true;
    command.id = id;
    return command;
}

CommandRecord External(std::string path, std::string parameter, std::string directory) {
    CommandRecord command;
    command.builtin = false;
    command.path = std::move(path);
    command.parameter = std::move(parameter);
    command.directory = std::move(directory);
    return command;
}

Bytes ConfigBytes(const ConfigRecord& config) {
    Bytes body(kConfigBodySize, 0);
    PutInt32(body, 0, config.abortEnabled ? 1 : 0);
    PutUint16(body, 4, config.abortChord.modifiers);
    PutUint16(body, 6, config.abortChord.virtualKey);
    for (std::size_t i = 0; i < 6; ++i) {
        const std::string& sound = config.sounds[i];
        const std::size_t length =
            sound.size() < kSoundFieldSize ? sound.size() : kSoundFieldSize - 1;
        std::memcpy(body.data() + kSoundFieldsOffset + i * kSoundFieldSize, sound.data(), length);
    }
    PutInt32(body, kTimeoutOffset, config.timeoutMs);

    Bytes bytes;
    AppendRaw(bytes, kConfigMagic, sizeof(kConfigMagic) - 1);
    AppendInt32(bytes, 1);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes ConfigBytesWithVersion(std::int32_t version, std::size_t bodyBytes) {
    Bytes bytes;
    AppendRaw(bytes, kConfigMagic, sizeof(kConfigMagic) - 1);
    AppendInt32(bytes, version);
    bytes.insert(bytes.end(), bodyBytes, 0);
    return bytes;
}

Bytes SequenceBytes(const std::vector<SequenceRecord>& sequences) {
    Bytes bytes;
    AppendRaw(bytes, kSequenceMagic, sizeof(kSequenceMagic) - 1);
    AppendInt32(bytes, 1);
    for (const SequenceRecord& sequence : sequences) {
        AppendText(bytes, sequence.name);
        AppendInt32(bytes, static_cast<std::int32_t>(sequence.chords.size()));
        for (const Chord& chord : sequence.chords) {
            const std::uint8_t packed[4] = {
                static_cast<std::uint8_t>(chord.modifiers & 0xFF),
                static_cast<std::uint8_t>(chord.modifiers >> 8),
                static_cast<std::uint8_t>(chord.virtualKey & 0xFF),
                static_cast<std::uint8_t>(chord.virtualKey >> 8),
            };
            AppendRaw(bytes, packed, sizeof(packed));
        }
        AppendInt32(bytes, static_cast<std::int32_t>(sequence.commands.size()));
        for (const CommandRecord& command : sequence.commands) {
            if (command.builtin) {
                AppendInt32(bytes, 0);
                AppendInt32(bytes, command.id);
            } else {
                AppendInt32(bytes, 1);
                AppendText(bytes, command.path);
                AppendText(bytes, command.parameter);
                AppendText(bytes, command.directory);
            }
        }
    }
    return bytes;
}

Bytes SequenceMagicWith(const Bytes& tail) {
    Bytes bytes;
    AppendRaw(bytes, kSequenceMagic, sizeof(kSequenceMagic) - 1);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

}  // namespace pavix_e2e
