// Hostile Config.dat and Sequence.dat files as the running program meets them: through the
// engine's Enable and through the editor's way of reading a whole list. Each case checks the
// result, the message the user sees and the heap it cost, which must stay in proportion to the
// file's real size whatever its fields claim. (The reader's own record-by-record results are
// tested with the storage.)
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/sequence_engine.h"
#include "fake/fake_platform.h"
#include "hardening/allocation_meter.h"
#include "platform/constants.h"
#include "storage/sequence_file.h"
#include "storage/settings.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::FakePlatform;
using testing::AllocationMeter;
using testing::Builtin;
using testing::ConfigFileBytes;
using testing::ConfigSpec;
using testing::External;
using testing::Int32;
using testing::SequenceFileBytes;
using testing::SequenceHeader;
using testing::SequenceRecord;
using testing::SequenceSpec;
using testing::Text;

constexpr WindowHandle kWindow = 0x1234;
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;
constexpr const char* kConfigPath = "C:\\Pavix\\Config.dat";
constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr const char* kInvalidFormat = "Data file format is Invalid";
constexpr const char* kReadFailed = "Failed to read file";
constexpr std::int32_t kHuge = 0x7FFFFFFF;
constexpr std::int32_t kMostNegative = INT32_MIN;
// Reading holds one 64 KiB buffer besides the bytes of the file; everything else is small objects.
constexpr std::size_t kFixedHeap = 256 * 1024;

ConfigSpec SoundsOn() {
    ConfigSpec config;
    config.sounds = {"m.wav", "mm.wav", "a.wav", "t.wav", "e.wav", "d.wav"};
    return config;
}

// Two good records: the second is a one-chord sequence that the hostile one must not disturb.
const std::vector<SequenceSpec>& GoodSpecs() {
    static const std::vector<SequenceSpec> shapes = {
        {"two chords", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'B'}}, {Builtin(kDoNothing)}},
        {"launch", {{kCtrlAlt, 'L'}}, {External("tool.exe", "-x", "C:\\Work")}},
    };
    return shapes;
}

std::string GoodRecords() {
    std::string bytes;
    for (const SequenceSpec& shape : GoodSpecs()) {
        bytes += SequenceRecord(shape);
    }
    return bytes;
}

std::vector<std::string> MessageTexts(const FakePlatform& platform) {
    std::vector<std::string> texts;
    for (const auto& box : platform.messageBoxes) {
        texts.push_back(box.text);
    }
    return texts;
}

struct Enabling {
    bool result = false;
    std::vector<std::string> messages;
    std::size_t matchers = 0;
    std::size_t hotkeys = 0;  // held with the platform after Enable
    std::size_t sounds = 0;   // sounds the silent Enable played anyway
    std::size_t peakHeap = 0;
    std::size_t heldHeap = 0;  // by the enabled engine, beyond what it held before
};

// No block is refused unless a case asks.
constexpr std::size_t kAnyBlock = SIZE_MAX;

// Enables an engine over the given files (nullptr: no such file) and notes what it left. The
// stand-in keeps no call log here, so that the heap measured is the program's alone.
Enabling Enable(const std::string* config, const std::string* sequences, bool sizeKnown = true,
                std::size_t largestBlock = kAnyBlock) {
    FakePlatform platform;
    platform.recording = false;
    if (config != nullptr) {
        platform.files[kConfigPath] = *config;
    }
    if (sequences != nullptr) {
        platform.files[kSequencePath] = *sequences;
    }
    if (!sizeKnown) {
        platform.Script("GetFileSize", 0xFFFFFFFF, 6);  // ERROR_INVALID_HANDLE
    }
    Enabling enabling;
    // Counts the sounds without scripting them: the rule never applies.
    platform.Script("PlaySoundA", 0, 0, [&enabling](const fake::Call&) {
        ++enabling.sounds;
        return false;
    });
    {
        testing::WithErrorBoxes<SequenceEngine> engine(platform);
        engine.SetWindow(kWindow);
        AllocationMeter meter;
        meter.RefuseBlocksOver(largestBlock);
        enabling.result = engine.Enable();
        enabling.peakHeap = meter.PeakBytes();
        enabling.heldHeap = meter.HeldBytes();
        enabling.matchers = engine.MatcherCount();
        enabling.hotkeys = platform.hotkeys.size();
    }
    enabling.messages = MessageTexts(platform);
    EXPECT_TRUE(platform.hotkeys.empty()) << "the engine's destructor unregisters everything";
    EXPECT_EQ(platform.OpenFileCount(), 0);
    return enabling;
}

