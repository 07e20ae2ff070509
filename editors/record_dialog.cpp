#include "editors/record_dialog.h"

#include "editors/chord_recording.h"
#include "platform/constants.h"
#include "resources/texts.h"

namespace pavix {
namespace {

constexpr std::int32_t kModifierColumnWidth = 80;
// The prompt inside the recording box: its id there, and its distance from the box's edges.
constexpr MenuHandle kPromptId = 1;
constexpr std::int32_t kPromptInset = 3;

}  // namespace

bool RecordDialog::OnInitDialog() {
    Rect client;
    platform_.GetClientRect(Item(kChordList), &client);
    const std::int32_t width = client.right - client.left;
    AddColumn(kChordList, 0, LoadText(platform_, ids::kTextModifierColumn), kModifierColumnWidth);
    AddColumn(kChordList, 1, LoadText(platform_, ids::kTextKeyColumn),
              width - kModifierColumnWidth - platform_.GetSystemMetrics(kSmCxVScroll));
    const std::intptr_t style = SendItem(kChordList, kLvmGetExtendedListViewStyle);
    SendItem(kChordList, kLvmSetExtendedListViewStyle, 0, style | kLvsExFullRowSelect);
    CreateRecorder();
    ShowState();
    if (recorderWindow_ == 0) {
        return true;
    }
    platform_.SetFocus(recorderWindow_);
    return false;
}

void RecordDialog::CreateRecorder() {
    const ModuleHandle instance = platform_.GetModuleHandleA(nullptr);
    // An earlier opening may have registered the class already, which is as good.
    platform_.RegisterClassExA({kRecorderClass, instance, kIdcArrow, kColorBtnFace + 1});
    const WindowHandle place = Item(kRecorder);
    Rect rect;
    if (place == 0 || !platform_.GetWindowRect(place, &rect)) {
        return;
    }
    Point corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    platform_.MapWindowPoints(0, Window(), corners, 2);
    platform_.DestroyWindow(place);
    const std::int32_t width = corners[1].x - corners[0].x;
    const std::int32_t height = corners[1].y - corners[0].y;
    const std::string prompt = LoadText(platform_, ids::kTextRecorderIdle);
    recorderWindow_ = platform_.CreateWindowExA(
        kWsExClientEdge, kRecorderClass, prompt.c_str(), kWsChild | kWsVisible | kWsTabStop,
        corners[0].x, corners[0].y, width, height, Window(), static_cast<MenuHandle>(kRecorder),
        instance, &recorder_);
    if (recorderWindow_ == 0) {
        return;
    }
    promptLabel_ = platform_.CreateWindowExA(
        0, "STATIC", prompt.c_str(), kWsChild | kWsVisible | kSsLeft | kSsNoPrefix, kPromptInset,
        kPromptInset / 2, width - 3 * kPromptInset, height - 2 * kPromptInset, recorderWindow_,
        kPromptId, instance, nullptr);
    const std::intptr_t font = platform_.SendMessageA(Window(), kWmGetFont, 0, 0);
    if (promptLabel_ != 0 && font != 0) {
        platform_.SendMessageA(promptLabel_, kWmSetFont, static_cast<std::uintptr_t>(font), 0);
    }
}

std::intptr_t RecordDialog::OnRecorderMessage(WindowHandle window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case kWmGetDlgCode:
            return kDlgcWantAllKeys | kDlgcWantChars;
        case kWmKeyDown:
        case kWmSysKeyDown:
            OnKeyDown(static_cast<std::uint16_t>(wParam & 0xFFFF), lParam);
            return 0;
        // Nothing that follows a press may reach the platform's own handling: released Alt
        // or F10 would open the system menu, Alt+Space too, and characters would beep.
        case kWmKeyUp:
        case kWmSysKeyUp:
        case kWmChar:
        case kWmSysChar:
        case kWmDeadChar:
        case kWmSysDeadChar:
            return 0;
        case kWmSetFocus:
            StartRecording();
            return 0;
        case kWmKillFocus:
            StopRecording();
            return 0;
        case kWmLButtonDown:
            platform_.SetFocus(window);
            return 0;
        case kWmTimer:
            if (wParam == kPauseTimerId) {
                OnPause();
                return 0;
            }
            break;
        case kWmDestroy:
            if (window == recorderWindow_) {
                recorderWindow_ = 0;
                promptLabel_ = 0;
                recording_ = false;
            }
            break;
        default:
            break;
    }
    return platform_.DefWindowProcA(window, message, wParam, lParam);
}

