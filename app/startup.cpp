#include "app/startup.h"

#include "app/editor_factory.h"
#include "app/main_window.h"
#include "editors/error_boxes.h"
#include "platform/constants.h"

namespace pavix {
namespace {

constexpr const char* kInstanceName = "Pavix";
constexpr const char* kWindowTitle = "Pavix";
constexpr const char* kWindowClass = "PavixMainWindow";
// Exit code when the hidden window cannot be made: without it no message would ever arrive.
constexpr int kNoWindowExitCode = 1;

// The single-instance mutex; its handle stays open until the process ends.
bool TakeInstanceName(Platform& platform) {
    const KernelHandle mutex = platform.CreateMutexA(nullptr, true, kInstanceName);
    return mutex != 0 && platform.GetLastError() == kErrorSuccess;
}

// COM for the whole run: CoUninitialize however the run ends, as often as CoInitialize was called.
class ComInitialization {
  public:
    explicit ComInitialization(Platform& platform) : platform_(platform) {
        platform_.CoInitialize(nullptr);
    }
    ~ComInitialization() { platform_.CoUninitialize(); }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

  private:
    Platform& platform_;
};

// The next message, as GetMessageA answers. While the data files' folder is watched, the loop
// waits on it beside the queue, and a change found meanwhile is handed to the main window, which
// posts it to itself.
std::int32_t NextMessage(Platform& platform, MainWindow& mainWindow, Message* message) {
    for (;;) {
        const KernelHandle watch = mainWindow.FolderWatch();
        if (watch == kInvalidHandleValue) {
            return platform.GetMessageA(message, 0, 0, 0);
        }
        if (platform.PeekMessageA(message, 0, 0, 0, kPmRemove)) {
            return message->message == kWmQuit ? 0 : 1;
        }
        const std::uint32_t woken =
            platform.MsgWaitForMultipleObjectsEx(1, &watch, kInfinite, kQsAllInput, 0);
        if (woken == kWaitObject0) {
            mainWindow.OnFolderChanged();
        } else if (woken == kWaitFailed) {
            return platform.GetMessageA(message, 0, 0, 0);
        }
    }
}

// The open sheet, a dialog without a modal loop of its own, gets its keys (Tab, Escape, Alt and
// a letter) from here.
int RunMessageLoop(Platform& platform, MainWindow& mainWindow) {
    Message message;
    while (NextMessage(platform, mainWindow, &message) > 0) {
        const WindowHandle dialog = mainWindow.KeyboardDialog();
        if (dialog != 0 && platform.IsDialogMessageA(dialog, &message)) {
            continue;
        }
        platform.TranslateMessage(&message);
        platform.DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int RunPavix(Platform& platform, const EngineHook& engineHook) {
    if (!TakeInstanceName(platform)) {
        return 0;
    }
    const ComInitialization com(platform);
    platform.InitCommonControlsEx(kInitCommonControlsExSize, kIccBarClasses | kIccCoolClasses);
    MainWindow mainWindow(platform, [&platform](std::uint32_t templateId, const Settings& settings,
                                                DialogStack& dialogs) {
        return MakeEditor(platform, templateId, settings, dialogs);
    });
    if (engineHook) {
        engineHook(&mainWindow.Engine());
    }
    const ModuleHandle instance = platform.GetModuleHandleA(nullptr);
    WindowClass windowClass;
    windowClass.className = kWindowClass;
    windowClass.instance = instance;
    windowClass.cursorId = kIdcArrow;
    const bool created =
        platform.RegisterClassExA(windowClass) != 0 &&
        platform.CreateWindowExA(0, kWindowClass, kWindowTitle, kWsOverlappedWindow, kCwUseDefault,
                                 kCwUseDefault, kCwUseDefault, kCwUseDefault, 0, 0, instance,
                                 &mainWindow) != 0;
    const int exitCode = created ? RunMessageLoop(platform, mainWindow) : kNoWindowExitCode;
    if (engineHook) {
        engineHook(nullptr);
    }
    return exitCode;
}

void ReportHotkeyLost(Platform& platform, std::uint32_t modifiers, std::uint32_t key) {
    ErrorBoxes(platform).ReportHotkeyRefused(
        KeyChord{static_cast<KeyModifiers>(modifiers), static_cast<std::uint16_t>(key)});
}

}  // namespace pavix
