// Hand-made bytes of the data files, built independently of the program's own writers so
// that tests can feed the readers any content, valid or not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavix::testing {

std::string Int32(std::int32_t value);
std::string Chord(std::uint16_t modifiers, std::uint16_t key);
std::string Text(const std::string& text);  // length and bytes

struct CommandSpec {
    bool builtin = true;
    std::int32_t id = 0;
    std::string path, parameter, directory;
};
CommandSpec Builtin(std::int32_t id);
CommandSpec External(std::string path, std::string parameter = "", std::string directory = "");

struct ChordSpec {
    std::uint16_t modifiers;
    std::uint16_t key;
};

struct SequenceSpec {
    std::string name;
    std::vector<ChordSpec> keys;
    std::vector<CommandSpec> commands;
};

std::string SequenceHeader();
std::string SequenceRecord(const SequenceSpec& sequence);
std::string SequenceFileBytes(const std::vector<SequenceSpec>& sequences);

struct ConfigSpec {
    std::int32_t abortEnabled = 0;
    ChordSpec abortKey{0, 0};
    std::vector<std::string> sounds = std::vector<std::string>(6);
    std::int32_t timeout = 5000;
};
std::string ConfigFileBytes(const ConfigSpec& config);

// Preferences.dat: magic, version, whether hints are shown.
std::string PreferencesFileBytes(std::int32_t showHints, std::int32_t version = 1);

}  // namespace pavix::testing
