// The tray item: a StatusNotifierItem (libayatana-appindicator3) with a GTK menu that the tray
// host shows on its own. A menu choice reaches the `chosen` callback from the main loop, and
// `watcherAppeared` runs whenever a tray host starts (the item registers itself with it again).
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

    TrayIndicator(std::function<void(std::uint32_t)> chosen, std::function<void()> watcherAppeared);
    ~TrayIndicator();
    TrayIndicator(const TrayIndicator&) = delete;
    TrayIndicator& operator=(const TrayIndicator&) = delete;

    // Whether the session has a bus, and a StatusNotifierWatcher (a tray host) on it.
    bool HasSessionBus() const { return bus_ != nullptr; }
    bool HasWatcher() const;

    // Shows the picture `iconName` from `iconFolder` (PNG files named after their icons).
    void Show(const std::string& iconFolder, const std::string& iconName, const std::string& title);
    void Hide();
    void SetMenu(const std::vector<Item>& items);

  private:
    void UpdateItem(void* widget, const Item& item);
    static void OnActivate(void* menuItem, void* self);
    static void OnWatcherAppeared(void* connection, const char* name, const char* owner,
                                  void* self);
    static void OnWatcherVanished(void* connection, const char* name, void* self);

    std::function<void(std::uint32_t)> chosen_;
    std::function<void()> watcherAppeared_;
    void* bus_ = nullptr;        // GDBusConnection of the session, nullptr without one
    void* indicator_ = nullptr;  // AppIndicator, made on the first Show
    void* menu_ = nullptr;       // GtkMenu
    unsigned watch_ = 0;
    // A host that is there from the start already has the item; only a later one is news.
    bool watcherLost_ = false;
    // What the watch last told; before its first word, the bus is asked.
    bool watcherKnown_ = false;
    bool watcherPresent_ = false;
};

// The platform's "&" mnemonics in GTK's form ("_"), a literal underscore doubled.
std::string GtkMnemonic(const std::string& text);

}  // namespace pavix
