// The desktop module: everything of the backend that needs GTK, the tray library, libcanberra or
// GIO, built as pavix-desktop.so beside the executable and loaded on first use. Keeping those
// libraries out of the executable keeps them out of its start, which ends with every chord
// grabbed before any of them would have been loaded. The module hands out one DesktopModule
// from its factory; the program never unloads it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/dialog_api.h"
#include "platform/linux/desktop/desktop.h"
#include "platform/linux/desktop/dialog_host.h"
#include "platform/linux/desktop/tray_indicator.h"

namespace pavix {

// A folder watched for changes until this is destroyed.
class FolderWatch {
  public:
    virtual ~FolderWatch() = default;
};

class DesktopModule {
  public:
    using Pump = std::function<void(const bool& done)>;

    virtual ~DesktopModule() = default;

    // Opens the display through GTK (gtk_desktop.h, OpenGtkDisplay); false when there is none.
    // The pieces below that show anything need it open; the sounds and pictures do not.
    virtual bool OpenDisplay() = 0;
    virtual std::unique_ptr<Desktop> NewDesktop() = 0;
    virtual std::unique_ptr<TrayIndicator> NewTray(std::function<void(std::uint32_t)> chosen,
                                                   std::function<void()> watcherAppeared) = 0;
    // `pump` dispatches the program's messages until its flag turns true, as a modal loop does;
    // `noneText` is what the chord capture control shows for no chord.
    virtual std::unique_ptr<DialogHost> NewDialogHost(Pump pump, std::string noneText) = 0;
    // The open-file and save-file dialogs as GTK file choosers with the request's filters,
    // title, overwrite prompt and default extension, owned by `parent` (a GtkWindow or null).
    virtual bool ChooseFile(OpenFileName* request, bool save, void* parent, const Pump& pump) = 0;

    // The keyboard's modifier mask (X11's) as the display last told it.
    virtual unsigned ModifierState() = 0;
    // The key code that a virtual-key code names on the display's keyboard and a key code's
    // name, as the X11 hotkeys have them (x11/x_hotkeys.h); for a display without X11.
    virtual int KeycodeOf(std::uint32_t virtualKey) = 0;
    virtual std::string KeyName(int keycode) = 0;
    virtual void ClearClipboard() = 0;
    // Hands `length` bytes of UTF-8 text to the clipboard, which serves them from then on.
    virtual void SetClipboardText(const char* text, std::size_t length) = 0;

    // Calls `method` of logind on the system bus: of the manager, with its "interactive" flag,
    // or ("Lock", "Terminate") of this session. False with the bus's wording of the failure.
    virtual bool CallLogind(const char* method, bool interactive, std::string* failure) = 0;

    // Watches the folder `path` through GIO (inotify), calling `changed` from the main loop when
    // a file in it has been written and closed, renamed, moved in or out, or deleted. A file
    // still being written is not reported until its writer closes it (or, as GIO has it, leaves
    // it alone for two seconds). nullptr when the folder cannot be watched.
    virtual std::unique_ptr<FolderWatch> WatchFolder(const std::string& path,
                                                     std::function<void()> changed) = 0;

    // Plays a sound file asynchronously, stopping the one playing; nullptr only stops it.
    virtual void PlaySound(const char* file) = 0;
    // Writes the picture in `source` (any format the desktop reads, such as .ico) to `target`
    // as PNG; false when either fails.
    virtual bool SavePictureAsPng(const std::string& source, const std::string& target) = 0;
};

// The module at `path`, loaded once; nullptr when it cannot be loaded or is not ours, in which
// case the reason goes to standard error.
DesktopModule* LoadDesktopModule(const std::string& path);

}  // namespace pavix

// The module's one entry point, found by name.
extern "C" pavix::DesktopModule* PavixDesktopModule();
