// The hidden main window: routes hotkeys, the search timer, tray events and menu commands to the
// engine and keeps the tray icon in step with what the engine is doing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "app/data_file_watch.h"
#include "app/hints.h"
#include "app/tray_icon.h"
#include "editors/dialog_stack.h"
#include "editors/error_boxes.h"
#include "editors/sequence_sheet.h"
#include "engine/sequence_engine.h"
#include "platform/platform.h"

namespace pavix {

constexpr std::uintptr_t kSearchTimerId = 1701;
// The quiet moment after a change to the data files by another program: they are read once their
// folder has seen no change for this long (and no writer holds them).
constexpr std::uintptr_t kFilesQuietTimerId = 1703;
constexpr std::uint32_t kFilesQuietMs = 300;
// Posted to the main window when the data files' folder has changed.
constexpr std::uint32_t kFilesChangedMessage = kWmApp + 2;
constexpr std::uint32_t kConfigDialogId = ids::ConfigDialogIds::kTemplateId;
constexpr std::uint32_t kSequenceEditorId = ids::SequenceEditorIds::kTemplateId;

// Builds the editor run from a dialog template (kConfigDialogId or kSequenceEditorId), given the
// settings the engine last loaded and the stack in which it runs its own dialogs.
using EditorFactory = std::function<std::unique_ptr<DialogHandler>(
    std::uint32_t templateId, const Settings& settings, DialogStack& dialogs)>;

class MainWindow final : public WindowHandler {
  public:
    MainWindow(Platform& platform, EditorFactory makeEditor);

    std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

    TrayIconId IconId() const { return iconId_; }
    bool TimerRunning() const { return timerRunning_; }
    const SequenceEngine& Engine() const { return engine_; }
    const Hints& HintState() const { return hints_; }
    const SequenceSheet& Sheet() const { return sheet_; }
    // The window without a modal loop whose keyboard handling the message loop serves; 0 when
    // none is open.
    WindowHandle KeyboardDialog() const { return sheet_.OpenWindow(); }
    // The change notification on the data files' folder that the message loop waits on beside
    // the messages, kInvalidHandleValue when there is none.
    KernelHandle FolderWatch() const { return watch_.Handle(); }
    // The message loop found FolderWatch signalled: turns it into kFilesChangedMessage.
    void OnFolderChanged();

  private:
    std::intptr_t OnCreate(WindowHandle window);
    void OnHotkey(HotkeyId id);
    void OnTimer(std::uintptr_t timerId);
    void OnDestroy();
    bool OnCommand(std::uint32_t command);
    // Carries out a menu command other than Exit; only called while not busy.
    void RunCommand(std::uint32_t command);
    void Exit();
    void RunEditor(std::uint32_t templateId);
    // Enables with the enable sound and reads both files into the sheet as well: after an
    // editor, and after another program changed the files.
    void EnableAgain();
    void OnFilesChanged();
    void OnFilesQuiet();
    void StopFilesTimer();
    // One enabling pass, with the menu commands and hotkeys held off while it runs. Returns the
    // state it leaves: Idle, or Disabled when the engine is still disabled afterwards.
    TrayIconId EnableEngine(bool notify);
    // While an editor is open, the engine is being enabled or a press is handled (a completed
    // sequence's commands may show boxes), a modal loop may deliver the menu's commands and
    // hotkeys: none of them may act on the engine then.
    bool Busy() const { return editorOpen_ || enabling_ || pressing_; }
    void StartSearchTimer();
    void StopSearchTimer();
    void ShowState(TrayIconId id);

    Platform& platform_;
    EditorFactory makeEditor_;
    ModuleHandle instance_;
    ErrorBoxes boxes_;
    SequenceEngine engine_;
    TrayIcon tray_;
    Hints hints_;
    SequenceSheet sheet_;
    DataFileWatch watch_;
    // The editor that is open and every dialog inside it: the menu commands bring the editor to
    // the front instead of nesting another one in it, and Exit ends them all.
    DialogStack dialogs_;
    std::uint32_t taskbarCreatedMessage_;
    WindowHandle window_ = 0;
    TrayIconId iconId_ = kIdle;
    bool iconAdded_ = false;  // the taskbar of the moment accepted the icon
    bool timerRunning_ = false;
    bool filesTimerRunning_ = false;  // a change by another program waits for its quiet moment
    bool editorOpen_ = false;
    bool enabling_ = false;
    bool pressing_ = false;
    // Exit was chosen while busy: it is carried out once the editor, the pass or the press is
    // over, so that nothing touches the window or the icon after they are gone.
    bool exitRequested_ = false;
};

}  // namespace pavix
