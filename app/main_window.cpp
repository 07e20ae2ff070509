#include "app/main_window.h"

#include "app/editor_factory.h"
#include "resources/texts.h"

namespace pavix {
namespace {

constexpr std::uintptr_t LowWord(std::uintptr_t value) {
    return value & 0xFFFF;
}

}  // namespace

MainWindow::MainWindow(Platform& platform, EditorFactory makeEditor)
    : platform_(platform),
      makeEditor_(std::move(makeEditor)),
      instance_(platform.GetModuleHandleA(nullptr)),
      boxes_(platform),
      engine_(platform, boxes_),
      tray_(platform, instance_),
      hints_(platform, instance_, engine_),
      sheet_(platform),
      watch_(platform),
      dialogs_(platform),
      taskbarCreatedMessage_(platform.RegisterWindowMessageA("TaskbarCreated")) {}

std::intptr_t MainWindow::WindowProc(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == taskbarCreatedMessage_ && message != 0) {
        // A new taskbar knows none of the old one's icons.
        iconAdded_ = tray_.AddTrayIcon(window, iconId_);
        return 0;
    }
    switch (message) {
        case kTrayCallbackMessage:
            return tray_.OnTrayNotify(window, iconId_, hints_.Enabled(),
                                      static_cast<std::uint32_t>(lParam));
        case kWmCreate:
            return OnCreate(window);
        case kWmHotkey:
            OnHotkey(static_cast<HotkeyId>(wParam));
            return 0;
        case kWmDestroy:
            OnDestroy();
            return 0;
        case kWmTimer:
            OnTimer(wParam);
            return 0;
        case kFilesChangedMessage:
            OnFilesChanged();
            return 0;
        case kWmDpiChanged:
            // The display scale changed: the same picture, drawn for the new scale.
            tray_.UpdateTrayIcon(window, iconId_);
            return 0;
        case kWmCommand:
            if (OnCommand(static_cast<std::uint32_t>(LowWord(wParam)))) {
                return 0;
            }
            break;
        default:
            break;
    }
    return platform_.DefWindowProcA(window, message, wParam, lParam);
}

std::intptr_t MainWindow::OnCreate(WindowHandle window) {
    window_ = window;
    tray_.AcceptShellRestarts(window, taskbarCreatedMessage_);
    iconId_ = kIdle;  // what a "TaskbarCreated" during the first pass shows
    engine_.SetWindow(window);
    iconId_ = EnableEngine(false);
    // A taskbar that announced itself during the pass has the icon already: a second add would
    // be refused.
    if (iconAdded_) {
        tray_.UpdateTrayIcon(window, iconId_);
    } else {
        iconAdded_ = tray_.AddTrayIcon(window, iconId_);
    }
    hints_.Start(window);
    watch_.Start();
    return 0;
}

void MainWindow::OnHotkey(HotkeyId id) {
    // A press that a modal loop delivers while the window is busy, or one queued before the
    // engine let go of its hotkeys, belongs to no search.
    if (Busy() || !engine_.Enabled()) {
        return;
    }
    // Whatever the key does, what the hints showed is out of date, and the commands of a sequence
    // it completes may take a while (an error box waits for the user).
    hints_.End();
    const TrayIconId before = iconId_;
    pressing_ = true;
    const HotkeyOutcome outcome = engine_.OnHotkey(id);
    pressing_ = false;
    if (exitRequested_) {
        exitRequested_ = false;
        platform_.DestroyWindow(window_);
        return;
    }
    switch (outcome) {
        case kFirstKey:
            StartSearchTimer();
            iconId_ = kSeeking;
            break;
        case kNextKey:
            StopSearchTimer();
            StartSearchTimer();
            iconId_ = kSeeking;
            break;
        case kMismatch:
        case kDone:
        case kAborted:
            StopSearchTimer();
            iconId_ = kIdle;
            break;
        case kDisableHotkeys:
            StopSearchTimer();
            iconId_ = kDisabled;
            break;
        case kExitProgram:
            StopSearchTimer();
            platform_.DestroyWindow(window_);
            return;
        default:
            return;
    }
    if (outcome == kFirstKey || outcome == kNextKey) {
        hints_.OnKeyAccepted();
    }
    if (iconId_ != before) {
        tray_.UpdateTrayIcon(window_, iconId_);
    }
}

void MainWindow::OnTimer(std::uintptr_t timerId) {
    if (timerId == kHintTimerId) {
        hints_.OnTimer();
        return;
    }
    if (timerId == kFilesQuietTimerId) {
        OnFilesQuiet();
        return;
    }
    hints_.End();
    StopSearchTimer();
    // The timer of a completed search can still fire while the sequence's commands hold the
    // press in a box; that expiry ends nothing.
    if (engine_.CandidateIndexes().empty()) {
        return;
    }
    engine_.Timeout();
    ShowState(kIdle);
}

void MainWindow::OnDestroy() {
    sheet_.Close();
    hints_.End();
    tray_.RemoveTrayIcon(window_);
    StopSearchTimer();
    StopFilesTimer();
    watch_.Stop();
    platform_.PostQuitMessage(0);
}

