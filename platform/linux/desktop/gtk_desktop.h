// The desktop module's own pieces, made by its factory (desktop_module.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/linux/desktop/desktop.h"
#include "platform/linux/desktop/desktop_module.h"
#include "platform/linux/desktop/tray_indicator.h"

namespace pavix {

// Opens the display through GTK: X11's (Xwayland's too) where there is one, else Wayland's;
// false when there is neither.
bool OpenGtkDisplay();

class GtkDesktop final : public Desktop {
  public:
    void* CreatePopup(const std::string& title, const Rect& rect, bool border) override;
    void* CreateLabel(void* popup, const std::string& text, const Rect& cell) override;
    void Show(void* widget, bool show) override;
    void Destroy(void* widget) override;
    Size Measure(const std::string& text) override;
    Rect Screen() override;
    Rect WorkArea() override;
    Point Pointer() override;
    void Beep() override;
    void* ShowBox(const std::string& text, const std::string& caption, std::uint32_t type,
                  bool* answered) override;
    void CloseBox(void* box) override;
};

std::unique_ptr<TrayIndicator> NewAppIndicatorTray(std::function<void(std::uint32_t)> chosen,
                                                   std::function<void()> watcherAppeared);

std::unique_ptr<FolderWatch> NewGioFolderWatch(const std::string& path,
                                               std::function<void()> changed);

}  // namespace pavix
