// The GTK side of the backend: the hint popups and their labels, the measuring of their texts,
// message boxes, and what the screen looks like. Widgets travel as opaque pointers owned by GTK.
// It lives in the desktop module (desktop_module.h); the program sees only this interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/dialog_api.h"
#include "platform/types.h"

namespace pavix {

// Where the panel holding the tray most likely is: the strip of the screen that the work area
// leaves out at its top or bottom, at its right end, as wide as it is high. None when the work
// area leaves out neither.
std::optional<Rect> TrayCornerOf(const Rect& screen, const Rect& work);

class Desktop {
  public:
    Desktop() = default;
    virtual ~Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // A popup that never takes the focus, hidden until shown, at `rect` in screen coordinates.
    virtual void* CreatePopup(const std::string& title, const Rect& rect, bool border) = 0;
    // A text at `cell` in the popup's client area.
    virtual void* CreateLabel(void* popup, const std::string& text, const Rect& cell) = 0;
    virtual void Show(void* widget, bool show) = 0;
    // Destroys a popup with its labels; a label alone goes with its popup.
    virtual void Destroy(void* widget) = 0;

    // The size of a line of text in the desktop's font, in pixels.
    virtual Size Measure(const std::string& text) = 0;

    virtual Rect Screen() = 0;
    virtual Rect WorkArea() = 0;
    std::optional<Rect> TrayCorner() { return TrayCornerOf(Screen(), WorkArea()); }
    virtual Point Pointer() = 0;
    virtual void Beep() = 0;

    // A message box with an OK button, shown at once; *answered turns true when it is closed.
    virtual void* ShowBox(const std::string& text, const std::string& caption, std::uint32_t type,
                          bool* answered) = 0;
    virtual void CloseBox(void* box) = 0;
};

}  // namespace pavix
