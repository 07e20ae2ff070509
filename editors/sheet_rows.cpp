#include "editors/sheet_rows.h"

#include <algorithm>
#include <array>
#include <map>

#include "editors/command_names.h"
#include "editors/sequence_editor.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

// Ends each text among the folded texts, so that no match spans two.
constexpr char kEndOfText = '\0';

constexpr char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldedText(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Folded);
    return text;
}

// Each entry's texts, in the order in which they stand among the folded texts.
std::array<const std::string*, 3> Texts(const SheetEntry& entry) {
    return {&entry.keys, &entry.name, &entry.runs};
}

// Whether `length` bytes at `offset` into an entry's folded texts lie within one of them.
bool WithinOneText(const SheetEntry& entry, std::size_t offset, std::size_t length) {
    std::size_t begin = 0;
    for (const std::string* text : Texts(entry)) {
        const std::size_t end = begin + text->size();
        if (offset <= end) {
            return offset + length <= end;
        }
        begin = end + 1;
    }
    return false;
}

void AppendTo(std::string& text, const char* separator, const std::string& part) {
    if (!text.empty()) {
        text += separator;
    }
    text += part;
}

}  // namespace

bool ContainsText(const std::string& text, const std::string& part) {
    return FoldedText(text).find(FoldedText(part)) != std::string::npos;
}

std::vector<SheetEntry> SheetEntries(Platform& platform, const SequenceList& list,
                                     const std::vector<bool>& marked) {
    std::vector<SheetEntry> entries(list.Size());
    std::map<KeyChord, std::string> labels;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const Sequence& sequence = list.At(i);
        SheetEntry& entry = entries[i];
        if (!sequence.Keys().empty()) {
            entry.first = sequence.Keys().front();
        }
        for (KeyChord chord : sequence.Keys()) {
            // Sequences share their chords; each is labelled once.
            auto [label, added] = labels.emplace(chord, std::string());
            if (added) {
                label->second = ChordLabel(platform, chord);
            }
            AppendTo(entry.keys, ", ", label->second);
        }
        entry.name =
            (i < marked.size() && marked[i] ? SequenceEditor::kMark : "") + sequence.Name();
        for (const auto& command : sequence.Commands()) {
            AppendTo(entry.runs, "; ", DescribeCommand(platform, *command));
        }
    }
    return entries;
}

SheetView::SheetView(Platform& platform, std::vector<SheetEntry> entries)
    : entries_(std::move(entries)) {
    std::map<std::optional<KeyChord>, std::uint32_t> groupOf;
    starts_.reserve(entries_.size() + 1);
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        starts_.push_back(folded_.size());
        for (const std::string* text : Texts(entries_[i])) {
            folded_ += FoldedText(*text);
            folded_ += kEndOfText;
        }
        const auto [found, added] =
            groupOf.emplace(entries_[i].first, static_cast<std::uint32_t>(groups_.size()));
        if (added) {
            const std::optional<KeyChord>& first = entries_[i].first;
            groups_.push_back(Group{
                first ? ChordLabel(platform, *first) : LoadText(platform, ids::kTextNoKeysGroup),
                "",
                {}});
        }
        groups_[found->second].members.push_back(i);
    }
    starts_.push_back(folded_.size());
    Filter(platform, "");
}

std::vector<bool> SheetView::Matching(const std::string& folded) const {
    std::vector<bool> matching(entries_.size(), folded.empty());
    std::size_t entry = 0;
    std::size_t at = folded.empty() ? std::string::npos : folded_.find(folded);
    while (at != std::string::npos) {
        while (starts_[entry + 1] <= at) {
            ++entry;
        }
        const bool inOneText = WithinOneText(entries_[entry], at - starts_[entry], folded.size());
        matching[entry] = inOneText;  // after a match the search goes on at the next entry
        at = folded_.find(folded, inOneText ? starts_[entry + 1] : at + 1);
    }
    return matching;
}

void SheetView::Filter(Platform& platform, const std::string& filter) {
    const std::vector<bool> matching = Matching(FoldedText(filter));
    const std::string one = LoadText(platform, ids::kTextContinuesOne);
    const std::string many = LoadText(platform, ids::kTextContinuesMany);
    shown_.clear();
    for (std::uint32_t group = 0; group < groups_.size(); ++group) {
        const std::size_t heading = shown_.size();
        shown_.push_back(Shown{group, kHeading});
        for (std::uint32_t entry : groups_[group].members) {
            if (matching[entry]) {
                shown_.push_back(Shown{group, entry});
            }
        }
        const std::size_t count = shown_.size() - heading - 1;
        if (count == 0) {
            shown_.pop_back();
        } else {
            groups_[group].count = count == 1 ? one : FillIn(many, std::to_string(count));
        }
    }
}

const std::string& SheetView::Keys(std::size_t row) const {
    const Shown& shown = shown_[row];
    return shown.entry == kHeading ? groups_[shown.group].label : entries_[shown.entry].keys;
}

const std::string& SheetView::Name(std::size_t row) const {
    const Shown& shown = shown_[row];
    return shown.entry == kHeading ? groups_[shown.group].count : entries_[shown.entry].name;
}

const std::string& SheetView::Runs(std::size_t row) const {
    const Shown& shown = shown_[row];
    return shown.entry == kHeading ? noText_ : entries_[shown.entry].runs;
}

std::string SheetText(const SheetView& view) {
    std::string text;
    for (std::size_t row = 0; row < view.Size(); ++row) {
        if (view.IsHeading(row)) {
            text += view.Keys(row) + "\t" + view.Name(row) + "\r\n";
        } else {
            text += "\t" + view.Keys(row) + "\t" + view.Name(row) + "\t" + view.Runs(row) + "\r\n";
        }
    }
    return text;
}

}  // namespace pavix