struct EditorReading {
    FileResult opened = FileResult::kOk;
    std::size_t records = 0;
    bool damaged = false;
    std::vector<std::string> messages;
    std::size_t peakHeap = 0;
};

// Reads the whole list the way the sequence editor does: a fresh sequence per record, kept.
EditorReading ReadList(const std::string& sequences, bool sizeKnown = true,
                       std::size_t largestBlock = kAnyBlock) {
    FakePlatform platform;
    platform.recording = false;
    platform.files[kSequencePath] = sequences;
    if (!sizeKnown) {
        platform.Script("GetFileSize", 0xFFFFFFFF, 6);
    }
    EditorReading reading;
    AllocationMeter meter;
    meter.RefuseBlocksOver(largestBlock);
    {
        SequenceList list;
        testing::WithErrorBoxes<SequenceFile> file(platform);
        reading.opened = file.Open(false);
        for (;;) {
            auto sequence = std::make_unique<Sequence>();
            if (!file.Read(*sequence)) {
                break;
            }
            list.Append(std::move(sequence));
        }
        reading.damaged = file.Damaged();
        reading.records = list.Size();
        reading.peakHeap = meter.PeakBytes();
    }
    reading.messages = MessageTexts(platform);
    return reading;
}

// --- The meter itself ----------------------------------------------------------------------------

TEST(AllocationMeterTest, SeesTheMostHeldAtOnceAndTheLargestBlock) {
    const AllocationMeter meter;
    {
        std::vector<char> first(300000, 'a');
        std::vector<char> second(100000, 'b');
        EXPECT_EQ(first.back() + second.back(), 'a' + 'b');
    }
    std::vector<char> third(200000, 'c');
    EXPECT_EQ(third.back(), 'c');
    EXPECT_GE(meter.PeakBytes(), 400000u);
    EXPECT_LT(meter.PeakBytes(), 420000u);
    EXPECT_EQ(meter.LargestBlock(), 300000u);
}

// --- Fields that claim more than the file holds, or what the writer never writes --------------

struct HostileRecord {
    std::string what;
    std::string bytes;
};

std::vector<HostileRecord> HostileRecords() {
    const std::string name = Text("hostile");
    const std::string oneKey = Int32(1) + testing::ChordBytes(kCtrlAlt, 'H');
    const std::string oneCommand = Int32(1);
    const std::string external = oneCommand + Int32(1);
    std::vector<HostileRecord> records = {
        {"kind 2", name + oneKey + oneCommand + Int32(2) + Int32(0)},
        {"kind -1", name + oneKey + oneCommand + Int32(-1) + Int32(0)},
        {"id 16", name + oneKey + oneCommand + Int32(0) + Int32(16)},
        {"id -1", name + oneKey + oneCommand + Int32(0) + Int32(-1)},
    };
    // Each length and count at the largest value and at negative ones, the rest of the record
    // as it would be.
    for (std::int32_t claim : {kHuge, -1, kMostNegative}) {
        const std::string value = Int32(claim);
        const std::string suffix = " " + std::to_string(claim);
        records.push_back({"name length" + suffix, value + "abc"});
        records.push_back(
            {"key count" + suffix, name + value + testing::ChordBytes(kCtrlAlt, 'H')});
        records.push_back({"command count" + suffix, name + oneKey + value + Int32(0) + Int32(0)});
        records.push_back({"path length" + suffix, name + oneKey + external + value + Text("a")});
        records.push_back(
            {"parameter length" + suffix, name + oneKey + external + Text("p") + value + "d"});
        records.push_back({"directory length" + suffix,
                           name + oneKey + external + Text("p") + Text("a") + value + "d"});
    }
    return records;
}

