// Writes the fuzzers' seed corpus, which the build generates: valid files, every truncation of
// them and every boundary value of each length, count, kind, id and version field, through the
// tests' encoder of the two files; and engine scripts in the byte encoding that
// engine_fuzzer.cpp reads; and texts of sequences, the samples among them; and lists for the
// conflict check. The output is deterministic.
//
//   make_corpus OUTPUT_DIR   (writes OUTPUT_DIR/config, sequence_file, engine, sequence_text
//                            and conflicts)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/data_files.h"

namespace pavix::fuzz {
namespace {

using namespace pavix::testing;
using Seeds = std::map<std::string, std::string>;

constexpr std::int32_t kIntMin = INT32_MIN;
constexpr std::int32_t kIntMax = INT32_MAX;
constexpr std::uint16_t kCtrlAlt = 0x0003;

// --- Sequence.dat --------------------------------------------------------------------------------

CommandSpec StoredAs(std::int32_t kind, CommandSpec command) {
    command.storedKind = kind;
    return command;
}

std::string SequenceFile(const std::vector<std::string>& records, std::int32_t version = 1) {
    std::string bytes = SequenceHeader(version);
    for (const std::string& record : records) {
        bytes += record;
    }
    return bytes;
}

std::vector<std::string> SampleRecords() {
    std::vector<CommandSpec> everyBuiltin;
    for (std::int32_t id = 0; id < 16; ++id) {
        everyBuiltin.push_back(Builtin(id));
    }
    const std::vector<SequenceSpec> samples = {
        {"A", {{kCtrlAlt, 0x41}}, {Builtin(14)}},
        {"", {}, {}},
        {"Notepad",
         {{0x0008, 'N'}, {0x0008, 'N'}, {0, 0x13}},
         {External("notepad.exe"), Builtin(0), External("C:\\x y\\run.bat", "-a -b", "C:\\x y")}},
        {"keys only", {{0xFFFF, 0xFFFF}}, {}},
        {"commands only", {}, {Builtin(15), External("", "", "")}},
        {std::string("zero\0inside", 11),
         {{kCtrlAlt, 'Z'}},
         {External(std::string("a\0b", 3), std::string(1, '\0'), std::string("d\0", 2))}},
        {"every built-in", {{kCtrlAlt, 'B'}, {kCtrlAlt, 'C'}}, everyBuiltin},
    };
    std::vector<std::string> records;
    for (const SequenceSpec& sample : samples) {
        records.push_back(SequenceRecord(sample));
    }
    return records;
}

// Stored values around the true one and around what the rest of the file can hold.
std::set<std::int32_t> BoundaryValues(std::int32_t exact, std::int32_t remaining) {
    return {kIntMin,    -2,         -1,         0,          1,
            exact - 1,  exact,      exact + 1,  remaining,  remaining + 1,
            0x1FFFFFFF, 0x20000000, 0x20000001, 0x3FFFFFFF, 0x40000000,
            0x40000001, 0x7FFFFFFE, kIntMax};
}

std::string Flipped(std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
    return bytes;
}

void AddHeaderSeeds(Seeds& seeds, const std::vector<std::string>& samples) {
    seeds["valid_example"] = SequenceFile({samples[0]});
    seeds["valid_header_only"] = SequenceFile({});
    seeds["valid_all"] = SequenceFile(samples);
    for (std::int32_t version : {kIntMin, -1, 0, 2, kIntMax}) {
        seeds["version_" + std::to_string(version)] = SequenceFile({samples[0]}, version);
    }
    for (std::size_t at = 0; at < 10; ++at) {
        seeds["magic_byte_" + std::to_string(at)] = Flipped(SequenceFile({samples[0]}), at);
    }
    const std::string whole = seeds["valid_all"];
    for (std::size_t length = 0; length < whole.size(); ++length) {
        char name[32];
        std::snprintf(name, sizeof name, "truncated_%04zu", length);
        seeds[name] = whole.substr(0, length);
    }
}

// Each field of a record that holds a length, count, kind or id, at each boundary value. The
// record under test follows a good one and precedes another, so damage shows as a cut.
void AddFieldSeeds(Seeds& seeds, const std::vector<std::string>& samples) {
    const std::string& good = samples[0];
    const std::string& tail = samples[2];
    const SequenceSpec plain{"name",
                             {{kCtrlAlt, 0x41}, {kCtrlAlt, 0x42}},
                             {Builtin(3), External("path.exe", "param", "dir")}};
    const auto remaining = static_cast<std::int32_t>(SequenceRecord(plain).size() + tail.size());
    const std::pair<const char*, std::optional<std::int32_t> RecordOverrides::*> fields[] = {
        {"name_length", &RecordOverrides::nameLength},
        {"key_count", &RecordOverrides::keyCount},
        {"command_count", &RecordOverrides::commandCount},
        {"path_length", &RecordOverrides::pathLength},
        {"parameter_length", &RecordOverrides::parameterLength},
        {"directory_length", &RecordOverrides::directoryLength},
    };
    const CommandSpec& external = plain.commands[1];
    const std::size_t exact[] = {plain.name.size(),         plain.keys.size(),
                                 plain.commands.size(),     external.path.size(),
                                 external.parameter.size(), external.directory.size()};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        for (std::int32_t value : BoundaryValues(static_cast<std::int32_t>(exact[i]), remaining)) {
            RecordOverrides overrides;
            overrides.*fields[i].second = value;
            seeds[fields[i].first + ("_" + std::to_string(value))] =
                SequenceFile({good, SequenceRecord(plain, overrides), tail});
        }
    }
    for (std::int32_t kind : {kIntMin, -1, 0, 1, 2, 3, kIntMax}) {
        const SequenceSpec record{plain.name, plain.keys, {StoredAs(kind, Builtin(0))}};
        seeds["kind_" + std::to_string(kind)] = SequenceFile({good, SequenceRecord(record), tail});
    }
    for (std::int32_t id : {kIntMin, -1, 0, 15, 16, 17, kIntMax}) {
        const SequenceSpec record{plain.name, plain.keys, {Builtin(id)}};
        seeds["id_" + std::to_string(id)] = SequenceFile({good, SequenceRecord(record), tail});
    }
}

// Counts that claim the whole file and more, with nothing after them.
void AddLastCountSeeds(Seeds& seeds, const std::string& good) {
    const std::pair<const char*, std::optional<std::int32_t> RecordOverrides::*> fields[] = {
        {"name_length", &RecordOverrides::nameLength},
        {"key_count", &RecordOverrides::keyCount},
        {"command_count", &RecordOverrides::commandCount},
    };
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        for (std::int32_t value : {0x7FFFFFFF, -1}) {
            RecordOverrides overrides;
            overrides.*fields[i].second = value;
            const std::string record = SequenceRecord(SequenceSpec{}, overrides);
            seeds[std::string("last_") + fields[i].first + "_" + std::to_string(value)] =
                SequenceFile({good, record.substr(0, 4 * (i + 1))});
        }
    }
}

