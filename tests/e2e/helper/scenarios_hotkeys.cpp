// Commands that reach the platform from a typed sequence: an external command that cannot be
// launched, and the built-ins that start the screen saver and lock the system. Sequences typed as
// hotkeys, their searches and the chords another process holds are in the shared table
// (tests/e2e/scenarios/shared.txt).
//
// Tray request numbers (0-based): #0 is always the add of start-up; the first chord of a two-chord
// sequence changes the icon to the seeking picture.
#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr std::size_t kAdd = 0;

Verdict ExternalCommandFailureIsReported(ScenarioContext& ctx) {
    const std::wstring prefix = L"Failed to execute Command : ";
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    const std::string missing = ctx.workspace.folder + "\\missing-program.exe";
    if (Verdict v = ctx.WriteSequences({
            {"bad", {kChordA}, {External(missing, "", ""), ctx.MarkerCommand()}},
            {"two", {kChordC, kChordD}, {Builtin(kBuiltinDoNothing)}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    BoxText box;
    if (Verdict v = ReadAndDismiss(ctx.pavix.Id(), &box); !v.passed) {
        return Fail("launching a missing file: " + v.reason);
    }
    if (box.caption != kErrorCaption || box.text.compare(0, prefix.size(), prefix) != 0 ||
        box.text.size() <= prefix.size()) {
        return Fail("expected \"" + Utf8(kErrorCaption) + "\" / \"" + Utf8(prefix) +
                    "\" followed by the system's reason, saw \"" + Utf8(box.caption) + "\" / \"" +
                    Utf8(box.text) + "\"");
    }
    if (Verdict v = CheckErrorBoxForm(box); !v.passed) {
        return v;
    }
    // The command after the failed one still runs.
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return v;
    }
    // A one-chord sequence leaves the icon alone: the next change is C's seeking picture.
    if (!PressChords({kChordC})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the one-chord sequence and C: " + v.reason);
    }
    return Pass();
}

// "Start Screen Saver" posts the screen-saver system command to every top-level window, the
// stand-in's among them; "Lock System", which Wine refuses, fails without a word, and the commands
// after either still run.
Verdict BuiltinsThatReachThePlatform(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"saver", {kChordA}, {Builtin(kBuiltinStartScreenSaver), ctx.MarkerCommand()}},
            {"lock", {kChordB}, {Builtin(kBuiltinLockSystem), ctx.MarkerCommand()}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return Fail("after \"Start Screen Saver\": " + v.reason);
    }
    std::vector<WPARAM> commands;
    const bool posted = WaitUntil([&] {
        commands = ctx.tray->SystemCommands();
        return !commands.empty();
    });
    if (!posted || (commands.front() & 0xFFF0) != SC_SCREENSAVE) {
        return Fail("top-level windows did not receive WM_SYSCOMMAND SC_SCREENSAVE" +
                    (commands.empty() ? std::string() : ", got " + Hex(commands.front())));
    }
    if (!PressChords({kChordB})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectRuns(2); !v.passed) {
        return Fail("after \"Lock System\": " + v.reason);
    }
    if (!FindMessageBoxes(ctx.pavix.Id()).empty()) {
        return Fail("a failed built-in command showed a message box");
    }
    return ctx.ExpectTrayCount(1);
}

}  // namespace

std::vector<Scenario> StartupAndHotkeyScenarios() {
    return {
        {"external_command_failure_is_reported", "en", true, ExternalCommandFailureIsReported},
        {"screen_saver_and_lock_builtins", "en", true, BuiltinsThatReachThePlatform},
    };
}

}  // namespace pavix_e2e
