// The tray item: a StatusNotifierItem (libayatana-appindicator3) with a GTK menu that the tray
// host shows on its own. A menu choice reaches the `chosen` callback from the main loop, and
// `watcherAppeared` runs whenever a tray host starts (the item registers itself with it again).
// The item lives in the desktop module (desktop_module.h); the program sees only this interface.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pavix {

class TrayIndicator {
  public:
    struct Item {
        std::uint32_t id = 0;
        std::string text;  // with the platform's "&" before the mnemonic
        bool grayed = false;
        bool checkable = false;
        bool checked = false;
    };

    TrayIndicator() = default;
    virtual ~TrayIndicator() = default;
    TrayIndicator(const TrayIndicator&) = delete;
    TrayIndicator& operator=(const TrayIndicator&) = delete;

    // Whether the session has a bus, and a StatusNotifierWatcher (a tray host) on it.
    virtual bool HasSessionBus() const = 0;
    virtual bool HasWatcher() const = 0;

    // Shows the picture `iconName` from `iconFolder` (PNG files named after their icons).
    virtual void Show(const std::string& iconFolder, const std::string& iconName,
                      const std::string& title) = 0;
    virtual void Hide() = 0;
    virtual void SetMenu(const std::vector<Item>& items) = 0;
    // The same items in a window (choices_window.h), for a desktop without a tray; a choice
    // there reaches `chosen` as the menu's does.
    virtual void ShowChoices(const std::vector<Item>& items) = 0;
};

// The platform's "&" mnemonics in GTK's form ("_"), a literal underscore doubled.
std::string GtkMnemonic(const std::string& text);

}  // namespace pavix
