#include "storage/sequence_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake/fake_platform.h"
#include "platform/constants.h"
#include "storage/sequence_file.h"
#include "support/data_files.h"
#include "support/error_boxes.h"

namespace pavix {
namespace {

using fake::FakePlatform;
using testing::Builtin;
using testing::External;
using testing::SequenceFileBytes;
using testing::SequenceSpec;
using Kind = TextErrorKind;

constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;

}  // namespace

void PrintTo(const TextError& error, std::ostream* out) {
    *out << "line " << error.line << ": kind " << static_cast<int>(error.kind) << " \""
         << error.detail << "\"";
}

namespace {

class SequenceTextTest : public ::testing::Test {
  protected:
    // Sequence.dat's bytes read as the editor reads them.
    SequenceList ReadDat(const std::string& bytes) {
        testing::WithErrorBoxes<SequenceFile> file(platform);
        platform.files[file.Path()] = bytes;
        SequenceList list;
        EXPECT_EQ(file.Open(false), FileResult::kOk);
        for (auto sequence = std::make_unique<Sequence>(); file.Read(*sequence);
             sequence = std::make_unique<Sequence>()) {
            list.Append(std::move(sequence));
        }
        EXPECT_FALSE(file.Damaged());
        file.Close();
        return list;
    }
    // The list saved as the editor saves it.
    std::string WriteDat(const SequenceList& list) {
        testing::WithErrorBoxes<SequenceFile> file(platform);
        EXPECT_EQ(file.Open(true), FileResult::kOk);
        for (std::size_t i = 0; i < list.Size(); ++i) {
            EXPECT_TRUE(file.Write(list.At(i)));
        }
        file.Close();
        return platform.files[file.Path()];
    }
    // The list that the encoder's description stands for.
    SequenceList BuildList(const std::vector<SequenceSpec>& records) {
        return ReadDat(SequenceFileBytes(records));
    }
    std::string Export(const SequenceList& list) {
        std::string text;
        EXPECT_EQ(WriteSequenceText(list, codePage, text).kind, ExportErrorKind::kNone);
        return text;
    }
    std::vector<TextError> Errors(const std::string& text, std::size_t longest = 100) {
        SequenceText read = ReadSequenceText(text, codePage, longest);
        EXPECT_EQ(read.sequences.Size(), 0u) << text;
        return read.errors;
    }

