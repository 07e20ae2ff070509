// Start-up, the single instance, and sequences typed as system-wide hotkeys: completion, the
// three ways a search ends without running anything (mismatch, time-out, abort chord), the
// built-in commands that disable the hotkeys or end the program, chords held by another process
// and external commands that cannot be launched.
//
// Tray request numbers (0-based): #0 is always the add of start-up. The first chord of a two-chord
// sequence changes the icon to the seeking picture; every end of that search changes it back to
// the picture of #0. A press that changes no state changes nothing in the tray, so a following
// press that does serves as proof that the earlier one has been handled.
#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr std::size_t kAdd = 0;

Verdict SecondStartExitsAtOnce(ScenarioContext& ctx) {
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
    PavixProcess second;
    if (Verdict v = second.Start(ctx.workspace.exe, ctx.paths.workRoot); !v.passed) {
        return v;
    }
    DWORD code = 0;
    if (!second.WaitForExit(kWaitCapMs, &code)) {
        return Fail("the second start did not end while the first runs");
    }
    if (code != 0) {
        return Fail("the second start ended with exit code " + std::to_string(code) +
                    ", expected 0");
    }
    if (!ctx.pavix.IsRunning()) {
        return Fail("the first instance ended when the second started");
    }
    const std::vector<HWND> windows = FindPavixWindows(0);
    if (windows.size() != 1 || windows.front() != ctx.pavix.Window()) {
        return Fail("expected exactly the first instance's window titled \"Pavix\", found " +
                    std::to_string(windows.size()) + " such windows");
    }
    if (Verdict v = ctx.ExpectTrayCount(1); !v.passed) {
        return Fail("the second start touched the tray: " + v.reason);
    }
    // The first instance keeps its hotkeys and state.
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return v;
    }
    return ctx.ExpectRuns(1);
}

Verdict SequenceRunsOnlyInOrder(ScenarioContext& ctx) {
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
    // B first: not the first chord of anything, so no search starts; then A starts one.
    if (!PressChords({kChordB, kChordA})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after B then A: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(0); !v.passed) {
        return Fail("after B then A: " + v.reason);
    }
    if (!PressChords({kChordB})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after completing A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return Fail("after completing A B: " + v.reason);
    }
    // A second, uninterrupted A B runs it again.
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after a second A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(2); !v.passed) {
        return Fail("after a second A B: " + v.reason);
    }
    return ctx.ExpectTrayCount(5);
}

// Shared by the three ways of ending a search early: A starts it (#1), endChord ends it (#2 back
// to the idle picture), B on its own starts nothing and A starts a new search (#3), so nothing
// may have run; then B completes it (#4) and the command runs once.
Verdict SearchEndsWithoutRunning(ScenarioContext& ctx, const Chord& endChord, bool endsByTimeOut) {
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the first chord: " + v.reason);
    }
    if (!endsByTimeOut && !PressChords({endChord})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("when the search should end: " + v.reason);
    }
    if (!PressChords({kChordB, kChordA})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, 1, true); !v.passed) {
        return Fail("after B then A: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(0); !v.passed) {
        return Fail("after the search ended and B was pressed: " + v.reason);
    }
    if (endsByTimeOut) {
        // Let this search time out too, then type the whole sequence at once.
        if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
            return Fail("second time-out: " + v.reason);
        }
        if (!PressChords({kChordA, kChordB})) {
            return Fail("SendInput refused the chords");
        }
        if (Verdict v = ctx.ExpectIcon(5, NIM_MODIFY, kAdd, false); !v.passed) {
            return Fail("after A B: " + v.reason);
        }
        if (Verdict v = ctx.ExpectIcon(6, NIM_MODIFY, kAdd, true); !v.passed) {
            return Fail("after A B: " + v.reason);
        }
        return ctx.ExpectRuns(1);
    }
    if (!PressChords({kChordB})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after completing A B: " + v.reason);
    }
    return ctx.ExpectRuns(1);
}

Verdict MismatchEndsSearch(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"two", {kChordA, kChordB}, {ctx.MarkerCommand()}},
            {"other", {kChordC, kChordD}, {Builtin(kBuiltinDoNothing)}},
        });
        !v.passed) {
        return v;
    }
    return SearchEndsWithoutRunning(ctx, kChordC, false);
}

Verdict TimeOutEndsSearch(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.timeout = 300;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    return SearchEndsWithoutRunning(ctx, Chord{}, true);
}

Verdict AbortChordEndsSearch(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.abortEnabled = true;
    config.abortKey = kChordQ;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    return SearchEndsWithoutRunning(ctx, kChordQ, false);
}

