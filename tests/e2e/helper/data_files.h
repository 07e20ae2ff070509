// Hand-made bytes of the two data files that Pavix reads beside its executable, so that every
// scenario states exactly what the program is given. The layouts are the program's file formats:
// little-endian 32-bit integers, a 0x07 0x08 magic with an ASCII tag, version 1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavix_e2e {

using Bytes = std::vector<std::uint8_t>;

// Hotkey modifier bits as stored in the files (the platform's MOD_ values).
constexpr std::uint16_t kAlt = 0x0001;
constexpr std::uint16_t kControl = 0x0002;
constexpr std::uint16_t kShift = 0x0004;
constexpr std::uint16_t kWin = 0x0008;

struct Chord {
    std::uint16_t modifiers = 0;
    std::uint16_t virtualKey = 0;
};

constexpr Chord CtrlAlt(std::uint16_t virtualKey) {
    return Chord{static_cast<std::uint16_t>(kControl | kAlt), virtualKey};
}

// Built-in command ids.
constexpr std::int32_t kBuiltinDoNothing = 0;
constexpr std::int32_t kBuiltinDisableHotkey = 2;
constexpr std::int32_t kBuiltinExitPavix = 3;
constexpr std::int32_t kBuiltinLockSystem = 14;
constexpr std::int32_t kBuiltinStartScreenSaver = 15;

struct CommandRecord {
    bool builtin = true;
    std::int32_t id = kBuiltinDoNothing;
    std::string path;
    std::string parameter;
    std::string directory;
};

CommandRecord Builtin(std::int32_t id);
CommandRecord External(std::string path, std::string parameter, std::string directory);

struct SequenceRecord {
    std::string name;
    std::vector<Chord> chords;
    std::vector<CommandRecord> commands;
};

struct ConfigRecord {
    bool abortEnabled = false;
    Chord abortChord;
    std::int32_t timeoutMs = 60000;
    // Empty paths: silence for every event.
    std::string sounds[6];
};

constexpr std::size_t kConfigFileSize = 1595;
constexpr std::size_t kSequenceHeaderSize = 14;

// 1595 bytes: magic "\x07\x08PavixConf", version, the 1580-byte body.
Bytes ConfigBytes(const ConfigRecord& config);
// The magic and the given version with nothing after it, or a body cut to bodyBytes.
Bytes ConfigBytesWithVersion(std::int32_t version, std::size_t bodyBytes);

// The 14-byte header "\x07\x08PavixSeq" + version 1, then one record per sequence.
Bytes SequenceBytes(const std::vector<SequenceRecord>& sequences);
// The sequence-file magic followed by the given raw tail (a version, a cut version, ...).
Bytes SequenceMagicWith(const Bytes& tail);

void AppendInt32(Bytes& bytes, std::int32_t value);

}  // namespace pavix_e2e
