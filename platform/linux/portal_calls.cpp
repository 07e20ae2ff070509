// The LinuxPlatform's side of the desktop's global-shortcuts portal: where the hotkey calls go
// in a Wayland session that has one.
#include "platform/constants.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/portal/portal_connection.h"
#include "platform/linux/portal/portal_hotkeys.h"

namespace pavix {

bool LinuxPlatform::UsePortal(const std::string& appId, const PortalRules& rules,
                              std::string* failure) {
    PortalModule* module = LoadPortalModule(places_.portalModule);
    if (module == nullptr) {
        *failure = "the portal's module cannot be loaded";
        return false;
    }
    auto portal = std::make_unique<PortalHotkeys>(
        rules,
        [this](WindowHandle window, std::int32_t id, std::uint32_t modifiers, std::uint32_t key) {
            OnHotkeyPressed(window, id, modifiers, key);
        },
        [this](WindowHandle window) {
            PostMessageA(window, kWmCommand, resources_.enableCommand, 0);
        },
        [this] {
            return resources_.describeChords ? resources_.describeChords(*this)
                                             : std::map<std::uint32_t, std::string>();
        });
    std::unique_ptr<PortalConnection> connection =
        module->Connect(appId, portal->Events(), failure);
    if (!connection) {
        return false;
    }
    portal->Connect(std::move(connection));
    portal_ = std::move(portal);
    return true;
}

}  // namespace pavix
