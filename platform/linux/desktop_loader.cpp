#include <dlfcn.h>

#include <cstdio>

#include "platform/linux/desktop/desktop_module.h"

namespace pavix {

DesktopModule* LoadDesktopModule(const std::string& path) {
    // Never closed: GTK and its type system cannot be unloaded, and the pieces it made outlive
    // any owner that might close it.
    if (path.empty()) {
        return nullptr;  // an empty name would stand for the program itself
    }
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "pavix: %s\n", ::dlerror());
        return nullptr;
    }
    using Factory = DesktopModule* (*)();
    auto factory = reinterpret_cast<Factory>(::dlsym(library, "PavixDesktopModule"));
    if (factory == nullptr) {
        std::fprintf(stderr, "pavix: %s has no desktop in it\n", path.c_str());
        return nullptr;
    }
    return factory();
}

}  // namespace pavix
