// The shared scenario table for the X11 driver, read by the same reader as the Wine driver's and
// written into the same data files by the tests' one encoder:
//
//   pavix_e2e_table <shared.txt> --list
//       one line "scenario<TAB>name<TAB>group<TAB>held chords" per scenario, then one line
//       "skip<TAB>platform<TAB>reason" per platform it does not run on and
//       "step<TAB>line<TAB>verb<TAB>text" per step
//   pavix_e2e_table <shared.txt> --files <scenario> <folder> <marker command> <marker file> <run
//   folder>
//       writes Config.dat and Sequence.dat of the scenario into the folder, each unless the
//       scenario says it is absent, its sounds named in the folder's se/
//   pavix_e2e_table <shared.txt> --sequences <scenario> <file> <marker command> <marker file>
//   <run folder>
//       writes the Sequence.dat that the scenario's sequence lines describe into the file
//   pavix_e2e_table <shared.txt> --controls
//       one line "name<TAB>number" per dialog and named control of resources/dialogs.tsv
//   pavix_e2e_table <shared.txt> --config <file> <time-out> <six sound paths>
//       writes a Config.dat without an abort chord, as the editor tests expect one
//
// The exit status is 0 on success, 1 with a reason on standard error otherwise.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "table.h"

namespace {

using namespace pavix_e2e;

std::string ChordText(const Chord& chord) {
    std::string text;
    for (const auto& [bit, name] : {std::pair{kControl, "ctrl+"}, std::pair{kAlt, "alt+"},
                                    std::pair{kShift, "shift+"}, std::pair{kWin, "super+"}}) {
        text += (chord.modifiers & bit) != 0 ? name : "";
    }
    constexpr std::uint16_t kVirtualKeyF1 = 0x70;
    if (chord.virtualKey >= kVirtualKeyF1) {
        return text + "F" + std::to_string(chord.virtualKey - kVirtualKeyF1 + 1);
    }
    return text + static_cast<char>(std::tolower(chord.virtualKey));
}

void List(const std::vector<TableScenario>& table) {
    for (const TableScenario& scenario : table) {
        std::string held;
        for (const Chord& chord : scenario.held) {
            held += (held.empty() ? "" : " ") + ChordText(chord);
        }
        std::printf("scenario\t%s\t%s\t%s\n", scenario.name.c_str(), scenario.group.c_str(),
                    held.c_str());
        for (const auto& [platform, reason] : scenario.skipped) {
            std::printf("skip\t%s\t%s\n", platform.c_str(), reason.c_str());
        }
        for (const TableStep& step : scenario.steps) {
            std::printf("step\t%d\t%s\t%s\n", step.line, step.verb.c_str(), step.text.c_str());
        }
    }
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

// The marker command is started with the marker file, quoted, as its parameter.
CommandSpec Marker(char** paths) {
    return External(paths[0], "\"" + std::string(paths[1]) + "\"", paths[2]);
}

// The sounds are those Pavix installs in the folder's se/ (the driver puts them there first).
bool WriteFiles(const TableScenario& scenario, char** paths) {
    const std::string folder = paths[0];
    const CommandSpec marker = Marker(paths + 1);
    const ConfigSpec config = ConfigWithSounds(scenario, folder + "/se", '/');
    return (!Writes(scenario, "Config.dat") ||
            WriteFile(folder + "/Config.dat", ConfigFileBytes(config))) &&
           (!Writes(scenario, "Sequence.dat") ||
            WriteFile(folder + "/Sequence.dat",
                      SequenceFileBytes(SequenceRecords(scenario, marker))));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<TableScenario> table;
    std::string error;
    const std::string mode = argc >= 3 ? argv[2] : "";
    if (mode == "--config" && argc == 11) {
        ConfigSpec config;
        config.timeout = std::stoi(argv[4]);
        config.sounds.assign(argv + 5, argv + 11);
        return WriteFile(argv[3], ConfigFileBytes(config)) ? 0 : 1;
    }
    if (mode == "--controls" && argc == 3) {
        ControlIds ids;
        if (!ReadControlIds(DialogsPathBeside(argv[1]), &ids, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        for (const auto& [name, number] : ids) {
            std::printf("%s\t%d\n", name.c_str(), number);
        }
        return 0;
    }
    const bool files = (mode == "--files" || mode == "--sequences") && argc == 8;
    if ((mode != "--list" || argc != 3) && !files) {
        std::fprintf(stderr,
                     "usage: pavix_e2e_table <table> --list | --controls | --files|--sequences "
                     "<scenario> <folder or file> <marker command> <marker file> <run folder>\n");
        return 1;
    }
    if (!ReadTable(argv[1], &table, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (mode == "--list") {
        List(table);
        return 0;
    }
    for (const TableScenario& scenario : table) {
        if (scenario.name == argv[3] && mode == "--sequences") {
            const auto records = SequenceRecords(scenario, Marker(argv + 5));
            return WriteFile(argv[4], SequenceFileBytes(records)) ? 0 : 1;
        }
        if (scenario.name == argv[3]) {
            return WriteFiles(scenario, argv + 4) ? 0 : 1;
        }
    }
    std::fprintf(stderr, "no scenario %s in %s\n", argv[3], argv[1]);
    return 1;
}
