// The GTK side of the backend: the hint popups and their labels, the measuring of their texts,
// message boxes, and what the screen looks like. Widgets travel as opaque pointers owned by GTK.
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
    // Opens the X11 display through GTK, never a Wayland one; false when there is none.
    static bool Open();

    // A popup that never takes the focus, hidden until shown, at `rect` in screen coordinates.
    void* CreatePopup(const std::string& title, const Rect& rect, bool border);
    // A text at `cell` in the popup's client area.
    void* CreateLabel(void* popup, const std::string& text, const Rect& cell);
    void Show(void* widget, bool show);
    // Destroys a popup with its labels; a label alone goes with its popup.
    void Destroy(void* widget);

    // The size of a line of text in the desktop's font, in pixels.
    Size Measure(const std::string& text);

    Rect Screen();
    Rect WorkArea();
    std::optional<Rect> TrayCorner() { return TrayCornerOf(Screen(), WorkArea()); }
    Point Pointer();
    void Beep();

    // A message box with an OK button, shown at once; *answered turns true when it is closed.
    void* ShowBox(const std::string& text, const std::string& caption, std::uint32_t type,
                  bool* answered);
    void CloseBox(void* box);
};

}  // namespace pavix
