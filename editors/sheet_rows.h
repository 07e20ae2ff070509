// What the sheet of all sequences shows: each sequence's chords, name and commands in the texts
// of the editors, grouped by first chord as the hint window's first level groups them, narrowed
// by a filter, and the same rows as plain text for the clipboard.
#pragma once

#include <cstdint>
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

// The entries grouped once by first chord, and the rows that a filter leaves of them: the groups
// in the order in which their first chord first appears in the list, each a heading followed by
// its sequences in list order. Only sequences whose chords, name or commands contain the filter
// (ASCII letters in either case) are shown, and only the headings of groups that keep one. A
// filter costs one search through a folded copy of all texts and one pass over the entries; the
// rows refer to the entries' texts.
class SheetView {
  public:
    SheetView() = default;
    // Shows every entry.
    SheetView(Platform& platform, std::vector<SheetEntry> entries);

    void Filter(Platform& platform, const std::string& filter);
    std::size_t Size() const { return shown_.size(); }
    bool IsHeading(std::size_t row) const { return shown_[row].entry == kHeading; }
    // A heading's: its first chord, or that the sequences have no keys.
    const std::string& Keys(std::size_t row) const;
    // A heading's: how many sequences follow it.
    const std::string& Name(std::size_t row) const;
    const std::string& Runs(std::size_t row) const;
    SheetRow Row(std::size_t row) const {
        return SheetRow{IsHeading(row), Keys(row), Name(row), Runs(row)};
    }

  private:
    static constexpr std::uint32_t kHeading = UINT32_MAX;
    struct Group {
        std::string label;
        std::string count;  // for the filter of the moment
        std::vector<std::uint32_t> members;
    };
    struct Shown {
        std::uint32_t group;
        std::uint32_t entry;  // kHeading for the group's heading
    };

    // Which entries have a text that contains `folded`: one search through all texts at once.
    std::vector<bool> Matching(const std::string& folded) const;

    std::vector<SheetEntry> entries_;
    // The entries' texts with ASCII letters folded, each ended by a zero byte, one entry after
    // another; where each entry begins, and the end.
    std::string folded_;
    std::vector<std::size_t> starts_;
    std::vector<Group> groups_;
    std::vector<Shown> shown_;
    std::string noText_;
};

// A line per row: a heading's chord and count; below it, each sequence after a tab, its three
// texts tab-separated. Lines end with CR LF, the platform's plain-text form.
std::string SheetText(const SheetView& view);

// Whether `text` contains `part`, ASCII letters compared without regard to case.
bool ContainsText(const std::string& text, const std::string& part);

}  // namespace pavix
