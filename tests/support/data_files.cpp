#include "support/data_files.h"

namespace pavix::testing {

std::string Int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return std::string{static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                       static_cast<char>((bits >> 16) & 0xFF), static_cast<char>(bits >> 24)};
}

std::string Chord(std::uint16_t modifiers, std::uint16_t key) {
    return std::string{static_cast<char>(modifiers & 0xFF), static_cast<char>(modifiers >> 8),
                       static_cast<char>(key & 0xFF), static_cast<char>(key >> 8)};
}

std::string Text(const std::string& text) {
    return Int32(static_cast<std::int32_t>(text.size())) + text;
}

CommandSpec Builtin(std::int32_t id) {
    return CommandSpec{true, id, "", "", ""};
}

CommandSpec External(std::string path, std::string parameter, std::string directory) {
    return CommandSpec{false, 0, std::move(path), std::move(parameter), std::move(directory)};
}

std::string SequenceHeader() {
    return std::string("\x07\x08PavixSeq", 10) + Int32(1);
}

std::string SequenceRecord(const SequenceSpec& sequence) {
    std::string bytes = Text(sequence.name);
    bytes += Int32(static_cast<std::int32_t>(sequence.keys.size()));
    for (const ChordSpec& key : sequence.keys) {
        bytes += Chord(key.modifiers, key.key);
    }
    bytes += Int32(static_cast<std::int32_t>(sequence.commands.size()));
    for (const CommandSpec& command : sequence.commands) {
        if (command.builtin) {
            bytes += Int32(0) + Int32(command.id);
        } else {
            bytes +=
                Int32(1) + Text(command.path) + Text(command.parameter) + Text(command.directory);
        }
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

std::string ConfigFileBytes(const ConfigSpec& config) {
    std::string bytes = std::string("\x07\x08PavixConf", 11) + Int32(1);
    bytes += Int32(config.abortEnabled) + Chord(config.abortKey.modifiers, config.abortKey.key);
    for (int i = 0; i < 6; ++i) {
        std::string field = config.sounds[static_cast<std::size_t>(i)];
        field.resize(261, '\0');
        bytes += field;
    }
    bytes += std::string(2, '\0') + Int32(config.timeout);
    return bytes;
}

std::string PreferencesFileBytes(std::int32_t showHints, std::int32_t version) {
    return std::string("\x07\x08PavixPref", 11) + Int32(version) + Int32(showHints);
}

}  // namespace pavix::testing