TEST(HostileSequenceFileTest, EngineKeepsTheGoodRecordsReportsOnceAndAllocatesLittle) {
    for (bool sizeKnown : {true, false}) {
        for (const HostileRecord& hostile : HostileRecords()) {
            const std::string config = ConfigFileBytes(SoundsOn());
            const std::string sequences = SequenceHeader() + GoodRecords() + hostile.bytes;
            const Enabling enabling = Enable(&config, &sequences, sizeKnown);
            const std::string context = hostile.what + (sizeKnown ? "" : ", no size");
            EXPECT_TRUE(enabling.result) << context;
            EXPECT_EQ(enabling.matchers, 2u) << context;
            // Ctrl+Alt+A, B and L; the hostile record's chord never reaches the platform.
            EXPECT_EQ(enabling.hotkeys, 3u) << context;
            EXPECT_EQ(enabling.messages, std::vector<std::string>{kInvalidFormat}) << context;
            EXPECT_EQ(enabling.sounds, 0u) << context;
            EXPECT_LT(enabling.peakHeap, kFixedHeap) << context;
        }
    }
}

TEST(HostileSequenceFileTest, EditorListKeepsTheGoodRecordsSilentlyAndAllocatesLittle) {
    for (bool sizeKnown : {true, false}) {
        for (const HostileRecord& hostile : HostileRecords()) {
            const EditorReading reading =
                ReadList(SequenceHeader() + GoodRecords() + hostile.bytes, sizeKnown);
            const std::string context = hostile.what + (sizeKnown ? "" : ", no size");
            EXPECT_EQ(reading.opened, FileResult::kOk) << context;
            EXPECT_EQ(reading.records, 2u) << context;
            EXPECT_TRUE(reading.damaged) << context;
            EXPECT_TRUE(reading.messages.empty()) << context;
            EXPECT_LT(reading.peakHeap, kFixedHeap) << context;
        }
    }
}

// A command count one more than the valid commands that fill the rest of the file: reading them
// would build thousands of commands before the end of the file stopped it, so only the count's
// bound keeps the heap to the file's bytes, which are read whole.
TEST(HostileSequenceFileTest, CommandCountBeyondTheFileIsRefusedBeforeItsCommands) {
    constexpr std::int32_t kFillerCommands = 16384;
    std::string hostile = Text("hostile") + Int32(1) + testing::ChordBytes(kCtrlAlt, 'H');
    hostile += Int32(kFillerCommands + 1);
    for (std::int32_t i = 0; i < kFillerCommands; ++i) {
        hostile += Int32(0) + Int32(kDoNothing);
    }
    const std::string sequences = SequenceHeader() + GoodRecords() + hostile;
    const std::string config = ConfigFileBytes(SoundsOn());
    const Enabling enabling = Enable(&config, &sequences);
    EXPECT_EQ(enabling.matchers, 2u);
    EXPECT_EQ(enabling.messages, std::vector<std::string>{kInvalidFormat});
    EXPECT_LT(enabling.peakHeap, kFixedHeap + sequences.size());
    const EditorReading reading = ReadList(sequences);
    EXPECT_EQ(reading.records, 2u);
    EXPECT_TRUE(reading.damaged);
    EXPECT_LT(reading.peakHeap, kFixedHeap + sequences.size());
}

// --- Truncation ---------------------------------------------------------------------------------

