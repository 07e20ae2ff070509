// The program's view of the desktop's global-shortcuts portal (org.freedesktop.portal.
// GlobalShortcuts) on the session bus: the calls the bindings need, each answered later from
// the main loop. A module of its own makes it, pavix-portal.so beside the desktop module, with
// GIO's D-Bus and nothing else, so that a Wayland session's start asks the portal for its chords
// before GTK and the tray's libraries load, as an X11 start grabs them; nothing here names a
// D-Bus type.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pavix {

struct PortalShortcut {
    std::string id;
    std::string description;
    std::string trigger;  // the preferred trigger; empty for none
};

struct PortalEvents {
    // A CreateSession, ListShortcuts or BindShortcuts was answered: `ok` when the portal's
    // answer was 0, `response` that answer (2 when the call itself failed), `ids` the shortcuts
    // the answer lists.
    std::function<void(bool ok, const std::string& session)> created;
    std::function<void(bool ok, const std::vector<std::string>& ids)> listed;
    std::function<void(std::uint32_t response, const std::vector<std::string>& ids)> bound;
    // A shortcut was pressed (older portals tell every client of every session's presses).
    std::function<void(const std::string& session, const std::string& id)> activated;
};

class PortalConnection {
  public:
    virtual ~PortalConnection() = default;
    // One call at a time: each waits for its answer before the next.
    // `shortcuts` go into the options, where KDE Plasma 5.27 reads them (and only there).
    virtual void CreateSession(const std::vector<PortalShortcut>& shortcuts) = 0;
    virtual void ListShortcuts(const std::string& session) = 0;
    virtual void BindShortcuts(const std::string& session,
                               const std::vector<PortalShortcut>& shortcuts) = 0;
    // Needs no answer: the session's presses end with it.
    virtual void CloseSession(const std::string& session) = 0;
};

// The portal of the session bus on a connection of its own, with `appId` registered first
// where the portal asks for it; nullptr, with the reason in `failure`, when there is no bus or
// its portal offers no GlobalShortcuts. Losing the bus later ends the presses, not the program.
std::unique_ptr<PortalConnection> ConnectPortal(const std::string& appId, PortalEvents events,
                                                std::string* failure);

// What the module hands out from its factory. The events are dispatched by GLib's main context,
// which the desktop module's loop runs.
class PortalModule {
  public:
    virtual ~PortalModule() = default;
    virtual std::unique_ptr<PortalConnection> Connect(const std::string& appId, PortalEvents events,
                                                      std::string* failure) = 0;
};

// The module at `path`, loaded once and never unloaded; nullptr when it cannot be loaded or is
// not ours, in which case the reason goes to standard error.
PortalModule* LoadPortalModule(const std::string& path);

}  // namespace pavix

// The module's one entry point, found by name.
extern "C" pavix::PortalModule* PavixPortalModule();
