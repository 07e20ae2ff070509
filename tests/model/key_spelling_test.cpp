#include "model/key_spelling.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "platform/constants.h"

namespace pavix {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

TEST(KeySpellingTest, EveryChordOfTheEditorsHasOneSpellingThatReadsBackAsIt) {
    std::set<std::string> spellings;
    for (std::uint16_t code = 0; code < 256; ++code) {
        spellings.insert(Lower(KeySpelling(code)));
        for (std::uint16_t modifiers = 0; modifiers < 16; ++modifiers) {
            const KeyChord chord{modifiers, code};
            const std::optional<std::string> spelling = ChordSpelling(chord);
            ASSERT_TRUE(spelling) << code;
            KeyChord read;
            std::string bad;
            ASSERT_TRUE(ParseChordSpelling(*spelling, &read, &bad)) << *spelling;
            EXPECT_EQ(read, chord) << *spelling;
        }
    }
    EXPECT_EQ(spellings.size(), 256u);  // no two codes share a name, case aside
}

// The names the README documents, the hexadecimal form of codes without one, and the fixed
// order of the modifiers.
TEST(KeySpellingTest, SpellingsAreTheDocumentedNames) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0x00410003, "Ctrl+Alt+A"},   {0x0070000F, "Ctrl+Alt+Shift+Win+F1"},
        {0x00870000, "F24"},          {0x00300004, "Shift+0"},
        {0x00600000, "NumPad0"},      {0x006B0000, "Add"},
        {0x00210000, "PageUp"},       {0x002C0000, "PrintScreen"},
        {0x00100008, "Win+ShiftKey"}, {0x00A30000, "RCtrl"},
        {0x00BA0000, "Oem1"},         {0x00E20000, "Oem102"},
        {0x00000000, "0x00"},         {0x00070000, "0x07"},
        {0x00FF0000, "0xFF"},         {0x12340000, "0x1234"},
    };
    for (const auto& [packed, text] : cases) {
        EXPECT_EQ(ChordSpelling(KeyChord::FromPacked(packed)), std::optional<std::string>(text));
    }
    EXPECT_EQ(ChordSpelling(KeyChord{0x4002, 'A'}), std::nullopt);
}

TEST(KeySpellingTest, ReadingIgnoresCaseOrderAndBlanksAndNamesWhatItCannotRead) {
    const std::pair<const char*, std::uint32_t> good[] = {
        {" ctrl + ALT+n ", 0x004E0003},
        {"Win+Shift+0x41", 0x0041000C},
        {"0xa", 0x000A0000},
    };
    for (const auto& [text, packed] : good) {
        KeyChord chord;
        std::string bad;
        EXPECT_TRUE(ParseChordSpelling(text, &chord, &bad)) << text;
        EXPECT_EQ(chord.Packed(), packed) << text;
    }
    const std::pair<const char*, const char*> wrong[] = {
        {"Ctrl+Foo", "Foo"},
        {"Ctrl+Ctrl+A", "Ctrl"},
        {"Control+A", "Control"},
        {"", ""},
        {"Ctrl+", ""},
        {"Ctrl+Shift", "Shift"},
        {"0x10000", "0x10000"},
        {"0x", "0x"},
        {"0xG1", "0xG1"},
        {"A+B", "A"},
    };
    for (const auto& [text, part] : wrong) {
        KeyChord chord;
        std::string bad;
        EXPECT_FALSE(ParseChordSpelling(text, &chord, &bad)) << text;
        EXPECT_EQ(bad, part) << text;
    }
}

}  // namespace
}  // namespace pavix
