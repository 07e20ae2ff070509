// What every scenario is given and the table it is listed in. Each scenario has its own folder
// with its own copy of Pavix.exe and its own data files, and its own Pavix process, which the
// runner ends (menu Exit, checked) after the scenario whatever its outcome.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "actions.h"
#include "data_files.h"
#include "tray_stand_in.h"
#include "verdict.h"

namespace pavix_e2e {

// The chords the scenarios use. Control+Alt with letters and F1: free on a plain Wine desktop.
constexpr Chord kChordA = CtrlAlt('A');
constexpr Chord kChordB = CtrlAlt('B');
constexpr Chord kChordC = CtrlAlt('C');
constexpr Chord kChordD = CtrlAlt('D');
constexpr Chord kChordG = CtrlAlt('G');
constexpr Chord kChordQ = CtrlAlt('Q');
constexpr Chord kChordX = CtrlAlt('X');
constexpr Chord kChordF1 = CtrlAlt(VK_F1);

// The icon record every add and change must carry.
constexpr std::uint32_t kTrayUid = 1;
constexpr std::uint32_t kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr std::uint32_t kTrayCallbackMessage = WM_APP + 1;

struct Paths {
    std::string pavixExe;  // the build under test
    std::string workRoot;  // scenario folders are made below it
    std::string markExe;   // the tiny command that sequences run: appends its directory to a file
    std::string soundLog;  // the sound watcher's log (sound_log.h); empty when none watches
    std::string seqTool;   // the host's pavix-seq, which Wine starts as a host program
};

struct Workspace {
    std::string folder;     // holds Pavix.exe, Config.dat and Sequence.dat
    std::string exe;        // the copy of Pavix.exe that runs
    std::string runFolder;  // the directory the marker command is started in
    std::string marker;     // the file the marker command appends to, one line per run
};

class ScenarioContext {
  public:
    ScenarioContext(const Paths& paths, Workspace workspace, TrayStandIn* tray)
        : paths(paths), workspace(std::move(workspace)), tray(tray) {}

    Verdict WriteConfig(const ConfigSpec& config);
    Verdict WriteConfigBytes(const Bytes& bytes);
    Verdict WriteSequences(const std::vector<SequenceSpec>& sequences);
    Verdict WriteSequenceBytes(const Bytes& bytes);

    // The external command that records a run: the marker program, given the marker file as its
    // parameter and the run folder as its directory.
    CommandSpec MarkerCommand() const;

    // Starts this scenario's Pavix (working directory: the work root, not the scenario folder, so
    // that only the executable's own folder can supply the data files) and waits for its window.
    Verdict StartPavix();
    // StartPavix, then waits for the icon to be added (the last step of start-up).
    Verdict StartAndWaitForIcon();

    // Waits for tray request number index (0-based) and checks its kind.
    Verdict WaitForTray(std::size_t index, std::uint32_t message, TrayRecord* out);
    // Waits for tray request #index of the given kind, checks it carries the full icon record
    // (CheckIconRecord) and that its picture is the same as, or differs from, that of request
    // #reference.
    Verdict ExpectIcon(std::size_t index, std::uint32_t message, std::size_t reference,
                       bool samePicture);
    // The record of an add or a change: Pavix's window, uID 1, flags 7, callback WM_APP + 1 and
    // the tooltip "Pavix".
    Verdict CheckIconRecord(const TrayRecord& record) const;
    // Checks that no tray request beyond the first count arrived.
    Verdict ExpectTrayCount(std::size_t count);

    // Waits until the commands Pavix launched have ended and checks the marker shows exactly
    // runs runs, each started in the run folder.
    Verdict ExpectRuns(std::size_t runs);

    const Paths& paths;
    Workspace workspace;
    TrayStandIn* tray;  // null when the scenario runs without the stand-in
    PavixProcess pavix;
    HotkeyHold hotkeys;
};

struct Scenario {
    std::string name;
    // "en" or "ja": the locale the runner is started in; "hidpi": English at 150 % scale
    std::string group;
    bool withTray = true;
    std::function<Verdict(ScenarioContext&)> run;
};

// The scenario tables, each with the scenarios of both locales; the runner picks one group.
std::vector<Scenario> HarnessScenarios();
std::vector<Scenario> StartupAndHotkeyScenarios();
std::vector<Scenario> TrayScenarios();
std::vector<Scenario> DataFileScenarios();
std::vector<Scenario> ConfigDialogScenarios();
std::vector<Scenario> SequenceEditorScenarios();
std::vector<Scenario> EditorHostingScenarios();
std::vector<Scenario> HintScenarios();
std::vector<Scenario> ConflictScenarios();
std::vector<Scenario> SequenceTextScenarios();
std::vector<Scenario> ScaleScenarios();
// The shared table of scenarios (tests/e2e/scenarios/shared.txt) that the Linux program passes
// too; a table that cannot be read gives one failing scenario per group that says why.
std::vector<Scenario> TableScenarios(const std::string& path);

}  // namespace pavix_e2e
