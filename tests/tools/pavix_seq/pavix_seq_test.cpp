// pavix-seq on real files in a folder of its own: what each command writes, what it reports on
// the error stream, line by line, and its exit code.
#include "pavix_seq/pavix_seq.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "model/command.h"
#include "platform/constants.h"
#include "support/data_files.h"

namespace pavix::tool {
namespace {

using testing::Builtin;
using testing::External;
using testing::SequenceFileBytes;
using testing::SequenceHeader;
using testing::SequenceRecord;
using testing::SequenceSpec;

constexpr std::uint16_t kCtrlAlt = kModControl | kModAlt;

// Each test works in a fresh folder of its own, which is the current directory meanwhile, so that
// files are named as a user names them.
class PavixSeqTest : public ::testing::Test {
  protected:
    PavixSeqTest() : previous_(std::filesystem::current_path()) {
        std::string pattern = ::testing::TempDir() + "pavix-seq-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        std::filesystem::current_path(folder_);
    }
    ~PavixSeqTest() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    static void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& name) {
        std::ifstream file(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    int Run(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        const int exit = RunPavixSeq(arguments, out, err);
        output = out.str();
        errors.clear();
        std::istringstream lines(err.str());
        for (std::string line; std::getline(lines, line);) {
            errors.push_back(line);
        }
        return exit;
    }

    std::string output;
    std::vector<std::string> errors;

  private:
    std::filesystem::path previous_;
    std::string folder_;
};

using Lines = std::vector<std::string>;

// Every key code and both kinds of command, with texts in the upper half of code page 1252.
std::vector<SequenceSpec> WideRange() {
    std::vector<SequenceSpec> records;
    for (std::uint16_t code = 0; code < 256; ++code) {
        records.push_back(
            {"key " + std::to_string(code) + " \x80\x81\xE9",
             {{kCtrlAlt, 'P'}, {static_cast<std::uint16_t>(code % 16), code}},
             {code % 2 ? Builtin(code % 16) : External("C:\\a\x9F.exe", "-\"x\"", "")}});
    }
    return records;
}

TEST_F(PavixSeqTest, ExportThenImportGivesBackTheSameSequenceDat) {
    const std::string bytes = SequenceFileBytes(WideRange());
    Write("Sequence.dat", bytes);
    EXPECT_EQ(Run({"export", "Sequence.dat", "out.toml"}), kExitClean);
    EXPECT_EQ(errors, Lines{});
    EXPECT_EQ(Run({"export", "Sequence.dat"}), kExitClean);
    EXPECT_EQ(output, Read("out.toml"));
    EXPECT_NE(output.find("name = \"key 233 \xE2\x82\xAC\xC2\x81\xC3\xA9\""), std::string::npos);

    EXPECT_EQ(Run({"import", "out.toml", "new.dat"}), kExitClean);
    EXPECT_EQ(errors, Lines{});
    EXPECT_EQ(Read("new.dat"), bytes);
}

// Hyprland ignores the keys the portal is asked for: the user writes them into its configuration.
TEST_F(PavixSeqTest, HyprlandLinesBindEachChordOnceToItsShortcut) {
    Write("Sequence.dat",
          SequenceFileBytes({{"a", {{kCtrlAlt, 'P'}, {kModShift, 0x74}}, {Builtin(0)}},
                             {"b", {{kCtrlAlt, 'P'}, {kModWin, 0xBA}}, {Builtin(0)}},
                             {"unused", {{kCtrlAlt, 'Q'}}, {}}}));
    EXPECT_EQ(Run({"--abort", "Ctrl+Alt+X", "hyprland", "Sequence.dat"}), kExitClean);
    EXPECT_EQ(errors, Lines{});
    EXPECT_EQ(output,
              "bind = CTRL ALT, x, global, io.github.pavix.Pavix:ctrl-alt-x\n"
              "bind = CTRL ALT, p, global, io.github.pavix.Pavix:ctrl-alt-p\n"
              "bind = SHIFT, F5, global, io.github.pavix.Pavix:shift-f5\n"
              "bind = SUPER, semicolon, global, io.github.pavix.Pavix:logo-vkba\n");
}

TEST_F(PavixSeqTest, TheCodePageDecidesWhichTextsSequenceDatCanHold) {
    // "テスト" in code page 932.
    Write("Sequence.dat",
          SequenceFileBytes({{"\x83\x65\x83\x58\x83\x67", {{0, 'T'}}, {Builtin(0)}}}));
    EXPECT_EQ(Run({"--codepage", "932", "export", "Sequence.dat", "ja.toml"}), kExitClean);
    EXPECT_NE(Read("ja.toml").find("name = \"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\""),
              std::string::npos);
    EXPECT_EQ(Run({"import", "ja.toml", "new.dat", "--codepage", "932"}), kExitClean);
    EXPECT_EQ(Read("new.dat"), Read("Sequence.dat"));

    // The yen sign is no character of 932 (a look-alike of the backslash would take its place),
    // and hiragana are none of 1252.
    Write("yen.toml", "[[sequence]]\nname = \"\xC2\xA5\"\nkeys = [\"A\"]\ncommands = []\n");
    EXPECT_EQ(Run({"--codepage", "932", "check", "yen.toml"}), kExitErrors);
    EXPECT_EQ(errors, Lines{"yen.toml:2: error: the code page cannot hold \"\xC2\xA5\""});
    EXPECT_EQ(Run({"check", "ja.toml"}), kExitErrors);
    EXPECT_EQ(errors, Lines{"ja.toml:4: error: the code page cannot hold "
                            "\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\""});

    // UTF-8, as Pavix keeps texts on Linux, holds both, and only valid UTF-8 is a text of it.
    EXPECT_EQ(Run({"--codepage", "65001", "import", "ja.toml", "utf8.dat"}), kExitClean);
    EXPECT_NE(Read("utf8.dat").find("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"), std::string::npos);
    EXPECT_EQ(Run({"--codepage", "65001", "check", "yen.toml"}), kExitWarnings);  // no commands
    EXPECT_EQ(Run({"--codepage", "65001", "check", "Sequence.dat"}), kExitErrors);
}

// "Ⅰ" is both FA4A and 8754 in code page 932, and comes back from UTF-8 as 8754: a text holding
// FA4A would import as other bytes than it was exported from.
TEST_F(PavixSeqTest, ATextThatWouldNotImportAsTheSameBytesIsNotExported) {
    const std::vector<SequenceSpec> records = {{"ok", {{0, 'A'}}, {Builtin(0)}},
                                               {"\xFA\x4A", {{0, 'B'}}, {Builtin(0)}}};
    Write("Sequence.dat", SequenceFileBytes(records));
    EXPECT_EQ(Run({"--codepage", "932", "export", "Sequence.dat", "out.toml"}), kExitErrors);
    EXPECT_EQ(errors,
              Lines{"Sequence.dat: error: Sequence 2 holds a character that the system's "
                    "code page writes in two ways; imported again, its text would change."});
    EXPECT_FALSE(std::filesystem::exists("out.toml"));
    EXPECT_EQ(Run({"--codepage", "932", "export", "Sequence.dat"}), kExitErrors);
    EXPECT_EQ(output, "");
}

TEST_F(PavixSeqTest, EveryErrorOfATextIsReportedWithItsLineAndNothingIsImported) {
    Write("Sequence.dat", SequenceHeader());
    Write("bad.toml",
          "colour = \"red\"\n"                                                            // 1
          "[[sequence]]\n"                                                                // 2
          "name = 7\n"                                                                    // 3
          "keys = [\"Ctrl+Alt+Nope\", \"Hyper+A\"]\n"                                     // 4
          "commands = [{ builtin = \"Lock\" }, { run = \"x\", builtin = \"Logoff\" }]\n"  // 5
          "[[sequence]]\n"                                                                // 6
          "keys = [\"A\"]\n"                                                              // 7
          "commands = [{ run = \"\\u0000\", args = \"\\u3042\", where = \"\" }]\n");      // 8
    EXPECT_EQ(Run({"import", "bad.toml", "Sequence.dat"}), kExitErrors);
    EXPECT_EQ(errors, (Lines{
                          "bad.toml:1: error: unknown entry \"colour\"",
                          "bad.toml:3: error: \"name\" has the wrong type",
                          "bad.toml:4: error: unknown key name \"Nope\"",
                          "bad.toml:4: error: unknown key name \"Hyper\"",
                          "bad.toml:5: error: unknown built-in command \"Lock\"",
                          "bad.toml:5: error: a command takes either builtin alone, or run with "
                          "args and dir",
                          "bad.toml:6: error: the sequence has no \"name\"",
                          "bad.toml:8: error: unknown entry \"where\"",
                          "bad.toml:8: error: a text holds a zero character, which Sequence.dat "
                          "cannot keep",
                          "bad.toml:8: error: the code page cannot hold \"\xE3\x81\x82\"",
                      }));
    EXPECT_EQ(Read("Sequence.dat"), SequenceHeader());

    Write("broken.toml", "[[sequence]]\nname = \"x\"\nkeys = [\"A\" \"B\"]\n");
    EXPECT_EQ(Run({"check", "broken.toml"}), kExitErrors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("broken.toml:3: error: this is not TOML: ", 0), 0u) << errors[0];
}

TEST_F(PavixSeqTest, SequencesThatCanNeverRunAreWarningsOfTextsAndSequenceDatAlike) {
    const std::vector<SequenceSpec> records = {
        {"first", {{kCtrlAlt, 'P'}}, {Builtin(kLockSystem)}},
        {"longer", {{kCtrlAlt, 'P'}, {kCtrlAlt, 'N'}}, {Builtin(kLogoff)}},
        {"no keys", {}, {Builtin(kLogoff)}},
        {"quit", {{kCtrlAlt, 'Q'}, {kCtrlAlt, 'X'}}, {Builtin(kExitPavix)}},
    };
    Write("Sequence.dat", SequenceFileBytes(records));
    EXPECT_EQ(Run({"check", "Sequence.dat", "--abort", "Ctrl+Alt+X"}), kExitWarnings);
    EXPECT_EQ(errors, (Lines{
                          "Sequence.dat: warning: sequence 2 \"longer\": Never runs: it begins "
                          "with all the keys of \"first\", which completes first.",
                          "Sequence.dat: warning: sequence 3 \"no keys\": Never runs: it has no "
                          "keys.",
                          "Sequence.dat: warning: sequence 4 \"quit\": Never completes: key 2 is "
                          "the abort key.",
                      }));
    // The text names the same sequences by the lines of their tables; import still writes.
    ASSERT_EQ(Run({"export", "Sequence.dat", "all.toml"}), kExitClean);
    EXPECT_EQ(Run({"import", "all.toml", "new.dat"}), kExitWarnings);
    EXPECT_EQ(errors, (Lines{
                          "all.toml:8: warning: \"longer\": Never runs: it begins with all the "
                          "keys of \"first\", which completes first.",
                          "all.toml:13: warning: \"no keys\": Never runs: it has no keys.",
                      }));
    EXPECT_EQ(Read("new.dat"), Read("Sequence.dat"));
}

TEST_F(PavixSeqTest, ASequenceDatThatCannotBeReadWholeIsAnError) {
    const std::string good = SequenceRecord({"good", {{kCtrlAlt, 'G'}}, {Builtin(0)}});
    const std::string badKind = SequenceRecord({"bad", {}, {}}).substr(0, 11) + std::string(8, 'x');
    struct Case {
        std::string name;
        std::string bytes;  // empty: no file
        Lines errors;
    };
    const Case cases[] = {
        {"missing.dat", "", {"missing.dat: error: Failed to read file"}},
        {"text.dat", "[[sequence]]", {"text.dat: error: Data file format is Invalid"}},
        {"v2.dat",
         std::string("\x07\x08PavixSeq\x02\0\0\0", 14),
         {"v2.dat: error: Configuration Data Version mismatch"}},
        {"damaged.dat",
         SequenceHeader() + good + badKind,
         {"damaged.dat: sequence 2: error: Data file format is Invalid"}},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty()) {
            Write(c.name, c.bytes);
        }
        EXPECT_EQ(Run({"check", c.name}), kExitErrors) << c.name;
        EXPECT_EQ(errors, c.errors);
        EXPECT_EQ(Run({"export", c.name, "out.toml"}), kExitErrors) << c.name;
        EXPECT_EQ(errors, c.errors);
    }
    EXPECT_EQ(Read("out.toml"), "");
}

// Import writes through a new file that takes the old one's place only when complete.
TEST_F(PavixSeqTest, ImportThatCannotWriteLeavesSequenceDatAsItWas) {
    Write("in.toml", "[[sequence]]\nname = \"x\"\nkeys = [\"A\"]\ncommands = []\n");
    EXPECT_EQ(Run({"import", "in.toml", "no/such/folder/Sequence.dat"}), kExitErrors);
    EXPECT_EQ(errors, Lines{"no/such/folder/Sequence.dat: error: Failed to open file for writing"});
}

// The files named on the command line may be anywhere: a "<name>.new" there is someone else's,
// and a save file name already taken is passed over.
TEST_F(PavixSeqTest, ImportAndExportLeaveEveryOtherFileOfTheFolderAlone) {
    Write("in.toml",
          "[[sequence]]\nname = \"x\"\nkeys = [\"A\"]\ncommands = [{ builtin = "
          "\"Logoff\" }]\n");
    Write("Sequence.dat", "old");
    Write("Sequence.new", "someone's");
    Write("out.new", "someone else's");
    std::filesystem::create_directory("Sequence.dat.1.tmp");
    EXPECT_EQ(Run({"import", "in.toml", "Sequence.dat"}), kExitClean);
    EXPECT_EQ(Run({"export", "Sequence.dat", "out.toml"}), kExitClean);
    EXPECT_NE(Read("out.toml").find("commands = [{ builtin = \"Logoff\" }]"), std::string::npos);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Lines{"Sequence.dat", "Sequence.dat.1.tmp", "Sequence.new", "in.toml",
                            "out.new", "out.toml"}));
    EXPECT_EQ(Read("Sequence.new"), "someone's");
    EXPECT_EQ(Read("out.new"), "someone else's");
}