TEST(HostileSequenceFileTest, EveryTruncationEnablesTheCompleteRecordsBeforeIt) {
    const std::vector<SequenceSpec> shapes = {
        GoodSpecs()[0],
        {"no commands", {{kCtrlAlt, 'N'}}, {}},
        GoodSpecs()[1],
        {"both", {{kCtrlAlt, 'A'}, {kCtrlAlt, 'C'}}, {Builtin(kLockSystem), External("x", "", "")}},
    };
    const std::string whole = SequenceFileBytes(shapes);
    std::vector<std::size_t> ends{SequenceHeader().size()};
    for (const SequenceSpec& shape : shapes) {
        ends.push_back(ends.back() + SequenceRecord(shape).size());
    }
    // Matchers and distinct chords after each complete record.
    const std::size_t matchers[] = {0, 1, 1, 2, 3};
    const std::size_t hotkeys[] = {0, 2, 2, 3, 4};
    const std::string config = ConfigFileBytes(SoundsOn());
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        const std::string sequences = whole.substr(0, length);
        const Enabling enabling = Enable(&config, &sequences);
        const std::string context = "length " + std::to_string(length);
        EXPECT_LT(enabling.peakHeap, kFixedHeap) << context;
        if (length < 10) {
            EXPECT_FALSE(enabling.result) << context;
            EXPECT_EQ(enabling.messages, std::vector<std::string>{kInvalidFormat}) << context;
            EXPECT_EQ(enabling.sounds, 1u) << context << ": disabled with the disable sound";
            continue;
        }
        if (length < 14) {
            EXPECT_FALSE(enabling.result) << context;
            EXPECT_EQ(enabling.messages, std::vector<std::string>{kReadFailed}) << context;
            EXPECT_EQ(enabling.sounds, 1u) << context;
            continue;
        }
        std::size_t complete = 0;
        while (complete + 1 < ends.size() && ends[complete + 1] <= length) {
            ++complete;
        }
        const bool atBoundary = ends[complete] == length;
        EXPECT_TRUE(enabling.result) << context;
        EXPECT_EQ(enabling.matchers, matchers[complete]) << context;
        EXPECT_EQ(enabling.hotkeys, hotkeys[complete]) << context;
        EXPECT_EQ(enabling.messages.size(), atBoundary ? 0u : 1u) << context;
        EXPECT_EQ(enabling.sounds, 0u) << context;
    }
}

// --- Files of telling sizes ---------------------------------------------------------------------

TEST(HostileFileSizeTest, ConfigOfTellingSizesDisablesTheEngineWithOneMessage) {
    const std::string valid = ConfigFileBytes(SoundsOn());
    const std::string sequences = SequenceFileBytes(GoodSpecs());
    const std::pair<std::size_t, const char*> cases[] = {
        {0, kInvalidFormat}, {1, kInvalidFormat}, {10, kInvalidFormat},
        {14, kReadFailed},   {15, kReadFailed},   {1594, kReadFailed},
    };
    for (const auto& [size, message] : cases) {
        const std::string config = valid.substr(0, size);
        const Enabling enabling = Enable(&config, &sequences);
        EXPECT_FALSE(enabling.result) << size;
        EXPECT_EQ(enabling.messages, std::vector<std::string>{message}) << size;
        EXPECT_EQ(enabling.hotkeys, 0u) << size;
        EXPECT_EQ(enabling.matchers, 0u) << size;
        EXPECT_LT(enabling.peakHeap, kFixedHeap) << size;
    }
}

TEST(HostileFileSizeTest, SequenceFileOfTellingSizesGivesItsOwnResult) {
    std::vector<SequenceSpec> shapes;
    for (int i = 0; i < 60; ++i) {
        shapes.push_back({"sequence " + std::to_string(10 + i),
                          {{kCtrlAlt, static_cast<std::uint16_t>('A' + i % 26)}},
                          {Builtin(kDoNothing)}});
    }
    const std::string valid = SequenceFileBytes(shapes);
    const std::size_t recordSize = SequenceRecord(shapes[0]).size();
    ASSERT_GT(valid.size(), 1594u);
    ASSERT_NE((1594 - 14) % recordSize, 0u) << "1594 must cut a record";
    const std::string config = ConfigFileBytes(SoundsOn());
    struct Case {
        std::size_t size;
        bool result;
        std::vector<std::string> messages;
        std::size_t matchers;
    };
    const Case cases[] = {
        {0, false, {kInvalidFormat}, 0},
        {1, false, {kInvalidFormat}, 0},
        {10, false, {kReadFailed}, 0},
        {14, true, {}, 0},                // the header alone: no sequences
        {15, true, {kInvalidFormat}, 0},  // one byte of a record
        {1594, true, {kInvalidFormat}, (1594 - 14) / recordSize},
    };
    for (const Case& expected : cases) {
        const std::string sequences = valid.substr(0, expected.size);
        const Enabling enabling = Enable(&config, &sequences);
        EXPECT_EQ(enabling.result, expected.result) << expected.size;
        EXPECT_EQ(enabling.messages, expected.messages) << expected.size;
        EXPECT_EQ(enabling.matchers, expected.matchers) << expected.size;
        EXPECT_LT(enabling.peakHeap, kFixedHeap) << expected.size;
    }
}