Seeds SequenceSeeds() {
    const std::vector<std::string> samples = SampleRecords();
    Seeds seeds;
    AddHeaderSeeds(seeds, samples);
    AddFieldSeeds(seeds, samples);
    AddLastCountSeeds(seeds, samples[0]);
    return seeds;
}

// --- Config.dat ----------------------------------------------------------------------------------

ConfigSpec SampleConfig() {
    ConfigSpec config;
    config.abortEnabled = 1;
    config.abortKey = {kCtrlAlt, 'Z'};
    config.sounds = {"C:\\Pavix\\se\\match.wav", "", "abort.wav", "t.wav", "e.wav", "d.wav"};
    return config;
}

void AddConfigFieldSeeds(Seeds& seeds) {
    for (std::int32_t enabled : {kIntMin, -1, 0, 1, 2, kIntMax}) {
        ConfigSpec config = SampleConfig();
        config.abortEnabled = enabled;
        seeds["abort_enabled_" + std::to_string(enabled)] = ConfigFileBytes(config);
    }
    for (std::uint16_t modifiers : {0, 0x0F, 0x10, 0xFFFF}) {
        for (std::uint16_t key : {0, 1, 0xFF, 0x100, 0xFFFF}) {
            ConfigSpec config = SampleConfig();
            config.abortKey = {modifiers, key};
            seeds["abort_key_" + std::to_string(modifiers) + "_" + std::to_string(key)] =
                ConfigFileBytes(config);
        }
    }
    for (std::int32_t timeout : {kIntMin, -1, 0, 1, 5000, kIntMax}) {
        ConfigSpec config = SampleConfig();
        config.timeout = timeout;
        seeds["timeout_" + std::to_string(timeout)] = ConfigFileBytes(config);
    }
    for (std::size_t length : {259, 260, 261}) {
        ConfigSpec config = SampleConfig();
        for (std::size_t i = 0; i < 6; ++i) {
            config.sounds[i] = std::string(length, static_cast<char>('a' + i));
        }
        seeds["sounds_of_" + std::to_string(length) + "_bytes"] = ConfigFileBytes(config);
    }
}

