// "Show Hints" in the tray menu turns the hint window off and on, and the choice outlives the
// process. What the window shows during a search is in the shared table
// (tests/e2e/scenarios/shared.txt).
//
// Tray request numbers (0-based): #0 is the add of start-up; each first chord changes the icon to
// the seeking picture and each end of a search changes it back.
#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr std::size_t kAdd = 0;
// Longer than the pause Pavix waits before it shows the hints, with room for a loaded machine.
constexpr DWORD kQuietMs = 1500;

// Waits for the hint window to show; `seenAt` is the tick count when it was first seen.
Verdict WaitForHints(const ScenarioContext& ctx, HWND* hint, DWORD* seenAt) {
    HWND found = nullptr;
    if (!WaitUntil([&] {
            found = FindHintWindow(ctx.pavix.Id());
            return found != nullptr && IsWindowVisible(found);
        })) {
        return Fail("no hint window appeared");
    }
    *hint = found;
    *seenAt = GetTickCount();
    return Pass();
}

Bytes PreferencesBytes(bool showHints) {
    const char magic[] = "\x07\x08PavixPref";
    return Bytes(magic, magic + 11) + pavix::testing::Int32(1) +
           pavix::testing::Int32(showHints ? 1 : 0);
}

// Presses A (the first chord of the only sequence), waits for the seeking icon as request
// #seeking and then for a while: no hint window may appear.
Verdict ExpectQuietSearch(ScenarioContext& ctx, std::size_t seeking, std::size_t idle) {
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(seeking, NIM_MODIFY, idle, false); !v.passed) {
        return v;
    }
    if (WaitUntil([&] { return FindHintWindow(ctx.pavix.Id()) != nullptr; }, kQuietMs)) {
        return Fail("a hint window appeared with Show Hints off");
    }
    return Pass();
}

Verdict ShowHintsOffIsKept(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::string preferences = ctx.workspace.folder + "\\Preferences.dat";
    if (!PostMenuCommand(ctx.pavix.Window(), kMenuShowHints)) {
        return Fail("cannot post Show Hints");
    }
    Bytes bytes;
    if (!WaitUntil([&] {
            return ReadFileBytes(preferences, &bytes) && bytes == PreferencesBytes(false);
        })) {
        return Fail("Show Hints did not write Preferences.dat with hints off");
    }
    if (Verdict v = ExpectQuietSearch(ctx, 1, kAdd); !v.passed) {
        return Fail("with hints off: " + v.reason);
    }
    // A new run keeps the choice.
    if (Verdict v = ctx.pavix.End(); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    const std::size_t added = 3;  // after the seeking icon and the removal at exit
    if (Verdict v = ctx.WaitForTray(added, NIM_ADD, nullptr); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectQuietSearch(ctx, added + 1, added); !v.passed) {
        return Fail("after a restart: " + v.reason);
    }
    // On again: the next search shows them.
    if (!PostMenuCommand(ctx.pavix.Window(), kMenuShowHints) ||
        !PostMenuCommand(ctx.pavix.Window(), kMenuAbort)) {
        return Fail("cannot post Show Hints and Abort");
    }
    if (Verdict v = ctx.ExpectIcon(added + 2, NIM_MODIFY, added, true); !v.passed) {
        return v;
    }
    if (!ReadFileBytes(preferences, &bytes) || bytes != PreferencesBytes(true)) {
        return Fail("Show Hints did not write Preferences.dat with hints on");
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    HWND hint = nullptr;
    DWORD seenAt = 0;
    return WaitForHints(ctx, &hint, &seenAt);
}

}  // namespace

std::vector<Scenario> HintScenarios() {
    return {
        {"show_hints_off_is_kept_across_runs", "en", true, ShowHintsOffIsKept},
    };
}

}  // namespace pavix_e2e
