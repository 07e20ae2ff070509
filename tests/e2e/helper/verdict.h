// The outcome of one scenario or one check inside it: passed, or failed with a reason that names
// what was expected and what was seen.
#pragma once

#include <string>
#include <utility>

namespace pavix_e2e {

struct Verdict {
    bool passed = true;
    std::string reason;
};

inline Verdict Pass() {
    return {};
}

inline Verdict Fail(std::string reason) {
    return {false, std::move(reason)};
}

}  // namespace pavix_e2e