TEST(HostileFileSizeTest, GarbageOfTellingSizesIsNotAFile) {
    const std::string config = ConfigFileBytes(SoundsOn());
    for (std::size_t size : {1u, 10u, 14u, 15u, 1594u}) {
        const std::string garbage(size, '\xFF');
        const Enabling asSequences = Enable(&config, &garbage);
        EXPECT_FALSE(asSequences.result) << size;
        EXPECT_EQ(asSequences.messages, std::vector<std::string>{kInvalidFormat}) << size;
        const std::string sequences = SequenceFileBytes(GoodSpecs());
        const Enabling asConfig = Enable(&garbage, &sequences);
        EXPECT_FALSE(asConfig.result) << size;
        EXPECT_EQ(asConfig.messages, std::vector<std::string>{kInvalidFormat}) << size;
        EXPECT_EQ(asConfig.hotkeys, 0u) << size;
    }
}

// --- Config.dat sound paths without their zero byte ---------------------------------------------

TEST(HostileConfigTest, SoundPathsWithoutAZeroByteAreCutAt260Characters) {
    std::string config = ConfigFileBytes(SoundsOn());
    for (int event = 0; event < kSoundEventCount; ++event) {
        const std::size_t field = 23 + static_cast<std::size_t>(event) * 261;
        config.replace(field, 261, std::string(261, static_cast<char>('a' + event)));
    }
    const std::string sequences = SequenceFileBytes(GoodSpecs());
    FakePlatform platform;
    platform.files[kConfigPath] = config;
    platform.files[kSequencePath] = sequences;
    {
        testing::WithErrorBoxes<SequenceEngine> engine(platform);
        engine.SetWindow(kWindow);
        ASSERT_TRUE(engine.Enable());
        // Every event plays its path of exactly 260 characters; none runs into the next field.
        engine.OnHotkey(engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'A'}));  // match
        engine.OnHotkey(engine.Registry().Hotkeys().at(KeyChord{kCtrlAlt, 'L'}));  // mismatch
        engine.Abort();
        engine.Timeout();
        engine.EnableAndNotify();
        engine.DisableAndNotify();
    }
    const auto plays = platform.CallsNamed("PlaySoundA");
    ASSERT_EQ(plays.size(), 6u);
    const int events[] = {kSoundMatch,   kSoundMismatch, kSoundAbort,
                          kSoundTimeout, kSoundEnable,   kSoundDisable};
    for (std::size_t i = 0; i < plays.size(); ++i) {
        EXPECT_EQ(plays[i].args[0],
                  "\"" + std::string(260, static_cast<char>('a' + events[i])) + "\"");
    }
    EXPECT_TRUE(platform.messageBoxes.empty());

    // Saved again, each field ends with its zero byte.
    testing::WithErrorBoxes<Settings> settings(platform);
    ASSERT_EQ(settings.Load(), FileResult::kOk);
    ASSERT_TRUE(settings.Save());
    const std::string saved = platform.files[kConfigPath];
    for (int event = 0; event < kSoundEventCount; ++event) {
        const std::size_t field = 23 + static_cast<std::size_t>(event) * 261;
        EXPECT_EQ(saved.substr(field, 261),
                  std::string(260, static_cast<char>('a' + event)) + '\0');
    }
}

// --- A 100 MB Sequence.dat
// ------------------------------------------------------------------------

constexpr std::size_t kHundredMegabytes = 100u * 1024 * 1024;

TEST(HugeSequenceFileTest, HundredMegabyteCommandCostsMemoryInProportionToTheFile) {
    // One sequence whose program path fills the file, then a record that claims every key.
    const std::string tail = Text("tail") + Int32(kHuge);
    const std::string front = SequenceHeader() + Text("big") + Int32(1) +
                              testing::ChordBytes(kCtrlAlt, 'B') + Int32(1) + Int32(1);
    const std::size_t pathLength = kHundredMegabytes - front.size() - 4 - 8 - tail.size();
    std::string sequences = front + Int32(static_cast<std::int32_t>(pathLength));
    sequences.append(pathLength, 'p');
    sequences += Text("") + Text("") + tail;
    ASSERT_EQ(sequences.size(), kHundredMegabytes);
    const std::string config = ConfigFileBytes(SoundsOn());

    const Enabling enabling = Enable(&config, &sequences);
    EXPECT_TRUE(enabling.result);
    EXPECT_EQ(enabling.matchers, 1u);
    EXPECT_EQ(enabling.hotkeys, 1u);
    EXPECT_EQ(enabling.messages, std::vector<std::string>{kInvalidFormat});
    // The path itself, and at worst a second copy while its text grows.
    EXPECT_LT(enabling.peakHeap, 3 * kHundredMegabytes) << enabling.peakHeap;
}

