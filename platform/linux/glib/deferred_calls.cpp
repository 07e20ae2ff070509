#include "platform/linux/glib/deferred_calls.h"

#include "platform/linux/glib/glib_calls.h"

namespace pavix {

DeferredCalls::~DeferredCalls() {
    if (source_ != 0) {
        GLib().sourceRemove(source_);
    }
}

// At the default priority: a timer or a key press that is due runs in the same iteration, and
// nothing of lower priority can hold the calls back.
void DeferredCalls::Add(std::function<void()> call) {
    pending_.push_back(std::move(call));
    if (source_ == 0) {
        source_ = GLib().idleAddFull(G_PRIORITY_DEFAULT, &DeferredCalls::OnIdle, this, nullptr);
    }
}

// A call may add another: it runs in a later iteration, after those pending now.
int DeferredCalls::OnIdle(void* self) {
    auto& calls = *static_cast<DeferredCalls*>(self);
    calls.source_ = 0;
    std::deque<std::function<void()>> due;
    due.swap(calls.pending_);
    for (const std::function<void()>& call : due) {
        call();
    }
    return G_SOURCE_REMOVE;
}

}  // namespace pavix
