#include "support/data_files.h"

#include <utility>

namespace pavix::testing {
namespace {

constexpr std::int32_t kBuiltinKind = 0;
constexpr std::int32_t kExternalKind = 1;

std::string Uint16(std::uint16_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string StoredText(const std::string& text, std::optional<std::int32_t> storedLength) {
    return Int32(storedLength.value_or(static_cast<std::int32_t>(text.size()))) + text;
}

std::string Count(std::size_t count, std::optional<std::int32_t> stored) {
    return Int32(stored.value_or(static_cast<std::int32_t>(count)));
}

std::string CommandBytes(const CommandSpec& command, const RecordOverrides& overrides) {
    const std::int32_t kind =
        command.storedKind.value_or(command.builtin ? kBuiltinKind : kExternalKind);
    if (command.builtin) {
        return Int32(kind) + Int32(command.id);
    }
    return Int32(kind) + StoredText(command.path, overrides.pathLength) +
           StoredText(command.parameter, overrides.parameterLength) +
           StoredText(command.directory, overrides.directoryLength);
}

}  // namespace

std::string Int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return Uint16(static_cast<std::uint16_t>(bits & 0xFFFF)) +
           Uint16(static_cast<std::uint16_t>(bits >> 16));
}

std::string ChordBytes(std::uint16_t modifiers, std::uint16_t virtualKey) {
    return Uint16(modifiers) + Uint16(virtualKey);
}

std::string Text(const std::string& text) {
    return StoredText(text, std::nullopt);
}

CommandSpec Builtin(std::int32_t id) {
    CommandSpec command;
    command.id = id;
    return command;
}

CommandSpec External(std::string path, std::string parameter, std::string directory) {
    CommandSpec command;
    command.builtin = false;
    command.path = std::move(path);
    command.parameter = std::move(parameter);
    command.directory = std::move(directory);
    return command;
}

std::string SequenceHeader(std::int32_t version) {
    return std::string("\x07\x08PavixSeq", 10) + Int32(version);
}

std::string SequenceRecord(const SequenceSpec& sequence, const RecordOverrides& overrides) {
    std::string bytes = StoredText(sequence.name, overrides.nameLength);
    bytes += Count(sequence.keys.size(), overrides.keyCount);
    for (const Chord& key : sequence.keys) {
        bytes += ChordBytes(key.modifiers, key.virtualKey);
    }
    bytes += Count(sequence.commands.size(), overrides.commandCount);
    for (const CommandSpec& command : sequence.commands) {
        bytes += CommandBytes(command, overrides);
    }
    return bytes;
}

std::string SequenceFileBytes(const std::vector<SequenceSpec>& sequences) {
    std::string bytes = SequenceHeader();
    for (const SequenceSpec& sequence : sequences) {
        bytes += SequenceRecord(sequence);
    }
    return bytes;
}

std::string ConfigHeader(std::int32_t version) {
    return std::string("\x07\x08PavixConf", 11) + Int32(version);
}

std::string ConfigBody(const ConfigSpec& config) {
    std::string bytes = Int32(config.abortEnabled);
    bytes += ChordBytes(config.abortKey.modifiers, config.abortKey.virtualKey);
    for (std::size_t i = 0; i < 6; ++i) {
        std::string field = i < config.sounds.size() ? config.sounds[i] : std::string();
        field.resize(kSoundFieldSize, '\0');
        bytes += field;
    }
    return bytes + std::string(kTimeoutAt - bytes.size(), '\0') + Int32(config.timeout);
}

std::string ConfigFileBytes(const ConfigSpec& config) {
    return ConfigHeader() + ConfigBody(config);
}

std::string PreferencesFileBytes(std::int32_t showHints, std::int32_t version) {
    return std::string("\x07\x08PavixPref", 11) + Int32(version) + Int32(showHints);
}

}  // namespace pavix::testing
