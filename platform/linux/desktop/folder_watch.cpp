// A folder's GFileMonitor, reporting only the changes after which a file is complete.
#include <gio/gio.h>

#include "platform/linux/desktop/gtk_desktop.h"

namespace pavix {
namespace {

class GioFolderWatch final : public FolderWatch {
  public:
    GioFolderWatch(GFileMonitor* monitor, std::function<void()> changed)
        : monitor_(monitor), changed_(std::move(changed)) {
        g_signal_connect(monitor_, "changed", G_CALLBACK(OnChanged), this);
    }
    ~GioFolderWatch() override {
        g_signal_handlers_disconnect_by_data(monitor_, this);
        g_file_monitor_cancel(monitor_);
        g_object_unref(monitor_);
    }
    GioFolderWatch(const GioFolderWatch&) = delete;
    GioFolderWatch& operator=(const GioFolderWatch&) = delete;

  private:
    // A file created or being written is reported by the "changes done" hint of its close;
    // attributes alone are no change of contents.
    static void OnChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer self) {
        switch (event) {
            case G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT:
            case G_FILE_MONITOR_EVENT_DELETED:
            case G_FILE_MONITOR_EVENT_RENAMED:
            case G_FILE_MONITOR_EVENT_MOVED_IN:
            case G_FILE_MONITOR_EVENT_MOVED_OUT:
                static_cast<GioFolderWatch*>(self)->changed_();
                break;
            default:
                break;
        }
    }

    GFileMonitor* monitor_;
    std::function<void()> changed_;
};

}  // namespace

std::unique_ptr<FolderWatch> NewGioFolderWatch(const std::string& path,
                                               std::function<void()> changed) {
    GFile* folder = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    GFileMonitor* monitor =
        g_file_monitor_directory(folder, G_FILE_MONITOR_WATCH_MOVES, nullptr, &error);
    g_object_unref(folder);
    if (monitor == nullptr) {
        g_clear_error(&error);
        return nullptr;
    }
    return std::make_unique<GioFolderWatch>(monitor, std::move(changed));
}

}  // namespace pavix
