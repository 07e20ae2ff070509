#include "platform/linux/glib/exit_signals.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>

#include "platform/linux/glib/glib_calls.h"

namespace pavix {
namespace {

sigset_t EndingSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&signals, signal);
    }
    return signals;
}

struct SignalSource {
    GSource source;
    GPollFD poll;
    ExitSignals* owner;
};

gboolean PrepareSignals(GSource*, gint* timeout) {
    *timeout = -1;
    return FALSE;
}

gboolean CheckSignals(GSource* source) {
    return (reinterpret_cast<SignalSource*>(source)->poll.revents & G_IO_IN) != 0;
}

gboolean DispatchSignals(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<SignalSource*>(source)->owner->Read();
    return G_SOURCE_CONTINUE;
}

GSourceFuncs kSignalFuncs = {PrepareSignals, CheckSignals, DispatchSignals,
                             nullptr,        nullptr,      nullptr};

}  // namespace

ExitSignals::ExitSignals() {
    const sigset_t signals = EndingSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    descriptor_ = ::signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        ::pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);  // their default, rather than none
    }
}

ExitSignals::~ExitSignals() {
    if (source_ != nullptr) {
        GLib().sourceDestroy(static_cast<GSource*>(source_));
        GLib().sourceUnref(static_cast<GSource*>(source_));
    }
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

void ExitSignals::Watch(std::function<void()> ending, std::function<void()> called) {
    ending_ = std::move(ending);
    called_ = std::move(called);
    if (source_ != nullptr || descriptor_ < 0) {
        return;
    }
    auto* source =
        reinterpret_cast<SignalSource*>(GLib().sourceNew(&kSignalFuncs, sizeof(SignalSource)));
    source->poll.fd = descriptor_;
    source->poll.events = G_IO_IN;
    source->owner = this;
    GLib().sourceAddPoll(&source->source, &source->poll);
    GLib().sourceSetCanRecurse(&source->source, TRUE);  // a signal may come while a box waits
    GLib().sourceAttach(&source->source, nullptr);
    source_ = source;
}

void ExitSignals::Read() {
    signalfd_siginfo info{};
    bool ending = false;
    bool called = false;
    while (::read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        (info.ssi_signo == SIGUSR1 ? called : ending) = true;
    }
    if (called && called_) {
        called_();
    }
    if (ending && ending_) {
        ending_();
    }
}

}  // namespace pavix
