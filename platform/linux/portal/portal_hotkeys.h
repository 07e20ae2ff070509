// The hotkey calls of a Wayland session, carried out through the desktop's global-shortcuts
// portal: the bindings' decisions (bindings.h) put to the portal's connection, and its presses
// turned into the program's hotkeys.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/linux/portal/bindings.h"
#include "platform/linux/portal/portal_connection.h"

namespace pavix {

class PortalHotkeys {
  public:
    using Pressed = std::function<void(WindowHandle window, std::int32_t id,
                                       std::uint32_t modifiers, std::uint32_t key)>;
    // The description of each chord, asked for when a set is to be bound.
    using Describe = std::function<std::map<PackedChord, std::string>()>;
    // The desktop now refuses other chords than before: the window that registered them should
    // register again (see PortalBindings::Bound).
    using RefusalsChanged = std::function<void(WindowHandle window)>;

    PortalHotkeys(PortalRules rules, Pressed pressed, RefusalsChanged refusalsChanged,
                  Describe describe);
    // What the connection should tell this object; it is to be connected before the first
    // Flush.
    PortalEvents Events();
    void Connect(std::unique_ptr<PortalConnection> connection) {
        connection_ = std::move(connection);
    }

    std::uint32_t Register(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                           std::uint32_t key);
    bool Unregister(WindowHandle window, std::int32_t id);
    // The pass of registrations is done: asks the portal for what it should hold now, unless
    // an earlier call still waits for its answer (then its answer does). A modal loop may run
    // inside a pass, for the box of a refused chord: from one (`modal`), a pass in which a
    // registration failed is taken as still under way, until the main loop asks again.
    void Flush(bool modal);

  private:
    std::vector<PortalShortcut> Shortcuts(const std::vector<PackedChord>& chords) const;
    void Answered(bool refusalsChanged);

    PortalBindings bindings_;
    Pressed pressed_;
    RefusalsChanged refusalsChanged_;
    Describe describe_;
    std::unique_ptr<PortalConnection> connection_;
    WindowHandle window_ = 0;  // that registered last
    bool refusedInPass_ = false;
};

}  // namespace pavix
