// The notification-area icon, whose picture shows the state, and its popup menu.
#pragma once

#include <cstdint>

#include "app/login_start.h"
#include "platform/constants.h"
#include "platform/platform.h"
#include "resources/ids.h"

namespace pavix {

// The state shown by the icon; the values are the icon resources that show it.
enum TrayIconId : std::uint16_t {
    kIdle = ids::kIconIdle,
    kSeeking = ids::kIconSeeking,
    kDisabled = ids::kIconDisabled,
};

constexpr std::uint32_t kTrayCallbackMessage = kWmApp + 1;
constexpr std::uint32_t kTrayIconUid = 1;
constexpr std::uint32_t kTrayMenuId = ids::kTrayMenu;

// Menu command ids.
using ids::kCommandAbort;
using ids::kCommandAllSequences;
using ids::kCommandConfiguration;
using ids::kCommandDisable;
using ids::kCommandEditSequence;
using ids::kCommandEnable;
using ids::kCommandExit;
using ids::kCommandShowHints;
using ids::kCommandStartAtLogin;

class TrayIcon {
  public:
    TrayIcon(Platform& platform, ModuleHandle instance)
        : platform_(platform), instance_(instance), loginStart_(platform) {}

    // Each makes one attempt and tells the user when it fails.
    bool AddTrayIcon(WindowHandle window, TrayIconId id);
    bool UpdateTrayIcon(WindowHandle window, TrayIconId id);
    void RemoveTrayIcon(WindowHandle window);
    // Lets the shell's `taskbarCreated` broadcast reach `window` even while Pavix runs with more
    // rights than the shell, which the system otherwise keeps such messages from; without it an
    // elevated Pavix loses its icon for good when the shell restarts.
    void AcceptShellRestarts(WindowHandle window, std::uint32_t taskbarCreated);
    // A mouse event on the icon; the right button opens the menu, whose "Show Hints" carries a
    // check mark while hints are on, and "Start at Login" while the Startup folder holds
    // Pavix's shortcut.
    std::intptr_t OnTrayNotify(WindowHandle window, TrayIconId current, bool hintsOn,
                               std::uint32_t mouseMessage);

    // The menu's Start at Login.
    LoginStart& StartAtLogin() { return loginStart_; }

  private:
    bool Notify(std::uint32_t message, WindowHandle window, TrayIconId id);
    void ShowMenu(WindowHandle window, TrayIconId current, bool hintsOn);

    Platform& platform_;
    ModuleHandle instance_;
    LoginStart loginStart_;
};

}  // namespace pavix
