// The shared scenario table (tests/e2e/scenarios/shared.txt) read into scenarios: the data files
// each one writes and the steps it checks, kept as words for the runner to act on. The file's own
// header describes the step language.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data_files.h"

namespace pavix_e2e {

// The six events in the order of Config.dat's sound fields; each one's file is its name with
// ".wav", in the folder each driver chooses, and steps name sounds by these names.
constexpr std::array<std::string_view, 6> kSoundNames = {"match",   "mismatch", "abort",
                                                         "timeout", "enable",   "disable"};

struct TableStep {
    int line = 0;
    std::string verb;
    std::vector<std::string> words;  // what follows the verb, split at blanks
    std::string text;                // the same, as written
};

struct TableSequence {
    std::string name;
    std::vector<Chord> chords;
    std::vector<std::string> commands;  // mark, nothing, disable, exit
};

struct TableScenario {
    std::string name;
    std::string group = "en";
    ConfigSpec config;
    std::vector<TableSequence> sequences;
    std::vector<Chord> held;          // chords another client holds from the start
    std::vector<std::string> absent;  // data files not written before the start
    std::vector<TableStep> steps;
    std::array<bool, kSoundNames.size()> sounding{};  // by event: whether Config.dat names a file
    std::map<std::string, std::string> skipped;       // platform -> why it does not run there
};

// The scenario's Config.dat: its settings, with each sounding event's file in `folder`, joined
// by `separator`; the other events stay silent.
ConfigSpec ConfigWithSounds(const TableScenario& scenario, const std::string& folder,
                            char separator);

// "ctrl+alt+a" and the like; false for anything else.
bool ParseChord(const std::string& text, Chord* chord);

// The scenario's records of Sequence.dat, with `marker` as the command "mark".
std::vector<SequenceSpec> SequenceRecords(const TableScenario& scenario, const CommandSpec& marker);

// Config.dat's record from words such as "timeout=5000 abort=ctrl+alt+q".
bool ParseConfig(const std::vector<std::string>& words, ConfigSpec* config);

// Whether the scenario writes this data file ("Config.dat", "Sequence.dat") before the start.
bool Writes(const TableScenario& scenario, const std::string& file);

// The text with each "{name}" replaced by what `value` gives for the name (false: unknown) and
// each "\n" and "\t" by a line break and a tab.
bool ExpandText(const std::string& text,
                const std::function<bool(const std::string& name, std::string* value)>& value,
                std::string* out);

// The numbers of the dialogs and controls of resources/dialogs.tsv by name: "SequenceEditor"
// and "SequenceEditor.NameEdit".
using ControlIds = std::map<std::string, int>;
bool ReadControlIds(const std::string& path, ControlIds* ids, std::string* error);

// resources/dialogs.tsv of the tree the table lies in.
std::string DialogsPathBeside(const std::string& tablePath);

// Reads the table; on failure `error` names the line and what is wrong with it.
bool ReadTable(const std::string& path, std::vector<TableScenario>* scenarios, std::string* error);

}  // namespace pavix_e2e
