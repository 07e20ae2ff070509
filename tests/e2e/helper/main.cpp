// Runs the end-to-end scenarios of one locale group against a Pavix.exe, one after another (the
// program is single-instance), and prints one line per scenario: "PASS name" or
// "FAIL name: reason"; a scenario that fails runs once more, after a line "RETRY name: reason".
// The exit status is the number of failures (at most 100).
//
//   pavix_e2e.exe --pavix <Pavix.exe> --work <folder> --mark <marker.exe> --group en|ja|hidpi
//                 --table <shared.txt> [--only <scenario name>] [--list]
//   pavix_e2e.exe --installed <folder>
//   pavix_e2e.exe --tour <folder> --out <folder> --group en|ja|hidpi
//
// --installed checks a Pavix unpacked from a package where it stands: it starts with its icon
// and ends cleanly through its menu ("PASS installed" or "FAIL installed: reason"). --tour takes
// the README's pictures of the Pavix in <folder> (see tour.h).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "scenario.h"
#include "tour.h"

namespace pavix_e2e {
namespace {

constexpr int kMaxExitStatus = 100;

struct Options {
    Paths paths;
    std::string group;
    std::string table;
    std::string only;
    std::string installed;
    std::string tour;
    std::string out;
    bool list = false;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--list") {
            options->list = true;
            continue;
        }
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (argument == "--pavix") {
            options->paths.pavixExe = value;
        } else if (argument == "--work") {
            options->paths.workRoot = value;
        } else if (argument == "--mark") {
            options->paths.markExe = value;
        } else if (argument == "--sound-log") {
            options->paths.soundLog = value;
        } else if (argument == "--seq-tool") {
            options->paths.seqTool = value;
        } else if (argument == "--group") {
            options->group = value;
        } else if (argument == "--table") {
            options->table = value;
        } else if (argument == "--only") {
            options->only = value;
        } else if (argument == "--installed") {
            options->installed = value;
        } else if (argument == "--tour") {
            options->tour = value;
        } else if (argument == "--out") {
            options->out = value;
        } else {
            return false;
        }
    }
    if (!options->tour.empty()) {
        return !options->out.empty() && !options->group.empty();
    }
    return options->list || !options->installed.empty() ||
           (!options->paths.pavixExe.empty() && !options->paths.workRoot.empty() &&
            !options->paths.markExe.empty() && !options->group.empty());
}

// The harness checks its own instruments first; the shared table follows them.
std::vector<Scenario> AllScenarios(const std::string& tablePath) {
    std::vector<Scenario> all = HarnessScenarios();
    std::vector<Scenario> shared = TableScenarios(tablePath);
    all.insert(all.end(), shared.begin(), shared.end());
    for (auto table : {StartupAndHotkeyScenarios, TrayScenarios, DataFileScenarios,
                       ConfigDialogScenarios, SequenceEditorScenarios, EditorHostingScenarios,
                       HintScenarios, ConflictScenarios, SequenceTextScenarios, ScaleScenarios}) {
        std::vector<Scenario> scenarios = table();
        all.insert(all.end(), scenarios.begin(), scenarios.end());
    }
    return all;
}

bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The folder and everything in it; true when it is gone.
bool RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        const std::string name = found.cFileName;
        const std::string child = path + "\\" + name;
        if (name == "." || name == "..") {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveTree(child);
        } else {
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(child.c_str());
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) ||
           GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// A fresh folder for each run: a second run of a scenario finds nothing of the first (an
