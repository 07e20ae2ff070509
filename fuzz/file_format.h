// An independent reading and writing of the two data files' layouts, written from the layout
// tables alone and sharing no code with storage/, so that the fuzzers can compare the program's
// readers with a second opinion instead of only watching for crashes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/file_result.h"

namespace pavix::fuzz {

// The string-table ids of the messages the readers show; 0 for none.
constexpr std::uint32_t kNoMessage = 0;
constexpr std::uint32_t kInvalidFormatMessage = 2;
constexpr std::uint32_t kVersionMismatchMessage = 4;
constexpr std::uint32_t kReadFailedMessage = 5;

constexpr std::size_t kSequenceHeaderSize = 14;
constexpr std::size_t kConfigSize = 1595;
constexpr std::size_t kConfigBodyAt = 15;
constexpr std::size_t kSoundFieldSize = 261;
constexpr std::size_t kSoundsAt = 8;  // inside the body
constexpr std::size_t kTimeoutAt = 1576;

struct ModelChord {
    std::uint16_t modifiers = 0;
    std::uint16_t key = 0;
    std::uint32_t Packed() const { return static_cast<std::uint32_t>(key) << 16 | modifiers; }
    bool operator==(const ModelChord& other) const { return Packed() == other.Packed(); }
    bool operator<(const ModelChord& other) const { return Packed() < other.Packed(); }
};

struct ModelCommand {
    std::int32_t kind = 0;  // 0 built-in, 1 external
    std::int32_t id = 0;
    std::string path, parameter, directory;
};

struct ModelRecord {
    std::string name;
    std::vector<ModelChord> keys;
    std::vector<ModelCommand> commands;
};

struct ParsedSequenceFile {
    FileResult openResult = FileResult::kOk;  // a missing file is not parsed
    std::uint32_t message = kNoMessage;       // what opening shows
    std::vector<ModelRecord> records;         // every complete record before the end or the damage
    bool damaged = false;                     // reading stopped at a record that cannot be read
};

ParsedSequenceFile ParseSequenceFile(const std::string& bytes);

// Header and records exactly as the layout stores them. Texts are stored as they are, zero bytes
// included.
std::string SequenceFileBytes(const std::vector<ModelRecord>& records);
std::string SequenceRecordBytes(const ModelRecord& record);

struct ParsedConfig {
    FileResult result = FileResult::kOk;
    std::uint32_t message = kNoMessage;
    std::int32_t abortEnabled = 0;
    ModelChord abortKey;
    std::vector<std::string> sounds;  // each up to its first zero byte, at most 260 bytes
    std::int32_t timeout = 0;
};

ParsedConfig ParseConfig(const std::string& bytes);

struct ConfigValues {
    std::int32_t abortEnabled = 0;
    ModelChord abortKey;
    std::vector<std::string> sounds = std::vector<std::string>(6);
    std::int32_t timeout = 5000;
};

std::string ConfigBytes(const ConfigValues& values);

// The result the engine's fold gives for a list of commands, when every command is carried out
// by a platform that refuses nothing: exit outranks disable, disable outranks done.
std::int32_t FoldedResult(const std::vector<ModelCommand>& commands);

std::string LittleEndian32(std::int32_t value);

}  // namespace pavix::fuzz
