// The bytes of the two data files, built from their layouts alone and independently of the
// program's own writers, so that tests can feed the readers any content, valid or not. The one
// encoder of the unit, hardening and end-to-end tests and the fuzzers' seeds: plain C++ that
// also builds for Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavix::testing {

// Both files store little-endian integers after a 0x07 0x08 magic with an ASCII tag and the
// version, 1. Sequence.dat: the header, then one record per sequence. Config.dat: the header and
// a body of fixed size: the abort switch, its chord, six sound paths of kSoundFieldSize bytes
// from kSoundsAt, two unused bytes, the time-out at kTimeoutAt.
constexpr std::size_t kSequenceHeaderSize = 14;
constexpr std::size_t kConfigHeaderSize = 15;
constexpr std::size_t kConfigBodySize = 1580;
constexpr std::size_t kConfigFileSize = kConfigHeaderSize + kConfigBodySize;
constexpr std::size_t kSoundsAt = 8;
constexpr std::size_t kSoundFieldSize = 261;
constexpr std::size_t kTimeoutAt = 1576;

std::string Int32(std::int32_t value);
std::string ChordBytes(std::uint16_t modifiers, std::uint16_t virtualKey);
std::string Text(const std::string& text);  // length and bytes

struct Chord {
    std::uint16_t modifiers = 0;
    std::uint16_t virtualKey = 0;
};

struct CommandSpec {
    bool builtin = true;  // a built-in id follows the kind; otherwise path, parameter, directory
    std::int32_t id = 0;
    std::string path, parameter, directory;
    // The kind as stored when it must not be the one `builtin` implies (0 built-in, 1 external).
    std::optional<std::int32_t> storedKind;
};
CommandSpec Builtin(std::int32_t id);
CommandSpec External(std::string path, std::string parameter = "", std::string directory = "");

struct SequenceSpec {
    std::string name;
    std::vector<Chord> keys;
    std::vector<CommandSpec> commands;
};

// Stored values that replace a record's true lengths and counts (the text lengths of each
// external command), with the bytes after them unchanged: a record that misstates its layout.
struct RecordOverrides {
    std::optional<std::int32_t> nameLength, keyCount, commandCount;
    std::optional<std::int32_t> pathLength, parameterLength, directoryLength;
};

std::string SequenceHeader(std::int32_t version = 1);
std::string SequenceRecord(const SequenceSpec& sequence, const RecordOverrides& overrides = {});
std::string SequenceFileBytes(const std::vector<SequenceSpec>& sequences);

struct ConfigSpec {
    std::int32_t abortEnabled = 0;
    Chord abortKey;
    // Each stored in its field as it is, cut or padded with zeros to kSoundFieldSize bytes.
    std::vector<std::string> sounds = std::vector<std::string>(6);
    std::int32_t timeout = 5000;
};

std::string ConfigHeader(std::int32_t version = 1);
std::string ConfigBody(const ConfigSpec& config);
std::string ConfigFileBytes(const ConfigSpec& config);

// Preferences.dat: magic, version, whether hints are shown.
std::string PreferencesFileBytes(std::int32_t showHints, std::int32_t version = 1);

}  // namespace pavix::testing
