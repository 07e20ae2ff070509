// The tray menu's choices in a window of their own, for a desktop that shows no tray: a column
// of buttons (check buttons for the items that carry a tick) in the menu's order, the grayed
// ones insensitive. A choice closes the window and then reaches `chosen`, as the menu's would;
// closing the window chooses nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/linux/desktop/tray_indicator.h"

namespace pavix {

class ChoicesWindow {
  public:
    explicit ChoicesWindow(std::function<void(std::uint32_t)> chosen);
    ~ChoicesWindow();
    ChoicesWindow(const ChoicesWindow&) = delete;
    ChoicesWindow& operator=(const ChoicesWindow&) = delete;

    // Shows the items, in place of those of an earlier call, and brings the window forward.
    void Show(const std::vector<TrayIndicator::Item>& items);

  private:
    void Close();
    static void OnClicked(void* button, void* self);
    static int OnDeleted(void* window, void* event, void* self);

    std::function<void(std::uint32_t)> chosen_;
    void* window_ = nullptr;  // GtkWindow while shown
};

}  // namespace pavix
