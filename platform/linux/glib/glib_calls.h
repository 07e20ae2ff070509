// GLib for the executable: its main loop, timers and the few utilities the program uses, opened
// when first needed rather than linked. Mapping GLib and PCRE2 at exec took about as long as
// everything else the program does before its chords are grabbed, and nothing before the grabs
// needs them; the desktop module, loaded after the grabs, links the same GLib and shares this copy.
#pragma once

#include <glib.h>

namespace pavix {

struct GLibCalls {
    decltype(&g_main_context_iteration) mainContextIteration;
    decltype(&g_main_context_wakeup) mainContextWakeup;
    decltype(&g_timeout_add_full) timeoutAddFull;
    decltype(&g_idle_add_full) idleAddFull;
    decltype(&g_source_remove) sourceRemove;
    decltype(&g_source_new) sourceNew;
    decltype(&g_source_add_poll) sourceAddPoll;
    decltype(&g_source_set_can_recurse) sourceSetCanRecurse;
    decltype(&g_source_attach) sourceAttach;
    decltype(&g_source_destroy) sourceDestroy;
    decltype(&g_source_unref) sourceUnref;
    decltype(&g_child_watch_add) childWatchAdd;
    decltype(&g_spawn_close_pid) spawnClosePid;
    decltype(&g_find_program_in_path) findProgramInPath;
    decltype(&g_shell_parse_argv) shellParseArgv;
    decltype(&g_strfreev) strfreev;
    decltype(&g_free) free;
    decltype(&g_strdup_printf) strdupPrintf;
    decltype(&g_dgettext) dgettext;
    decltype(&g_strerror) strerror;
};

// GLib, opened on the first call. A GLib that cannot be opened ends the program with the
// reason on standard error, as the dynamic linker would have refused to start it.
const GLibCalls& GLib();

}  // namespace pavix
