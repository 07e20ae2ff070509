#include "platform/linux/glib/deferred_calls.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pavix {
namespace {

void RunMainLoop() {
    for (int i = 0; i < 20; ++i) {
        g_main_context_iteration(nullptr, FALSE);
    }
}

// Sounds must follow the caller's own work (a command's launch), keep their order (a stop after
// a sound stays after it), and none may run once their owner is gone.
TEST(DeferredCallsTest, CallsRunInOrderAfterTheCallerAndNotAfterTheirOwner) {
    std::vector<std::string> log;
    auto calls = std::make_unique<DeferredCalls>();
    calls->Add([&] { log.push_back("play"); });
    calls->Add([&] {
        log.push_back("stop");
        calls->Add([&] { log.push_back("added by a call"); });
    });
    log.push_back("caller");
    RunMainLoop();
    EXPECT_EQ(log, (std::vector<std::string>{"caller", "play", "stop", "added by a call"}));
    calls->Add([&] { log.push_back("dropped"); });
    calls.reset();
    RunMainLoop();
    EXPECT_EQ(log.size(), 4u);
}

}  // namespace
}  // namespace pavix
