#include <new>

#include "platform/linux/portal/portal_connection.h"

namespace pavix {
namespace {

class GioPortalModule final : public PortalModule {
  public:
    std::unique_ptr<PortalConnection> Connect(const std::string& appId, PortalEvents events,
                                              std::string* failure) override {
        return ConnectPortal(appId, std::move(events), failure);
    }
};

}  // namespace
}  // namespace pavix

extern "C" pavix::PortalModule* PavixPortalModule() {
    // Lives as long as the process: the program never unloads the module.
    static auto* module = new (std::nothrow) pavix::GioPortalModule();
    return module;
}