TEST(HugeSequenceFileTest, HundredMegabytesOfSkippedRecordsCostTheEngineTheFileOnce) {
    // About a million sequences without commands: the engine reads the file whole, builds
    // nothing for any of them.
    std::string record = SequenceRecord({std::string(80, 'n'), {{kCtrlAlt, 'K'}}, {}});
    std::string sequences = SequenceHeader();
    sequences.reserve(kHundredMegabytes + record.size());
    while (sequences.size() + record.size() <= kHundredMegabytes) {
        sequences += record;
    }
    const std::size_t count = (sequences.size() - SequenceHeader().size()) / record.size();
    const std::string config = ConfigFileBytes(SoundsOn());

    const Enabling enabling = Enable(&config, &sequences);
    EXPECT_TRUE(enabling.result);
    EXPECT_EQ(enabling.matchers, 0u);
    EXPECT_EQ(enabling.hotkeys, 0u);
    EXPECT_TRUE(enabling.messages.empty());
    EXPECT_LT(enabling.peakHeap, kFixedHeap + sequences.size()) << count << " records";
}

// Skipped records past the 128 MiB that reading once reserved ahead, then one usable record: the
// engine holds the file once while it reads, and afterwards only what the usable record needs.
TEST(HugeSequenceFileTest, SkippedRecordsPastOneHundredTwentyEightMebibytesAreNotKept) {
    const std::string skipped = SequenceRecord({std::string(80, 'n'), {{kCtrlAlt, 'K'}}, {}});
    const std::size_t size = std::size_t{136} << 20;
    std::string sequences = SequenceHeader();
    sequences.reserve(size + skipped.size());
    while (sequences.size() + skipped.size() <= size) {
        sequences += skipped;
    }
    sequences += SequenceRecord(GoodSpecs()[1]);
    const std::string config = ConfigFileBytes(SoundsOn());

    const Enabling enabling = Enable(&config, &sequences);
    EXPECT_TRUE(enabling.result);
    EXPECT_EQ(enabling.matchers, 1u);
    EXPECT_TRUE(enabling.messages.empty());
    EXPECT_LT(enabling.peakHeap, kFixedHeap + sequences.size()) << enabling.peakHeap;
    EXPECT_LT(enabling.heldHeap, kFixedHeap) << enabling.heldHeap;
}

// The records of a file larger than the memory there is: the file cannot be read, as when a read
// fails, and nothing escapes as an exception.
TEST(HugeSequenceFileTest, FileLargerThanTheMemoryThereIsIsAReadFailure) {
    std::string sequences = SequenceFileBytes(GoodSpecs());
    sequences.append(std::size_t{1} << 20, '\0');  // empty-named records without keys or commands
    const std::string config = ConfigFileBytes(SoundsOn());
    constexpr std::size_t kLargestBlock = 512 * 1024;
    for (const bool sizeKnown : {true, false}) {
        const Enabling enabling = Enable(&config, &sequences, sizeKnown, kLargestBlock);
        EXPECT_FALSE(enabling.result) << sizeKnown;
        EXPECT_EQ(enabling.messages, std::vector<std::string>{kReadFailed}) << sizeKnown;
        EXPECT_EQ(enabling.matchers, 0u) << sizeKnown;
        EXPECT_EQ(enabling.hotkeys, 0u) << sizeKnown;
        EXPECT_EQ(enabling.sounds, 1u) << "the disable sound";

        const EditorReading reading = ReadList(sequences, sizeKnown, kLargestBlock);
        EXPECT_EQ(reading.opened, FileResult::kUnusable) << sizeKnown;
        EXPECT_EQ(reading.records, 0u) << sizeKnown;
        EXPECT_EQ(reading.messages, std::vector<std::string>{kReadFailed}) << sizeKnown;
    }
}

}  // namespace
}  // namespace pavix
