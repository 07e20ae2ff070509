// The signals that ask a desktop program to end: SIGTERM (the session ending, kill), SIGINT (Ctrl+C
// in the terminal that started it) and SIGHUP (that terminal closing). They are blocked from the
// start in every thread and wait in the kernel until the main loop reads them, so that the program
// ends on its main thread, the way its own Exit ends it, whenever they come. SIGUSR1, which a
// second start of the program sends to the one that runs, waits in the same way.
#pragma once

#include <functional>

namespace pavix {

class ExitSignals {
  public:
    // Blocks the signals in the calling thread, and so in every thread it starts later. Call it
    // before any other thread starts.
    ExitSignals();
    // They stay blocked: one that comes while the program ends must not change its exit status.
    ~ExitSignals();
    ExitSignals(const ExitSignals&) = delete;
    ExitSignals& operator=(const ExitSignals&) = delete;

    // From the main loop's next iteration on, `ending` runs on the main thread for the ending
    // signals that came meanwhile (those that came before included), and `called` for SIGUSR1,
    // each once for those read together.
    void Watch(std::function<void()> ending, std::function<void()> called);

    // For the main loop's source: takes the signals that wait and tells of them.
    void Read();

  private:
    int descriptor_ = -1;     // the signalfd
    void* source_ = nullptr;  // GSource of the descriptor on the main loop, once watched
    std::function<void()> ending_;
    std::function<void()> called_;
};

}  // namespace pavix
