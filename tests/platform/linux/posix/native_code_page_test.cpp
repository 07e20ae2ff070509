// The code pages without Windows: UTF-8 read strictly, code page 1252 byte for byte.
#include "platform/linux/posix/native_code_page.h"

#include <gtest/gtest.h>

namespace pavix {
namespace {

TEST(NativeCodePageTest, OnlyShortestFormsOfCharactersAreUtf8) {
    std::u16string wide;
    EXPECT_TRUE(DecodeUtf8("a\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", wide));
    EXPECT_EQ(wide, u"a\u00E9\u3042\U0001F600");
    for (const char* invalid : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                "\xE3\x81", "\x80", "\xF5\x80\x80\x80", "\xC3\x28"}) {
        EXPECT_FALSE(DecodeUtf8(invalid, wide)) << ::testing::PrintToString(invalid);
    }
    std::string utf8;
    EXPECT_TRUE(EncodeUtf8(u"\u00E9\U0001F600", utf8));
    EXPECT_EQ(utf8, "\xC3\xA9\xF0\x9F\x98\x80");
    for (const std::u16string invalid : {u"\xDC00", u"a\xD800", u"\xD800z"}) {
        EXPECT_FALSE(EncodeUtf8(invalid, utf8));
    }
}

TEST(NativeCodePageTest, EveryByteOfTheWesternCodePageComesBackUnchanged) {
    const std::unique_ptr<NativeCodePage> western = MakeNativeCodePage(kWesternCodePage);
    ASSERT_NE(western, nullptr);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        std::string utf8;
        std::string back;
        ASSERT_TRUE(western->ToUtf8(one, utf8)) << byte;
        EXPECT_TRUE(western->FromUtf8(utf8, back)) << byte;
        EXPECT_EQ(back, one) << byte;
    }
    std::string utf8;
    western->ToUtf8("\x80\x9F", utf8);
    EXPECT_EQ(utf8, "\xE2\x82\xAC\xC5\xB8");  // the euro sign and Y with diaeresis
    std::string bytes;
    EXPECT_FALSE(western->FromUtf8("a\xE3\x81\x82\xF0\x9F\x98\x80", bytes));
    EXPECT_EQ(bytes, "a??");  // one stand-in for each character, however long
}

TEST(NativeCodePageTest, Utf8HoldsEverythingButItsOwnInvalidSequences) {
    const std::unique_ptr<NativeCodePage> utf8Page = MakeNativeCodePage(kUtf8CodePage);
    ASSERT_NE(utf8Page, nullptr);
    std::string out;
    EXPECT_TRUE(utf8Page->ToUtf8("\xE3\x81\x82", out));
    EXPECT_EQ(out, "\xE3\x81\x82");
    EXPECT_FALSE(utf8Page->ToUtf8("\x83\x65", out));  // code page 932's bytes are no UTF-8
    EXPECT_TRUE(utf8Page->FromUtf8("\xF0\x9F\x98\x80", out));
    EXPECT_EQ(out, "\xF0\x9F\x98\x80");
    EXPECT_EQ(MakeNativeCodePage(437), nullptr);
}

}  // namespace
}  // namespace pavix
