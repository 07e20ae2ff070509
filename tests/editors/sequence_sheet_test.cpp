#include "editors/sequence_sheet.h"

#include <random>

#include "editors/sheet_rows.h"
#include "sequence_editor_support.h"

namespace pavix {
namespace {

using fake::FakeDialog;

constexpr std::uint32_t kSheet = SequenceSheet::kTemplateId;
constexpr std::uint32_t kChordCtrlAltB = 0x00420003;

// Three groups in order of first appearance: Ctrl+Alt+A (A, D), none (B), Space (C).
std::string GroupedFile() {
    return SequenceHeader() + SampleRecordA() + SampleRecordB() + SampleRecordC() +
           SequenceBytes("D", {kChordCtrlAltA, kChordCtrlAltB}, {External("notepad", "", "")});
}

std::vector<std::string> Lines(const std::vector<SheetRow>& rows) {
    std::vector<std::string> lines;
    for (const SheetRow& row : rows) {
        lines.push_back((row.heading ? "# " : "") + row.keys + " | " + row.name + " | " + row.runs);
    }
    return lines;
}

class SequenceSheetTest : public EditorTest {
  protected:
    SequenceSheetTest() { platform.files[kSequencePath] = GroupedFile(); }
    FakeDialog& Open(SequenceSheet& sheet, std::optional<KeyChord> abortChord = std::nullopt) {
        sheet.Show(fake::FakePlatform::kMainWindow, abortChord);
        return *platform.dialogs.Last(kSheet);
    }
};

TEST_F(SequenceSheetTest, GroupsByFirstChordInListOrderAndMarksWhatNeverRuns) {
    SequenceSheet sheet(platform);
    FakeDialog& dialog = Open(sheet);
    const std::vector<std::string> all = {
        "# [C][A]+A | (2 sequences) | ",
        "[C][A]+A, [S]+F1 | A | Lock System; [Cmd=\"p\"] [Param=\"a\"] [Dir=\"d\"]",
        "[C][A]+A, [C][A]+B | D | [Cmd=\"notepad\"] [Param=\"\"] [Dir=\"\"]",
        "# (no keys) | (1 sequence) | ",
        " | ! B | Do nothing",
        "# +Space | (1 sequence) | ",
        "+Space | ! C | ",
    };
    EXPECT_EQ(Lines(sheet.Rows()), all);
    EXPECT_EQ(dialog.ItemCount(SequenceSheet::kSheetList), 7);
    EXPECT_EQ(dialog.RowText(SequenceSheet::kSheetList, 6, 0), "    +Space");
    EXPECT_EQ(dialog.RowText(SequenceSheet::kSheetList, 5, 1), "(1 sequence)");
    // The abort key makes A, whose second chord it is, one that never completes.
    sheet.Refresh(KeyChord{kModShift, 0x70});
    EXPECT_EQ(sheet.Rows()[1].name, "! A");
}

TEST_F(SequenceSheetTest, FilterNarrowsByNameChordOrCommandInEitherCase) {
    SequenceSheet sheet(platform);
    FakeDialog& dialog = Open(sheet);
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"NOTEPAD",
         {"# [C][A]+A | (1 sequence) | ",
          "[C][A]+A, [C][A]+B | D | [Cmd=\"notepad\"] [Param=\"\"] [Dir=\"\"]"}},
        {"space", {"# +Space | (1 sequence) | ", "+Space | ! C | "}},
        {"do nothing", {"# (no keys) | (1 sequence) | ", " | ! B | Do nothing"}},
        {"nowhere", {}},
    };
    for (const auto& [filter, expected] : cases) {
        dialog.TypeAndReport(SequenceSheet::kFilterEdit, filter);
        EXPECT_EQ(Lines(sheet.Rows()), expected) << filter;
        EXPECT_EQ(dialog.ItemCount(SequenceSheet::kSheetList),
                  static_cast<std::int32_t>(expected.size()));
    }
    // A new file keeps the filter.
    platform.files[kSequencePath] = SequenceHeader() + SampleRecordC();
    dialog.TypeAndReport(SequenceSheet::kFilterEdit, "SPACE");
    sheet.Refresh(std::nullopt);
    EXPECT_EQ(sheet.Rows().size(), 2u);
}

