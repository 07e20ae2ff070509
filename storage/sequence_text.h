// The sequences as text: a TOML file (UTF-8) with one [[sequence]] table per sequence, in list
// order, each with its `name`, its `keys` as chord spellings ("Ctrl+Alt+N") and its `commands`,
// each either { builtin = "<English name>" } or { run = "...", args = "...", dir = "..." }. The
// texts are converted between UTF-8 and the code page of Sequence.dat on the way. Reading checks
// the whole text and yields either every sequence or the list of what is wrong, never a part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/sequence.h"
#include "storage/code_page.h"

namespace pavix {

// The longest text that can be stored: Sequence.dat counts a text's bytes in a signed 32-bit
// field, and the editors read a control's text into a buffer of that many bytes and a zero.
constexpr std::size_t kLongestStoredText = 0x7FFFFFFE;
// A text of sequences is read whole, and what the parser builds from it takes up to thirty times
// its size; a larger file is refused. A thousand sequences take some 200 KiB.
constexpr std::uint64_t kLargestSequenceText = 4 * 1024 * 1024;

enum class TextErrorKind {
    kNotToml,         // detail: what the TOML parser says
    kUnknownEntry,    // detail: the entry's key
    kWrongType,       // detail: the entry's key
    kMissingEntry,    // a sequence without name, keys or commands; detail: that key
    kUnknownKeyName,  // detail: the part of the chord that names no key or modifier
    kUnknownBuiltin,  // detail: the name
    kCommandKind,     // a command with neither or both of builtin and run, or builtin with more
    kCodePage,        // detail: the text that the code page cannot hold
    kZeroCharacter,   // a text with U+0000, which Sequence.dat cannot keep
    kTooLong,         // a text longer than the file can store
};

struct TextError {
    TextErrorKind kind = TextErrorKind::kNotToml;
    std::uint32_t line = 0;  // 1-based
    std::string detail;      // UTF-8, cut to a few dozen characters

    bool operator==(const TextError& other) const {
        return kind == other.kind && line == other.line && detail == other.detail;
    }
};

struct SequenceText {
    SequenceList sequences;            // empty when there are errors
    std::vector<std::uint32_t> lines;  // the line of each sequence's table
    std::vector<TextError> errors;     // in line order
};

// Reads a whole text. `longestText` is the most bytes a text may take in the code page.
SequenceText ReadSequenceText(std::string_view utf8, CodePage& codePage,
                              std::size_t longestText = kLongestStoredText);

enum class ExportErrorKind {
    kNone,
    kCodePage,         // a text of the sequence is no text of the code page
    kRoundTrip,        // a text of the sequence would import as other bytes (a character that
                       // the code page holds in two ways, in the way it does not prefer)
    kUnnamedModifier,  // a chord of the sequence has a modifier bit that has no spelling
};

struct ExportError {
    ExportErrorKind kind = ExportErrorKind::kNone;
    std::size_t sequence = 0;  // index in the list
};

// Writes the whole list as text into `utf8`. Stops at the first sequence that cannot be written
// and says which in the result.
ExportError WriteSequenceText(const SequenceList& list, CodePage& codePage, std::string& utf8);

}  // namespace pavix
