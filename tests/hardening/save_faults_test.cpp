// A save of Sequence.dat that the disk cuts short at any byte, in a pass that writes a text larger
// than the write buffer straight through between buffered records: the old file stays byte for
// byte, the new file is gone and the user is told once. (Small passes and chosen offsets of large
// ones are tested with the storage; this covers every offset around the straight-through write.)
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "storage/binary_io.h"
#include "storage/sequence_file.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::FakePlatform;
using testing::Builtin;
using testing::SequenceFileBytes;
using testing::SequenceSpec;

constexpr const char* kSequencePath = "C:\\Pavix\\Sequence.dat";
constexpr const char* kNewSequencePath = "C:\\Pavix\\Sequence.new";
constexpr const char* kWriteFailed = "Failed to write file";
constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;

std::unique_ptr<Sequence> Small(int i) {
    auto sequence = std::make_unique<Sequence>("small " + std::to_string(i));
    sequence->AppendKey(KeyChord{kCtrlAlt, static_cast<std::uint16_t>('A' + i)});
    sequence->AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
    return sequence;
}

// Three buffered records, one whose parameter is larger than the buffer, three more.
SequenceList ListAroundALargeText() {
    SequenceList list;
    for (int i = 0; i < 3; ++i) {
        list.Append(Small(i));
    }
    auto large = std::make_unique<Sequence>("large");
    large->AppendKey(KeyChord{kCtrlAlt, 'L'});
    large->AppendCommand(std::make_unique<ExternalCommand>(
        "tool.exe", std::string(kFileChunkSize + 100, 'p'), "C:\\Work"));
    list.Append(std::move(large));
    for (int i = 3; i < 6; ++i) {
        list.Append(Small(i));
    }
    return list;
}

// Saves the way the editor does on OK: every sequence in order, stopping at the first false.
// Returns the number of sequences written, -1 when the file could not be opened.
int Save(Platform& platform, const SequenceList& list) {
    testing::WithErrorBoxes<SequenceFile> file(platform);
    if (file.Open(true) != FileResult::kOk) {
        return -1;
    }
    int written = 0;
    while (static_cast<std::size_t>(written) < list.Size() && file.Write(list.At(written))) {
        ++written;
    }
    file.Close();
    return written;
}

TEST(SaveFaultTest, ShortWriteAtEveryOffsetAroundALargeTextKeepsTheOldFile) {
    const std::string old =
        SequenceFileBytes({{"old", {{kCtrlAlt, 'O'}}, {Builtin(kLockSystem)}}, {"other", {}, {}}});
    const SequenceList list = ListAroundALargeText();

    FakePlatform platform;
    platform.recording = false;
    platform.files[kSequencePath] = old;
    ASSERT_EQ(Save(platform, list), static_cast<int>(list.Size()));
    const std::size_t size = platform.files[kSequencePath].size();
    ASSERT_GT(size, kFileChunkSize);

    for (std::size_t limit = 0; limit < size; ++limit) {
        platform.files[kSequencePath] = old;
        platform.messageBoxes.clear();
        platform.LimitWrites(kNewSequencePath, limit);
        const int written = Save(platform, list);
        const std::string context = "limit " + std::to_string(limit);
        ASSERT_EQ(platform.files[kSequencePath], old) << context;
        ASSERT_EQ(platform.files.count(kNewSequencePath), 0u) << context;
        ASSERT_EQ(platform.messageBoxes.size(), 1u) << context;
        ASSERT_EQ(platform.messageBoxes[0].text, kWriteFailed) << context;
        ASSERT_EQ(platform.OpenFileCount(), 0) << context;
        // The header goes out with Open; later failures show in Write or, at the end, in Close.
        ASSERT_EQ(written < 0, limit < 14) << context;
    }
}

}  // namespace
}  // namespace pavix
