// The desktop module's factory and the small calls that need GTK, libcanberra or gdk-pixbuf.
#include "platform/linux/desktop/desktop_module.h"

#include <canberra.h>
#include <glib/gstdio.h>
#include <gtk/gtk.h>

#include <cstring>
#include <new>

#include "platform/linux/desktop/dialog_host_gtk.h"
#include "platform/linux/desktop/dialog_parts.h"
#include "platform/linux/desktop/gtk_desktop.h"

namespace pavix {
namespace {

constexpr std::uint32_t kSoundId = 1;  // one sound at a time, as the platform plays them
constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kManagerPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
constexpr const char* kOwnSessionPath = "/org/freedesktop/login1/session/auto";
constexpr const char* kSession = "org.freedesktop.login1.Session";
// An interactive call waits while the user answers the authorisation prompt.
constexpr int kInteractiveTimeout = 120000;
constexpr int kTimeout = 10000;

class GtkDesktopModule final : public DesktopModule {
  public:
    ~GtkDesktopModule() override {
        if (sounds_ != nullptr) {
            ca_context_destroy(sounds_);
        }
    }

    bool OpenDisplay() override { return OpenGtkDisplay(); }
    std::unique_ptr<Desktop> NewDesktop() override { return std::make_unique<GtkDesktop>(); }
    std::unique_ptr<TrayIndicator> NewTray(std::function<void(std::uint32_t)> chosen,
                                           std::function<void()> watcherAppeared) override {
        return NewAppIndicatorTray(std::move(chosen), std::move(watcherAppeared));
    }
    std::unique_ptr<DialogHost> NewDialogHost(Pump pump, std::string noneText) override {
        return std::make_unique<GtkDialogHost>(std::move(pump), std::move(noneText));
    }
    bool ChooseFile(OpenFileName* request, bool save, void* parent, const Pump& pump) override {
        return ChooseFileWithGtk(request, save, parent, pump);
    }
    std::unique_ptr<FolderWatch> WatchFolder(const std::string& path,
                                             std::function<void()> changed) override {
        return NewGioFolderWatch(path, std::move(changed));
    }

    unsigned ModifierState() override {
        GdkDisplay* display = gdk_display_get_default();
        return display != nullptr
                   ? gdk_keymap_get_modifier_state(gdk_keymap_get_for_display(display))
                   : 0;
    }
    int KeycodeOf(std::uint32_t virtualKey) override {
        return virtualKey < 256 ? AssignKeys(KeyboardOfDisplay()).keycodeOf[virtualKey] : 0;
    }
    std::string KeyName(int keycode) override {
        return KeysymName(FirstKeysym(KeyboardOfDisplay(), keycode));
    }
    void ClearClipboard() override {
        gtk_clipboard_clear(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
    }
    void SetClipboardText(const char* text, std::size_t length) override {
        GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
        gtk_clipboard_set_text(clipboard, text, static_cast<gint>(length));
        gtk_clipboard_store(clipboard);
    }

    bool CallLogind(const char* method, bool interactive, std::string* failure) override {
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
        GVariant* answer = nullptr;
        if (bus != nullptr) {
            // The shared connection stays after the call: its bus going away must not end Pavix.
            g_dbus_connection_set_exit_on_close(bus, FALSE);
            const bool ofSession =
                std::strcmp(method, "Lock") == 0 || std::strcmp(method, "Terminate") == 0;
            answer = g_dbus_connection_call_sync(
                bus, kLogind, ofSession ? kOwnSessionPath : kManagerPath,
                ofSession ? kSession : kManager, method,
                ofSession ? nullptr : g_variant_new("(b)", interactive), nullptr,
                interactive ? G_DBUS_CALL_FLAGS_ALLOW_INTERACTIVE_AUTHORIZATION
                            : G_DBUS_CALL_FLAGS_NONE,
                interactive ? kInteractiveTimeout : kTimeout, nullptr, &error);
            g_object_unref(bus);
        }
        if (answer == nullptr) {
            *failure = error != nullptr ? error->message : "";
            g_clear_error(&error);
            return false;
        }
        g_variant_unref(answer);
        return true;
    }

    void PlaySound(const char* file) override {
        if (sounds_ == nullptr) {
            if (ca_context_create(&sounds_) != CA_SUCCESS) {
                sounds_ = nullptr;
                return;
            }
            ca_context_change_props(sounds_, CA_PROP_APPLICATION_NAME, "Pavix", nullptr);
        }
        ca_context_cancel(sounds_, kSoundId);
        if (file != nullptr) {
            ca_context_play(sounds_, kSoundId, CA_PROP_MEDIA_FILENAME, file, nullptr);
        }
    }

    bool SavePictureAsPng(const std::string& source, const std::string& target) override {
        GdkPixbuf* picture = gdk_pixbuf_new_from_file(source.c_str(), nullptr);
        if (picture == nullptr) {
            return false;
        }
        const bool saved =
            gdk_pixbuf_save(picture, target.c_str(), "png", nullptr, nullptr) != FALSE;
        g_object_unref(picture);
        return saved;
    }

  private:
    ca_context* sounds_ = nullptr;  // made on the first sound
};

}  // namespace
}  // namespace pavix

extern "C" pavix::DesktopModule* PavixDesktopModule() {
    // Lives as long as the process: the program never unloads the module.
    static auto* module = new (std::nothrow) pavix::GtkDesktopModule();
    return module;
}
