// Writing the sequences as text. The layout is fixed here rather than left to a TOML formatter:
// the entries come in the order a person reads them (name, keys, commands; run, args, dir), and
// paths with backslashes are written as literal strings, which keep them as they are.
#include <algorithm>
#include <cstdio>

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
    // The text as a TOML string; false when it is no text of the code page.
    bool Text(const std::string& bytes, std::string& out);
    bool Command(const pavix::Command& command, std::string& out);

    CodePage& codePage_;
    std::string utf8_;
};

bool TextWriter::Text(const std::string& bytes, std::string& out) {
    if (!codePage_.ToUtf8(bytes, utf8_)) {
        return false;
    }
    out += Quoted(utf8_);
    return true;
}

bool TextWriter::Command(const pavix::Command& command, std::string& out) {
    if (command.IsBuiltin()) {
        const auto& builtin = static_cast<const BuiltinCommand&>(command);
        out += "{ builtin = " + Quoted(BuiltinCommandName(builtin.Id())) + " }";
        return true;
    }
    const auto& external = static_cast<const ExternalCommand&>(command);
    out += "{ run = ";
    bool written = Text(external.Path(), out);
    out += ", args = ";
    written = written && Text(external.Parameter(), out);
    out += ", dir = ";
    written = written && Text(external.Directory(), out);
    out += " }";
    return written;
}

ExportErrorKind TextWriter::Write(const Sequence& sequence, std::string& out) {
    out += "\n[[sequence]]\nname = ";
    if (!Text(sequence.Name(), out)) {
        return ExportErrorKind::kCodePage;
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
        if (!Command(*command, out)) {
            return ExportErrorKind::kCodePage;
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
