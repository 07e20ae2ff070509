#include <dlfcn.h>

#include <cstdio>

#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/portal/portal_connection.h"

namespace pavix {
namespace {

// Never closed: GTK and GLib's type system cannot be unloaded, and the pieces the modules made
// outlive any owner that might close them.
template <typename Module>
Module* LoadModule(const std::string& path, const char* factoryName, const char* what) {
    if (path.empty()) {
        return nullptr;  // an empty name would stand for the program itself
    }
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "pavix: %s\n", ::dlerror());
        return nullptr;
    }
    using Factory = Module* (*)();
    auto factory = reinterpret_cast<Factory>(::dlsym(library, factoryName));
    if (factory == nullptr) {
        std::fprintf(stderr, "pavix: %s has no %s in it\n", path.c_str(), what);
        return nullptr;
    }
    return factory();
}

}  // namespace

DesktopModule* LoadDesktopModule(const std::string& path) {
    return LoadModule<DesktopModule>(path, "PavixDesktopModule", "desktop");
}

PortalModule* LoadPortalModule(const std::string& path) {
    return LoadModule<PortalModule>(path, "PavixPortalModule", "portal client");
}

}  // namespace pavix
