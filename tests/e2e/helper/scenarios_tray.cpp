// The notification-area icon: the record Pavix hands the shell, its pictures per state, its
// return after "TaskbarCreated", the popup menu, and the error box when the taskbar has no
// notification area (plain Wine: its "Shell_TrayWnd" has no "TrayNotifyWnd" child).
#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr std::size_t kAdd = 0;

Verdict IconRecordAndTaskbarCreated(ScenarioContext& ctx) {
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
    if (Verdict v = ctx.CheckIconRecord(ctx.tray->Records()[kAdd]); !v.passed) {
        return Fail("NIM_ADD at start-up: " + v.reason);
    }
    // The taskbar comes back: the icon is added again, in the state it had.
    PostTaskbarCreated(HWND_BROADCAST);
    if (Verdict v = ctx.ExpectIcon(1, NIM_ADD, kAdd, true); !v.passed) {
        return Fail("after \"TaskbarCreated\" while idle: " + v.reason);
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the first chord: " + v.reason);
    }
    PostTaskbarCreated(HWND_BROADCAST);
    if (Verdict v = ctx.ExpectIcon(3, NIM_ADD, 2, true); !v.passed) {
        return Fail("after \"TaskbarCreated\" while seeking: " + v.reason);
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuAbort);
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the menu command Abort: " + v.reason);
    }
    const std::uint32_t window = HandleValue(ctx.pavix.Window());
    if (Verdict v = ctx.pavix.End(); !v.passed) {
        return v;
    }
    TrayRecord removed;
    if (Verdict v = ctx.WaitForTray(5, NIM_DELETE, &removed); !v.passed) {
        return Fail("after the menu command Exit: " + v.reason);
    }
    if (removed.window != window || removed.uid != kTrayUid) {
        return Fail("NIM_DELETE for hWnd " + Hex(removed.window) + " uID " + Hex(removed.uid) +
                    ", expected hWnd " + Hex(window) + " uID 1");
    }
    if (Verdict v = ctx.ExpectTrayCount(6); !v.passed) {
        return v;
    }
    // Abort ended the search: B never completed anything.
    return ctx.ExpectRuns(0);
}

Verdict SeekingIconUntilTimeOut(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.timeout = 300;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the first chord: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the time-out: " + v.reason);
    }
    // A second search shows the same seeking picture as the first.
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, 1, true); !v.passed) {
        return Fail("after the first chord again: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(4, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the second time-out: " + v.reason);
    }
    return ctx.ExpectRuns(0);
}

Verdict RightClickOpensMenu(ScenarioContext& ctx) {
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
    HWND window = ctx.pavix.Window();
    PostMessageW(window, kTrayCallbackMessage, kTrayUid, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (!WaitUntil([&] {
            menu = FindPopupMenu(ctx.pavix.Id());
            return menu != nullptr;
        })) {
        return Fail("no popup menu opened on a right button press on the icon");
    }
    // The mnemonic of "&Disable", which is enabled while idle, chooses it.
    PostMessageW(menu, WM_CHAR, L'd', 0);
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after choosing Disable in the menu: " + v.reason);
    }
    if (!WaitUntil([&] { return FindPopupMenu(ctx.pavix.Id()) == nullptr; })) {
        return Fail("the popup menu stayed open after a choice");
    }
    if (ProbeChord(kChordA) != 0) {
        return Fail("Disable from the menu left Control+Alt+A registered");
    }
    return Pass();
}

