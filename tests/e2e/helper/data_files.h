// The data files as the scenarios write them, through the tests' one encoder of the two layouts
// (tests/support/data_files.h), with the chords and built-in ids the scenarios use.
#pragma once

#include <cstdint>
#include <string>

#include "support/data_files.h"

namespace pavix_e2e {

using Bytes = std::string;  // a file's contents

using pavix::testing::Builtin;
using pavix::testing::Chord;
using pavix::testing::CommandSpec;
using pavix::testing::ConfigFileBytes;
using pavix::testing::ConfigHeader;
using pavix::testing::ConfigSpec;
using pavix::testing::External;
using pavix::testing::kConfigBodySize;
using pavix::testing::kSequenceHeaderSize;
using pavix::testing::SequenceFileBytes;
using pavix::testing::SequenceHeader;
using pavix::testing::SequenceRecord;
using pavix::testing::SequenceSpec;

// Hotkey modifier bits as stored in the files (the platform's MOD_ values).
constexpr std::uint16_t kAlt = 0x0001;
constexpr std::uint16_t kControl = 0x0002;
constexpr std::uint16_t kShift = 0x0004;
constexpr std::uint16_t kWin = 0x0008;

constexpr Chord CtrlAlt(std::uint16_t virtualKey) {
    return Chord{static_cast<std::uint16_t>(kControl | kAlt), virtualKey};
}

// Built-in command ids.
constexpr std::int32_t kBuiltinDoNothing = 0;
constexpr std::int32_t kBuiltinDisableHotkey = 2;
constexpr std::int32_t kBuiltinExitPavix = 3;
constexpr std::int32_t kBuiltinLockSystem = 14;
constexpr std::int32_t kBuiltinStartScreenSaver = 15;

// A command stored with the kind 2, which no reader accepts: it makes its record damaged.
inline CommandSpec UnknownKindCommand() {
    CommandSpec command = Builtin(kBuiltinDoNothing);
    command.storedKind = 2;
    return command;
}

// What most scenarios start from: no abort chord, silence for every event, and a time-out that
// no scenario reaches by accident.
inline ConfigSpec QuietConfig() {
    ConfigSpec config;
    config.timeout = 60000;
    return config;
}

}  // namespace pavix_e2e