// exported file would otherwise meet its save dialog's overwrite prompt).
Verdict PrepareWorkspace(const Paths& paths, const std::string& name, Workspace* workspace) {
    workspace->folder = paths.workRoot + "\\" + name;
    workspace->exe = workspace->folder + "\\Pavix.exe";
    workspace->runFolder = workspace->folder + "\\run";
    workspace->marker = workspace->folder + "\\marker.txt";
    if (!WaitUntil([&] { return RemoveTree(workspace->folder); })) {
        return Fail("cannot empty " + workspace->folder);
    }
    if (!MakeFolder(paths.workRoot) || !MakeFolder(workspace->folder) ||
        !MakeFolder(workspace->runFolder)) {
        return Fail("cannot create " + workspace->runFolder);
    }
    if (!CopyFileA(paths.pavixExe.c_str(), workspace->exe.c_str(), FALSE)) {
        return Fail("cannot copy " + paths.pavixExe + " to " + workspace->exe + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    return Pass();
}

// Pavix is single-instance: a scenario may only start once no other instance holds its mutex.
bool WaitForNoInstance() {
    return WaitUntil([] {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Pavix");
        if (mutex == nullptr) {
            return true;
        }
        CloseHandle(mutex);
        return false;
    });
}

Verdict RunScenario(const Scenario& scenario, const Paths& paths, TrayStandIn& tray) {
    if (!WaitForNoInstance()) {
        return Fail("another Pavix instance still holds the mutex \"Pavix\"");
    }
    Workspace workspace;
    if (Verdict v = PrepareWorkspace(paths, scenario.name, &workspace); !v.passed) {
        return v;
    }
    if (scenario.withTray && !tray.Start()) {
        return Fail("cannot create the notification area stand-in");
    }
    Verdict verdict;
    {
        ScenarioContext ctx(paths, workspace, scenario.withTray ? &tray : nullptr);
        verdict = scenario.run(ctx);
        // Every scenario ends with Pavix ended through its menu, cleanly and without boxes left.
        Verdict ending = ctx.pavix.End();
        if (!ending.passed) {
            verdict = verdict.passed
                          ? Fail("at the end: " + ending.reason)
                          : Fail(verdict.reason + " (at the end: " + ending.reason + ")");
        }
    }
    tray.Stop();
    return verdict;
}

Verdict CheckInstalled(const std::string& folder) {
    if (!WaitForNoInstance()) {
        return Fail("another Pavix instance holds the mutex \"Pavix\"");
    }
    TrayStandIn tray;
    if (!tray.Start()) {
        return Fail("cannot create the notification area stand-in");
    }
    const Paths paths{folder + "\\Pavix.exe", folder, "", ""};
    const Workspace workspace{folder, paths.pavixExe, folder, folder + "\\marker.txt"};
    ScenarioContext ctx(paths, workspace, &tray);
    Verdict verdict = ctx.StartAndWaitForIcon();
    const Verdict ending = ctx.pavix.End();
    if (verdict.passed) {
        verdict = ending;
    }
    TrayRecord removal;
    if (verdict.passed) {
        verdict = ctx.WaitForTray(1, NIM_DELETE, &removal);
    }
    tray.Stop();
    return verdict;
}

}  // namespace
}  // namespace pavix_e2e

int main(int argc, char** argv) {
    using namespace pavix_e2e;
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: pavix_e2e.exe --pavix <Pavix.exe> --work <folder> --mark "
                     "<marker.exe> --group en|ja|hidpi --table <shared.txt> [--only <name>] "
                     "[--list]\n");
        return kMaxExitStatus;
    }
    if (!options.installed.empty()) {
        const Verdict verdict = CheckInstalled(options.installed);
        std::printf(verdict.passed ? "PASS installed\n" : "FAIL installed: %s\n",
                    verdict.reason.c_str());
        return verdict.passed ? 0 : 1;
    }
    if (!options.tour.empty()) {
        const bool japanese = options.group == "ja";
        const bool scaled = options.group == "hidpi";
        const Verdict verdict = RunTour(
            options.tour, options.out, japanese ? "-ja" : (scaled ? "-150" : ""), japanese, scaled);
        std::printf(verdict.passed ? "PASS tour\n" : "FAIL tour: %s\n", verdict.reason.c_str());
        return verdict.passed ? 0 : 1;
    }
    const std::vector<Scenario> scenarios = AllScenarios(options.table);
    if (options.list) {
        for (const Scenario& scenario : scenarios) {
            std::printf("%s %s\n", scenario.group.c_str(), scenario.name.c_str());
        }
        return 0;
    }
    TrayStandIn tray;
    int failed = 0;
    int ran = 0;
    for (const Scenario& scenario : scenarios) {
        if (scenario.group != options.group ||
            (!options.only.empty() && scenario.name != options.only)) {
            continue;
        }
        ++ran;
        Verdict verdict = RunScenario(scenario, options.paths, tray);
        if (!verdict.passed) {
            // Wine under load now and then drops or stalls a synthetic key or a tray message; a
            // scenario gets one more run in a fresh folder, and the first failure stays in the log.
            std::printf("RETRY %s: %s\n", scenario.name.c_str(), verdict.reason.c_str());
            std::fflush(stdout);
            verdict = RunScenario(scenario, options.paths, tray);
        }
        if (verdict.passed) {
            std::printf("PASS %s\n", scenario.name.c_str());
        } else {
            ++failed;
            std::printf("FAIL %s: %s\n", scenario.name.c_str(), verdict.reason.c_str());
        }
        std::fflush(stdout);
    }
    if (ran == 0 && !options.only.empty()) {
        std::printf("FAIL %s: no such scenario in group %s\n", options.only.c_str(),
                    options.group.c_str());
        return 1;
    }
    return failed < kMaxExitStatus ? failed : kMaxExitStatus;
}
