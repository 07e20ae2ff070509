#include "platform/linux/desktop/gtk_desktop.h"

#include <gtk/gtk.h>
#include <libayatana-appindicator/app-indicator.h>

#include "platform/linux/desktop/choices_window.h"

namespace pavix {
namespace {

constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
constexpr const char* kItemId = "pavix";
constexpr const char* kCommandKey = "pavix-command";

}  // namespace

class AppIndicatorTray final : public TrayIndicator {
  public:
    AppIndicatorTray(std::function<void(std::uint32_t)> chosen,
                     std::function<void()> watcherAppeared);
    ~AppIndicatorTray() override;

    // A bus that has gone away is none: Pavix goes on as without a tray.
    bool HasSessionBus() const override {
        return bus_ != nullptr && g_dbus_connection_is_closed(G_DBUS_CONNECTION(bus_)) == FALSE;
    }
    bool HasWatcher() const override;
    void Show(const std::string& iconFolder, const std::string& iconName,
              const std::string& title) override;
    void Hide() override;
    void SetMenu(const std::vector<Item>& items) override;
    void ShowChoices(const std::vector<Item>& items) override { choices_.Show(items); }

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
    ChoicesWindow choices_{[this](std::uint32_t command) { chosen_(command); }};
    unsigned watch_ = 0;
    // A host that is there from the start already has the item; only a later one is news.
    bool watcherLost_ = false;
    // What the watch last told; before its first word, the bus is asked.
    bool watcherKnown_ = false;
    bool watcherPresent_ = false;
};

std::string GtkMnemonic(const std::string& text) {
    std::string converted;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            converted += '&';
            ++i;
        } else if (text[i] == '&') {
            converted += '_';
        } else if (text[i] == '_') {
            converted += "__";
        } else {
            converted += text[i];
        }
    }
    return converted;
}

AppIndicatorTray::AppIndicatorTray(std::function<void(std::uint32_t)> chosen,
                                   std::function<void()> watcherAppeared)
    : chosen_(std::move(chosen)), watcherAppeared_(std::move(watcherAppeared)) {
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    menu_ = g_object_ref_sink(gtk_menu_new());
    if (bus_ != nullptr) {
        // The shared connection, which the tray library uses too, would end the process when
        // the bus goes away; the chords and their commands need no bus.
        g_dbus_connection_set_exit_on_close(G_DBUS_CONNECTION(bus_), FALSE);
        watch_ = g_bus_watch_name_on_connection(
            G_DBUS_CONNECTION(bus_), kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
            reinterpret_cast<GBusNameAppearedCallback>(&AppIndicatorTray::OnWatcherAppeared),
            reinterpret_cast<GBusNameVanishedCallback>(&AppIndicatorTray::OnWatcherVanished), this,
            nullptr);
    }
}

AppIndicatorTray::~AppIndicatorTray() {
    if (watch_ != 0) {
        g_bus_unwatch_name(watch_);
    }
    if (indicator_ != nullptr) {
        g_object_unref(indicator_);
    }
    gtk_widget_destroy(GTK_WIDGET(menu_));
    g_object_unref(menu_);
    if (bus_ != nullptr) {
        g_object_unref(bus_);
    }
}

bool AppIndicatorTray::HasWatcher() const {
    if (bus_ == nullptr || watcherKnown_) {
        return watcherPresent_;
    }
    GVariant* answer = g_dbus_connection_call_sync(
        G_DBUS_CONNECTION(bus_), "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", kWatcherName),
        G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    gboolean owned = FALSE;
    if (answer != nullptr) {
        g_variant_get(answer, "(b)", &owned);
        g_variant_unref(answer);
    }
    return owned != FALSE;
}

void AppIndicatorTray::Show(const std::string& iconFolder, const std::string& iconName,
                            const std::string& title) {
    if (!HasSessionBus()) {
        return;  // the bus went: nobody to tell of the picture
    }
    if (indicator_ == nullptr) {
        indicator_ =
            app_indicator_new(kItemId, iconName.c_str(), APP_INDICATOR_CATEGORY_APPLICATION_STATUS);
        app_indicator_set_icon_theme_path(APP_INDICATOR(indicator_), iconFolder.c_str());
        app_indicator_set_menu(APP_INDICATOR(indicator_), GTK_MENU(menu_));
    }
    app_indicator_set_title(APP_INDICATOR(indicator_), title.c_str());
    app_indicator_set_icon_full(APP_INDICATOR(indicator_), iconName.c_str(), title.c_str());
    app_indicator_set_status(APP_INDICATOR(indicator_), APP_INDICATOR_STATUS_ACTIVE);
}

