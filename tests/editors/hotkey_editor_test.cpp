#include "editors/hotkey_editor.h"

#include <set>

#include "editor_test_support.h"
#include "editors/key_capture_dialog.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakeDialog;

constexpr std::uint32_t kEditor = HotkeyEditor::kTemplateId;
constexpr std::uint32_t kCapture = KeyCaptureDialog::kTemplateId;
constexpr std::int32_t kList = HotkeyEditor::kKeyList;

struct Boxes {
    std::int32_t control, alt, shift, win;
};

Boxes BoxesOf(FakeDialog& dialog) {
    return Boxes{dialog.Check(1030), dialog.Check(1029), dialog.Check(1032), dialog.Check(1031)};
}

bool operator==(const Boxes& a, const Boxes& b) {
    return a.control == b.control && a.alt == b.alt && a.shift == b.shift && a.win == b.win;
}

void PrintTo(const Boxes& boxes, std::ostream* out) {
    *out << "CTRL " << boxes.control << " ALT " << boxes.alt << " SHIFT " << boxes.shift << " WIN "
         << boxes.win;
}

class HotkeyEditorTest : public EditorTest {
  protected:
    // Runs the editor, lets `user` act, confirms with OK and returns the chord stored into
    // `start`.
    KeyChord Edit(KeyChord start, bool load, const std::function<void(FakeDialog&)>& user) {
        HotkeyEditor editor(platform, dialogs);
        if (load) {
            editor.Load(start);
        }
        EXPECT_EQ(Run(editor, kEditor,
                      [&](FakeDialog& dialog) {
                          user(dialog);
                          dialog.Click(kIdOk);
                      }),
                  kIdOk);
        editor.Store(start);
        return start;
    }
};

TEST_F(HotkeyEditorTest, KeyListHoldsAll256CodesInTheirRowFormat) {
    Edit(KeyChord{}, false, [](FakeDialog&) {});
    const auto& rows = Last(kEditor).Control(kList).rows;
    ASSERT_EQ(rows.size(), 256u);
    const std::pair<int, const char*> expected[] = {
        {0, "  0:---"}, {8, "  8:Backspace"}, {9, "  9:Tab"},     {48, " 48:0"},
        {65, " 65:A"},  {99, " 99:Num 3"},    {100, "100:Num 4"}, {0x25, " 37:Left"},
        {0x5B, " 91:"}, {255, "255:---"},
    };
    for (const auto& [code, text] : expected) {
        EXPECT_EQ(rows[code], text) << code;
    }
}

TEST_F(HotkeyEditorTest, NewChordConfirmedAtOnceIsCtrlAltWithKeyCode8) {
    const KeyChord chord = Edit(KeyChord{0xFF, 0x41}, false, [](FakeDialog& dialog) {
        EXPECT_EQ(BoxesOf(dialog), (Boxes{1, 1, 0, 0}));
        EXPECT_EQ(dialog.Control(kList).comboSelection, 8);
        EXPECT_TRUE(dialog.initialFocusByPlatform);
    });
    EXPECT_EQ(chord, (KeyChord{kModControl | kModAlt, 8}));
}

TEST_F(HotkeyEditorTest, LoadedChordComesBackUnchangedButForForeignModifierBits) {
    const struct {
        KeyChord loaded;
        Boxes boxes;
        KeyChord stored;
    } cases[] = {
        {{0, 0}, {0, 0, 0, 0}, {0, 0}},
        {{kModAlt, 0x41}, {0, 1, 0, 0}, {kModAlt, 0x41}},
        {{kModControl | kModShift, 0x70}, {1, 0, 1, 0}, {kModControl | kModShift, 0x70}},
        {{kModWin, 0x25}, {0, 0, 0, 1}, {kModWin, 0x25}},
        {{0x000F, 255}, {1, 1, 1, 1}, {0x000F, 255}},
        {{0xFFF0 | kModShift, 0x20}, {0, 0, 1, 0}, {kModShift, 0x20}},
    };
    for (const auto& c : cases) {
        const KeyChord stored = Edit(c.loaded, true, [&](FakeDialog& dialog) {
            EXPECT_EQ(BoxesOf(dialog), c.boxes);
            EXPECT_EQ(dialog.Control(kList).comboSelection, c.loaded.keyCode);
        });
        EXPECT_EQ(stored, c.stored) << c.loaded.Packed();
    }
}

TEST_F(HotkeyEditorTest, OkTakesTheBoxesAndTheSelectedRow) {
    const KeyChord chord = Edit(KeyChord{}, false, [](FakeDialog& dialog) {
        dialog.ClickCheckBox(1030);
        dialog.ClickCheckBox(1032);
        dialog.ClickCheckBox(1031);
        dialog.ChooseRow(kList, 0x7B);
    });
    EXPECT_EQ(chord, (KeyChord{kModAlt | kModShift | kModWin, 0x7B}));
}

TEST_F(HotkeyEditorTest, CancelEndsWith2EvenAfterACapture) {
    HotkeyEditor editor(platform, dialogs);
    platform.dialogs.Expect(kCapture, [](FakeDialog& capture) {
        capture.PressHotkey(0x0241);
        capture.Click(kIdOk);
    });
    EXPECT_EQ(Run(editor, kEditor,
                  [](FakeDialog& dialog) {
                      dialog.Click(HotkeyEditor::kKeyTypeButton);
                      dialog.Close();
                  }),
              kIdCancel);
    EXPECT_EQ(Last(kEditor).result, kIdCancel);
}

