// The small window near the notification area that lists what can come next. It never takes
// the focus or a key: a topmost tool window that is not activated, not even by a click, whose
// rows are labels (real text for assistive technology) in the system's dialog font. It exists
// only while it is shown, and is sized for the display scale of the monitor it is shown on.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/hint_rows.h"
#include "platform/constants.h"
#include "platform/platform.h"

namespace pavix {

constexpr const char* kHintWindowClass = "PavixHints";

// Where a window of `size` goes: in the corner of the work area nearest the notification area
// (bottom right without one), clear of the notification area itself, which a work area does not
// always leave out, by a gap that follows the monitor's `dpi`.
Point PlaceNearNotificationArea(const Rect& work, std::optional<Rect> area, Size size,
                                std::uint32_t dpi = kStandardDpi);

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

    // The monitor that holds the notification area (the main one without it).
    struct Screen {
        Rect work;
        std::optional<Rect> area;
        std::uint32_t dpi = kStandardDpi;
    };

    Measured Measure(const std::vector<HintRow>& rows, std::uint32_t dpi);
    Screen FindScreen();
    Rect MainWorkArea();
    // The stock dialog font, made anew at `dpi` when the system's fonts are sized for another.
    void ChooseFont(std::uint32_t dpi);
    void AddLabel(const std::string& text, const Rect& cell);

    Platform& platform_;
    ModuleHandle instance_;
    WindowHandle window_ = 0;
    GdiObject font_ = 0;
    bool ownFont_ = false;  // font_ was made for the window and goes with it
    bool registered_ = false;
};

}  // namespace pavix