    FakePlatform platform;
    SystemCodePage codePage{platform};
};

// Every key code with every combination of the four modifiers, both kinds of command with all
// sixteen built-ins, and texts that need quoting, escaping or the code page's upper half.
std::vector<SequenceSpec> EverythingTheEditorCanWrite() {
    std::vector<SequenceSpec> records;
    for (std::uint16_t code = 0; code < 256; code += 8) {
        SequenceSpec record{"keys from " + std::to_string(code), {}, {Builtin(code / 8 % 16)}};
        for (std::uint16_t step = 0; step < 8; ++step) {
            record.keys.push_back({static_cast<std::uint16_t>((code + step) % 16),
                                   static_cast<std::uint16_t>(code + step)});
        }
        records.push_back(record);
    }
    records.push_back({"", {}, {}});
    records.push_back({"quote \" and back\\slash", {{kCtrlAlt, 'Q'}}, {}});
    records.push_back(
        {"it's C:\\", {}, {External("C:\\Program Files\\A B\\a.exe", "-x \"y\"", "")}});
    records.push_back(
        {"controls \t\n\r\x01\x1F\x7F", {{0, 0x13}, {0, 0x13}}, {Builtin(kExitPavix)}});
    std::string upper;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        upper += static_cast<char>(byte);
    }
    records.push_back({upper, {{kModWin, 0xFF}}, {External(upper, upper, upper), Builtin(0)}});
    records.push_back({std::string(10000, 'n'), {}, {External(std::string(5000, 'p'), "", "")}});
    return records;
}

TEST_F(SequenceTextTest, SequenceDatThroughTextAndBackKeepsEveryByte) {
    const std::string bytes = SequenceFileBytes(EverythingTheEditorCanWrite());
    const std::string text = Export(ReadDat(bytes));
    const SequenceText read = ReadSequenceText(text, codePage);
    ASSERT_EQ(read.errors, std::vector<TextError>{}) << read.errors[0].detail;
    EXPECT_EQ(WriteDat(read.sequences), bytes);
    // And text -> list -> text is stable, so that exporting an import changes nothing.
    EXPECT_EQ(Export(read.sequences), text);
}

TEST_F(SequenceTextTest, WritesOneEntryPerLineInTheOrderAPersonReadsThem) {
    const std::string text = Export(BuildList({
        {"Notes", {{kCtrlAlt, 'P'}, {kCtrlAlt | kModShift | kModWin, 0x70}}, {External("n.exe")}},
        {"Lock", {}, {Builtin(kLockSystem), External("C:\\a b\\x.exe", "-q", "C:\\")}},
    }));
    EXPECT_EQ(text,
              "# Pavix sequences: one [[sequence]] table per sequence, in the order of the list.\n"
              "\n[[sequence]]\n"
              "name = \"Notes\"\n"
              "keys = [\"Ctrl+Alt+P\", \"Ctrl+Alt+Shift+Win+F1\"]\n"
              "commands = [{ run = \"n.exe\", args = \"\", dir = \"\" }]\n"
              "\n[[sequence]]\n"
              "name = \"Lock\"\n"
              "keys = []\n"
              "commands = [\n"
              "    { builtin = \"Lock System\" },\n"
              "    { run = 'C:\\a b\\x.exe', args = \"-q\", dir = 'C:\\' },\n"
              "]\n");
}

TEST_F(SequenceTextTest, ReadsEveryTomlFormOfTheSameSequences) {
    const SequenceText read = ReadSequenceText(R"(# comment
[[sequence]]
name = 'Literal \path'
keys = [
  "ctrl + ALT + n",  # case and blanks do not matter
  "Win+Shift+0x41",
]
commands = [{ builtin = "lock system" }, { run = "a.exe" }]

[[sequence]]
name = """multi
line"""
keys = ["0x1234"]
[[sequence.commands]]
run = "b.exe"
dir = "C:\\"
)",
                                               codePage);
    ASSERT_EQ(read.errors, std::vector<TextError>{}) << read.errors[0].detail;
    EXPECT_EQ(WriteDat(read.sequences),
              SequenceFileBytes({{"Literal \\path",
                                  {{kCtrlAlt, 'N'}, {kModShift | kModWin, 'A'}},
                                  {Builtin(kLockSystem), External("a.exe")}},
                                 {"multi\nline", {{0, 0x1234}}, {External("b.exe", "", "C:\\")}}}));
    EXPECT_EQ(read.lines, (std::vector<std::uint32_t>{2, 10}));
}

TEST_F(SequenceTextTest, EachProblemIsReportedWithItsLineAndNothingIsRead) {
    const std::string good = "keys = [\"A\"]\ncommands = [{ builtin = \"Do nothing\" }]\n";
    struct Case {
        std::string text;
        std::vector<TextError> errors;
    };
    const Case cases[] = {
        {"[[sequence]]\nname = \"x\"\nkeys = [\"A\" \"B\"]\n", {{Kind::kNotToml, 3, ""}}},
        // Non-ASCII characters where whitespace may stand (the parser once reached unreachable
        // code for them, which the sanitizers' build would report).
        {"s = \"\"\"\\\n\xC2\xA7\"\"\"\nx = 1 \xC5\xBC\n", {{Kind::kNotToml, 3, ""}}},
        {"title = 1.5e3\n[[sequence]]\nname = \"x\"\nsize = 2\n" + good,
         {{Kind::kUnknownEntry, 1, "title"}, {Kind::kUnknownEntry, 4, "size"}}},
        {"sequence = 5\n", {{Kind::kWrongType, 1, "sequence"}}},
        {"sequence = [1]\n", {{Kind::kWrongType, 1, "sequence"}}},
        {"[[sequence]]\n\n[[sequence]]\nname = \"x\"\nkeys = []\n",
         {{Kind::kMissingEntry, 1, "name"},
          {Kind::kMissingEntry, 1, "keys"},
          {Kind::kMissingEntry, 1, "commands"},
          {Kind::kMissingEntry, 3, "commands"}}},
        {"[[sequence]]\nname = 1\nkeys = \"A\"\ncommands = [\"x\", { run = 2, dir = [] }]\n",
         {{Kind::kWrongType, 2, "name"},
          {Kind::kWrongType, 3, "keys"},
          {Kind::kWrongType, 4, "commands"},
          {Kind::kWrongType, 4, "run"},
          {Kind::kWrongType, 4, "dir"}}},
        {"[[sequence]]\nname = \"x\"\nkeys = [\"Ctrl+Esc\",\n \"Ctrl+Ctrl+A\", 7]\n"
         "commands = [{ builtin = \"Lock\" }]\n",
         {{Kind::kUnknownKeyName, 3, "Esc"},
          {Kind::kUnknownKeyName, 4, "Ctrl"},
          {Kind::kWrongType, 4, "keys"},
          {Kind::kUnknownBuiltin, 5, "Lock"}}},
        {"[[sequence]]\nname = \"x\"\nkeys = []\ncommands = [{}, { builtin = \"Logoff\", "
         "run = \"x\" },\n{ builtin = \"Logoff\", args = \"\" }, { run = \"x\", arg = \"\" }]\n",
         {{Kind::kCommandKind, 4, ""},
          {Kind::kCommandKind, 4, ""},
          {Kind::kCommandKind, 5, ""},
          {Kind::kUnknownEntry, 5, "arg"}}},
        {"[[sequence]]\nname = \"\\u3042 is no Latin-1\"\nkeys = []\n"
         "commands = [{ run = \"a\\u0000b\" }]\n",
         {{Kind::kCodePage, 2, "\xE3\x81\x82 is no Latin-1"}, {Kind::kZeroCharacter, 4, ""}}},
        {"[[sequence]]\nname = \"" + std::string(101, 'n') + "\"\n" + good,
         {{Kind::kTooLong, 2, ""}}},
    };
    for (const Case& c : cases) {
        std::vector<TextError> errors = Errors(c.text);
        if (!errors.empty() && errors[0].kind == Kind::kNotToml) {
            errors[0].detail.clear();  // the parser's own words
        }
        EXPECT_EQ(errors, c.errors) << c.text;
    }
}

