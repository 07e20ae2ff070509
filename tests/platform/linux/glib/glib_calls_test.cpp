#include "platform/linux/glib/glib_calls.h"

#include <gtest/gtest.h>

namespace pavix {
namespace {

// Each entry is looked up by a name of its own, and a name paired with another entry of the same
// type would still compile: compared here with the functions this test links by name.
TEST(GLibCallsTest, EachEntryIsTheFunctionItsNameSays) {
    const GLibCalls& glib = GLib();
    EXPECT_EQ(glib.mainContextIteration, &g_main_context_iteration);
    EXPECT_EQ(glib.mainContextWakeup, &g_main_context_wakeup);
    EXPECT_EQ(glib.timeoutAddFull, &g_timeout_add_full);
    EXPECT_EQ(glib.idleAddFull, &g_idle_add_full);
    EXPECT_EQ(glib.sourceRemove, &g_source_remove);
    EXPECT_EQ(glib.sourceNew, &g_source_new);
    EXPECT_EQ(glib.sourceAddPoll, &g_source_add_poll);
    EXPECT_EQ(glib.sourceSetCanRecurse, &g_source_set_can_recurse);
    EXPECT_EQ(glib.sourceAttach, &g_source_attach);
    EXPECT_EQ(glib.sourceDestroy, &g_source_destroy);
    EXPECT_EQ(glib.sourceUnref, &g_source_unref);
    EXPECT_EQ(glib.childWatchAdd, &g_child_watch_add);
    EXPECT_EQ(glib.spawnClosePid, &g_spawn_close_pid);
    EXPECT_EQ(glib.findProgramInPath, &g_find_program_in_path);
    EXPECT_EQ(glib.shellParseArgv, &g_shell_parse_argv);
    EXPECT_EQ(glib.strfreev, &g_strfreev);
    EXPECT_EQ(glib.free, &g_free);
    EXPECT_EQ(glib.strdupPrintf, &g_strdup_printf);
    EXPECT_EQ(glib.dgettext, &g_dgettext);
    EXPECT_EQ(glib.strerror, &g_strerror);
}

}  // namespace
}  // namespace pavix
