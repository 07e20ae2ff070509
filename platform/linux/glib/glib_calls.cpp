#include "platform/linux/glib/glib_calls.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace pavix {
namespace {

template <typename Function>
void Find(void* library, const char* name, Function* function, bool* complete) {
    *function = reinterpret_cast<Function>(::dlsym(library, name));
    if (*function == nullptr) {
        std::fprintf(stderr, "pavix: GLib has no %s\n", name);
        *complete = false;
    }
}

GLibCalls Open() {
    // Never closed: GLib's main context and type system cannot be unloaded.
    void* library = ::dlopen("libglib-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::fprintf(stderr, "pavix: %s\n", ::dlerror());
        std::exit(1);
    }
    GLibCalls calls{};
    bool complete = true;
    Find(library, "g_main_context_iteration", &calls.mainContextIteration, &complete);
    Find(library, "g_main_context_wakeup", &calls.mainContextWakeup, &complete);
    Find(library, "g_timeout_add_full", &calls.timeoutAddFull, &complete);
    Find(library, "g_idle_add_full", &calls.idleAddFull, &complete);
    Find(library, "g_source_remove", &calls.sourceRemove, &complete);
    Find(library, "g_source_new", &calls.sourceNew, &complete);
    Find(library, "g_source_add_poll", &calls.sourceAddPoll, &complete);
    Find(library, "g_source_set_can_recurse", &calls.sourceSetCanRecurse, &complete);
    Find(library, "g_source_attach", &calls.sourceAttach, &complete);
    Find(library, "g_source_destroy", &calls.sourceDestroy, &complete);
    Find(library, "g_source_unref", &calls.sourceUnref, &complete);
    Find(library, "g_child_watch_add", &calls.childWatchAdd, &complete);
    Find(library, "g_spawn_close_pid", &calls.spawnClosePid, &complete);
    Find(library, "g_find_program_in_path", &calls.findProgramInPath, &complete);
    Find(library, "g_shell_parse_argv", &calls.shellParseArgv, &complete);
    Find(library, "g_strfreev", &calls.strfreev, &complete);
    Find(library, "g_free", &calls.free, &complete);
    Find(library, "g_strdup_printf", &calls.strdupPrintf, &complete);
    Find(library, "g_dgettext", &calls.dgettext, &complete);
    Find(library, "g_strerror", &calls.strerror, &complete);
    if (!complete) {
        std::exit(1);
    }
    return calls;
}

}  // namespace

const GLibCalls& GLib() {
    static const GLibCalls calls = Open();
    return calls;
}

}  // namespace pavix
