// The small window near the notification area that lists what can come next. It never takes
// the focus or a key: a topmost tool window that is not activated, not even by a click, whose
// rows are labels (real text for assistive technology) in the system's dialog font. It exists
// only while it is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/hint_rows.h"
#include "platform/platform.h"

namespace pavix {

constexpr const char* kHintWindowClass = "PavixHints";

// Where a window of `size` goes: in the corner of the work area nearest the notification area
// (bottom right without one), clear of the notification area itself, which a work area does not
// always leave out.
Point PlaceNearNotificationArea(const Rect& work, std::optional<Rect> area, Size size);

class HintWindow final : public WindowHandler {
  public:
    HintWindow(Platform& platform, ModuleHandle instance)
        : platform_(platform), instance_(instance) {}
    ~HintWindow() override { Hide(); }
    HintWindow(const HintWindow&) = delete;
    HintWindow& operator=(const HintWindow&) = delete;

    // Replaces whatever is shown with these rows, owned by `owner`.
    void Show(WindowHandle owner, const std::vector<HintRow>& rows);
    void Hide();
    WindowHandle Window() const { return window_; }

    std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) override;

  private:
    struct Measured {
        std::vector<Size> chords;
        std::vector<Size> whats;
        std::int32_t lineHeight = 0;
    };

    Measured Measure(GdiObject font, const std::vector<HintRow>& rows);
    Rect WorkArea();
    std::optional<Rect> NotificationArea();
    void AddLabel(const std::string& text, const Rect& cell, GdiObject font);

    Platform& platform_;
    ModuleHandle instance_;
    WindowHandle window_ = 0;
    bool registered_ = false;
};

}  // namespace pavix
