#include "resources/texts.h"

#include <gtest/gtest.h>

#include "fake/fake_platform.h"
#include "resources/string_table.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;
using resources::Language;

TEST(TextsTest, EveryIdExistsInBothLanguagesAndNoOther) {
    const std::uint32_t ids[] = {1,  2,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                 17, 18, 19, 20, 21, 22, 23, 24, 26, 29, 30, 31, 32, 33, 34};
    for (std::uint32_t id : ids) {
        EXPECT_NE(resources::FindString(Language::English, id), nullptr) << id;
        EXPECT_NE(resources::FindString(Language::Japanese, id), nullptr) << id;
    }
    for (std::uint32_t id : {0u, 3u, 25u, 27u, 28u, 35u}) {
        EXPECT_EQ(resources::FindString(Language::English, id), nullptr) << id;
        EXPECT_EQ(resources::FindString(Language::Japanese, id), nullptr) << id;
    }
}

TEST(TextsTest, JapaneseTextsAreCodePage932Bytes) {
    FakePlatform platform;
    platform.language = Language::Japanese;
    // "ホットキー登録に失敗:" ends in an ASCII colon, no blank.
    EXPECT_EQ(LoadText(platform, 29),
              "\x83\x7A\x83\x62\x83\x67\x83\x4C\x81\x5B\x93\x6F\x98\x5E\x82\xC9\x8E\xB8\x94\x73:");
    EXPECT_EQ(LoadText(platform, 1), "Pavix:Error");
    platform.language = Language::English;
    EXPECT_EQ(LoadText(platform, 29), "Failed to register Hotkey : ");
}

TEST(TextsTest, FillInPutsEachValueInItsPlaceAndLeavesTheRestAsItIs) {
    EXPECT_EQ(FillIn("Line %1: %2 (%1)", {"7", "%1 100%"}), "Line 7: %1 100% (7)");
    EXPECT_EQ(FillIn("%3 %x %", {"a", "b"}), "%3 %x %");
}

TEST(TextsTest, MissingIdGivesEmptyText) {
    FakePlatform platform;
    EXPECT_EQ(LoadText(platform, 25), "");
}

TEST(TextsTest, LongTextIsReadAgainIntoLargerBuffers) {
    FakePlatform platform;
    const std::string longText(600, 'x');
    platform.SetString(2, longText);
    EXPECT_EQ(LoadText(platform, 2), longText);
    EXPECT_EQ(platform.CallsNamed("LoadStringA"),
              (fake::Calls{Call("LoadStringA", FakePlatform::kInstance, 2, 256),
                           Call("LoadStringA", FakePlatform::kInstance, 2, 512),
                           Call("LoadStringA", FakePlatform::kInstance, 2, 768)}));
}

TEST(TextsTest, TextOf253FitsFirstTime254DoesNot) {
    FakePlatform platform;
    platform.SetString(2, std::string(253, 'y'));
    EXPECT_EQ(LoadText(platform, 2).size(), 253u);
    EXPECT_EQ(platform.CallsNamed("LoadStringA").size(), 1u);
    platform.calls.clear();
    platform.SetString(2, std::string(254, 'y'));
    EXPECT_EQ(LoadText(platform, 2).size(), 254u);
    EXPECT_EQ(platform.CallsNamed("LoadStringA").size(), 2u);
}

TEST(TextsTest, ErrorBoxHasNoOwnerCaptionOneAndErrorIcon) {
    FakePlatform platform;
    ShowErrorText(platform, 2);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0],
              (fake::MessageBox{"Data file format is Invalid", "Pavix:Error", 0x10}));
    EXPECT_EQ(platform.CallsNamed("MessageBoxA")[0],
              Call("MessageBoxA", 0, "Data file format is Invalid", "Pavix:Error", 0x10));
}

}  // namespace
}  // namespace pavix