Seeds ConfigSeeds() {
    Seeds seeds;
    const std::string valid = ConfigFileBytes(SampleConfig());
    seeds["valid"] = valid;
    ConfigSpec abortOff = SampleConfig();
    abortOff.abortEnabled = 0;
    abortOff.abortKey = {};
    seeds["valid_abort_off"] = ConfigFileBytes(abortOff);
    ConfigSpec silent = SampleConfig();
    silent.sounds = std::vector<std::string>(6);
    seeds["valid_silent"] = ConfigFileBytes(silent);
    seeds["longer_than_the_record"] = valid + "extra bytes after the record";
    for (std::size_t length = 0; length < kConfigFileSize; ++length) {
        char name[32];
        std::snprintf(name, sizeof name, "truncated_%04zu", length);
        seeds[name] = valid.substr(0, length);
    }
    for (std::size_t at = 0; at < 11; ++at) {
        seeds["magic_byte_" + std::to_string(at)] = Flipped(valid, at);
    }
    for (std::int32_t version : {kIntMin, -1, 0, 2, kIntMax}) {
        seeds["version_" + std::to_string(version)] =
            ConfigHeader(version) + ConfigBody(SampleConfig());
    }
    AddConfigFieldSeeds(seeds);
    std::string padded = valid;
    padded.replace(kConfigHeaderSize + kTimeoutAt - 2, 2, "\xff\xff");
    seeds["padding_set"] = padded;
    return seeds;
}

// --- Engine scripts ------------------------------------------------------------------------------
// One byte chooses each step (its value modulo 20), then the step reads what it needs; see
// Harness::Step in engine_fuzzer.cpp.

enum Step : std::uint8_t {
    kWriteSequences = 0,
    kWriteConfig = 1,
    kEraseSequences = 2,
    kToggleTaken = 3,
    kEnable = 4,
    kEnableAndNotify = 6,
    kDisable = 7,
    kDisableAndNotify = 8,
    kAbort = 9,
    kTimeout = 10,
    kReset = 11,
    kPressRegistered = 12,
    kPressChord = 16,
    kPressRaw = 18,
    kPressLikely = 19,
};
// Chord indexes into the fuzzer's alphabet: Ctrl+Alt+A, B, C, Alt+A, F1, Shift+Win+A, Ctrl+Alt+Z.
enum Letter : std::uint8_t { A, B, C, kAltA, kF1, kShiftWinA, Z };

struct ScriptSequence {
    std::vector<std::uint8_t> keys;
    // Below 0xF0 built-in id byte % 16, 0xF0-0xF7 an external command, 0xF8-0xFB a bad id,
    // 0xFC-0xFF a bad kind.
    std::vector<std::uint8_t> commands;
};