// The taskbar announces itself while the first enabling pass shows a box (a chord another program
// holds): the icon is added then, once. The end of the pass changes it to the state the pass left
// instead of adding it again, which a shell refuses ("Failed to register task tray icon"), and
// the menu offers what that state allows.
Verdict TaskbarCreatedDuringTheFirstPass(ScenarioContext& ctx) {
    if (!ctx.hotkeys.Take(kChordB)) {
        return Fail("the helper could not take Control+Alt+B itself");
    }
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences(
            {{"taken", {kChordB}, {ctx.MarkerCommand()}}, {"a", {kChordA}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (!WaitUntil([&] { return !FindMessageBoxes(ctx.pavix.Id()).empty(); })) {
        return Fail("no box for the taken chord at start-up");
    }
    PostTaskbarCreated(HWND_BROADCAST);
    if (!ctx.tray->WaitForCount(1, kWaitCapMs)) {
        return Fail("no icon was added after \"TaskbarCreated\" during the box");
    }
    if (ctx.tray->Records()[kAdd].message != NIM_ADD) {
        return Fail("after \"TaskbarCreated\" during the box the tray got " +
                    std::string(TrayMessageName(ctx.tray->Records()[kAdd].message)));
    }
    BoxText box;
    if (Verdict v = ReadAndDismiss(ctx.pavix.Id(), &box); !v.passed) {
        return v;
    }
    if (box.text.rfind(L"Failed to register Hotkey : ", 0) != 0) {
        return Fail("the box at start-up said \"" + Utf8(box.text) + "\"");
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("at the end of the first pass: " + v.reason);
    }
    if (WaitUntil([&] { return !FindMessageBoxes(ctx.pavix.Id()).empty(); }, 500)) {
        ReadMessageBox(FindMessageBoxes(ctx.pavix.Id()).front(), &box);
        return Fail("a box appeared after the first pass: \"" + Utf8(box.text) + "\"");
    }
    // Enabled: the menu's Disable, chosen by its mnemonic, is there to choose.
    PostMessageW(ctx.pavix.Window(), kTrayCallbackMessage, kTrayUid, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindPopupMenu(ctx.pavix.Id())) != nullptr; })) {
        return Fail("no popup menu opened on a right button press on the icon");
    }
    PostMessageW(menu, WM_CHAR, L'd', 0);
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after choosing Disable in the menu: " + v.reason);
    }
    return ctx.ExpectTrayCount(3);
}

Verdict MissingNotificationArea(ScenarioContext& ctx, const std::wstring& expectedText) {
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"one", {kChordA}, {ctx.MarkerCommand()}}}); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartPavix(); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), expectedText); !v.passed) {
        return v;
    }
    // Pavix goes on without an icon: the hotkeys work.
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectRuns(1); !v.passed) {
        return v;
    }
    // A notification area appears and the taskbar announces itself: the icon is added.
    TrayStandIn tray;
    if (!tray.Start()) {
        return Fail("cannot create the notification area stand-in");
    }
    PostTaskbarCreated(HWND_BROADCAST);
    if (!tray.WaitForCount(1, kWaitCapMs)) {
        return Fail("no icon was added after \"TaskbarCreated\"");
    }
    const TrayRecord added = tray.Records().front();
    if (added.message != NIM_ADD) {
        return Fail(std::string("after \"TaskbarCreated\" the tray got ") +
                    TrayMessageName(added.message) + ", expected NIM_ADD");
    }
    if (Verdict v = ctx.CheckIconRecord(added); !v.passed) {
        return Fail("after \"TaskbarCreated\": " + v.reason);
    }
    if (Verdict v = ctx.pavix.End(); !v.passed) {
        return v;
    }
    if (!tray.WaitForCount(2, kWaitCapMs) || tray.Records()[1].message != NIM_DELETE) {
        return Fail("the icon was not removed at exit");
    }
    return Pass();
}

}  // namespace

std::vector<Scenario> TrayScenarios() {
    return {
        {"icon_record_and_return_on_taskbar_created", "en", true, IconRecordAndTaskbarCreated},
        {"seeking_icon_until_time_out", "en", true, SeekingIconUntilTimeOut},
        {"right_click_opens_menu", "en", true, RightClickOpensMenu},
        {"taskbar_created_during_the_first_pass", "en", true, TaskbarCreatedDuringTheFirstPass},
        {"missing_notification_area_is_reported", "en", false,
         [](ScenarioContext& ctx) {
             return MissingNotificationArea(ctx, L"Failed to detect Notification Area window");
         }},
        {"ja_missing_notification_area_is_reported", "ja", false,
         [](ScenarioContext& ctx) {
             return MissingNotificationArea(ctx,
                                            L"NotificationAreaウィンドウを検出できませんでした");
         }},
    };
}

}  // namespace pavix_e2e
