// Code page conversions pass through with their counts, units and the used-default flag intact.
#include <gtest/gtest.h>

#include <string>

#include "platform/constants.h"
#include "platform/win32/win32_platform.h"

namespace pavix {
namespace {

constexpr std::uint32_t kWesternCodePage = 1252;
constexpr std::uint32_t kJapaneseCodePage = 932;

TEST(TextCallsTest, BytesBecomeUtf16UnitsAndBackInBothCodePages) {
    Win32Platform platform;
    struct Case {
        std::uint32_t codePage;
        std::string bytes;
        std::u16string units;
    };
    const Case cases[] = {
        {kWesternCodePage, "\x80\xE9", u"\u20AC\u00E9"},
        {kJapaneseCodePage, "\x82\xA0\x5C", u"\u3042\\"},
    };
    for (const Case& c : cases) {
        const auto byteCount = static_cast<std::int32_t>(c.bytes.size());
        ASSERT_EQ(platform.MultiByteToWideChar(c.codePage, kMbErrInvalidChars, c.bytes.data(),
                                               byteCount, nullptr, 0),
                  static_cast<std::int32_t>(c.units.size()));
        char16_t wide[8] = {};
        ASSERT_EQ(platform.MultiByteToWideChar(c.codePage, kMbErrInvalidChars, c.bytes.data(),
                                               byteCount, wide, 8),
                  static_cast<std::int32_t>(c.units.size()));
        EXPECT_EQ(std::u16string(wide, c.units.size()), c.units) << c.codePage;

        char bytes[8] = {};
        bool usedDefault = true;
        ASSERT_EQ(platform.WideCharToMultiByte(c.codePage, kWcNoBestFitChars, c.units.data(),
                                               static_cast<std::int32_t>(c.units.size()), bytes, 8,
                                               nullptr, &usedDefault),
                  byteCount);
        EXPECT_EQ(std::string(bytes, c.bytes.size()), c.bytes) << c.codePage;
        EXPECT_FALSE(usedDefault);
    }
}

TEST(TextCallsTest, MissingCharactersAndInvalidBytesAreReported) {
    Win32Platform platform;
    char bytes[8] = {};
    bool usedDefault = false;
    const char16_t hiragana[] = u"\u3042";
    EXPECT_EQ(platform.WideCharToMultiByte(kWesternCodePage, kWcNoBestFitChars, hiragana, 1, bytes,
                                           8, nullptr, &usedDefault),
              1);
    EXPECT_TRUE(usedDefault);

    char16_t wide[8] = {};
    const char leadByteAlone[] = "\x82";
    EXPECT_EQ(platform.MultiByteToWideChar(kJapaneseCodePage, kMbErrInvalidChars, leadByteAlone, 1,
                                           wide, 8),
              0);
    EXPECT_EQ(platform.GetLastError(), kErrorNoUnicodeTranslation);
}

}  // namespace
}  // namespace pavix