std::string Script(std::initializer_list<int> bytes) {
    std::string script;
    for (int byte : bytes) {
        script += static_cast<char>(byte);
    }
    return script;
}

// `cut` >= 0: the file is cut to that many bytes.
std::string WriteSequences(const std::vector<ScriptSequence>& sequences, int cut = -1) {
    std::string script = Script({kWriteSequences, static_cast<int>(sequences.size())});
    for (const ScriptSequence& sequence : sequences) {
        script += static_cast<char>(sequence.keys.size());
        script.append(sequence.keys.begin(), sequence.keys.end());
        script += static_cast<char>(sequence.commands.size());
        script.append(sequence.commands.begin(), sequence.commands.end());
    }
    return script + (cut < 0 ? Script({0}) : Script({1, cut & 0xFF, cut >> 8}));
}

// Mode 0 erases Config.dat; 1 abort off; 2 abort on with chord index; 3 abort switch byte
// (signed) and chord index; 4 a file cut to 6 x the length byte.
std::string WriteConfig(std::initializer_list<int> modeAndValues) {
    return Script({kWriteConfig}) + Script(modeAndValues);
}

std::string Repeated(Step step, int count) {
    std::string script;
    for (int i = 0; i < count; ++i) {
        script += Script({step, i});
    }
    return script;
}

const std::vector<ScriptSequence>& SharedSequences() {
    static const std::vector<ScriptSequence> shared = {
        {{A, B}, {0x00}},             // done
        {{A, B, C}, {0x00}},          // can never complete: A B completes first
        {{A, C}, {0x02}},             // disable hotkeys
        {{B, B}, {0x03, 0x02}},       // exit outranks disable
        {{kAltA}, {0xF3}},            // one chord, an external command
        {{kF1, Z, A}, {0x01, 0x0F}},  // uses the abort chord inside
        {{}, {0x00}},                 // no chords: left out
        {{C, C}, {}},                 // no commands: left out
    };
    return shared;
}

Seeds EngineSeeds() {
    const std::string shared = WriteSequences(SharedSequences());
    Seeds seeds;
    seeds["complete_each"] = shared + WriteConfig({2, Z}) + Script({kEnable}) +
                             Script({kPressChord, A, kPressChord, B}) +    // done
                             Script({kPressChord, B, kPressChord, B}) +    // exit
                             Script({kPressChord, kAltA}) +                // one chord
                             Script({kPressChord, kF1, kPressChord, Z}) +  // aborted
                             Script({kPressChord, C}) +                    // mismatch while idle
                             Script({kPressChord, A, kPressChord, C}) +    // disable hotkeys
                             Script({kPressChord, A, kEnableAndNotify, kPressChord, A, kTimeout});
    seeds["likely_presses"] =
        shared + WriteConfig({1}) + Script({kEnable}) + Repeated(kPressLikely, 40);
    seeds["taken_chords"] =
        shared + Script({kToggleTaken, B, kToggleTaken, Z}) + WriteConfig({2, Z}) +
        Script({kEnable}) + Repeated(kPressRegistered, 8) +
        Script({kToggleTaken, B, kEnableAndNotify, kPressChord, A, kPressChord, B});
    seeds["damaged_and_missing_files"] =
        WriteSequences(SharedSequences(), 40) +
        Script({kEnable, kPressLikely, 0, kPressLikely, 0}) +
        WriteSequences({{{A}, {0xF8}}, {{B}, {0x00}}}) + Script({kEnable, kPressChord, B}) +
        WriteSequences({{{A}, {0xFC}}}) + Script({kEnableAndNotify}) +
        WriteSequences(SharedSequences(), 7) + Script({kEnable}) +
        Script({kEraseSequences, kEnable, kPressRaw, 0xFF, kPressRaw, 0x00}) +
        WriteConfig({4, 100}) + Script({kEnable}) + WriteConfig({0}) + Script({kEnable});
    seeds["abort_switch_values"] =
        shared + WriteConfig({3, 0xFE, A}) + Script({kEnable, kPressChord, A}) +
        WriteConfig({2, A}) + Script({kEnable, kPressChord, A, kPressChord, B}) + WriteConfig({0}) +
        Script({kEnable, kPressChord, A}) + WriteConfig({1}) +
        Script({kEnable, kPressChord, A, kPressChord, B});
    seeds["disable_during_search"] = shared +
                                     Script({kEnable, kPressChord, A, kDisable, kPressChord, B}) +
                                     Script({kEnable, kPressChord, A, kDisableAndNotify}) +
                                     Script({kEnable, kPressChord, A, kAbort, kPressChord, B}) +
                                     Script({kReset, kPressChord, A, kEnable, kPressChord, B});
    return seeds;
}

