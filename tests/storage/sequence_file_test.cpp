#include "storage/sequence_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::Call;
using fake::Calls;
using fake::FakePlatform;
using fake::MessageBox;
using testing::Builtin;
using testing::External;
using testing::Int32;
using testing::SequenceFileBytes;
using testing::SequenceHeader;
using testing::SequenceRecord;
using testing::SequenceSpec;
using testing::Text;

constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr const char* kNewSequencePath = "C:\\Pavix\\Sequence.new";
constexpr FileHandle kFirstHandle = 0x100;  // the stand-in's first file handle

using testing::ErrorBox;
using testing::kInvalidFormat;
using testing::kOpenForWriteFailed;
using testing::kReadFailed;
using testing::kVersionMismatch;
using testing::kWriteFailed;
using Boxes = std::vector<MessageBox>;

std::vector<SequenceSpec> SampleSpecs() {
    return {
        {"A", {{kModControl | kModAlt, 0x41}}, {Builtin(kLockSystem)}},
        {"", {}, {}},
        {"Notepad",
         {{kModWin, 'N'}, {kModWin, 'N'}, {0, 0x13}},
         {External("notepad.exe"), Builtin(kDoNothing),
          External("C:\\x y\\run.bat", "-a -b", "C:\\x y")}},
        {"keys only", {{0xFFFF, 0xFFFF}}, {}},
        {"commands only", {}, {Builtin(kStartScreenSaver), External("", "", "")}},
    };
}

// Many records of every kind, some with long texts: more than two write buffers' worth.
std::vector<SequenceSpec> LargeSpecs(int count) {
    std::vector<SequenceSpec> shapes;
    for (int i = 0; i < count; ++i) {
        SequenceSpec shape{"Sequence " + std::to_string(i),
                           {{kModControl, static_cast<std::uint16_t>(0x30 + i % 10)},
                            {kModAlt, static_cast<std::uint16_t>(0x41 + i % 26)}},
                           {Builtin(i % kBuiltinCommandCount)}};
        if (i % 3 == 0) {
            shape.commands.push_back(
                External("C:\\Program Files\\Tool\\tool" + std::to_string(i) + ".exe",
                         std::string(static_cast<std::size_t>(i % 200), 'p'), "C:\\Work"));
        }
        shapes.push_back(shape);
    }
    return shapes;
}

std::unique_ptr<Sequence> Build(const SequenceSpec& shape) {
    auto sequence = std::make_unique<Sequence>(shape.name);
    for (const auto& key : shape.keys) {
        sequence->AppendKey(KeyChord{key.modifiers, key.virtualKey});
    }
    for (const auto& command : shape.commands) {
        if (command.builtin) {
            sequence->AppendCommand(std::make_unique<BuiltinCommand>(command.id));
        } else {
            sequence->AppendCommand(std::make_unique<ExternalCommand>(
                command.path, command.parameter, command.directory));
        }
    }
    return sequence;
}

SequenceList BuildList(const std::vector<SequenceSpec>& shapes) {
    SequenceList list;
    for (const auto& shape : shapes) {
        list.Append(Build(shape));
    }
    return list;
}

