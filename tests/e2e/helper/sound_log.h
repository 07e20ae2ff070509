// The sounds Pavix plays, as the Linux-side watcher (tests/e2e/sound_watch.py, started by
// tests/e2e/run.sh) logs the opens of the sound files: one file name a line, in the order of the
// opens. Wine's PlaySound opens the file before it looks for a device, so the log holds every
// sound even though the suite's Wine has no audio driver.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "verdict.h"

namespace pavix_e2e {

class SoundLog {
  public:
    explicit SoundLog(std::string path) : path_(std::move(path)) {}

    // Forgets what was logged so far: the sounds of earlier scenarios.
    void Skip();
    // Since the last Skip or Expect, exactly these events' sounds ("match", ...) were played, in
    // this order. Waits for as many as expected, then a little longer for one too many.
    Verdict Expect(const std::vector<std::string>& events);

  private:
    std::vector<std::string> Lines() const;

    std::string path_;  // empty when the run has no watcher
    std::size_t heard_ = 0;
};

}  // namespace pavix_e2e
