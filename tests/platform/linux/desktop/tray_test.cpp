// Where the hints go beside the tray, and the menu's texts in GTK's form.
#include <gtest/gtest.h>

#include "platform/linux/desktop/desktop.h"
#include "platform/linux/desktop/tray_indicator.h"

namespace pavix {
namespace {

// The corner, or {0, 0, 0, 0} for none, for comparing and printing.
Rect Corner(const Rect& screen, const Rect& work) {
    return TrayCornerOf(screen, work).value_or(Rect{});
}

::testing::AssertionResult Is(const Rect& actual, const Rect& expected) {
    if (actual.left == expected.left && actual.top == expected.top &&
        actual.right == expected.right && actual.bottom == expected.bottom) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "{" << actual.left << ", " << actual.top << ", "
                                         << actual.right << ", " << actual.bottom << "}";
}

TEST(TrayTest, TheTraysCornerIsAtTheRightEndOfThePanelsStrip) {
    const Rect screen{0, 0, 1920, 1080};
    EXPECT_TRUE(Is(Corner(screen, Rect{0, 32, 1920, 1080}), Rect{1888, 0, 1920, 32}));
    EXPECT_TRUE(Is(Corner(screen, Rect{0, 0, 1920, 1040}), Rect{1880, 1040, 1920, 1080}));
    // A panel at the side says nothing about a corner; neither does a bare screen.
    EXPECT_FALSE(TrayCornerOf(screen, Rect{48, 0, 1920, 1080}).has_value());
    EXPECT_FALSE(TrayCornerOf(screen, screen).has_value());
    // A second monitor's coordinates stay its own.
    EXPECT_TRUE(Is(Corner(Rect{1920, 0, 3200, 1024}, Rect{1920, 0, 3200, 1000}),
                   Rect{3176, 1000, 3200, 1024}));
}

TEST(TrayTest, MnemonicsTakeGtksMarkAndLiteralMarksStay) {
    EXPECT_EQ(GtkMnemonic("E&xit"), "E_xit");
    EXPECT_EQ(GtkMnemonic("Save && Quit"), "Save & Quit");
    EXPECT_EQ(GtkMnemonic("my_file &Open"), "my__file _Open");
    EXPECT_EQ(GtkMnemonic("end&"), "end_");
}

}  // namespace
}  // namespace pavix
