// What the sheet of all sequences shows: each sequence's chords, name and commands in the texts
// of the editors, grouped by first chord as the hint window's first level groups them, narrowed
// by a filter, and the same rows as plain text for the clipboard.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/key_chord.h"
#include "model/sequence.h"
#include "platform/platform.h"

namespace pavix {

// One sequence in the sheet's words.
struct SheetEntry {
    std::optional<KeyChord> first;  // none for a sequence without keys
    std::string keys;               // every chord, ", " between them
    std::string name;               // with the editor's mark when it can never run
    std::string runs;               // every command, "; " between them
};

struct SheetRow {
    bool heading = false;
    std::string keys;  // a heading's: its first chord, or that the sequences have no keys
    std::string name;  // a heading's: how many sequences follow it
    std::string runs;
};

// One entry per sequence, in list order; `marked` says which can never run.
std::vector<SheetEntry> SheetEntries(Platform& platform, const SequenceList& list,
                                     const std::vector<bool>& marked);

// The groups in the order in which their first chord first appears in the list, each a heading
// followed by its sequences in list order. Only sequences whose chords, name or commands contain
// `filter` (letters in either case) are shown, and only the headings of groups that keep one.
std::vector<SheetRow> SheetRows(Platform& platform, const std::vector<SheetEntry>& entries,
                                const std::string& filter);

// A line per row: a heading's chord and count; below it, each sequence after a tab, its three
// texts tab-separated. Lines end with CR LF, the platform's plain-text form.
std::string SheetText(const std::vector<SheetRow>& rows);

// Whether `text` contains `part`, ASCII letters compared without regard to case.
bool ContainsText(const std::string& text, const std::string& part);

}  // namespace pavix