// The boxes the capture box starts from, and what comes back into the editor: WIN travels as the
// extended-key flag both ways, but for the keys that are extended themselves (Delete here).
TEST_F(HotkeyEditorTest, KeyTypeMapsTheBoxesToCaptureFlagsAndBack) {
    const struct {
        KeyChord loaded;
        std::uint16_t sent;      // HKM_SETHOTKEY word
        std::uint16_t captured;  // HKM_GETHOTKEY answer
        Boxes boxes;
        KeyChord stored;
    } cases[] = {
        {{kModControl | kModAlt, 8}, 0x0608, 0x0241, {1, 0, 0, 0}, {kModControl, 0x41}},
        {{kModWin, 0x25}, 0x0825, 0x0825, {0, 0, 0, 1}, {kModWin, 0x25}},
        {{kModShift, 0x70}, 0x0170, 0x0D2E, {0, 1, 1, 0}, {kModAlt | kModShift, 0x2E}},
        {{0x000F, 0x1FF}, 0x0FFF, 0x0F20, {1, 1, 1, 1}, {0x000F, 0x20}},
        {{kModAlt, 0x41}, 0x0441, 0x0000, {0, 0, 0, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        platform.dialogs.Expect(kCapture, [&](FakeDialog& capture) {
            EXPECT_EQ(capture.Control(KeyCaptureDialog::kHotkeyControl).hotkey, c.sent);
            capture.PressHotkey(c.captured);
            capture.Click(kIdOk);
        });
        const KeyChord stored = Edit(c.loaded, true, [&](FakeDialog& dialog) {
            dialog.Click(HotkeyEditor::kKeyTypeButton);
            EXPECT_EQ(BoxesOf(dialog), c.boxes);
            EXPECT_EQ(dialog.Control(kList).comboSelection, c.stored.keyCode);
        });
        EXPECT_EQ(stored, c.stored) << c.sent;
    }
}

// The capture control sets its extended-key flag for the twelve extended keys of its own accord:
// for them the flag is handed over to show the key's extended form and says nothing about WIN,
// which keeps the state of its box. For every other code the flag is WIN, both ways.
TEST_F(HotkeyEditorTest, ExtendedKeysKeepTheWinBoxThroughACapture) {
    const std::set<int> extended = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
                                    0x27, 0x28, 0x2D, 0x2E, 0x5D, 0x90};
    platform.recording = false;
    for (int code = 0; code < HotkeyEditor::kKeyCount; ++code) {
        const bool isExtended = extended.count(code) != 0;
        const auto key = static_cast<std::uint16_t>(code);
        // WIN off before and the flag in the capture, then the other way round.
        for (const bool winBefore : {false, true}) {
            const std::uint16_t flagSent = winBefore || isExtended ? kHotkeyfExt : 0;
            const std::uint16_t flagCaptured = winBefore ? 0 : kHotkeyfExt;
            platform.dialogs.Expect(kCapture, [&](FakeDialog& capture) {
                EXPECT_EQ(capture.Control(KeyCaptureDialog::kHotkeyControl).hotkey,
                          (kHotkeyfControl | flagSent) << 8 | code)
                    << code;
                capture.PressHotkey(
                    static_cast<std::uint16_t>((kHotkeyfAlt | flagCaptured) << 8 | code));
                capture.Click(kIdOk);
            });
            const KeyChord loaded{
                static_cast<KeyModifiers>(kModControl | (winBefore ? kModWin : 0)), key};
            const KeyChord stored = Edit(loaded, true, [](FakeDialog& dialog) {
                dialog.Click(HotkeyEditor::kKeyTypeButton);
            });
            const bool winAfter = isExtended ? winBefore : flagCaptured != 0;
            ASSERT_EQ(
                stored,
                (KeyChord{static_cast<KeyModifiers>(kModAlt | (winAfter ? kModWin : 0)), key}))
                << "code " << code << (winBefore ? " with" : " without") << " WIN before";
        }
    }
}

TEST_F(HotkeyEditorTest, KeyTypeStartsFromWhatTheUserSeesAndCancelKeepsIt) {
    platform.dialogs.Expect(kCapture, [](FakeDialog& capture) {
        EXPECT_EQ(capture.Control(KeyCaptureDialog::kHotkeyControl).hotkey, 0x0A5A);
        capture.PressHotkey(0x0241);
        capture.Click(kIdCancel);
    });
    const KeyChord stored = Edit(KeyChord{}, false, [](FakeDialog& dialog) {
        dialog.ClickCheckBox(1029);
        dialog.ClickCheckBox(1031);
        dialog.ChooseRow(kList, 0x5A);
        dialog.Click(HotkeyEditor::kKeyTypeButton);
        EXPECT_EQ(BoxesOf(dialog), (Boxes{1, 0, 0, 1}));
        EXPECT_EQ(dialog.Control(kList).comboSelection, 0x5A);
    });
    EXPECT_EQ(stored, (KeyChord{kModControl | kModWin, 0x5A}));
}

TEST_F(HotkeyEditorTest, BothBoxesAreOwnedByTheWindowActiveWhenTheyOpen) {
    platform.activeWindow = 0x777;
    Edit(KeyChord{}, false, [](FakeDialog& dialog) { dialog.Click(1027); });
    const WindowHandle editor = Last(kEditor).Handle();
    EXPECT_EQ(
        platform.CallsNamed("DialogBoxParamA"),
        (fake::Calls{Call("DialogBoxParamA", fake::FakePlatform::kInstance, kEditor, 0x777, 0),
                     Call("DialogBoxParamA", fake::FakePlatform::kInstance, kCapture, editor, 0)}));
    EXPECT_EQ(Last(kCapture).result, kIdCancel);
    EXPECT_EQ(platform.activeWindow, 0x777u);
}

}  // namespace
}  // namespace pavix