void AppIndicatorTray::Hide() {
    if (indicator_ != nullptr && HasSessionBus()) {
        app_indicator_set_status(APP_INDICATOR(indicator_), APP_INDICATOR_STATUS_PASSIVE);
    }
}

// Items are updated in place while the commands stay the same, so that the host's menu keeps its
// items (and their ids) from one state to the next.
void AppIndicatorTray::SetMenu(const std::vector<Item>& items) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu_));
    bool same = g_list_length(children) == items.size();
    std::size_t at = 0;
    for (GList* child = children; same && child != nullptr; child = child->next, ++at) {
        const bool checkable = GTK_IS_CHECK_MENU_ITEM(child->data) != FALSE;
        same = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(child->data), kCommandKey)) ==
                   items[at].id &&
               checkable == items[at].checkable;
    }
    at = 0;
    for (GList* child = children; child != nullptr; child = child->next, ++at) {
        if (same) {
            UpdateItem(GTK_WIDGET(child->data), items[at]);
        } else {
            gtk_widget_destroy(GTK_WIDGET(child->data));
        }
    }
    g_list_free(children);
    for (std::size_t i = 0; !same && i < items.size(); ++i) {
        const Item& item = items[i];
        const std::string label = GtkMnemonic(item.text);
        GtkWidget* widget = item.checkable ? gtk_check_menu_item_new_with_mnemonic(label.c_str())
                                           : gtk_menu_item_new_with_mnemonic(label.c_str());
        g_object_set_data(G_OBJECT(widget), kCommandKey, GUINT_TO_POINTER(item.id));
        g_signal_connect(widget, "activate", G_CALLBACK(&AppIndicatorTray::OnActivate), this);
        UpdateItem(widget, item);
        gtk_menu_shell_append(GTK_MENU_SHELL(menu_), widget);
        gtk_widget_show(widget);
    }
}

// Setting the check mark would count as a choice: the choice's handler is held meanwhile.
void AppIndicatorTray::UpdateItem(void* widget, const Item& item) {
    g_signal_handlers_block_by_func(
        widget, reinterpret_cast<gpointer>(&AppIndicatorTray::OnActivate), this);
    gtk_menu_item_set_label(GTK_MENU_ITEM(widget), GtkMnemonic(item.text).c_str());
    if (item.checkable) {
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item.checked);
    }
    gtk_widget_set_sensitive(GTK_WIDGET(widget), !item.grayed);
    g_signal_handlers_unblock_by_func(
        widget, reinterpret_cast<gpointer>(&AppIndicatorTray::OnActivate), this);
}

void AppIndicatorTray::OnActivate(void* menuItem, void* self) {
    const auto command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(menuItem), kCommandKey));
    static_cast<AppIndicatorTray*>(self)->chosen_(command);
}

void AppIndicatorTray::OnWatcherAppeared(void*, const char*, const char*, void* self) {
    auto& tray = *static_cast<AppIndicatorTray*>(self);
    tray.watcherKnown_ = true;
    tray.watcherPresent_ = true;
    if (tray.watcherLost_) {
        tray.watcherLost_ = false;
        tray.watcherAppeared_();
    }
}

void AppIndicatorTray::OnWatcherVanished(void*, const char*, void* self) {
    auto& tray = *static_cast<AppIndicatorTray*>(self);
    tray.watcherKnown_ = true;
    tray.watcherPresent_ = false;
    tray.watcherLost_ = true;
}

std::unique_ptr<TrayIndicator> NewAppIndicatorTray(std::function<void(std::uint32_t)> chosen,
                                                   std::function<void()> watcherAppeared) {
    return std::make_unique<AppIndicatorTray>(std::move(chosen), std::move(watcherAppeared));
}

}  // namespace pavix