// --- Sequences as text ---------------------------------------------------------------------------

std::string SequenceText(const std::string& name, const std::vector<std::string>& keys,
                         const std::vector<std::string>& commands) {
    std::string text = "[[sequence]]\nname = \"" + name + "\"\nkeys = [";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        text += (i == 0 ? "\"" : ", \"") + keys[i] + "\"";
    }
    text += "]\ncommands = [";
    for (std::size_t i = 0; i < commands.size(); ++i) {
        text += (i == 0 ? "" : ", ") + commands[i];
    }
    return text + "]\n";
}

std::string Times(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

// Good texts in every form the reader takes, one text for each kind of error, and shapes that
// are hard on a parser (deep nesting, invalid UTF-8, non-ASCII where whitespace may stand).
Seeds TextSeeds() {
    Seeds seeds;
    std::ifstream samples(PAVIX_SAMPLE_SEQUENCES, std::ios::binary);
    seeds["samples"].assign(std::istreambuf_iterator<char>(samples), {});
    seeds["empty"] = "";
    for (const char* name : {"LButton",  "Backspace",      "Tab",        "Enter",    "ShiftKey",
                             "CtrlKey",  "AltKey",         "Pause",      "CapsLock", "Kana",
                             "Escape",   "Space",          "PageUp",     "End",      "Left",
                             "Down",     "Insert",         "Delete",     "LWin",     "Apps",
                             "NumPad0",  "Divide",         "F1",         "F24",      "NumLock",
                             "LShift",   "RAlt",           "Oem1",       "OemPlus",  "Oem102",
                             "OemClear", "MediaPlayPause", "LaunchApp2", "0x00",     "0x07",
                             "0xff",     "0x1234",         "A",          "z",        "0",
                             "9"}) {
        const std::string key = name;
        seeds["every_key"] +=
            SequenceText("key " + key, {"Ctrl+Alt+" + key, "win + shift + " + key, key},
                         {"{ builtin = \"Do nothing\" }"});
    }
    std::vector<std::string> builtins;
    for (const char* name :
         {"Do nothing", "Open Start Menu", "Disable Hotkey", "Exit Pavix", "Shutdown System",
          "FORCE Shutdown", "Reboot System", "FORCE Reboot", "Logoff", "FORCE Logoff",
          "Standby System", "FORCE Standby", "Hibernate System", "FORCE Hibernate", "Lock System",
          "Start Screen Saver"}) {
        builtins.push_back("{ builtin = \"" + std::string(name) + "\" }");
    }
    seeds["every_builtin"] = SequenceText("all", {"Ctrl+Alt+B"}, builtins);
    seeds["every_form"] =
        "# comment\n[[sequence]]\nname = 'C:\\literal'\nkeys = [\n  \"Ctrl+A\", # comment\n]\n"
        "commands = [\n  { run = \"a\\tb\\u00e9\\U000000E9\", args = '''x''', dir = \"\"\"\n"
        "multi\"\"\" },\n]\n[[sequence]]\nname = \"\"\nkeys = []\ncommands = []\n"
        "[[sequence]]\nname = \"tables\"\nkeys = [\"F5\"]\n[[sequence.commands]]\n"
        "builtin = \"logoff\"\n[[sequence.commands]]\nrun = \"x\"\n";
    seeds["errors_of_entries"] =
        "top = 1.5e3\nwhen = 1979-05-27T07:32:00Z\n[[sequence]]\nname = 7\nkeys = \"A\"\n"
        "extra = true\n[[sequence]]\ncommands = [1, { builtin = 2 }, {}]\n";
    seeds["errors_of_values"] =
        SequenceText("bad \\u0000 \\u3042", {"Ctrl+Nope", "Ctrl+Ctrl+A", "0x10000", "", "+"},
                     {"{ builtin = \"Lock\" }", "{ builtin = \"Logoff\", run = \"x\" }",
                      "{ builtin = \"Logoff\", args = \"\" }", "{ run = \"a\", where = \"b\" }"});
    seeds["not_toml"] = "[[sequence]]\nname = \"x\nkeys = [\n";
    seeds["sequence_not_tables"] = "sequence = [1, [2], {a = 3}]\n";
    seeds["deep_arrays"] = "a = " + Times("[", 300) + Times("]", 300) + "\n";
    seeds["deep_tables"] = "a = " + Times("{ b = ", 300) + "1" + Times(" }", 300) + "\n";
    seeds["invalid_utf8"] = "[[sequence]]\nname = \"\xFF\xC0\x80\"\n";
    seeds["unicode_after_values"] = "s = \"\"\"\\\n\xC2\xA7\"\"\"\nx = 1 \xC5\xBC\n";
    return seeds;
}

// --- The conflict check ---------------------------------------------------------------------

// One sequence in conflicts_fuzzer.cpp's encoding: its chords as alphabet indexes ("012").
std::string ConflictSequence(const std::string& indexes, bool withCommands = true) {
    std::string bytes(1, static_cast<char>(indexes.size() | (withCommands ? 0 : 0x40)));
    for (char index : indexes) {
        bytes += static_cast<char>(index - '0');
    }
    return bytes;
}

// Lists that share and repeat chords, meet the abort chord, and hold sequences the engine skips.
Seeds ConflictSeeds() {
    const std::string alphabet = ChordBytes(kCtrlAlt, 'A') + ChordBytes(kCtrlAlt, 'B') +
                                 ChordBytes(kCtrlAlt, 'C') + ChordBytes(0x0001, 'A');
    Seeds seeds;
    seeds["shared"] = alphabet + '\x04' + ConflictSequence("012") + ConflictSequence("01") +
                      ConflictSequence("01") + ConflictSequence("0") + ConflictSequence("312") +
                      ConflictSequence("31");
    seeds["abort"] = alphabet + '\x02' + ConflictSequence("2") + ConflictSequence("021") +
                     ConflictSequence("0") + ConflictSequence("12");
    seeds["skipped"] = alphabet + '\x04' + ConflictSequence("") + ConflictSequence("0", false) +
                       ConflictSequence("01") + ConflictSequence("0", false) +
                       ConflictSequence("0");
    return seeds;
}

// Replaces the folder's contents with the seeds.
bool WriteFolder(const std::filesystem::path& folder, const Seeds& seeds) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    if (!std::filesystem::create_directories(folder, error)) {
        return false;
    }
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(folder / name, std::ios::binary);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            return false;
        }
    }
    std::printf("%s: %zu seeds\n", folder.string().c_str(), seeds.size());
    return true;
}

}  // namespace
}  // namespace pavix::fuzz

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus OUTPUT_DIR\n");
        return 2;
    }
    using namespace pavix::fuzz;
    const std::filesystem::path root = argv[1];
    const bool written = WriteFolder(root / "config", ConfigSeeds()) &&
                         WriteFolder(root / "sequence_file", SequenceSeeds()) &&
                         WriteFolder(root / "engine", EngineSeeds()) &&
                         WriteFolder(root / "sequence_text", TextSeeds()) &&
                         WriteFolder(root / "conflicts", ConflictSeeds());
    if (!written) {
        std::fprintf(stderr, "make_corpus: cannot write under %s\n", root.string().c_str());
        return 1;
    }
    return 0;
}