// Every press, a modifier or a repeat included, puts the end of recording off: a chord still
// being pressed is no pause.
void RecordDialog::OnKeyDown(std::uint16_t virtualKey, std::intptr_t lParam) {
    if (!recording_) {
        StartRecording();
    } else {
        platform_.SetTimer(recorderWindow_, kPauseTimerId, kPauseMs, nullptr);
    }
    const std::optional<KeyChord> chord =
        RecordedChord(virtualKey, (lParam & kKeyWasDown) != 0, HeldModifiers(platform_));
    if (!chord) {
        return;
    }
    chords_.push_back(*chord);
    SetRowCount(kChordList, chords_.size());
    SendItem(kChordList, kLvmEnsureVisible, chords_.size() - 1, 0);
    Enable(kClearButton, true);
}

void RecordDialog::StartRecording() {
    if (recorderWindow_ == 0) {
        return;
    }
    recording_ = true;
    platform_.SetTimer(recorderWindow_, kPauseTimerId, kPauseMs, nullptr);
    ShowState();
}

void RecordDialog::StopRecording() {
    if (!recording_) {
        return;
    }
    recording_ = false;
    platform_.KillTimer(recorderWindow_, kPauseTimerId);
    ShowState();
}

void RecordDialog::OnPause() {
    StopRecording();
    const std::int32_t target = chords_.empty() ? kIdOk : kChordList;
    platform_.SendMessageA(Window(), kWmNextDlgCtl, Item(target), 1);
    if (!chords_.empty() && SelectedRow(kChordList) < 0) {
        ShowAndSelect(kChordList, chords_.size() - 1);
    }
}

void RecordDialog::ShowState() {
    SetText(kStatusText, LoadText(platform_, recording_ ? ids::kTextRecordingStatus
                                                        : ids::kTextRecordingStopped));
    Enable(kClearButton, !chords_.empty());
    if (recorderWindow_ == 0) {
        return;
    }
    const std::string prompt =
        LoadText(platform_, recording_ ? ids::kTextRecorderActive : ids::kTextRecorderIdle);
    // The box's own text is what assistive technology reads when the focus comes to it.
    SetText(kRecorder, prompt);
    platform_.SetDlgItemTextA(recorderWindow_, static_cast<std::int32_t>(kPromptId),
                              prompt.c_str());
}

bool RecordDialog::OnCommand(std::int32_t id, std::uint16_t) {
    switch (id) {
        case kIdOk:
            append_ = Checked(kAppendBox) != 0;
            End(kIdOk);
            return true;
        case kIdCancel:
            End(kIdCancel);
            return true;
        case kClearButton:
            chords_.clear();
            SetRowCount(kChordList, 0);
            if (recorderWindow_ != 0) {
                platform_.SendMessageA(Window(), kWmNextDlgCtl, recorderWindow_, 1);
                StartRecording();
            }
            return true;
        case kAppendBox:
            return true;
        default:
            return false;
    }
}

bool RecordDialog::OnNotify(const NotifyHeader& header) {
    if (header.code != kLvnGetDispInfoA ||
        header.idFrom != static_cast<std::uintptr_t>(kChordList)) {
        return false;
    }
    const ListViewItem& item = reinterpret_cast<const ListViewDispInfo&>(header).item;
    if ((item.mask & kLvifText) == 0 || item.iItem < 0 ||
        static_cast<std::size_t>(item.iItem) >= chords_.size() ||
        (item.iSubItem != 0 && item.iSubItem != 1)) {
        return true;
    }
    const ChordText text = ChordTexts(platform_, chords_[static_cast<std::size_t>(item.iItem)]);
    CopyCellText(item, item.iSubItem == 0 ? text.prefix : text.keyName);
    return true;
}

void RecordDialog::OnDestroy() {
    if (recorderWindow_ != 0) {
        platform_.KillTimer(recorderWindow_, kPauseTimerId);
    }
    recording_ = false;
}

}  // namespace pavix
