#include "pavix_seq/pavix_seq.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "engine/conflicts.h"
#include "model/key_spelling.h"
#include "platform/constants.h"
#include "platform/linux/posix/native_code_page.h"
#include "platform/linux/posix/posix_files.h"
#ifdef PAVIX_SEQ_PORTAL_NAMES
#include "platform/linux/portal/desktop_entry.h"
#include "platform/linux/portal/shortcut_names.h"
#endif
#include "resources/ids.h"
#include "resources/string_table.h"
#include "resources/texts.h"
#include "storage/sequence_file.h"
#include "storage/sequence_text.h"
#include "storage/text_file.h"
#include "wording/wording.h"

namespace pavix::tool {
namespace {

constexpr char kUsage[] =
    "usage: pavix-seq [--codepage 1252|932|65001] [--abort CHORD] export Sequence.dat [out.toml]\n"
    "       pavix-seq [--codepage 1252|932|65001] [--abort CHORD] import in.toml Sequence.dat\n"
    "       pavix-seq [--codepage 1252|932|65001] [--abort CHORD] check FILE\n"
    "       pavix-seq [--codepage 1252|932|65001] [--abort CHORD] hyprland Sequence.dat\n";
constexpr char kHelp[] =
    "\n"
    "  export   the sequences of Sequence.dat as text, into out.toml or onto the output\n"
    "  import   replaces Sequence.dat by the sequences of a text, as the editor's OK does\n"
    "  check    tells what is wrong with a text or a Sequence.dat, and which sequences can\n"
    "           never run\n"
    "  hyprland the lines of hyprland.conf that bind each chord of Sequence.dat (and the\n"
    "           abort key) to Pavix's shortcut for it, as Hyprland wants them written\n"
    "\n"
    "  --codepage N   the code page of Sequence.dat's texts: 1252 (the default), 932, or\n"
    "                 65001 (UTF-8, as Pavix on Linux writes it)\n"
    "  --abort CHORD  the abort key, such as Ctrl+Alt+X: sequences it breaks are reported\n"
    "  -h, --help     shows this text\n"
    "  --version      shows the version of pavix-seq\n"
    "\n"
    "Exit status: 0 clean, 1 warnings only, 2 errors (nothing was written).\n";
constexpr unsigned char kSequenceFileStart[] = {0x07, 0x08};

struct Options {
    bool help = false;
    bool version = false;
    unsigned codePage = kWesternCodePage;
    std::optional<KeyChord> abortChord;
    std::string command;
    std::vector<std::string> files;
};

// The backend's conversions behind the interface through which storage reads and writes texts.
class ToolCodePage final : public CodePage {
  public:
    explicit ToolCodePage(std::unique_ptr<NativeCodePage> native) : native_(std::move(native)) {}
    bool ToUtf8(std::string_view bytes, std::string& utf8) override {
        return native_->ToUtf8(bytes, utf8);
    }
    bool FromUtf8(std::string_view utf8, std::string& bytes) override {
        return native_->FromUtf8(utf8, bytes);
    }

  private:
    std::unique_ptr<NativeCodePage> native_;
};

std::string English(std::uint32_t id) {
    const char* text = resources::FindString(resources::Language::English, id);
    return text != nullptr ? text : "";
}

// One command's surroundings: the files, the code page, and what has been reported so far. The
// file that storage reads or writes reports its problems here, as errors about that file.
class Run final : public FileProblemReporter {
  public:
    Run(std::ostream& err, std::unique_ptr<CodePage> codePage, std::optional<KeyChord> abortChord)
        : err_(err), codePage_(std::move(codePage)), abortChord_(abortChord) {}

