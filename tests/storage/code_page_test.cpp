#include "storage/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix {
namespace {

using fake::Call;
using fake::FakePlatform;

TEST(CodePageTest, UtfFormsConvertEveryPlaneAndRefuseWhatEncodesNoCharacter) {
    const std::string utf8 = "a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80";
    const std::u16string utf16 = u"a\u00E9\u3042\U0001F600";
    std::u16string wide;
    ASSERT_TRUE(Utf8ToUtf16(utf8, wide));
    EXPECT_EQ(wide, utf16);
    std::string narrow;
    ASSERT_TRUE(Utf16ToUtf8(utf16, narrow));
    EXPECT_EQ(narrow, utf8);

    for (const char* invalid : {"\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80",
                                "\xF4\x90\x80\x80", "\xE3\x81", "\x80", "\xFF", "a\xE3\x81z"}) {
        EXPECT_FALSE(Utf8ToUtf16(invalid, wide)) << invalid;
    }
    const char16_t high = 0xD800;
    const char16_t low = 0xDC00;
    for (const std::u16string& invalid : {std::u16string(1, high), std::u16string(1, low),
                                          std::u16string{high, u'a'}, std::u16string{low, high}}) {
        EXPECT_FALSE(Utf16ToUtf8(invalid, narrow));
    }
}

class SystemCodePageTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    SystemCodePage codePage{platform};
    std::string out;
};

TEST_F(SystemCodePageTest, ConvertsThroughTheAnsiCodePageWithoutLookAlikes) {
    ASSERT_TRUE(codePage.ToUtf8("caf\xE9", out));
    EXPECT_EQ(out, "caf\xC3\xA9");
    ASSERT_TRUE(codePage.FromUtf8("caf\xC3\xA9", out));
    EXPECT_EQ(out, "caf\xE9");
    // A character the code page lacks fails, leaving a stand-in fit for a message.
    EXPECT_FALSE(codePage.FromUtf8("\xE3\x81\x82!", out));
    EXPECT_EQ(out, "?!");
    for (const Call& call : platform.CallsNamed({"MultiByteToWideChar", "WideCharToMultiByte"})) {
        EXPECT_EQ(call.args[0], "0") << call;  // CP_ACP
        EXPECT_EQ(call.args[1], call.name == "MultiByteToWideChar" ? "8" : "1024") << call;
    }
    // Bytes the code page does not define.
    platform.Script("MultiByteToWideChar", 0, kErrorNoUnicodeTranslation);
    EXPECT_FALSE(codePage.ToUtf8("\x81", out));
}

// The platform refuses to convert nothing; an empty text must not be mistaken for a failure.
TEST_F(SystemCodePageTest, EmptyTextsConvertWithoutThePlatform) {
    EXPECT_TRUE(codePage.ToUtf8("", out));
    EXPECT_TRUE(codePage.FromUtf8("", out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(platform.calls.empty());
}

// Where the ANSI code page is UTF-8, the platform takes no flags and no question about missing
// characters; every character is there.
TEST(CodePageTest, AnAnsiCodePageThatRefusesTheQuestionStillConverts) {
    for (std::uint32_t error : {kErrorInvalidFlags, kErrorInvalidParameter}) {
        FakePlatform platform;
        platform.Script("WideCharToMultiByte", 0, error,
                        [](const Call& call) { return call.args[1] != "0"; });
        SystemCodePage codePage(platform);
        std::string out;
        ASSERT_TRUE(codePage.FromUtf8("caf\xC3\xA9", out)) << error;
        EXPECT_EQ(out, "caf\xE9");
    }
}

}  // namespace
}  // namespace pavix
