#include "sound_log.h"

#include <windows.h>

#include <fstream>

#include "actions.h"

namespace pavix_e2e {
namespace {

// How long a check goes on listening for one sound more than it expects.
constexpr DWORD kSettleMs = 300;

std::string Listed(const std::vector<std::string>& events) {
    std::string text;
    for (const std::string& event : events) {
        text += (text.empty() ? "" : " ") + event;
    }
    return text.empty() ? "nothing" : text;
}

}  // namespace

std::vector<std::string> SoundLog::Lines() const {
    std::vector<std::string> lines;
    std::ifstream log(path_);
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

void SoundLog::Skip() {
    heard_ = Lines().size();
}

Verdict SoundLog::Expect(const std::vector<std::string>& events) {
    if (path_.empty()) {
        return Fail("this run watches no sounds (no --sound-log)");
    }
    WaitUntil([&] { return Lines().size() >= heard_ + events.size(); });
    Sleep(kSettleMs);
    const std::vector<std::string> lines = Lines();
    std::vector<std::string> heard;
    for (std::size_t i = heard_; i < lines.size(); ++i) {
        const std::size_t dot = lines[i].rfind('.');
        heard.push_back(lines[i].substr(0, dot));
    }
    heard_ = lines.size();
    if (heard != events) {
        return Fail("Pavix played " + Listed(heard) + ", expected " + Listed(events));
    }
    return Pass();
}

}  // namespace pavix_e2e
