// The conflict check against the plain rules (tests/support/conflict_model.h) on small lists.
// The input picks four chords, which may repeat, and whether one of them is the abort chord;
// then up to 24 sequences of up to 15 chords from those four, with or without a command, so
// that the lists share beginnings, repeat one another and meet the abort chord at every depth.
//   bytes 0-15: the four chords (modifiers, then key code, little-endian 16-bit each)
//   byte 16:    the abort chord's index (4 and above: no abort key)
//   then each sequence: a byte, chord count in its low 4 bits, 0x40 for no commands, followed
//   by one byte per chord, its index (modulo 4)
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "engine/conflicts.h"
#include "fuzz/byte_stream.h"
#include "fuzz/check.h"
#include "support/conflict_model.h"

namespace pavix::fuzz {
namespace {

constexpr std::size_t kAlphabetSize = 4;
constexpr std::size_t kMostSequences = 24;

SequenceList ReadList(ByteStream& input, const KeyChord* alphabet) {
    SequenceList list;
    while (!input.Empty() && list.Size() < kMostSequences) {
        const std::uint8_t shape = input.Byte();
        auto sequence = std::make_unique<Sequence>("");
        for (std::size_t chords = shape & 0x0F; chords > 0; --chords) {
            sequence->AppendKey(alphabet[input.Below(kAlphabetSize)]);
        }
        if ((shape & 0x40) == 0) {
            sequence->AppendCommand(std::make_unique<BuiltinCommand>(kDoNothing));
        }
        list.Append(std::move(sequence));
    }
    return list;
}

}  // namespace
}  // namespace pavix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavix;
    fuzz::ByteStream input(data, size);
    KeyChord alphabet[fuzz::kAlphabetSize];
    for (KeyChord& chord : alphabet) {
        chord.modifiers = input.UInt16();
        chord.keyCode = input.UInt16();
    }
    const std::size_t abortIndex = input.Byte();
    std::optional<KeyChord> abortChord;
    if (abortIndex < fuzz::kAlphabetSize) {
        abortChord = alphabet[abortIndex];
    }
    const SequenceList list = fuzz::ReadList(input, alphabet);
    PAVIX_FUZZ_CHECK(FindConflicts(list, abortChord) == testing::ModelConflicts(list, abortChord));
    return 0;
}
