// Reading the sequences as text with toml++. The parser runs without exceptions and without its
// formatters, which Pavix does not need; everything it reports comes back as a TextError. It reads
// numbers with std::from_chars, which the GCC 12 library has for floating point too: toml++ would
// otherwise parse them through string streams, which alone add 0.8 MB to Pavix.exe.
#include <algorithm>
#include <memory>
#include <utility>

#include "model/key_spelling.h"
#include "storage/sequence_text.h"

#define TOML_EXCEPTIONS 0
#define TOML_ENABLE_FORMATTERS 0
#define TOML_ENABLE_WINDOWS_COMPAT 0
#define TOML_FLOAT_CHARCONV 1
#include <toml++/toml.h>

namespace pavix {
namespace {

// Details quote the file; a long text is cut, at a character's start, after this many bytes.
constexpr std::size_t kLongestDetail = 48;
constexpr std::string_view kSequenceKey = "sequence";

std::string Excerpt(std::string_view text) {
    if (text.size() <= kLongestDetail) {
        return std::string(text);
    }
    std::size_t cut = kLongestDetail;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut)) + "...";
}

std::uint32_t LineOf(const toml::node& node) {
    return node.source().begin.line;
}

class TextReader {
  public:
    TextReader(CodePage& codePage, std::size_t longestText)
        : codePage_(codePage), longestText_(longestText) {}

    void Read(const toml::table& root, SequenceText& out);

  private:
    void Error(TextErrorKind kind, std::uint32_t line, std::string_view detail = {}) {
        errors_.push_back(TextError{kind, line, Excerpt(detail)});
    }
    // Reports every key of `table` that is not among `known`.
    void CheckKeys(const toml::table& table, std::initializer_list<std::string_view> known);
    // The entry `key` of `table`, reported when missing.
    const toml::node* Required(const toml::table& table, std::string_view key);
    bool ReadText(const toml::node& node, std::string_view key, std::string& text);
    void ReadSequence(const toml::table& table, Sequence& sequence);
    void ReadKeys(const toml::node& keys, Sequence& sequence);
    void ReadCommands(const toml::node& commands, Sequence& sequence);
    std::unique_ptr<Command> ReadCommand(const toml::table& command);

    CodePage& codePage_;
    std::size_t longestText_;
    std::vector<TextError> errors_;
};

void TextReader::Read(const toml::table& root, SequenceText& out) {
    CheckKeys(root, {kSequenceKey});
    if (const toml::node* sequences = root.get(kSequenceKey)) {
        const toml::array* tables = sequences->as_array();
        if (tables == nullptr) {
            Error(TextErrorKind::kWrongType, LineOf(*sequences), kSequenceKey);
        }
        for (std::size_t i = 0; tables != nullptr && i < tables->size(); ++i) {
            const toml::node& entry = *tables->get(i);
            const toml::table* table = entry.as_table();
            if (table == nullptr) {
                Error(TextErrorKind::kWrongType, LineOf(entry), kSequenceKey);
                continue;
            }
            auto sequence = std::make_unique<Sequence>();
            ReadSequence(*table, *sequence);
            out.sequences.Append(std::move(sequence));
            out.lines.push_back(LineOf(*table));
        }
    }
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const TextError& a, const TextError& b) { return a.line < b.line; });
    out.errors = std::move(errors_);
    if (!out.errors.empty()) {
        out.sequences = SequenceList();
        out.lines.clear();
    }
}

void TextReader::CheckKeys(const toml::table& table,
                           std::initializer_list<std::string_view> known) {
    for (const auto& [key, value] : table) {
        if (std::find(known.begin(), known.end(), key.str()) == known.end()) {
            Error(TextErrorKind::kUnknownEntry, key.source().begin.line, key.str());
        }
    }
}

const toml::node* TextReader::Required(const toml::table& table, std::string_view key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) {
        Error(TextErrorKind::kMissingEntry, LineOf(table), key);
    }
    return node;
}

// A text in the code page: a TOML string that the code page holds and the file can store.
bool TextReader::ReadText(const toml::node& node, std::string_view key, std::string& text) {
    const toml::value<std::string>* string = node.as_string();
    if (string == nullptr) {
        Error(TextErrorKind::kWrongType, LineOf(node), key);
        return false;
    }
    const std::string& utf8 = string->get();
    if (utf8.find('\0') != std::string::npos) {
        Error(TextErrorKind::kZeroCharacter, LineOf(node));
        return false;
    }
    if (!codePage_.FromUtf8(utf8, text)) {
        Error(TextErrorKind::kCodePage, LineOf(node), utf8);
        return false;
    }
    if (text.size() > longestText_) {
        Error(TextErrorKind::kTooLong, LineOf(node));
        return false;
    }
    return true;
}

