// Start at Login: a shortcut to the program in the user's Startup folder, which the session
// starts at every login. The shortcut itself is the only record of the choice, so the user may
// also delete it by hand.
#pragma once

#include <string>

#include "platform/platform.h"

namespace pavix {

class LoginStart {
  public:
    explicit LoginStart(Platform& platform) : platform_(platform) {}

    // Whether the shortcut is there now.
    bool Enabled();
    // Removes the shortcut when it is there, else makes one; false when that failed, which
    // leaves things as they were.
    bool Toggle();

  private:
    // The shortcut's path; empty when there is no Startup folder (`create`: making it if need
    // be).
    std::string LinkPath(bool create);

    Platform& platform_;
};

}  // namespace pavix
