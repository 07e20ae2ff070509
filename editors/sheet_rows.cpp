#include "editors/sheet_rows.h"

#include <algorithm>
#include <cctype>

#include "editors/command_names.h"
#include "editors/sequence_editor.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

char Folded(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool Matches(const SheetEntry& entry, const std::string& filter) {
    return filter.empty() || ContainsText(entry.keys, filter) || ContainsText(entry.name, filter) ||
           ContainsText(entry.runs, filter);
}

std::string CountText(Platform& platform, std::size_t count) {
    return count == 1 ? LoadText(platform, ids::kTextContinuesOne)
                      : FillIn(LoadText(platform, ids::kTextContinuesMany), std::to_string(count));
}

}  // namespace

bool ContainsText(const std::string& text, const std::string& part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return Folded(a) == Folded(b); }) != text.end();
}

std::vector<SheetEntry> SheetEntries(Platform& platform, const SequenceList& list,
                                     const std::vector<bool>& marked) {
    std::vector<SheetEntry> entries;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const Sequence& sequence = list.At(i);
        SheetEntry entry;
        if (!sequence.Keys().empty()) {
            entry.first = sequence.Keys().front();
        }
        for (KeyChord chord : sequence.Keys()) {
            entry.keys += (entry.keys.empty() ? "" : ", ") + ChordLabel(platform, chord);
        }
        entry.name =
            (i < marked.size() && marked[i] ? SequenceEditor::kMark : "") + sequence.Name();
        for (const auto& command : sequence.Commands()) {
            entry.runs += (entry.runs.empty() ? "" : "; ") + DescribeCommand(platform, *command);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<SheetRow> SheetRows(Platform& platform, const std::vector<SheetEntry>& entries,
                                const std::string& filter) {
    std::vector<std::optional<KeyChord>> groups;
    for (const SheetEntry& entry : entries) {
        if (std::find(groups.begin(), groups.end(), entry.first) == groups.end()) {
            groups.push_back(entry.first);
        }
    }
    std::vector<SheetRow> rows;
    for (const std::optional<KeyChord>& group : groups) {
        std::vector<SheetRow> members;
        for (const SheetEntry& entry : entries) {
            if (entry.first == group && Matches(entry, filter)) {
                members.push_back(SheetRow{false, entry.keys, entry.name, entry.runs});
            }
        }
        if (members.empty()) {
            continue;
        }
        SheetRow heading;
        heading.heading = true;
        heading.keys =
            group ? ChordLabel(platform, *group) : LoadText(platform, ids::kTextNoKeysGroup);
        heading.name = CountText(platform, members.size());
        rows.push_back(std::move(heading));
        rows.insert(rows.end(), members.begin(), members.end());
    }
    return rows;
}

std::string SheetText(const std::vector<SheetRow>& rows) {
    std::string text;
    for (const SheetRow& row : rows) {
        if (row.heading) {
            text += row.keys + "\t" + row.name + "\r\n";
        } else {
            text += "\t" + row.keys + "\t" + row.name + "\t" + row.runs + "\r\n";
        }
    }
    return text;
}

}  // namespace pavix