    void Error(const std::string& where, const std::string& what) {
        err_ << where << ": error: " << what << "\n";
        worst_ = kExitErrors;
        ++errorCount_;
    }
    void Warning(const std::string& where, const std::string& what) {
        err_ << where << ": warning: " << what << "\n";
        worst_ = std::max(worst_, kExitWarnings);
    }
    void ReportFileProblem(FileProblem problem) override {
        Error(filePath_, English(FileProblemTextId(problem)));
    }
    // A text of the list for a message: UTF-8 when the code page reads it, else as it is.
    std::string Shown(const std::string& text) {
        std::string utf8;
        return codePage_->ToUtf8(text, utf8) ? utf8 : text;
    }
    int Exit() const { return worst_; }

    bool ReadSequenceFile(const std::string& path, SequenceList& list);
    bool ReadText(const std::string& path, SequenceText& text);
    bool WriteSequenceFile(const std::string& path, const SequenceList& list);
    bool Export(const std::string& path, const SequenceList& list, std::string& text);
    // Warns of every sequence that can never run, each named by `label`.
    template <typename Label>
    void WarnConflicts(const SequenceList& list, Label label);

    PosixFiles files;

  private:
    std::string filePath_;  // of the Sequence.dat being read or written
    std::ostream& err_;
    std::unique_ptr<CodePage> codePage_;
    std::optional<KeyChord> abortChord_;
    ExitCode worst_ = kExitClean;
    std::size_t errorCount_ = 0;
};

bool Run::ReadSequenceFile(const std::string& path, SequenceList& list) {
    filePath_ = path;
    SequenceFile file(files, *this, path);
    const FileResult opened = file.Open(false);
    if (opened == FileResult::kMissing) {
        Error(path, English(ids::kTextReadFailed));
    }
    if (opened != FileResult::kOk) {
        return false;
    }
    for (auto sequence = std::make_unique<Sequence>(); file.Read(*sequence);
         sequence = std::make_unique<Sequence>()) {
        list.Append(std::move(sequence));
    }
    if (file.Damaged()) {
        Error(path + ": sequence " + std::to_string(list.Size() + 1),
              English(FileProblemTextId(FileProblem::kDamagedRecord)));
    }
    return !file.Damaged();
}

bool Run::ReadText(const std::string& path, SequenceText& text) {
    std::string bytes;
    switch (ReadWholeFile(files, path, kLargestSequenceText, bytes)) {
        case WholeFileResult::kOk:
            break;
        case WholeFileResult::kTooLarge:
            Error(path,
                  FillIn(English(ids::kTextFileTooLarge), std::to_string(kLargestSequenceText)));
            return false;
        case WholeFileResult::kCannotOpen:
        case WholeFileResult::kCannotRead:
            Error(path, English(ids::kTextReadFailed));
            return false;
    }
    text = ReadSequenceText(bytes, *codePage_);
    for (const TextError& error : text.errors) {
        Error(path + ":" + std::to_string(error.line),
              FillIn(English(TextErrorTextId(error.kind)), error.detail));
    }
    return text.errors.empty();
}

// Through the same replacement as the program's OK: the old file stays unless the new one is
// complete.
bool Run::WriteSequenceFile(const std::string& path, const SequenceList& list) {
    filePath_ = path;
    const std::size_t before = errorCount_;
    SequenceFile file(files, *this, path);
    if (file.Open(true) == FileResult::kOk) {
        for (std::size_t i = 0; i < list.Size() && file.Write(list.At(i)); ++i) {
        }
        file.Close();
    }
    return errorCount_ == before;
}

bool Run::Export(const std::string& path, const SequenceList& list, std::string& text) {
    const ExportError error = WriteSequenceText(list, *codePage_, text);
    if (error.kind == ExportErrorKind::kNone) {
        return true;
    }
    Error(path, FillIn(English(ExportErrorTextId(error.kind)), std::to_string(error.sequence + 1)));
    return false;
}

template <typename Label>
void Run::WarnConflicts(const SequenceList& list, Label label) {
    const std::vector<Conflict> conflicts = FindConflicts(list, abortChord_);
    for (std::size_t i = 0; i < conflicts.size(); ++i) {
        const ConflictText explained = ExplainConflict(list, conflicts[i]);
        if (explained.textId == 0) {
            continue;
        }
        // The other sequence's name is a text of the list; a position is plain digits.
        const std::string value = conflicts[i].kind == ConflictKind::kAbortChord
                                      ? explained.value
                                      : Shown(explained.value);
        const auto [where, name] = label(i);
        Warning(where, name + ": " + FillIn(English(explained.textId), value));
    }
}

int Export(Run& run, const Options& options, std::ostream& out) {
    if (options.files.empty() || options.files.size() > 2) {
        return -1;
    }
    const std::string& source = options.files[0];
    SequenceList list;
    std::string text;
    if (!run.ReadSequenceFile(source, list) || !run.Export(source, list, text)) {
        return run.Exit();
    }
    if (options.files.size() == 1) {
        out << text;
    } else if (!WriteWholeFile(run.files, options.files[1], text)) {
        run.Error(options.files[1], English(ids::kTextWriteFailed));
    }
    return run.Exit();
}

int Import(Run& run, const Options& options) {
    if (options.files.size() != 2) {
        return -1;
    }
    const std::string& source = options.files[0];
    SequenceText text;
    if (!run.ReadText(source, text) || !run.WriteSequenceFile(options.files[1], text.sequences)) {
        return run.Exit();
    }
    run.WarnConflicts(text.sequences, [&](std::size_t i) {
        return std::pair(source + ":" + std::to_string(text.lines[i]),
                         "\"" + run.Shown(text.sequences.At(i).Name()) + "\"");
    });
    return run.Exit();
}

// A Sequence.dat begins with its magic; a file named .dat that does not is a damaged one.
bool LooksLikeSequenceFile(Run& run, const std::string& path) {
    const FileHandle file =
        run.files.CreateFileA(path.c_str(), kGenericRead, 0, kOpenExisting, kFileAttributeNormal);
    char start[2] = {};
    std::uint32_t got = 0;
    if (file != kInvalidHandleValue) {
        run.files.ReadFile(file, start, sizeof start, &got);
        run.files.CloseHandle(file);
    }
    const bool magic = got == 2 && static_cast<unsigned char>(start[0]) == kSequenceFileStart[0] &&
                       static_cast<unsigned char>(start[1]) == kSequenceFileStart[1];
    const bool named = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".dat") == 0 ||
                                            path.compare(path.size() - 4, 4, ".DAT") == 0);
    return magic || named;
}