// The limit is on the bytes Sequence.dat stores, not on the UTF-8 of the file, and a quoted text
// is cut to a few dozen characters without splitting one.
TEST_F(SequenceTextTest, LongTextsAreMeasuredInTheCodePageAndQuotedInPart) {
    const std::string ten = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";  // five e-acute
    const std::string sequence = "[[sequence]]\nname = \"" + ten + "\"\nkeys = []\ncommands = []\n";
    EXPECT_EQ(ReadSequenceText(sequence, codePage, 5).errors, std::vector<TextError>{});
    EXPECT_EQ(Errors(sequence, 4), (std::vector<TextError>{{Kind::kTooLong, 2, ""}}));

    const std::vector<TextError> errors =
        Errors("[[sequence]]\nkeys = [\"" + std::string(47, 'k') + "\xE3\x81\x82\"]\n");
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[2].kind, Kind::kUnknownKeyName);
    EXPECT_EQ(errors[2].detail, std::string(47, 'k') + "...");
}

// A code page that knows only ASCII, to meet a Sequence.dat text that is none of its texts. Like
// code page 932 with its NEC and IBM rows, it holds one character in two ways: "A" is also 0x01.
class AsciiCodePage : public CodePage {
  public:
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        utf8.assign(bytes);
        std::replace(utf8.begin(), utf8.end(), '\x01', 'A');
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= 0; });
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        bytes.assign(utf8);
        return std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= 0; });
    }
};

TEST_F(SequenceTextTest, ExportStopsAtTheFirstSequenceItCannotWriteAndSaysWhich) {
    AsciiCodePage ascii;
    struct Case {
        std::vector<SequenceSpec> records;
        ExportErrorKind kind;
        std::size_t sequence;
    };
    const Case cases[] = {
        {{{"ok", {}, {}}, {"caf\xE9", {}, {}}, {"\xFF", {}, {}}}, ExportErrorKind::kCodePage, 1},
        {{{"ok", {}, {}}, {"ok", {}, {External("ok", "ok", "\x80")}}},
         ExportErrorKind::kCodePage,
         1},
        {{{"repeat", {{kCtrlAlt, 'R'}, {0x4002, 'R'}}, {}}}, ExportErrorKind::kUnnamedModifier, 0},
        {{{"\x01", {}, {}}}, ExportErrorKind::kRoundTrip, 0},
        {{{"A", {}, {}}, {"ok", {}, {Builtin(0), External("ok", "ok", "C:\\\x01")}}},
         ExportErrorKind::kRoundTrip,
         1},
    };
    for (const Case& c : cases) {
        std::string text = "left over";
        const ExportError error = WriteSequenceText(BuildList(c.records), ascii, text);
        EXPECT_EQ(error.kind, c.kind);
        EXPECT_EQ(error.sequence, c.sequence);
        EXPECT_EQ(text, "");
    }
}

}  // namespace
}  // namespace pavix
