// The sequences as text, as any bytes at all. Every input gets either the whole list or its
// errors, never both, each error on a line of the input; a list that reads exports to a text that
// reads back as the same list; and reading holds no more heap than a fixed amount and a multiple
// of the input's size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fake/fake_platform.h"
#include "fuzz/check.h"
#include "hardening/allocation_meter.h"
#include "storage/code_page.h"
#include "storage/sequence_text.h"

namespace pavix::fuzz {
namespace {

// What the parser builds takes up to some thirty times the text (arrays of empty tables, its
// worst shape); the fixed part is the parser's own buffers and the list.
constexpr std::size_t kFixedHeap = 64 * 1024;
constexpr std::size_t kHeapPerByte = 64;

std::string Export(const SequenceList& list, CodePage& codePage) {
    std::string text;
    PAVIX_FUZZ_CHECK(WriteSequenceText(list, codePage, text).kind == ExportErrorKind::kNone);
    return text;
}

void CheckRead(std::string_view input, const SequenceText& read) {
    const auto lastLine =
        static_cast<std::uint32_t>(std::count(input.begin(), input.end(), '\n')) + 1;
    if (!read.errors.empty()) {
        PAVIX_FUZZ_CHECK(read.sequences.Empty() && read.lines.empty());
        for (const TextError& error : read.errors) {
            PAVIX_FUZZ_CHECK(error.line >= 1 && error.line <= lastLine);
        }
        PAVIX_FUZZ_CHECK(
            std::is_sorted(read.errors.begin(), read.errors.end(),
                           [](const TextError& a, const TextError& b) { return a.line < b.line; }));
        return;
    }
    PAVIX_FUZZ_CHECK(read.lines.size() == read.sequences.Size());
    for (std::uint32_t line : read.lines) {
        PAVIX_FUZZ_CHECK(line >= 1 && line <= lastLine);
    }
}

}  // namespace
}  // namespace pavix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavix;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    fake::FakePlatform platform;
    platform.recording = false;
    SystemCodePage codePage(platform);

    SequenceText read;
    {
        testing::AllocationMeter meter;
        read = ReadSequenceText(input, codePage);
        PAVIX_FUZZ_CHECK(meter.PeakBytes() <= fuzz::kFixedHeap + fuzz::kHeapPerByte * size);
    }
    fuzz::CheckRead(input, read);
    if (!read.errors.empty()) {
        return 0;
    }
    const std::string text = fuzz::Export(read.sequences, codePage);
    const SequenceText again = ReadSequenceText(text, codePage);
    PAVIX_FUZZ_CHECK(again.errors.empty());
    PAVIX_FUZZ_CHECK(fuzz::Export(again.sequences, codePage) == text);
    return 0;
}
