// Calls whose caller waits for nothing, carried out from the main loop in the order they came,
// at its next iteration: after whatever the caller does next. The sound of a completed sequence
// goes this way, so that the sequence's command starts without waiting for the sound server.
#pragma once

#include <deque>
#include <functional>

namespace pavix {

class DeferredCalls {
  public:
    DeferredCalls() = default;
    // Calls still pending are dropped.
    ~DeferredCalls();
    DeferredCalls(const DeferredCalls&) = delete;
    DeferredCalls& operator=(const DeferredCalls&) = delete;

    void Add(std::function<void()> call);

  private:
    static int OnIdle(void* self);

    std::deque<std::function<void()>> pending_;
    unsigned source_ = 0;  // the GLib idle source while calls are pending
};

}  // namespace pavix
