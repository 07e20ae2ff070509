// An independent reading of the two data files' layouts, written from the layout tables alone and
// sharing no code with storage/, so that the fuzzers can compare the program's readers with a
// second opinion instead of only watching for crashes. The bytes are written by the tests' encoder
// (support/data_files.h), whose types the readings return.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/file_result.h"
#include "support/data_files.h"

namespace pavix::fuzz {

// The string-table ids of the messages the readers show; 0 for none.
constexpr std::uint32_t kNoMessage = 0;
constexpr std::uint32_t kInvalidFormatMessage = 2;
constexpr std::uint32_t kVersionMismatchMessage = 4;
constexpr std::uint32_t kReadFailedMessage = 5;

using testing::Chord;
using testing::CommandSpec;
using testing::ConfigSpec;
using testing::SequenceSpec;

struct ParsedSequenceFile {
    FileResult openResult = FileResult::kOk;  // a missing file is not parsed
    std::uint32_t message = kNoMessage;       // what opening shows
    std::vector<SequenceSpec> records;        // every complete record before the end or the damage
    bool damaged = false;                     // reading stopped at a record that cannot be read
};

ParsedSequenceFile ParseSequenceFile(const std::string& bytes);

struct ParsedConfig {
    FileResult result = FileResult::kOk;
    std::uint32_t message = kNoMessage;
    std::int32_t abortEnabled = 0;
    Chord abortKey;
    std::vector<std::string> sounds;  // each up to its first zero byte, at most 260 bytes
    std::int32_t timeout = 0;
};

ParsedConfig ParseConfig(const std::string& bytes);

// The result the engine's fold gives for a list of commands, when every command is carried out
// by a platform that refuses nothing: exit outranks disable, disable outranks done.
std::int32_t FoldedResult(const std::vector<CommandSpec>& commands);

}  // namespace pavix::fuzz