int Check(Run& run, const Options& options) {
    if (options.files.size() != 1) {
        return -1;
    }
    const std::string& path = options.files[0];
    if (!LooksLikeSequenceFile(run, path)) {
        SequenceText text;
        if (run.ReadText(path, text)) {
            run.WarnConflicts(text.sequences, [&](std::size_t i) {
                return std::pair(path + ":" + std::to_string(text.lines[i]),
                                 "\"" + run.Shown(text.sequences.At(i).Name()) + "\"");
            });
        }
        return run.Exit();
    }
    SequenceList list;
    const bool whole = run.ReadSequenceFile(path, list);
    std::string text;
    if (whole || !list.Empty()) {
        run.Export(path, list, text);
        run.WarnConflicts(list, [&](std::size_t i) {
            return std::pair(path, "sequence " + std::to_string(i + 1) + " \"" +
                                       run.Shown(list.At(i).Name()) + "\"");
        });
    }
    return run.Exit();
}

// One "bind = MODS, KEY, global, <app id>:<shortcut id>" line per distinct chord of the usable
// sequences and the abort key, in the order the file first uses them: Hyprland ignores the
// keys that the portal is asked for.
int Hyprland(Run& run, const Options& options, std::ostream& out) {
    if (options.files.size() != 1) {
        return -1;
    }
#ifndef PAVIX_SEQ_PORTAL_NAMES
    (void)out;
    return -1;  // built without the Linux program's backend
#else
    SequenceList list;
    run.ReadSequenceFile(options.files[0], list);
    std::vector<KeyChord> chords;
    if (options.abortChord) {
        chords.push_back(*options.abortChord);
    }
    for (std::size_t i = 0; i < list.Size(); ++i) {
        for (KeyChord chord :
             list.At(i).Commands().empty() ? std::vector<KeyChord>() : list.At(i).Keys()) {
            if (std::find(chords.begin(), chords.end(), chord) == chords.end()) {
                chords.push_back(chord);
            }
        }
    }
    for (KeyChord chord : chords) {
        std::string trigger = PortalTrigger(chord.modifiers, chord.keyCode);
        if (trigger.empty()) {
            continue;  // a code that names no key
        }
        std::string mods;
        for (std::size_t plus = trigger.find('+'); plus != std::string::npos;
             plus = trigger.find('+')) {
            const std::string word = trigger.substr(0, plus);
            mods += (mods.empty() ? "" : " ") + (word == "LOGO" ? std::string("SUPER") : word);
            trigger.erase(0, plus + 1);
        }
        out << "bind = " << mods << ", " << trigger << ", global, " << kPortalAppId << ":"
            << ShortcutId(chord.modifiers, chord.keyCode) << "\n";
    }
    return run.Exit();
#endif
}

