// Hints while a sequence is half typed: after a pause in a search, a window that never takes the
// focus lists what can come next; it goes with the next key, with a time-out and with the
// completion, and the hotkeys keep working while it shows. "Show Hints" in the tray menu turns
// it off and on, and the choice outlives the process.
//
// Tray request numbers (0-based): #0 is the add of start-up; each first chord changes the icon to
// the seeking picture and each end of a search changes it back. Pavix takes the hint window away
// before it changes the icon, so once a change has arrived the window must be gone already.
#include "key_texts.h"
#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr std::size_t kAdd = 0;
constexpr Chord kChordL = CtrlAlt('L');
constexpr Chord kChordN = CtrlAlt('N');
// Pavix waits this long after a key before it shows the hints; a window seen sooner after the
// press than this much of it has not waited.
constexpr DWORD kLeastPauseMs = 500;
constexpr DWORD kSearchTimeoutMs = 2500;
// Longer than the pause, with room for a loaded machine.
constexpr DWORD kQuietMs = 1500;

struct HintTexts {
    std::wstring title;
    std::wstring continuesTwo;
};

const HintTexts& Texts(bool japanese) {
    static const HintTexts english{L"Pavix: next keys", L"(2 sequences)"};
    static const HintTexts japaneseTexts{L"Pavix: 次のキー", L"(シーケンス 2 個)"};
    return japanese ? japaneseTexts : english;
}

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

// The window never takes the focus, stays on top, stays out of the taskbar, carries its title for
// assistive technology and lies on the screen; its labels say exactly `rows`.
Verdict ExpectHints(HWND hint, const std::vector<std::wstring>& rows, const HintTexts& texts) {
    const LONG_PTR exStyle = GetWindowLongPtrW(hint, GWL_EXSTYLE);
    const LONG_PTR wanted = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if ((exStyle & wanted) != wanted || (exStyle & WS_EX_APPWINDOW) != 0) {
        return Fail("the hint window's extended style is " +
                    Hex(static_cast<std::uint32_t>(exStyle)));
    }
    if (GetForegroundWindow() == hint || GetActiveWindow() == hint) {
        return Fail("the hint window took the focus");
    }
    if (TextOf(hint) != texts.title) {
        return Fail("the hint window is titled \"" + Utf8(TextOf(hint)) + "\"");
    }
    RECT rect{};
    GetWindowRect(hint, &rect);
    if (rect.left < 0 || rect.top < 0 || rect.right > GetSystemMetrics(SM_CXSCREEN) ||
        rect.bottom > GetSystemMetrics(SM_CYSCREEN) || rect.right <= rect.left) {
        return Fail("the hint window lies off the screen");
    }
    const std::vector<std::wstring> seen = ChildTexts(hint);
    if (seen != rows) {
        std::string listed;
        for (const std::wstring& text : seen) {
            listed += (listed.empty() ? "\"" : ", \"") + Utf8(text) + "\"";
        }
        return Fail("the hint window says " + listed);
    }
    return Pass();
}

std::vector<std::wstring> Row(const Chord& chord, const std::wstring& what) {
    return {ChordLabel(chord), what};
}

std::vector<std::wstring> Rows(std::initializer_list<std::vector<std::wstring>> rows) {
    std::vector<std::wstring> all;
    for (const auto& row : rows) {
        all.insert(all.end(), row.begin(), row.end());
    }
    return all;
}

Verdict ExpectNoHints(const ScenarioContext& ctx, const std::string& when) {
    return FindHintWindow(ctx.pavix.Id()) == nullptr ? Pass()
                                                     : Fail("a hint window remains " + when);
}

Verdict HintsAfterThePause(ScenarioContext& ctx, bool japanese) {
    const HintTexts& texts = Texts(japanese);
    ConfigSpec config = QuietConfig();
    config.timeout = kSearchTimeoutMs;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"Open notes", {kChordA, kChordN}, {ctx.MarkerCommand()}},
            {"Lock", {kChordA, kChordL}, {Builtin(kBuiltinDoNothing)}},
            {"Three", {kChordA, kChordC, kChordX}, {Builtin(kBuiltinDoNothing)}},
            {"Three b", {kChordA, kChordC, kChordD}, {Builtin(kBuiltinDoNothing)}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    DWORD pressedAt = GetTickCount();
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    HWND hint = nullptr;
    DWORD seenAt = 0;
    if (Verdict v = WaitForHints(ctx, &hint, &seenAt); !v.passed) {
        return Fail("after A: " + v.reason);
    }
    if (seenAt - pressedAt < kLeastPauseMs) {
        return Fail("the hints showed " + std::to_string(seenAt - pressedAt) + " ms after A");
    }
    if (Verdict v = ExpectHints(hint,
                                Rows({Row(kChordN, L"Open notes"), Row(kChordL, L"Lock"),
                                      Row(kChordC, texts.continuesTwo)}),
                                texts);
        !v.passed) {
        return Fail("after A: " + v.reason);
    }
    // The next key takes them away at once; the next ones wait for a pause of their own.
    pressedAt = GetTickCount();
    if (!PressChords({kChordC})) {
        return Fail("SendInput refused the chord");
    }
    if (!WaitUntil([&] { return !IsWindow(hint); })) {
        return Fail("the hints stayed after C");
    }
    const DWORD goneAt = GetTickCount();
    if (Verdict v = WaitForHints(ctx, &hint, &seenAt); !v.passed) {
        return Fail("after C: " + v.reason);
    }
    if (seenAt - pressedAt < kLeastPauseMs || seenAt - goneAt < kLeastPauseMs / 2) {
        return Fail("after C the hints went " + std::to_string(goneAt - pressedAt) +
                    " ms and came back " + std::to_string(seenAt - pressedAt) + " ms after it");
    }
    if (Verdict v =
            ExpectHints(hint, Rows({Row(kChordX, L"Three"), Row(kChordD, L"Three b")}), texts);
        !v.passed) {
        return Fail("after A C: " + v.reason);
    }
    // The time-out ends the search and takes them away.
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("at the time-out: " + v.reason);
    }
    if (Verdict v = ExpectNoHints(ctx, "after the time-out"); !v.passed) {
        return v;
    }
    // While they show, the hotkeys work: N completes "Open notes".
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = WaitForHints(ctx, &hint, &seenAt); !v.passed) {
        return Fail("after a second A: " + v.reason);
    }
    if (!PressChords({kChordN})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after A N: " + v.reason);
    }
    if (Verdict v = ExpectNoHints(ctx, "after the sequence ran"); !v.passed) {
        return v;
    }
    return ctx.ExpectRuns(1);
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
        {"hints_show_after_a_pause_and_go_with_the_search", "en", true,
         [](ScenarioContext& ctx) { return HintsAfterThePause(ctx, false); }},
        {"show_hints_off_is_kept_across_runs", "en", true, ShowHintsOffIsKept},
        {"ja_hints_show_after_a_pause_and_go_with_the_search", "ja", true,
         [](ScenarioContext& ctx) { return HintsAfterThePause(ctx, true); }},
    };
}

}  // namespace pavix_e2e
