// Writing the sequences as text. The layout is fixed here rather than left to a TOML formatter:
// the entries come in the order a person reads them (name, keys, commands; run, args, dir), and
// paths with backslashes are written as literal strings, which keep them as they are.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "model/key_spelling.h"
#include "storage/sequence_text.h"

namespace pavix {
namespace {

constexpr char kHeader[] =
    "# Pavix sequences: one [[sequence]] table per sequence, in the order of the list.\n";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// A TOML string holding exactly `utf8`.
std::string Quoted(std::string_view utf8) {
    const bool literal =
        utf8.find('\\') != std::string_view::npos && utf8.find('\'') == std::string_view::npos &&
        std::none_of(utf8.begin(), utf8.end(),
                     [](char c) { return IsControl(static_cast<unsigned char>(c)); });
    if (literal) {
        return "'" + std::string(utf8) + "'";
    }
    std::string quoted = "\"";
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (IsControl(byte)) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

class TextWriter {
  public:
    explicit TextWriter(CodePage& codePage) : codePage_(codePage) {}

    ExportErrorKind Write(const Sequence& sequence, std::string& out);

  private:
    // The text as a TOML string, or why it cannot be one.
    ExportErrorKind Text(const std::string& bytes, std::string& out);
    ExportErrorKind Command(const pavix::Command& command, std::string& out);

    CodePage& codePage_;
    std::string utf8_;
    std::string back_;
};

// A character that the code page holds in two ways comes back from the text in the way the
// conversion prefers: such a text would not import as the bytes it was exported from.
ExportErrorKind TextWriter::Text(const std::string& bytes, std::string& out) {
    if (!codePage_.ToUtf8(bytes, utf8_)) {
        return ExportErrorKind::kCodePage;
    }
    if (!codePage_.FromUtf8(utf8_, back_) || back_ != bytes) {
        return ExportErrorKind::kRoundTrip;
    }
    out += Quoted(utf8_);
    return ExportErrorKind::kNone;
}

ExportErrorKind TextWriter::Command(const pavix::Command& command, std::string& out) {
    if (command.IsBuiltin()) {
        const auto& builtin = static_cast<const BuiltinCommand&>(command);
        out += "{ builtin = " + Quoted(BuiltinCommandSpelling(builtin.Id())) + " }";
        return ExportErrorKind::kNone;
    }
    const auto& external = static_cast<const ExternalCommand&>(command);
    const std::pair<const char*, const std::string*> fields[] = {
        {"{ run = ", &external.Path()},
        {", args = ", &external.Parameter()},
        {", dir = ", &external.Directory()},
    };
    for (const auto& [label, text] : fields) {
        out += label;
        if (const ExportErrorKind kind = Text(*text, out); kind != ExportErrorKind::kNone) {
            return kind;
        }
    }
    out += " }";
    return ExportErrorKind::kNone;
}

ExportErrorKind TextWriter::Write(const Sequence& sequence, std::string& out) {
    out += "\n[[sequence]]\nname = ";
    if (const ExportErrorKind kind = Text(sequence.Name(), out); kind != ExportErrorKind::kNone) {
        return kind;
    }
    out += "\nkeys = [";
    const char* separator = "";
    for (KeyChord chord : sequence.Keys()) {
        const std::optional<std::string> spelling = ChordSpelling(chord);
        if (!spelling) {
            return ExportErrorKind::kUnnamedModifier;
        }
        out += separator + Quoted(*spelling);
        separator = ", ";
    }
    out += "]\ncommands = [";
    // One command stays on the line; more get a line each, which keeps long paths readable.
    const CommandArray& commands = sequence.Commands();
    const bool oneLine = commands.size() < 2;
    for (const auto& command : commands) {
        out += oneLine ? "" : "\n    ";
        if (const ExportErrorKind kind = Command(*command, out); kind != ExportErrorKind::kNone) {
            return kind;
        }
        out += oneLine ? "" : ",";
    }
    out += oneLine ? "]\n" : "\n]\n";
    return ExportErrorKind::kNone;
}

}  // namespace

ExportError WriteSequenceText(const SequenceList& list, CodePage& codePage, std::string& utf8) {
    utf8 = kHeader;
    TextWriter writer(codePage);
    for (std::size_t index = 0; index < list.Size(); ++index) {
        const ExportErrorKind kind = writer.Write(list.At(index), utf8);
        if (kind != ExportErrorKind::kNone) {
            utf8.clear();
            return ExportError{kind, index};
        }
    }
    return ExportError{};
}

}  // namespace pavix