::testing::AssertionResult Matches(const Sequence& sequence, const SequenceSpec& shape) {
    if (sequence.Name() != shape.name) {
        return ::testing::AssertionFailure() << "name " << sequence.Name() << " != " << shape.name;
    }
    if (sequence.Keys().size() != shape.keys.size()) {
        return ::testing::AssertionFailure() << "key count of " << shape.name;
    }
    for (std::size_t i = 0; i < shape.keys.size(); ++i) {
        if (sequence.Keys()[i] != (KeyChord{shape.keys[i].modifiers, shape.keys[i].virtualKey})) {
            return ::testing::AssertionFailure() << "key " << i << " of " << shape.name;
        }
    }
    if (sequence.Commands().size() != shape.commands.size()) {
        return ::testing::AssertionFailure() << "command count of " << shape.name;
    }
    for (std::size_t i = 0; i < shape.commands.size(); ++i) {
        const Command& command = *sequence.Commands()[i];
        const auto& expected = shape.commands[i];
        if (command.IsBuiltin() != expected.builtin) {
            return ::testing::AssertionFailure() << "kind of command " << i << " of " << shape.name;
        }
        if (expected.builtin) {
            if (static_cast<const BuiltinCommand&>(command).Id() != expected.id) {
                return ::testing::AssertionFailure() << "id of command " << i;
            }
        } else {
            const auto& external = static_cast<const ExternalCommand&>(command);
            if (external.Path() != expected.path || external.Parameter() != expected.parameter ||
                external.Directory() != expected.directory) {
                return ::testing::AssertionFailure() << "texts of command " << i;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

struct ReadResult {
    std::vector<std::unique_ptr<Sequence>> sequences;
    bool damaged = false;
};

// Reads as the editor does: a fresh sequence per record until Read returns false.
ReadResult ReadAll(SequenceFile& file) {
    ReadResult result;
    for (;;) {
        auto sequence = std::make_unique<Sequence>();
        if (!file.Read(*sequence)) {
            break;
        }
        result.sequences.push_back(std::move(sequence));
    }
    result.damaged = file.Damaged();
    return result;
}

// Writes as the editor does on OK: every sequence in order, stopping at the first false.
// Returns how many Write calls returned true, or -1 when Open failed.
int WriteAll(Platform& platform, const SequenceList& list) {
    testing::WithErrorBoxes<SequenceFile> file(platform);
    if (file.Open(true) != FileResult::kOk) {
        file.Close();
        return -1;
    }
    int written = 0;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        if (!file.Write(list.At(i))) {
            break;
        }
        ++written;
    }
    file.Close();
    return written;
}

std::string ReadGolden(const std::string& name) {
    std::ifstream in(std::string(PAVIX_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class SequenceFileTest : public ::testing::Test {
  protected:
    FakePlatform platform;
};

// --- Construction and the example of the document ----------------------------------------------

TEST_F(SequenceFileTest, ConstructionFixesThePathBesideTheExecutableAndOpensNothing) {
    testing::WithErrorBoxes<SequenceFile> file(platform);
    EXPECT_STREQ(file.Path(), kSequencePath);
    EXPECT_EQ(platform.calls, (Calls{Call("GetModuleHandleA", nullptr),
                                     Call("GetModuleFileNameA", FakePlatform::kInstance, 260),
                                     Call("PathRemoveFileSpecA", "C:\\Pavix\\Pavix.exe"),
                                     Call("PathAppendA", "C:\\Pavix", "Sequence.dat")}));
    EXPECT_FALSE(file.Damaged());
    EXPECT_FALSE(file.Close());
    Sequence sequence;
    EXPECT_FALSE(file.Read(sequence));
    EXPECT_FALSE(file.Write(sequence));
    EXPECT_TRUE(platform.files.empty());
}

TEST_F(SequenceFileTest, ExampleRecordOfTheDocumentIsWrittenByteForByte) {
    const std::string expected =
        std::string("\x07\x08PavixSeq\x01\x00\x00\x00", 14) + std::string(
                                                                  "\x01\x00\x00\x00"
                                                                  "A"
                                                                  "\x01\x00\x00\x00"
                                                                  "\x03\x00\x41\x00"
                                                                  "\x01\x00\x00\x00"
                                                                  "\x00\x00\x00\x00"
                                                                  "\x0E\x00\x00\x00",
                                                                  25);
    ASSERT_EQ(ReadGolden("sequence_example.dat"), expected);

    testing::WithErrorBoxes<SequenceFile> file(platform);
    platform.calls.clear();
    ASSERT_EQ(file.Open(true), FileResult::kOk);
    Sequence sequence("A");
    sequence.AppendKey(KeyChord{kModControl | kModAlt, 0x41});
    sequence.AppendCommand(std::make_unique<BuiltinCommand>(kLockSystem));
    EXPECT_TRUE(file.Write(sequence));
    EXPECT_TRUE(file.Close());

    EXPECT_EQ(platform.files[kSequencePath], expected);
    EXPECT_EQ(platform.files.size(), 1u);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.calls,
              (Calls{Call("CreateFileA", kNewSequencePath, kGenericWrite, 0, kCreateAlways,
                          kFileAttributeNormal),
                     Call("WriteFile", kFirstHandle, 14), Call("WriteFile", kFirstHandle, 25),
                     Call("FlushFileBuffers", kFirstHandle), Call("CloseHandle", kFirstHandle),
                     Call("MoveFileExA", kNewSequencePath, kSequencePath,
                          kMoveFileReplaceExisting | kMoveFileWriteThrough)}));
}

TEST_F(SequenceFileTest, ExampleRecordOfTheDocumentIsRead) {
    platform.files[kSequencePath] = ReadGolden("sequence_example.dat");
    testing::WithErrorBoxes<SequenceFile> file(platform);
    platform.calls.clear();
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    EXPECT_TRUE(file.Close());

    ASSERT_EQ(result.sequences.size(), 1u);
    EXPECT_TRUE(Matches(*result.sequences[0], SampleSpecs()[0]));
    EXPECT_FALSE(result.damaged);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
    EXPECT_EQ(platform.calls,
              (Calls{Call("CreateFileA", kSequencePath, kGenericRead, 0, kOpenExisting,
                          kFileAttributeNormal),
                     Call("GetFileSize", kFirstHandle), Call("ReadFile", kFirstHandle, 256),
                     Call("ReadFile", kFirstHandle, 256), Call("CloseHandle", kFirstHandle)}));
}

// --- Round trips ---------------------------------------------------------------------------------

TEST_F(SequenceFileTest, WrittenListReadsBackTheSame) {
    const auto shapes = SampleSpecs();
    ASSERT_EQ(WriteAll(platform, BuildList(shapes)), static_cast<int>(shapes.size()));
    EXPECT_EQ(platform.files[kSequencePath], SequenceFileBytes(shapes));

    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    ASSERT_EQ(result.sequences.size(), shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        EXPECT_TRUE(Matches(*result.sequences[i], shapes[i]));
    }
    EXPECT_FALSE(result.damaged);
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(SequenceFileTest, LargeListSpanningManyBuffersReadsBackTheSame) {
    const auto shapes = LargeSpecs(3000);
    ASSERT_EQ(WriteAll(platform, BuildList(shapes)), 3000);
    ASSERT_EQ(platform.files[kSequencePath], SequenceFileBytes(shapes));
    ASSERT_GT(platform.files[kSequencePath].size(), 3u * 64 * 1024);

    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    ASSERT_EQ(result.sequences.size(), shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        ASSERT_TRUE(Matches(*result.sequences[i], shapes[i])) << i;
    }
    EXPECT_FALSE(result.damaged);
}

TEST_F(SequenceFileTest, TextsLongerThanABufferRoundTrip) {
    const std::vector<SequenceSpec> shapes = {
        {std::string(200000, 'n'), {{1, 2}}, {External(std::string(70000, 'p'), "", "d")}},
        {"after", {}, {Builtin(3)}},
    };
    ASSERT_EQ(WriteAll(platform, BuildList(shapes)), 2);
    ASSERT_EQ(platform.files[kSequencePath], SequenceFileBytes(shapes));
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    ASSERT_EQ(result.sequences.size(), 2u);
    EXPECT_TRUE(Matches(*result.sequences[0], shapes[0]));
    EXPECT_TRUE(Matches(*result.sequences[1], shapes[1]));
    EXPECT_FALSE(result.damaged);
}

TEST_F(SequenceFileTest, EmptyListIsStoredAsTheHeaderAlone) {
    ASSERT_EQ(WriteAll(platform, SequenceList()), 0);
    EXPECT_EQ(platform.files[kSequencePath], SequenceHeader());
    EXPECT_EQ(platform.files[kSequencePath].size(), 14u);

    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    Sequence sequence;
    EXPECT_FALSE(file.Read(sequence));
    EXPECT_FALSE(file.Damaged());
}

TEST_F(SequenceFileTest, ReadReplacesTheNameAndAppendsKeysAndCommands) {
    platform.files[kSequencePath] = ReadGolden("sequence_example.dat");
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    Sequence sequence("old");
    sequence.AppendKey(KeyChord{0, 1});
    sequence.AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
    ASSERT_TRUE(file.Read(sequence));
    EXPECT_EQ(sequence.Name(), "A");
    ASSERT_EQ(sequence.Keys().size(), 2u);
    EXPECT_EQ(sequence.Keys()[1], (KeyChord{kModControl | kModAlt, 0x41}));
    ASSERT_EQ(sequence.Commands().size(), 2u);
    EXPECT_EQ(static_cast<const BuiltinCommand&>(*sequence.Commands()[1]).Id(), kLockSystem);
}

TEST_F(SequenceFileTest, TextsAreTakenUpToTheirFirstZeroByte) {
    platform.files[kSequencePath] = SequenceHeader() + Text(std::string("ab\0cd", 5)) + Int32(0) +
                                    Int32(1) + Int32(1) + Text(std::string("\0path", 5)) +
                                    Text(std::string("x\0", 2)) + Text("dir");
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    Sequence sequence;
    ASSERT_TRUE(file.Read(sequence));
    EXPECT_EQ(sequence.Name(), "ab");
    const auto& external = static_cast<const ExternalCommand&>(*sequence.Commands()[0]);
    EXPECT_EQ(external.Path(), "");
    EXPECT_EQ(external.Parameter(), "x");
    EXPECT_EQ(external.Directory(), "dir");
    EXPECT_FALSE(file.Read(sequence));
    EXPECT_FALSE(file.Damaged());
}

TEST_F(SequenceFileTest, RecordWithoutCommandsEndsRightAfterItsCount) {
    platform.files[kSequencePath] =
        SequenceHeader() + Text("") + Int32(0) + Int32(0) + Text("next") + Int32(0) + Int32(0);
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    ASSERT_EQ(result.sequences.size(), 2u);
    EXPECT_EQ(result.sequences[0]->Name(), "");
    EXPECT_EQ(result.sequences[1]->Name(), "next");
    EXPECT_FALSE(result.damaged);
}

// --- Opening for reading -------------------------------------------------------------------------

TEST_F(SequenceFileTest, MissingFileOpensAsMissingSilentlyAndCreatesNothing) {
    testing::WithErrorBoxes<SequenceFile> file(platform);
    EXPECT_EQ(file.Open(false), FileResult::kMissing);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.files.empty());
    Sequence sequence;
    EXPECT_FALSE(file.Read(sequence));
    EXPECT_FALSE(file.Damaged());
    EXPECT_FALSE(file.Close());
}

TEST_F(SequenceFileTest, EveryTruncatedHeaderIsReportedOnceTheFileIsClosed) {
    const std::string valid = SequenceFileBytes(SampleSpecs());
    for (std::size_t length = 0; length < 14; ++length) {
        FakePlatform local;
        local.files[kSequencePath] = valid.substr(0, length);
        int openWhileShown = -1;
        local.whileMessageBoxOpen = [&](const MessageBox&) {
            openWhileShown = local.OpenFileCount();
        };
        testing::WithErrorBoxes<SequenceFile> file(local);
        ASSERT_EQ(file.Open(false), FileResult::kUnusable) << length;
        EXPECT_EQ(local.messageBoxes, Boxes{length < 10 ? kInvalidFormat : kReadFailed}) << length;
        EXPECT_EQ(openWhileShown, 0) << length;
        Sequence sequence;
        EXPECT_FALSE(file.Read(sequence));
        EXPECT_FALSE(file.Damaged());
        EXPECT_FALSE(file.Close());
        EXPECT_EQ(local.messageBoxes.size(), 1u);
    }
}

TEST_F(SequenceFileTest, WrongMagicOrVersionIsReported) {
    std::string wrongMagic = SequenceFileBytes(SampleSpecs());
    wrongMagic[2] = 'p';
    const std::pair<std::string, MessageBox> cases[] = {
        {wrongMagic, kInvalidFormat},
        {std::string("\x07\x08PavixConf", 11) + Int32(1), kInvalidFormat},
        {std::string("\x07\x08PavixSeq", 10) + Int32(2), kVersionMismatch},
        {std::string("\x07\x08PavixSeq", 10) + Int32(0) + SequenceRecord(SampleSpecs()[0]),
         kVersionMismatch},
        {std::string("\x07\x08PavixSeq", 10) + std::string("\x01\x00\x00", 3), kReadFailed},
    };
    for (const auto& [contents, message] : cases) {
        FakePlatform local;
        local.files[kSequencePath] = contents;
        {
            testing::WithErrorBoxes<SequenceFile> file(local);
            EXPECT_EQ(file.Open(false), FileResult::kUnusable);
            EXPECT_EQ(local.messageBoxes, Boxes{message});
        }
        EXPECT_EQ(local.OpenFileCount(), 0);  // the destructor closed it
    }
}

TEST_F(SequenceFileTest, OpenClosesWhatWasOpen) {
    platform.files[kSequencePath] = SequenceFileBytes(SampleSpecs());
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    EXPECT_EQ(platform.OpenFileCount(), 1);
    EXPECT_EQ(ReadAll(file).sequences.size(), SampleSpecs().size());
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(platform.OpenFileCount(), 0);
}

// --- Damaged records -----------------------------------------------------------------------------

TEST_F(SequenceFileTest, EveryTruncationInsideARecordIsDamageAndAtABoundaryIsTheEnd) {
    const auto shapes = SampleSpecs();
    const std::string valid = SequenceFileBytes(shapes);
    std::vector<std::size_t> boundaries{14};
    for (const auto& shape : shapes) {
        boundaries.push_back(boundaries.back() + SequenceRecord(shape).size());
    }
    for (int byLimit = 0; byLimit < 2; ++byLimit) {
        for (std::size_t length = 14; length <= valid.size(); ++length) {
            FakePlatform local;
            if (byLimit) {
                local.files[kSequencePath] = valid;
                local.LimitReads(kSequencePath, length);
            } else {
                local.files[kSequencePath] = valid.substr(0, length);
            }
            testing::WithErrorBoxes<SequenceFile> file(local);
            ASSERT_EQ(file.Open(false), FileResult::kOk);
            ReadResult result = ReadAll(file);

            std::size_t complete = 0;
            while (complete + 1 < boundaries.size() && boundaries[complete + 1] <= length) {
                ++complete;
            }
            const bool atBoundary = boundaries[complete] == length;
            ASSERT_EQ(result.sequences.size(), complete) << length << " " << byLimit;
            for (std::size_t i = 0; i < complete; ++i) {
                ASSERT_TRUE(Matches(*result.sequences[i], shapes[i])) << length;
            }
            ASSERT_EQ(result.damaged, !atBoundary) << length << " " << byLimit;
            ASSERT_TRUE(local.messageBoxes.empty());
            // Reading stays at its end.
            Sequence again;
            ASSERT_FALSE(file.Read(again));
            ASSERT_EQ(file.Damaged(), !atBoundary);
        }
    }
}

struct HostileCase {
    const char* what;
    std::string record;
};

std::vector<HostileCase> HostileRecords() {
    const std::string name = Text("n");
    const std::string noKeys = Int32(0);
    return {
        {"huge name length", Int32(0x7FFFFFFF) + "abc"},
        {"negative name length", Int32(-1) + "abc"},
        {"most negative name length", Int32(INT32_MIN)},
        {"name length one past the end", Int32(5) + "abcd"},
        {"huge key count", name + Int32(0x7FFFFFFF) + Int32(0)},
        {"key count whose bytes overflow 32 bits", name + Int32(0x40000001) + Int32(0)},
        {"negative key count", name + Int32(-4)},
        {"key count one past the end", name + Int32(2) + std::string(7, 'k')},
        {"huge command count", name + noKeys + Int32(0x7FFFFFFF) + Int32(0) + Int32(1)},
        {"negative command count", name + noKeys + Int32(-1)},
        {"kind 2", name + noKeys + Int32(1) + Int32(2) + Int32(0)},
        {"kind -1", name + noKeys + Int32(1) + Int32(-1) + Int32(0)},
        {"id 16", name + noKeys + Int32(1) + Int32(0) + Int32(16)},
        {"id -1", name + noKeys + Int32(1) + Int32(0) + Int32(-1)},
        {"huge id", name + noKeys + Int32(1) + Int32(0) + Int32(0x7FFFFFFF)},
        {"huge path length", name + noKeys + Int32(1) + Int32(1) + Int32(0x7FFFFFFF) + "p"},
        {"negative parameter length",
         name + noKeys + Int32(1) + Int32(1) + Text("p") + Int32(-1) + Text("d")},
        {"huge directory length",
         name + noKeys + Int32(1) + Int32(1) + Text("p") + Text("a") + Int32(0x7FFFFFFF)},
        {"second command damaged",
         name + noKeys + Int32(2) + Int32(0) + Int32(3) + Int32(0) + Int32(99)},
    };
}

TEST_F(SequenceFileTest, HostileLengthsAndCountsAreDamageFoundWithoutBigAllocations) {
    const std::string good = SequenceRecord(SampleSpecs()[2]);
    const long peakBefore = PeakResidentKiB();
    for (int sizeKnown = 0; sizeKnown < 2; ++sizeKnown) {
        for (const HostileCase& hostile : HostileRecords()) {
            FakePlatform local;
            local.files[kSequencePath] = SequenceHeader() + good + hostile.record;
            if (!sizeKnown) {
                local.Script("GetFileSize", 0xFFFFFFFF, 6);  // ERROR_INVALID_HANDLE
            }
            testing::WithErrorBoxes<SequenceFile> file(local);
            ASSERT_EQ(file.Open(false), FileResult::kOk) << hostile.what;
            ReadResult result = ReadAll(file);
            ASSERT_EQ(result.sequences.size(), 1u) << hostile.what;
            EXPECT_TRUE(Matches(*result.sequences[0], SampleSpecs()[2])) << hostile.what;
            EXPECT_TRUE(result.damaged) << hostile.what;
            EXPECT_TRUE(local.messageBoxes.empty()) << hostile.what;
            // No read ever asks for more than the whole file.
            for (const Call& call : local.CallsNamed("ReadFile")) {
                ASSERT_LE(std::stoull(call.args[1]), 64u * 1024u) << hostile.what;
            }
        }
    }
    EXPECT_LT(PeakResidentKiB() - peakBefore, 64 * 1024) << "KiB";
}

// A length or count that the rest of the file cannot hold stops the reading at that record, which
// leaves nothing of itself in the sequence, however much follows it.
TEST_F(SequenceFileTest, LengthOrCountThatCannotFitIsDamageAndBuildsNothing) {
    const std::string filler(1 << 20, 'f');
    const std::string name = Text("n");
    const std::string cases[] = {
        Int32(static_cast<std::int32_t>(filler.size() + 1)),
        name + Int32(static_cast<std::int32_t>(filler.size() / 4 + 1)),
        name + Int32(0) + Int32(static_cast<std::int32_t>(filler.size() / 8 + 1)),
        name + Int32(0) + Int32(1) + Int32(1) + Int32(static_cast<std::int32_t>(filler.size() + 1)),
    };
    for (const std::string& record : cases) {
        FakePlatform local;
        local.files[kSequencePath] = SequenceHeader() + record + filler;
        testing::WithErrorBoxes<SequenceFile> file(local);
        ASSERT_EQ(file.Open(false), FileResult::kOk);
        Sequence sequence("kept");
        EXPECT_FALSE(file.Read(sequence));
        EXPECT_TRUE(file.Damaged());
        EXPECT_EQ(sequence.Name(), "kept");
        EXPECT_TRUE(sequence.Keys().empty());
        EXPECT_TRUE(sequence.Commands().empty());
    }
}

TEST_F(SequenceFileTest, FolderTooDeepForThePathOpensAsMissingAndCannotBeWritten) {
    platform.modulePath = "C:\\" + std::string(250, 'd') + "\\Pavix.exe";
    testing::WithErrorBoxes<SequenceFile> file(platform);
    EXPECT_STREQ(file.Path(), "");
    EXPECT_EQ(file.Open(false), FileResult::kMissing);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(file.Open(true), FileResult::kUnusable);
    EXPECT_EQ(platform.messageBoxes, Boxes{kOpenForWriteFailed});
    EXPECT_TRUE(platform.files.empty());
}

// A save must work in every folder whose Sequence.dat has a path at all, the deepest included:
// its new file may not need more characters than Sequence.dat itself.
TEST_F(SequenceFileTest, SavesInEveryFolderThatHasAPathForTheFile) {
    const std::string expected = SequenceFileBytes(SampleSpecs());
    std::size_t folder = 240;
    for (;; ++folder) {
        FakePlatform local;
        local.modulePath = "C:\\" + std::string(folder - 3, 'd') + "\\Pavix.exe";
        testing::WithErrorBoxes<SequenceFile> file(local);
        if (file.Path()[0] == '\0') {
            break;
        }
        ASSERT_EQ(WriteAll(local, BuildList(SampleSpecs())), 5) << folder;
        EXPECT_EQ(local.files[file.Path()], expected) << folder;
        EXPECT_EQ(local.files.size(), 1u) << folder;
        EXPECT_TRUE(local.messageBoxes.empty()) << folder;
    }
    EXPECT_EQ(folder, 247u);  // 246 + "\\Sequence.dat" is the longest path there is
}

TEST_F(SequenceFileTest, HugeLengthInAHugeLookingFileStillAllocatesOnlyWhatArrives) {
    // The size says 4 GiB, but the file holds a few bytes: texts grow only as bytes arrive.
    platform.files[kSequencePath] = SequenceHeader() + Int32(0x7FFFFFFF) + std::string(100, 'x');
    platform.Script("GetFileSize", 0xFFFFFFF0, 0);
    const long peakBefore = PeakResidentKiB();
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    Sequence sequence;
    EXPECT_FALSE(file.Read(sequence));
    EXPECT_TRUE(file.Damaged());
    EXPECT_LT(PeakResidentKiB() - peakBefore, 64 * 1024) << "KiB";
}

TEST_F(SequenceFileTest, FailingReadIsDamageNotTheEnd) {
    platform.files[kSequencePath] = SequenceFileBytes(SampleSpecs());
    testing::WithErrorBoxes<SequenceFile> file(platform);
    // The whole file comes with the first read; the read that would find its end fails.
    int reads = 0;
    platform.Script("ReadFile", 0, kErrorAccessDenied,
                    [&reads](const Call&) { return ++reads > 1; });
    ASSERT_EQ(file.Open(false), FileResult::kOk);
    ReadResult result = ReadAll(file);
    EXPECT_EQ(result.sequences.size(), SampleSpecs().size());
    EXPECT_TRUE(result.damaged);
}

// --- Safe writing
// ----------------------------------------------------------------------------------

class SequenceWriteFailureTest : public ::testing::Test {
  protected:
    void SetUp() override { platform.files[kSequencePath] = old; }

    ::testing::AssertionResult OldFileKept(const FakePlatform& local, const MessageBox& message) {
        if (local.files.at(kSequencePath) != old) {
            return ::testing::AssertionFailure() << "the old file changed";
        }
        if (local.files.count(kNewSequencePath) != 0) {
            return ::testing::AssertionFailure() << "the new file is left behind";
        }
        if (local.messageBoxes != Boxes{message}) {
            return ::testing::AssertionFailure() << local.messageBoxes.size() << " messages";
        }
        if (local.OpenFileCount() != 0) {
            return ::testing::AssertionFailure() << "a file is still open";
        }
        return ::testing::AssertionSuccess();
    }

    const std::string old = SequenceFileBytes(SampleSpecs());
    FakePlatform platform;
};

TEST_F(SequenceWriteFailureTest, ShortWriteAtEveryOffsetKeepsTheOldFile) {
    auto shapes = SampleSpecs();
    shapes.push_back({"new one", {{1, 1}}, {External("x.exe", "p", "d")}});
    const SequenceList list = BuildList(shapes);
    const std::size_t size = SequenceFileBytes(shapes).size();
    for (std::size_t limit = 0; limit < size; ++limit) {
        FakePlatform local;
        local.files[kSequencePath] = old;
        local.LimitWrites(kNewSequencePath, limit);
        const int written = WriteAll(local, list);
        ASSERT_TRUE(OldFileKept(local, kWriteFailed)) << limit;
        // A header that does not fit fails the Open; the records fit in one buffer, so their
        // short write shows at Close.
        ASSERT_EQ(written, limit < 14 ? -1 : static_cast<int>(shapes.size())) << limit;
    }
}

TEST_F(SequenceWriteFailureTest, ShortWriteInALargePassStopsTheWritesAndKeepsTheOldFile) {
    const auto shapes = LargeSpecs(3000);
    const SequenceList list = BuildList(shapes);
    const std::size_t size = SequenceFileBytes(shapes).size();
    const std::size_t chunk = 64 * 1024;
    const std::size_t limits[] = {14,        15,        chunk - 1, chunk,       chunk + 1,
                                  2 * chunk, 3 * chunk, size - 1,  size - chunk};
    for (std::size_t limit : limits) {
        FakePlatform local;
        local.files[kSequencePath] = old;
        local.LimitWrites(kNewSequencePath, limit);
        const int written = WriteAll(local, list);
        ASSERT_TRUE(OldFileKept(local, kWriteFailed)) << limit;
        if (limit + chunk < size) {
            // The failure surfaced in Write, which the editor's loop stopped at.
            EXPECT_LT(written, 3000) << limit;
        }
        EXPECT_TRUE(local.CallsNamed("MoveFileExA").empty());
    }
}

TEST_F(SequenceWriteFailureTest, ScriptedFailureOfEachWriteCallKeepsTheOldFile) {
    const SequenceList list = BuildList(LargeSpecs(3000));
    FakePlatform probe;
    WriteAll(probe, list);
    const std::size_t writeCalls = probe.CallsNamed("WriteFile").size();
    ASSERT_GE(writeCalls, 4u);
    for (std::size_t failing = 1; failing <= writeCalls; ++failing) {
        FakePlatform local;
        local.files[kSequencePath] = old;
        std::size_t count = 0;
        local.Script("WriteFile", 0, kErrorHandleDiskFull,
                     [&count, failing](const Call&) { return ++count == failing; });
        const int written = WriteAll(local, list);
        ASSERT_TRUE(OldFileKept(local, kWriteFailed)) << failing;
        if (failing == 1) {
            EXPECT_EQ(written, -1);
        }
    }
}

TEST_F(SequenceWriteFailureTest, FailedFlushCloseOrReplacementKeepsTheOldFile) {
    const char* const failing[] = {"FlushFileBuffers", "MoveFileExA"};
    for (const char* name : failing) {
        FakePlatform local;
        local.files[kSequencePath] = old;
        local.Script(name, 0, kErrorAccessDenied);
        EXPECT_EQ(WriteAll(local, BuildList(SampleSpecs())), 5) << name;
        EXPECT_TRUE(OldFileKept(local, kWriteFailed)) << name;
        EXPECT_EQ(local.CallsNamed("DeleteFileA"), (Calls{Call("DeleteFileA", kNewSequencePath)}));
    }
    // A handle that will not close: the stand-in then keeps it open, but the old file is kept.
    FakePlatform local;
    local.files[kSequencePath] = old;
    local.Script("CloseHandle", 0, kErrorAccessDenied);
    WriteAll(local, BuildList(SampleSpecs()));
    EXPECT_EQ(local.files[kSequencePath], old);
    EXPECT_EQ(local.messageBoxes, Boxes{kWriteFailed});
    EXPECT_TRUE(local.CallsNamed("MoveFileExA").empty());
}

TEST_F(SequenceWriteFailureTest, ReplacingAFileHeldOpenFailsAndKeepsIt) {
    const FileHandle held =
        platform.CreateFileA(kSequencePath, kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    WriteAll(platform, BuildList(LargeSpecs(10)));
    platform.CloseHandle(held);
    EXPECT_TRUE(OldFileKept(platform, kWriteFailed));
}

TEST_F(SequenceWriteFailureTest, NewFileThatCannotBeCreatedIsReported) {
    platform.Script("CreateFileA", kInvalidHandleValue, kErrorAccessDenied, [](const Call& call) {
        return call.args[0] == "\"" + std::string(kNewSequencePath) + "\"";
    });
    testing::WithErrorBoxes<SequenceFile> file(platform);
    EXPECT_EQ(file.Open(true), FileResult::kUnusable);
    Sequence sequence("x");
    EXPECT_FALSE(file.Write(sequence));
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(OldFileKept(platform, kOpenForWriteFailed));
    EXPECT_TRUE(platform.CallsNamed({"WriteFile", "DeleteFileA", "MoveFileExA"}).empty());
}

TEST_F(SequenceWriteFailureTest, ShortHeaderFailsTheOpenAndNothingIsToBeWritten) {
    platform.LimitWrites(kNewSequencePath, 9);
    testing::WithErrorBoxes<SequenceFile> file(platform);
    EXPECT_EQ(file.Open(true), FileResult::kUnusable);
    Sequence sequence("x");
    EXPECT_FALSE(file.Write(sequence));
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(OldFileKept(platform, kWriteFailed));
}

TEST_F(SequenceWriteFailureTest, WritesAfterAFailureAreRefusedAndTheMessageIsShownOnce) {
    const SequenceList list = BuildList(LargeSpecs(3000));
    platform.LimitWrites(kNewSequencePath, 1000);
    testing::WithErrorBoxes<SequenceFile> file(platform);
    ASSERT_EQ(file.Open(true), FileResult::kOk);
    int falses = 0;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        falses += file.Write(list.At(i)) ? 0 : 1;
    }
    EXPECT_GT(falses, 2000);
    EXPECT_TRUE(file.Close());
    EXPECT_TRUE(OldFileKept(platform, kWriteFailed));
}

TEST_F(SequenceWriteFailureTest, DestroyingAnUnfinishedWritePassDiscardsTheNewFile) {
    {
        testing::WithErrorBoxes<SequenceFile> file(platform);
        ASSERT_EQ(file.Open(true), FileResult::kOk);
        EXPECT_TRUE(file.Write(*Build(SampleSpecs()[0])));
    }
    EXPECT_EQ(platform.files[kSequencePath], old);
    EXPECT_EQ(platform.files.count(kNewSequencePath), 0u);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.OpenFileCount(), 0);
    EXPECT_TRUE(platform.CallsNamed("MoveFileExA").empty());
}

TEST_F(SequenceWriteFailureTest, SuccessfulPassReplacesTheOldFile) {
    const auto shapes = LargeSpecs(50);
    EXPECT_EQ(WriteAll(platform, BuildList(shapes)), 50);
    EXPECT_EQ(platform.files[kSequencePath], SequenceFileBytes(shapes));
    EXPECT_EQ(platform.files.count(kNewSequencePath), 0u);
    EXPECT_TRUE(platform.messageBoxes.empty());
}

}  // namespace
}  // namespace pavix