// False, with the reason told, for a command line that makes no sense.
bool ParseOptions(const std::vector<std::string>& arguments, Options& options, std::ostream& err) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--codepage" || argument == "--abort";
        if (takesValue && i + 1 == arguments.size()) {
            err << "pavix-seq: " << argument << " needs a value\n";
            return false;
        }
        if (argument == "--help" || argument == "-h") {
            options.help = true;  // whatever else the line says
            return true;
        }
        if (argument == "--version") {
            options.version = true;
            return true;
        }
        if (argument == "--codepage") {
            const std::string& value = arguments[++i];
            options.codePage = value == "1252"    ? kWesternCodePage
                               : value == "932"   ? kJapaneseCodePage
                               : value == "65001" ? kUtf8CodePage
                                                  : 0;
            if (options.codePage == 0) {
                err << "pavix-seq: code page " << value << " is not known (1252, 932 or 65001)\n";
                return false;
            }
        } else if (argument == "--abort") {
            KeyChord chord;
            std::string bad;
            if (!ParseChordSpelling(arguments[++i], &chord, &bad)) {
                err << "pavix-seq: --abort: unknown key name \"" << bad << "\"\n";
                return false;
            }
            options.abortChord = chord;
        } else if (argument.size() > 1 && argument[0] == '-') {
            err << "pavix-seq: unknown option " << argument << "\n";
            return false;
        } else if (options.command.empty()) {
            options.command = argument;
        } else {
            options.files.push_back(argument);
        }
    }
    return true;
}

}  // namespace

int RunPavixSeq(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    Options options;
    if (!ParseOptions(arguments, options, err)) {
        err << kUsage;
        return kExitErrors;
    }
    if (options.help) {
        out << kUsage << kHelp;
        return kExitClean;
    }
    if (options.version) {
        out << "pavix-seq " << PAVIX_VERSION_TEXT << "\n";
        return kExitClean;
    }
    std::unique_ptr<NativeCodePage> codePage = MakeNativeCodePage(options.codePage);
    if (codePage == nullptr) {
        err << "pavix-seq: code page " << options.codePage << " is not available here\n";
        return kExitErrors;
    }
    Run run(err, std::make_unique<ToolCodePage>(std::move(codePage)), options.abortChord);
    int exit = -1;
    if (options.command == "export") {
        exit = Export(run, options, out);
    } else if (options.command == "import") {
        exit = Import(run, options);
    } else if (options.command == "check") {
        exit = Check(run, options);
    } else if (options.command == "hyprland") {
        exit = Hyprland(run, options, out);
    }
    if (exit < 0) {
        err << kUsage;
        return kExitErrors;
    }
    return exit;
}

}  // namespace pavix::tool
