#include "editors/record_dialog.h"

#include "editors/chord_recording.h"
#include "resources/texts.h"
#include "sequence_editor_support.h"

namespace pavix {
namespace {

using fake::FakeDialog;

constexpr std::uint32_t kRecord = RecordDialog::kTemplateId;
constexpr std::intptr_t kRepeat = 0x40000000;
constexpr std::intptr_t kExtended = 0x01000000;

// Over the whole key range: modifier keys, repeats and the codes of no key record nothing; every
// other code records itself with exactly the modifiers held.
TEST(ChordRecordingTest, EveryKeyCodeWithAndWithoutRepeat) {
    const std::set<int> silent = {0x00, 0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1,
                                  0xA2, 0xA3, 0xA4, 0xA5, 0xE5, 0xE7, 0xFF};
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<std::uint16_t>(code);
        EXPECT_EQ(RecordedChord(key, true, kModControl), std::nullopt) << code;
        const std::optional<KeyChord> chord = RecordedChord(key, false, 0xFFFF);
        if (silent.count(code) != 0) {
            EXPECT_EQ(chord, std::nullopt) << code;
        } else {
            EXPECT_EQ(chord, (KeyChord{0x000F, key})) << code;
        }
    }
}

TEST(ChordRecordingTest, EitherWindowsKeyIsWin) {
    fake::FakePlatform platform;
    EXPECT_EQ(HeldModifiers(platform), 0);
    platform.keysDown = {kVkRWin, kVkShift};
    EXPECT_EQ(HeldModifiers(platform), kModWin | kModShift);
    platform.keysDown = {kVkLWin, kVkControl, kVkMenu};
    EXPECT_EQ(HeldModifiers(platform), kModWin | kModControl | kModAlt);
}

class RecordDialogTest : public SequenceEditorTest {
  protected:
    WindowHandle Recorder() const { return platform.focusedWindow; }
    // A press as the platform delivers it to the focused recording box.
    void Press(std::uint16_t key, std::set<std::int32_t> held = {}, std::intptr_t flags = 0) {
        platform.keysDown = std::move(held);
        const WindowHandle recorder = Recorder();
        ASSERT_NE(recorder, 0u);
        platform.Send(recorder, kWmKeyDown, key, flags);
        platform.Send(recorder, kWmKeyUp, key, 0);
        platform.keysDown.clear();
    }
    std::vector<std::string> Rows(FakeDialog& dialog) {
        std::vector<std::string> rows;
        for (std::int32_t row = 0; row < dialog.ItemCount(RecordDialog::kChordList); ++row) {
            rows.push_back(dialog.RowText(RecordDialog::kChordList, row, 0) + "|" +
                           dialog.RowText(RecordDialog::kChordList, row, 1));
        }
        return rows;
    }
};

TEST_F(RecordDialogTest, RecordsEveryChordAtOnceAndTheDialogKeysAmongThem) {
    RecordDialog recorder(platform, dialogs);
    EXPECT_EQ(Run(recorder, kRecord,
                  [&](FakeDialog& dialog) {
                      EXPECT_FALSE(dialog.initialFocusByPlatform);
                      EXPECT_EQ(platform.Send(Recorder(), kWmGetDlgCode),
                                kDlgcWantAllKeys | kDlgcWantChars);
                      EXPECT_EQ(dialog.Text(RecordDialog::kStatusText),
                                LoadText(platform, ids::kTextRecordingStatus));
                      Press(0x0D, {kVkControl, kVkControl});
                      Press(kVkControl, {kVkControl});  // a modifier alone
                      Press(0x1B);
                      Press(0x1B, {}, kRepeat);
                      Press(0x09, {kVkShift});
                      Press(0x25, {}, kExtended);  // an arrow: no Win from its extended flag
                      Press(0x08, {kVkLWin, kVkMenu});
                      EXPECT_EQ(Rows(dialog),
                                (std::vector<std::string>{"[C]|Enter", "|Esc", "[S]|Tab", "|Left",
                                                          "[A][W]|Backspace"}));
                      dialog.Click(kIdOk);
                  }),
              kIdOk);
    EXPECT_EQ(recorder.Chords().size(), 5u);
    EXPECT_FALSE(recorder.Append());
}

TEST_F(RecordDialogTest, APauseEndsRecordingAndHandsTheKeysBackToTheDialog) {
    RecordDialog recorder(platform, dialogs);
    Run(recorder, kRecord, [&](FakeDialog& dialog) {
        const WindowHandle recorder = Recorder();
        EXPECT_EQ(CountOf(fake::Call("SetTimer", recorder, RecordDialog::kPauseTimerId,
                                     RecordDialog::kPauseMs, 0)),
                  1u);
        Press('A', {kVkControl});
        platform.Send(recorder, kWmTimer, RecordDialog::kPauseTimerId);
        EXPECT_EQ(dialog.focus, RecordDialog::kChordList);
        EXPECT_EQ(dialog.SelectedRow(RecordDialog::kChordList), 0);
        EXPECT_EQ(dialog.Text(RecordDialog::kStatusText),
                  LoadText(platform, ids::kTextRecordingStopped));
        EXPECT_EQ(dialog.Text(RecordDialog::kRecorder), LoadText(platform, ids::kTextRecorderIdle));
        // Back in the box, recording goes on after what was recorded; Clear starts over.
        platform.SetFocus(recorder);
        Press('B');
        EXPECT_EQ(Rows(dialog), (std::vector<std::string>{"[C]|A", "|B"}));
        dialog.Click(RecordDialog::kClearButton);
        EXPECT_EQ(dialog.ItemCount(RecordDialog::kChordList), 0);
        EXPECT_FALSE(dialog.Enabled(RecordDialog::kClearButton));
        platform.Send(recorder, kWmTimer, RecordDialog::kPauseTimerId);
        EXPECT_EQ(dialog.focus, kIdOk);
        dialog.Close();
    });
}

TEST_F(RecordDialogTest, OkReplacesOrAppendsTheCurrentKeysAndCancelChangesNothing) {
    WriteSample();
    const std::string original = platform.files[kSequencePath];
    const auto record = [&](bool append, bool ok) {
        platform.dialogs.Expect(kRecord, [&, append, ok](FakeDialog& dialog) {
            Press('Q', {kVkControl});
            Press(0x0D);
            if (append) {
                dialog.ClickCheckBox(RecordDialog::kAppendBox);
            }
            dialog.Click(ok ? kIdOk : kIdCancel);
        });
    };
    record(false, false);
    EXPECT_EQ(EditAndSave([](FakeDialog& dialog) { dialog.Click(Editor::kKeyRecord); }), original);
    record(false, true);
    const std::string replaced = SequenceHeader() +
                                 SequenceBytes("A", {0x00510002, 0x000D0000},
                                               {Builtin(kLockSystem), External("p", "a", "d")}) +
                                 SampleRecordB() + SampleRecordC();
    EXPECT_EQ(EditAndSave([](FakeDialog& dialog) { dialog.Click(Editor::kKeyRecord); }), replaced);
    record(true, true);
    EXPECT_EQ(EditAndSave([](FakeDialog& dialog) {
                  dialog.Click(Editor::kKeyRecord);
                  EXPECT_EQ(dialog.SelectedRow(Editor::kKeyList), 3);
              }),
              SequenceHeader() +
                  SequenceBytes("A", {0x00510002, 0x000D0000, 0x00510002, 0x000D0000},
                                {Builtin(kLockSystem), External("p", "a", "d")}) +
                  SampleRecordB() + SampleRecordC());
}

}  // namespace
}  // namespace pavix