// A completed sequence whose commands ask to exit: the process ends with code 0 and the icon is
// deleted; commands after "Exit Pavix" still run first.
Verdict ExitCommandEndsProcess(ScenarioContext& ctx, const std::vector<CommandSpec>& commands,
                               std::size_t runs) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"exit", {kChordX}, commands}}); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::uint32_t window = HandleValue(ctx.pavix.Window());
    if (!PressChords({kChordX})) {
        return Fail("SendInput refused the chord");
    }
    DWORD code = 0;
    if (!ctx.pavix.WaitForExit(kWaitCapMs, &code)) {
        return Fail("Pavix did not end after the sequence with \"Exit Pavix\"");
    }
    if (code != 0) {
        return Fail("Pavix ended with exit code " + std::to_string(code) + ", expected 0");
    }
    TrayRecord removed;
    if (Verdict v = ctx.WaitForTray(1, NIM_DELETE, &removed); !v.passed) {
        return Fail("the icon was not removed right after the add: " + v.reason);
    }
    if (removed.window != window || removed.uid != kTrayUid) {
        return Fail("NIM_DELETE for hWnd " + Hex(removed.window) + " uID " + Hex(removed.uid) +
                    ", expected hWnd " + Hex(window) + " uID 1");
    }
    if (Verdict v = ctx.ExpectTrayCount(2); !v.passed) {
        return v;
    }
    return ctx.ExpectRuns(runs);
}

Verdict ExitCommandThenLaunch(ScenarioContext& ctx) {
    return ExitCommandEndsProcess(ctx, {Builtin(kBuiltinExitPavix), ctx.MarkerCommand()}, 1);
}

Verdict DisableThenExitExits(ScenarioContext& ctx) {
    return ExitCommandEndsProcess(ctx, {Builtin(kBuiltinDisableHotkey), Builtin(kBuiltinExitPavix)},
                                  0);
}

Verdict DisableHotkeyThenMenuEnable(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"off", {kChordD}, {Builtin(kBuiltinDisableHotkey)}},
            {"two", {kChordA, kChordB}, {ctx.MarkerCommand()}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::vector<Chord> chords = {kChordD, kChordA, kChordB};
    if (Verdict v = ExpectChordsFree(chords, false, "after start-up"); !v.passed) {
        return v;
    }
    if (!PressChords({kChordD})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after \"Disable Hotkey\": " + v.reason);
    }
    if (Verdict v = ExpectChordsFree(chords, true, "after \"Disable Hotkey\""); !v.passed) {
        return v;
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuEnable);
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the menu command Enable: " + v.reason);
    }
    if (Verdict v = ExpectChordsFree(chords, false, "after the menu command Enable"); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, 1, false); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    // The menu command Disable shows the same disabled picture and frees the chords too.
    PostMenuCommand(ctx.pavix.Window(), kMenuDisable);
    if (Verdict v = ctx.ExpectIcon(5, NIM_MODIFY, 1, true); !v.passed) {
        return Fail("after the menu command Disable: " + v.reason);
    }
    return ExpectChordsFree(chords, true, "after the menu command Disable");
}

Verdict ChordTakenByOtherProcess(ScenarioContext& ctx, const std::wstring& expectedText) {
    if (!ctx.hotkeys.Take(kChordF1)) {
        return Fail("the helper could not take Control+Alt+F1 itself (error " +
                    std::to_string(GetLastError()) + ")");
    }
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"taken", {kChordG, kChordF1}, {ctx.MarkerCommand()}},
            {"two", {kChordA, kChordB}, {ctx.MarkerCommand()}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), expectedText); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WaitForTray(0, NIM_ADD, nullptr); !v.passed) {
        return v;
    }
    const std::vector<HWND> boxes = FindMessageBoxes(ctx.pavix.Id());
    if (!boxes.empty()) {
        BoxText text;
        ReadMessageBox(boxes.front(), &text);
        return Fail("a second message box appeared: \"" + Utf8(text.text) + "\"");
    }
    // The refused sequence is left out, but its chord registered before the refused one stays.
    if (Verdict v = ExpectChordsFree({kChordG, kChordA, kChordB}, false, "after start-up");
        !v.passed) {
        return v;
    }
    if (!PressChords({kChordG, kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after G A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after G A B: " + v.reason);
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return Fail("after G A B: " + v.reason);
    }
    return ctx.ExpectTrayCount(3);
}

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
        {"second_start_exits_at_once", "en", true, SecondStartExitsAtOnce},
        {"sequence_runs_only_when_chords_pressed_in_order", "en", true, SequenceRunsOnlyInOrder},
        {"mismatch_ends_search_without_running", "en", true, MismatchEndsSearch},
        {"time_out_ends_search_without_running", "en", true, TimeOutEndsSearch},
        {"abort_chord_ends_search_without_running", "en", true, AbortChordEndsSearch},
        {"exit_pavix_ends_process_after_later_commands", "en", true, ExitCommandThenLaunch},
        {"disable_then_exit_ends_process", "en", true, DisableThenExitExits},
        {"disable_hotkey_frees_chords_until_menu_enable", "en", true, DisableHotkeyThenMenuEnable},
        {"chord_taken_by_other_process_is_reported", "en", true,
         [](ScenarioContext& ctx) {
             return ChordTakenByOtherProcess(ctx, L"Failed to register Hotkey : [C][A]+F1");
         }},
        {"external_command_failure_is_reported", "en", true, ExternalCommandFailureIsReported},
        {"screen_saver_and_lock_builtins", "en", true, BuiltinsThatReachThePlatform},
        {"ja_chord_taken_by_other_process_is_reported", "ja", true,
         [](ScenarioContext& ctx) {
             return ChordTakenByOtherProcess(ctx, L"ホットキー登録に失敗:[C][A]+F1");
         }},
    };
}

}  // namespace pavix_e2e
