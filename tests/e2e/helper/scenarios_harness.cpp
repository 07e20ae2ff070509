// Checks of this helper's own instruments, run before the scenarios that use them, so that a
// failure of the surroundings (Wine, the display, the notification-area stand-in) is told apart
// from a fault of Pavix.
#include <windows.h>

#include <shellapi.h>

#include <thread>

#include "scenario.h"

namespace pavix_e2e {
namespace {

Verdict StandInRecordsRequests(ScenarioContext& ctx) {
    HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        return Fail("cannot create a window to own an icon");
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kTrayUid;
    data.uFlags = kTrayFlags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpyW(data.szTip, L"Pavix");
    const bool added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    data.hIcon = LoadIconA(nullptr, IDI_ERROR);
    const bool changed = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    const bool changedBack = Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    const bool removed = Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
    DestroyWindow(window);
    if (!added || !changed || !changedBack || !removed) {
        return Fail("Shell_NotifyIconW failed against the stand-in");
    }
    const std::vector<TrayRecord> records = ctx.tray->Records();
    if (records.size() != 4 || records[0].message != NIM_ADD || records[1].message != NIM_MODIFY ||
        records[3].message != NIM_DELETE) {
        return Fail("the stand-in did not record add, modify, modify, delete");
    }
    const TrayRecord& add = records[0];
    if (add.window != HandleValue(window) || add.uid != kTrayUid || add.flags != kTrayFlags ||
        add.callbackMessage != kTrayCallbackMessage ||
        !PayloadHasUtf16Text(add.payload, L"Pavix")) {
        return Fail("the stand-in misread the icon record");
    }
    if (records[1].digest == add.digest || records[2].digest != add.digest) {
        return Fail("the stand-in's picture digests do not follow the icon");
    }
    return Pass();
}

Verdict SendInputFiresHotkeys(ScenarioContext&) {
    constexpr int kId = 0x0042;
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    if (!RegisterHotKey(nullptr, kId, kChordA.modifiers, kChordA.virtualKey)) {
        return Fail("cannot register Control+Alt+A (error " + std::to_string(GetLastError()) + ")");
    }
    const DWORD heldError = ProbeChord(kChordA);
    const bool pressed = PressChords({kChordA});
    const bool fired = WaitUntil([&] {
        return PeekMessageW(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) &&
               message.wParam == kId;
    });
    UnregisterHotKey(nullptr, kId);
    if (!pressed) {
        return Fail("SendInput refused the chord");
    }
    if (!fired) {
        return Fail("SendInput did not fire the hotkey");
    }
    if (heldError != kErrorHotkeyAlreadyRegistered) {
        return Fail("a held chord probed as error " + std::to_string(heldError) +
                    ", expected 1409");
    }
    if (ProbeChord(kChordA) != 0) {
        return Fail("a released chord still probes as held");
    }
    return Pass();
}

Verdict MarkerRecordsItsDirectory(ScenarioContext& ctx) {
    const CommandSpec command = ctx.MarkerCommand();
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, nullptr, command.path.c_str(), command.parameter.c_str(),
                      command.directory.c_str(), SW_SHOW));
    if (result <= 32) {
        return Fail("ShellExecuteA of the marker returned " + std::to_string(result));
    }
    return ctx.ExpectRuns(1);
}

Verdict MessageBoxIsReadAndDismissed(ScenarioContext&) {
    const std::wstring text = L"不正なフォーマットのファイル";
    int answer = 0;
    std::thread owner(
        [&] { answer = MessageBoxW(nullptr, text.c_str(), kErrorCaption, MB_ICONERROR); });
    const Verdict verdict = ExpectErrorBox(GetCurrentProcessId(), text);
    if (!verdict.passed) {
        // Close whatever box the thread may still show before joining it.
        for (HWND box : FindMessageBoxes(GetCurrentProcessId())) {
            DismissMessageBox(box);
        }
    }
    owner.join();
    if (verdict.passed && answer != IDOK) {
        return Fail("the box returned " + std::to_string(answer) + ", expected IDOK");
    }
    return verdict;
}

}  // namespace

std::vector<Scenario> HarnessScenarios() {
    std::vector<Scenario> scenarios;
    for (const char* group : {"en", "ja"}) {
        const std::string prefix = std::string(group) == "ja" ? "ja_" : "";
        scenarios.push_back({prefix + "harness_message_box_is_read_and_dismissed", group, false,
                             MessageBoxIsReadAndDismissed});
    }
    scenarios.push_back(
        {"harness_stand_in_records_tray_requests", "en", true, StandInRecordsRequests});
    scenarios.push_back({"harness_send_input_fires_hotkeys", "en", false, SendInputFiresHotkeys});
    scenarios.push_back(
        {"harness_marker_records_its_directory", "en", false, MarkerRecordsItsDirectory});
    return scenarios;
}

}  // namespace pavix_e2e