bool MainWindow::OnCommand(std::uint32_t command) {
    if (command == kCommandShowHints) {
        if (!hints_.Toggle()) {
            ShowErrorText(platform_, ids::kTextWriteFailed);
        }
        return true;
    }
    if (command == kCommandStartAtLogin) {
        if (!tray_.StartAtLogin().Toggle()) {
            ShowErrorText(platform_, ids::kTextWriteFailed);
        }
        return true;
    }
    // Every other command ends a search or puts it on hold: what the hints showed is stale.
    if (command == kCommandEnable || command == kCommandDisable || command == kCommandAbort ||
        command == kCommandConfiguration || command == kCommandEditSequence) {
        hints_.End();
    }
    switch (command) {
        case kCommandExit:
            Exit();
            return true;
        // The sheet needs the engine for nothing: it opens beside a search, which goes on.
        case kCommandAllSequences:
            if (dialogs_.Outermost() != 0) {
                platform_.SetForegroundWindow(dialogs_.Outermost());
            } else if (!editorOpen_) {
                sheet_.Show(window_, ActiveAbortChord(engine_.LoadedSettings()));
            }
            return true;
        case kCommandConfiguration:
        case kCommandEditSequence:
        case kCommandEnable:
        case kCommandDisable:
        case kCommandAbort:
            if (!Busy()) {
                RunCommand(command);
            } else if (dialogs_.Outermost() != 0) {
                platform_.SetForegroundWindow(dialogs_.Outermost());
            }
            return true;
        default:
            return false;
    }
}

void MainWindow::RunCommand(std::uint32_t command) {
    switch (command) {
        case kCommandEnable:
            StopSearchTimer();
            ShowState(EnableEngine(true));
            break;
        case kCommandDisable:
            StopSearchTimer();
            engine_.DisableAndNotify();
            ShowState(kDisabled);
            break;
        case kCommandAbort:
            StopSearchTimer();
            engine_.Abort();
            ShowState(kIdle);
            break;
        case kCommandConfiguration:
            RunEditor(kConfigDialogId);
            break;
        case kCommandEditSequence:
            RunEditor(kSequenceEditorId);
            break;
        default:
            break;
    }
}

void MainWindow::Exit() {
    if (!Busy()) {
        platform_.DestroyWindow(window_);
        return;
    }
    exitRequested_ = true;
    // The editor and every dialog inside it end as their Cancel ends them; RunEditor then exits
    // instead of enabling again.
    dialogs_.Close();
}

void MainWindow::RunEditor(std::uint32_t templateId) {
    editorOpen_ = true;
    // A search cannot go on while the hotkeys are unregistered, so its timer and icon go too.
    StopSearchTimer();
    engine_.Disable();
    if (iconId_ == kSeeking) {
        ShowState(kIdle);
    }
    std::unique_ptr<DialogHandler> editor =
        makeEditor_ ? makeEditor_(templateId, engine_.LoadedSettings(), dialogs_) : nullptr;
    if (editor && !exitRequested_) {
        dialogs_.Run(templateId, *editor);
    }
    editorOpen_ = false;
    if (exitRequested_) {
        exitRequested_ = false;
        platform_.DestroyWindow(window_);
        return;
    }
    EnableAgain();
}

void MainWindow::EnableAgain() {
    ShowState(EnableEngine(true));
    // Either file may have been replaced: the sheet shows what they hold now.
    sheet_.Refresh(ActiveAbortChord(engine_.LoadedSettings()));
}

void MainWindow::OnFolderChanged() {
    if (watch_.Rearm()) {
        platform_.PostMessageA(window_, kFilesChangedMessage, 0, 0);
    }
}

// While an editor is open or the engine disabled, the next enable reads the files anyway.
void MainWindow::OnFilesChanged() {
    if (editorOpen_ || iconId_ == kDisabled) {
        return;
    }
    // Every change starts the quiet moment again, so a writer still at work is not read.
    platform_.SetTimer(window_, kFilesQuietTimerId, kFilesQuietMs, nullptr);
    filesTimerRunning_ = true;
}

void MainWindow::OnFilesQuiet() {
    if (editorOpen_ || iconId_ == kDisabled) {
        StopFilesTimer();
        return;
    }
    // A search would be lost, and a pass or a press is under way: the timer comes again.
    if (Busy() || iconId_ == kSeeking) {
        return;
    }
    const DataFileWatch::Change change = watch_.Compare();
    if (change == DataFileWatch::Change::kWriting) {
        return;
    }
    StopFilesTimer();
    if (change == DataFileWatch::Change::kChanged) {
        EnableAgain();
    }
}

void MainWindow::StopFilesTimer() {
    if (filesTimerRunning_) {
        platform_.KillTimer(window_, kFilesQuietTimerId);
        filesTimerRunning_ = false;
    }
}

TrayIconId MainWindow::EnableEngine(bool notify) {
    // This pass reads whatever change waited for its quiet moment.
    StopFilesTimer();
    watch_.Remember();
    enabling_ = true;
    if (notify) {
        engine_.EnableAndNotify();
    } else {
        engine_.Enable();
    }
    enabling_ = false;
    if (exitRequested_) {
        // From the message loop, since the window may still be in its creation here.
        exitRequested_ = false;
        platform_.PostMessageA(window_, kWmCommand, kCommandExit, 0);
    }
    return engine_.Enabled() ? kIdle : kDisabled;
}

void MainWindow::ShowState(TrayIconId id) {
    iconId_ = id;
    tray_.UpdateTrayIcon(window_, iconId_);
}

void MainWindow::StartSearchTimer() {
    if (timerRunning_) {
        platform_.KillTimer(window_, kSearchTimerId);
    }
    platform_.SetTimer(window_, kSearchTimerId, static_cast<std::uint32_t>(engine_.SearchTimeout()),
                       nullptr);
    timerRunning_ = true;
}

void MainWindow::StopSearchTimer() {
    if (timerRunning_) {
        platform_.KillTimer(window_, kSearchTimerId);
        timerRunning_ = false;
    }
}

}  // namespace pavix