TEST_F(PavixSeqTest, ACommandLineThatMakesNoSenseShowsTheUsage) {
    Write("in.toml", "");
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"convert", "in.toml"},
        {"check"},
        {"check", "in.toml", "in.toml"},
        {"import", "in.toml"},
        {"export"},
        {"--verbose", "check", "in.toml"},
        {"--codepage", "437", "check", "in.toml"},
        {"--abort", "Ctrl+Hyper", "check", "in.toml"},
        {"check", "in.toml", "--codepage"},
        {"hyprland"},
    };
    for (const auto& arguments : wrong) {
        EXPECT_EQ(Run(arguments), kExitErrors) << ::testing::PrintToString(arguments);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(),
                  "       pavix-seq [--codepage 1252|932|65001] [--abort CHORD] hyprland "
                  "Sequence.dat");
    }
    EXPECT_EQ(Run({"check", "in.toml"}), kExitClean);
}

// Asked for, the usage is the answer, not an error; the version is the one of the file VERSION.
TEST_F(PavixSeqTest, HelpAndVersionGoToTheOutputAndEndCleanly) {
    for (const char* help : {"--help", "-h"}) {
        EXPECT_EQ(Run({"check", help, "--no-such-option"}), kExitClean) << help;
        EXPECT_EQ(errors, Lines{});
        EXPECT_EQ(output.rfind("usage: pavix-seq [--codepage 1252|932|65001]", 0), 0u) << output;
        EXPECT_NE(output.find("  -h, --help "), std::string::npos);
    }
    std::string version = Read(PAVIX_VERSION_FILE);
    version.erase(version.find_last_not_of("\r\n") + 1);
    EXPECT_EQ(Run({"--version"}), kExitClean);
    EXPECT_EQ(output, "pavix-seq " + version + "\n");
    EXPECT_EQ(errors, Lines{});
}

}  // namespace
}  // namespace pavix::tool
