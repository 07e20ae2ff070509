// The dialog host's geometry and names, checked on the program's own templates in both
// languages as well as on small made-up ones.
#include "platform/linux/desktop/dialog_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/ids.h"

namespace pavix {
namespace {

constexpr std::uint32_t kTemplateIds[] = {
    ids::SequenceEditorIds::kTemplateId, ids::CommandEditorIds::kTemplateId,
    ids::KeyCaptureIds::kTemplateId, ids::HotkeyEditorIds::kTemplateId,
    ids::ConfigDialogIds::kTemplateId};

DialogTemplate Made(const std::vector<ControlTemplate>& controls, const char* title = "Title") {
    return DialogTemplate{1, title, 100, 50, controls.data(), controls.size()};
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(DialogLayoutTest, DialogUnitsBecomePixelsRoundedToTheNearest) {
    const Rect rect = ToPixels(7, 5, 50, 14, BaseUnits{6, 13});
    EXPECT_EQ(rect.left, 11);    // 10.5
    EXPECT_EQ(rect.top, 8);      // 8.125
    EXPECT_EQ(rect.right, 86);   // 11 + 75
    EXPECT_EQ(rect.bottom, 31);  // 8 + 22.75
}

TEST(DialogLayoutTest, TheUnitsGrowUntilEveryOneLineTextFits) {
    const std::vector<ControlTemplate> controls = {
        {ControlKind::kButton, 1, "OK", 0, 0, 20, 14, 0},
        {ControlKind::kLabel, -1, "long\nwrapped", 0, 20, 10, 16, 0},
        {ControlKind::kEdit, 2, "", 30, 0, 10, 14, 0}};
    const DialogTemplate dialog = Made(controls);
    // Fits at the font's own units: they stay.
    BaseUnits units = ChooseBaseUnits(dialog, Size{6, 13}, {30, 500, 0});
    EXPECT_EQ(units.x, 6);
    EXPECT_EQ(units.y, 13);
    // 20 units must hold 41 pixels: 9 gives 45, 8 only 40. A wrapped label never widens it.
    units = ChooseBaseUnits(dialog, Size{6, 13}, {41, 500, 0});
    EXPECT_EQ(units.x, 9);
    EXPECT_GE(ToPixels(0, 0, 20, 14, units).right, 41);
}

TEST(DialogLayoutTest, AWrappedTextAsksForNoMoreCharactersThanItsWidthHolds) {
    constexpr std::int32_t kScale = 1024;
    // 412 pixels at 8: 51 characters make 408, a 52nd would overflow.
    EXPECT_EQ(WrapChars(412, 8 * kScale, kScale), 51);
    // Characters of a fractional width, never rounded up past the edge: 54 x 7.5 = 405.
    EXPECT_EQ(WrapChars(412, 15 * kScale / 2, kScale), 54);
    // No width or no font to measure: one character, never an unbounded or empty label.
    EXPECT_EQ(WrapChars(0, 8 * kScale, kScale), 1);
    EXPECT_EQ(WrapChars(412, 0, kScale), 1);
}

TEST(DialogLayoutTest, EveryTemplateOfBothLanguagesIsThereWithoutOverlaps) {
    for (const bool japanese : {false, true}) {
        for (const std::uint32_t id : kTemplateIds) {
            const DialogTemplate* dialog = FindDialogTemplate(japanese, id);
            ASSERT_NE(dialog, nullptr) << id;
            std::vector<Rect> placed;
            for (std::size_t index = 0; index < dialog->controlCount; ++index) {
                const ControlTemplate& control = dialog->controls[index];
                const Rect rect = ToPixels(
                    control.x, control.y, control.width,
                    control.kind == ControlKind::kCombo ? 14 : control.height, BaseUnits{7, 15});
                EXPECT_LE(rect.right, ToPixels(0, 0, dialog->width, 0, BaseUnits{7, 15}).right);
                if (control.kind == ControlKind::kGroup) {
                    continue;  // a group box holds its controls
                }
                for (const Rect& other : placed) {
                    EXPECT_FALSE(Overlap(rect, other))
                        << (japanese ? "ja " : "en ") << id << " control " << index;
                }
                placed.push_back(rect);
            }
        }
    }
    EXPECT_EQ(FindDialogTemplate(false, 9999), nullptr);
}

TEST(DialogLayoutTest, TextsComeInTheirLanguageWithLineBreaks) {
    const DialogTemplate* english = FindDialogTemplate(false, ids::ConfigDialogIds::kTemplateId);
    const DialogTemplate* japanese = FindDialogTemplate(true, ids::ConfigDialogIds::kTemplateId);
    EXPECT_STREQ(english->title, "Pavix Configuration");
    EXPECT_STREQ(japanese->title, "Pavix\xE8\xA8\xAD\xE5\xAE\x9A");  // UTF-8
    const ControlTemplate& about = english->controls[english->controlCount - 1];
    EXPECT_STREQ(about.text, "Pavix\nVersion 1.0\nHotkey sequences");
    EXPECT_TRUE(IsMultiLine(about));
    EXPECT_NE(about.styles & kStyleSunken, 0u);
}

TEST(DialogLayoutTest, EachControlIsNamedByItsTextLabelGroupOrDialog) {
    const std::vector<ControlTemplate> controls = {
        {ControlKind::kGroup, -1, "Outer", 0, 0, 100, 50, 0},
        {ControlKind::kGroup, -1, "Inner", 5, 5, 60, 30, 0},
        {ControlKind::kLabel, -1, "Path", 10, 10, 20, 8, 0},
        {ControlKind::kEdit, 1, "", 30, 10, 30, 14, 0},
        {ControlKind::kEdit, 2, "", 10, 20, 30, 14, 0},
        {ControlKind::kCheck, 3, "Enable", 70, 10, 25, 10, 0},
        {ControlKind::kEdit, 4, "", 70, 30, 25, 14, 0},
        {ControlKind::kList, 5, "", 0, 60, 50, 30, 0}};
    const std::vector<std::string> names = AccessibleNames(Made(controls, "The Dialog"));
    const std::vector<std::string> expected = {"Outer", "Inner",  "Path",  "Path",
                                               "Inner", "Enable", "Outer", "The Dialog"};
    EXPECT_EQ(names, expected);
}

TEST(DialogLayoutTest, EveryControlOfTheProgramHasAName) {
    for (const bool japanese : {false, true}) {
        for (const std::uint32_t id : kTemplateIds) {
            const DialogTemplate* dialog = FindDialogTemplate(japanese, id);
            const std::vector<std::string> names = AccessibleNames(*dialog);
            for (std::size_t index = 0; index < names.size(); ++index) {
                EXPECT_FALSE(names[index].empty()) << id << " control " << index;
            }
        }
    }
    const DialogTemplate* config = FindDialogTemplate(false, ids::ConfigDialogIds::kTemplateId);
    const std::vector<std::string> names = AccessibleNames(*config);
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (config->controls[index].id == ids::ConfigDialogIds::kMatchPath) {
            EXPECT_EQ(names[index], "Match");
        }
        if (config->controls[index].id == ids::ConfigDialogIds::kTimeoutField) {
            EXPECT_EQ(names[index], "Timeout(in mili seconds)");
        }
    }
}

TEST(DialogLayoutTest, AccessKeysBecomeGtkMarksAndNamesDropThem) {
    EXPECT_EQ(MnemonicText("&Copy as Text"), "_Copy as Text");
    EXPECT_EQ(MnemonicText("\xE7\xB5\x9E(&F):"), "\xE7\xB5\x9E(_F):");
    EXPECT_EQ(MnemonicText("Save && Run_now&"), "Save & Run__now&");
    EXPECT_EQ(PlainText("&Filter:"), "Filter:");
    EXPECT_EQ(PlainText("Save && Run_now"), "Save & Run_now");
    const DialogTemplate* sheet = FindDialogTemplate(false, ids::SequenceSheetIds::kTemplateId);
    const std::vector<std::string> names = AccessibleNames(*sheet);
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (sheet->controls[index].id == ids::SequenceSheetIds::kFilterEdit) {
            EXPECT_EQ(names[index], "Filter:");
        }
    }
}

TEST(DialogLayoutTest, AFieldReadsAsANumberOnlyWhenItHoldsOneThatFits) {
    struct Case {
        const char* text;
        bool isSigned;
        bool read;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"5000", false, true, 5000},
        {"  42 ", false, true, 42},
        {"4294967295", false, true, 0xFFFFFFFFu},
        {"4294967296", false, false, 0},
        {"12a", false, false, 0},
        {"", false, false, 0},
        {"   ", false, false, 0},
        {"-5", false, false, 0},
        {"-5", true, true, 0xFFFFFFFBu},
        {"2147483648", true, false, 0},
        {"-2147483648", true, true, 0x80000000u},
        {"-", true, false, 0},
    };
    for (const Case& each : cases) {
        std::uint32_t value = 7;
        EXPECT_EQ(ParseDialogNumber(each.text, each.isSigned, &value), each.read) << each.text;
        if (each.read) {
            EXPECT_EQ(value, each.value) << each.text;
        }
    }
}

TEST(DialogLayoutTest, TheDefaultExtensionGoesOnlyToANameWithoutOne) {
    EXPECT_EQ(WithDefaultExtension("/home/u/out", "toml"), "/home/u/out.toml");
    EXPECT_EQ(WithDefaultExtension("/home/u/out.txt", "toml"), "/home/u/out.txt");
    EXPECT_EQ(WithDefaultExtension("/home/u.v/out", "toml"), "/home/u.v/out.toml");
    EXPECT_EQ(WithDefaultExtension("/home/u/out", nullptr), "/home/u/out");
}

}  // namespace
}  // namespace pavix