void TextReader::ReadSequence(const toml::table& table, Sequence& sequence) {
    CheckKeys(table, {"name", "keys", "commands"});
    std::string name;
    if (const toml::node* node = Required(table, "name"); node && ReadText(*node, "name", name)) {
        sequence.SetName(std::move(name));
    }
    if (const toml::node* keys = Required(table, "keys")) {
        ReadKeys(*keys, sequence);
    }
    if (const toml::node* commands = Required(table, "commands")) {
        ReadCommands(*commands, sequence);
    }
}

void TextReader::ReadKeys(const toml::node& keys, Sequence& sequence) {
    const toml::array* chords = keys.as_array();
    if (chords == nullptr) {
        Error(TextErrorKind::kWrongType, LineOf(keys), "keys");
        return;
    }
    for (const toml::node& entry : *chords) {
        const toml::value<std::string>* spelling = entry.as_string();
        if (spelling == nullptr) {
            Error(TextErrorKind::kWrongType, LineOf(entry), "keys");
            continue;
        }
        KeyChord chord;
        std::string badPart;
        if (!ParseChordSpelling(spelling->get(), &chord, &badPart)) {
            Error(TextErrorKind::kUnknownKeyName, LineOf(entry), badPart);
            continue;
        }
        sequence.AppendKey(chord);
    }
}

void TextReader::ReadCommands(const toml::node& commands, Sequence& sequence) {
    const toml::array* entries = commands.as_array();
    if (entries == nullptr) {
        Error(TextErrorKind::kWrongType, LineOf(commands), "commands");
        return;
    }
    for (const toml::node& entry : *entries) {
        const toml::table* command = entry.as_table();
        if (command == nullptr) {
            Error(TextErrorKind::kWrongType, LineOf(entry), "commands");
            continue;
        }
        if (std::unique_ptr<Command> read = ReadCommand(*command)) {
            sequence.AppendCommand(std::move(read));
        }
    }
}

std::unique_ptr<Command> TextReader::ReadCommand(const toml::table& command) {
    CheckKeys(command, {"builtin", "run", "args", "dir"});
    const toml::node* builtin = command.get("builtin");
    const toml::node* run = command.get("run");
    if ((builtin == nullptr) == (run == nullptr) ||
        (builtin != nullptr && (command.contains("args") || command.contains("dir")))) {
        Error(TextErrorKind::kCommandKind, LineOf(command));
        return nullptr;
    }
    if (builtin != nullptr) {
        const toml::value<std::string>* name = builtin->as_string();
        if (name == nullptr) {
            Error(TextErrorKind::kWrongType, LineOf(*builtin), "builtin");
            return nullptr;
        }
        const std::optional<BuiltinCommandId> id = FindBuiltinCommand(name->get());
        if (!id) {
            Error(TextErrorKind::kUnknownBuiltin, LineOf(*builtin), name->get());
            return nullptr;
        }
        return std::make_unique<BuiltinCommand>(*id);
    }
    std::string texts[3];
    bool read = ReadText(*run, "run", texts[0]);
    const char* const optional[] = {"args", "dir"};
    for (int i = 0; i < 2; ++i) {
        if (const toml::node* node = command.get(optional[i])) {
            read = ReadText(*node, optional[i], texts[i + 1]) && read;
        }
    }
    if (!read) {
        return nullptr;
    }
    return std::make_unique<ExternalCommand>(std::move(texts[0]), std::move(texts[1]),
                                             std::move(texts[2]));
}

}  // namespace

SequenceText ReadSequenceText(std::string_view utf8, CodePage& codePage, std::size_t longestText) {
    SequenceText out;
    toml::parse_result parsed = toml::parse(utf8);
    if (!parsed) {
        const toml::parse_error& error = parsed.error();
        out.errors.push_back(TextError{TextErrorKind::kNotToml, error.source().begin.line,
                                       std::string(error.description())});
        return out;
    }
    TextReader(codePage, longestText).Read(parsed.table(), out);
    return out;
}

}  // namespace pavix
