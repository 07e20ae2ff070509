// Hostile texts of sequences as Import meets them: whatever shape the text takes, reading it holds
// heap in proportion to its size.
#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"
#include "hardening/allocation_meter.h"
#include "storage/code_page.h"
#include "storage/sequence_text.h"

namespace pavix {
namespace {

using testing::AllocationMeter;

// What toml++ builds from a text takes up to some thirty times its size (arrays of empty tables).
constexpr std::size_t kHeapPerByte = 64;
constexpr std::size_t kTextSize = 256 * 1024;

std::string Repeated(const std::string& head, const std::string& piece, const std::string& tail) {
    std::string text = head;
    while (text.size() + piece.size() + tail.size() < kTextSize) {
        text += piece;
    }
    return text + tail;
}

TEST(HostileTextTest, ReadingHoldsHeapInProportionToTheText) {
    const std::string shapes[] = {
        Repeated("a = [", "{},", "{}]\n"),   // the most nodes per byte
        Repeated("a = [", "1,", "1]\n"),     // small values
        Repeated("", "[[sequence]]\n", ""),  // tables, each a sequence with errors
        Repeated("[[sequence]]\nname = \"x\"\ncommands = []\nkeys = [", "\"A\",", "\"B\"]\n"),
        "[[sequence]]\nname = \"" + std::string(kTextSize - 64, 'n') +
            "\"\nkeys = []\ncommands = []\n",
    };
    fake::FakePlatform platform;
    platform.recording = false;
    SystemCodePage codePage(platform);
    for (const std::string& text : shapes) {
        const AllocationMeter meter;
        const SequenceText read = ReadSequenceText(text, codePage);
        EXPECT_LE(meter.PeakBytes(), kHeapPerByte * text.size()) << text.substr(0, 40);
    }
}

}  // namespace
}  // namespace pavix