// Over a file read only in part the line above the list says so, and goes once the file is whole.
TEST_F(SequenceSheetTest, SaysAboveTheListThatTheFileWasNotReadCompletely) {
    platform.files[kSequencePath] = SequenceHeader() + SampleRecordC() + std::string("\x05\0\0", 3);
    SequenceSheet sheet(platform);
    FakeDialog& dialog = Open(sheet);
    EXPECT_EQ(sheet.Rows().size(), 2u);
    EXPECT_EQ(dialog.Text(SequenceSheet::kIncompleteNote),
              "Sequence.dat could not be read completely: the list shows only what could be read.");
    platform.files[kSequencePath] = SequenceHeader() + SampleRecordC();
    sheet.Refresh(std::nullopt);
    EXPECT_EQ(dialog.Text(SequenceSheet::kIncompleteNote), "");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(SequenceSheetTest, CopiesWhatItShowsByButtonOrCtrlC) {
    SequenceSheet sheet(platform);
    FakeDialog& dialog = Open(sheet);
    dialog.TypeAndReport(SequenceSheet::kFilterEdit, "space");
    dialog.Click(SequenceSheet::kCopyButton);
    EXPECT_EQ(platform.clipboardText, "+Space\t(1 sequence)\r\n\t+Space\t! C\t\r\n");
    EXPECT_TRUE(platform.memoryBlocks.empty());
    EXPECT_FALSE(platform.clipboardOpen);
    platform.clipboardText.clear();
    dialog.PressKeyInList(SequenceSheet::kSheetList, 'C');
    EXPECT_EQ(platform.clipboardText, "");
    platform.keysDown = {kVkControl};
    dialog.PressKeyInList(SequenceSheet::kSheetList, 'C');
    EXPECT_EQ(platform.clipboardText, "+Space\t(1 sequence)\r\n\t+Space\t! C\t\r\n");
    // A clipboard that refuses the memory: the memory is given back, the user hears a beep.
    platform.Script("SetClipboardData", 0);
    dialog.Click(SequenceSheet::kCopyButton);
    EXPECT_TRUE(platform.memoryBlocks.empty());
    EXPECT_FALSE(platform.clipboardOpen);
    EXPECT_EQ(Beeps(kSimpleBeep), 1);
}

TEST_F(SequenceSheetTest, OpensOnceRegistersNoHotkeyAndClosesWithEscape) {
    SequenceSheet sheet(platform);
    FakeDialog& dialog = Open(sheet);
    EXPECT_NE(sheet.OpenWindow(), 0u);
    Open(sheet);
    EXPECT_EQ(platform.dialogs.RunCount(kSheet), 1);
    EXPECT_EQ(CountOf(fake::Call("SetForegroundWindow", dialog.Handle())), 2u);
    EXPECT_TRUE(platform.CallsNamed("RegisterHotKey").empty());
    dialog.Close();
    EXPECT_EQ(sheet.OpenWindow(), 0u);
    Open(sheet);
    EXPECT_EQ(platform.dialogs.RunCount(kSheet), 2);
}

// The one-pass grouping and the search through all texts at once give the rows that grouping
// and searching each text of each entry give: random entries from few chords and letters around
// the case boundaries, so that groups interleave and matches reach the ends of texts.
TEST_F(SequenceSheetTest, ViewAgreesWithTheRowsBuiltTextByText) {
    std::mt19937 random(7);
    const std::optional<KeyChord> firsts[] = {std::nullopt, KeyChord{kModControl, 'A'},
                                              KeyChord{0, ' '}, KeyChord{kModAlt, 'Z'}};
    const std::string letters("aAbBzZ@[`{\0", 11);  // a zero byte too: no match spans two texts
    const auto text = [&](std::size_t most) {
        std::string made(random() % (most + 1), ' ');
        for (char& c : made) {
            c = letters[random() % letters.size()];
        }
        return made;
    };
    std::vector<SheetEntry> entries(300);
    for (SheetEntry& entry : entries) {
        entry = SheetEntry{firsts[random() % 4], text(4), text(4), text(4)};
    }
    SheetView view(platform, entries);
    for (int round = 0; round < 300; ++round) {
        const std::string filter = text(3);
        std::vector<std::string> expected;
        std::vector<std::optional<KeyChord>> groups;
        for (const SheetEntry& entry : entries) {
            if (std::find(groups.begin(), groups.end(), entry.first) == groups.end()) {
                groups.push_back(entry.first);
            }
        }
        for (const std::optional<KeyChord>& group : groups) {
            std::vector<std::string> members;
            for (const SheetEntry& entry : entries) {
                if (entry.first == group &&
                    (ContainsText(entry.keys, filter) || ContainsText(entry.name, filter) ||
                     ContainsText(entry.runs, filter))) {
                    members.push_back(entry.keys + "|" + entry.name + "|" + entry.runs);
                }
            }
            if (!members.empty()) {
                const std::size_t n = members.size();
                expected.push_back(
                    "# " + (group ? ChordLabel(platform, *group) : "(no keys)") +
                    (n == 1 ? " (1 sequence)" : " (" + std::to_string(n) + " sequences)"));
                expected.insert(expected.end(), members.begin(), members.end());
            }
        }
        view.Filter(platform, filter);
        std::vector<std::string> shown;
        for (std::size_t row = 0; row < view.Size(); ++row) {
            shown.push_back(view.IsHeading(row)
                                ? "# " + view.Keys(row) + " " + view.Name(row)
                                : view.Keys(row) + "|" + view.Name(row) + "|" + view.Runs(row));
        }
        ASSERT_EQ(shown, expected) << "filter \"" << filter << "\"";
    }
}

TEST(SheetTextTest, ContainsTextFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(ContainsText("Open Notepad", "pEN n"));
    EXPECT_TRUE(ContainsText("anything", ""));
    EXPECT_FALSE(ContainsText("[C][A]+A", "c]+"));
    EXPECT_FALSE(ContainsText("\xC4", "\xE4"));
}

}  // namespace
}  // namespace pavix
