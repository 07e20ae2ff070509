// The stand-in's popup windows and controls beyond the dialogs, its screen, its fonts and the
// check marks of its menus.
#include "fake/fake_platform.h"
#include "platform/constants.h"

namespace pavix::fake {
namespace {

constexpr DeviceContext kScreenContext = 0x7100;
constexpr GdiObject kStockObjects = 0x7000;
constexpr GdiObject kSystemFont = kStockObjects + 13;  // SYSTEM_FONT: what a fresh context holds

}  // namespace

std::vector<WindowHandle> FakePlatform::ChildrenOf(WindowHandle parent) const {
    std::vector<WindowHandle> children;
    for (const auto& [handle, window] : createdWindows) {
        if (window.parent == parent) {
            children.push_back(handle);
        }
    }
    return children;
}

bool FakePlatform::ShowWindow(WindowHandle window, std::int32_t showCommand) {
    if (auto scripted = Record(Call("ShowWindow", window, showCommand))) {
        return *scripted != 0;
    }
    auto found = createdWindows.find(window);
    if (found == createdWindows.end()) {
        return false;
    }
    const bool wasVisible = found->second.visible;
    found->second.visible = showCommand != kSwHide;
    return wasVisible;
}

bool FakePlatform::GetWindowRect(WindowHandle window, Rect* rect) {
    if (auto scripted = Record(Call("GetWindowRect", window))) {
        return *scripted != 0;
    }
    if (window != 0 && window == notificationArea) {
        *rect = notificationAreaRect;
        return true;
    }
    auto found = createdWindows.find(window);
    if (found != createdWindows.end()) {
        *rect = found->second.rect;
        return true;
    }
    // A dialog's control: a fixed place, the size of every simulated control.
    if (dialogs.Find(window) != nullptr && !dialogs.IsDialog(window)) {
        *rect = Rect{10, 20, 10 + FakeControl::kClientWidth, 20 + FakeControl::kClientHeight};
        return true;
    }
    return false;
}

bool FakePlatform::SystemParametersInfoA(std::uint32_t action, std::uint32_t param, void* data,
                                         std::uint32_t winIni) {
    if (auto scripted = Record(Call("SystemParametersInfoA", action, param, winIni))) {
        return *scripted != 0;
    }
    if (action != kSpiGetWorkArea || data == nullptr) {
        return false;
    }
    *static_cast<Rect*>(data) = workArea;
    return true;
}

GdiObject FakePlatform::GetStockObject(std::int32_t index) {
    if (auto scripted = Record(Call("GetStockObject", index))) {
        return static_cast<GdiObject>(*scripted);
    }
    return kStockObjects + static_cast<GdiObject>(index);
}

DeviceContext FakePlatform::GetDC(WindowHandle window) {
    if (auto scripted = Record(Call("GetDC", window))) {
        return static_cast<DeviceContext>(*scripted);
    }
    selectedFonts_[kScreenContext] = kSystemFont;
    return kScreenContext;
}

std::int32_t FakePlatform::ReleaseDC(WindowHandle window, DeviceContext context) {
    if (auto scripted = Record(Call("ReleaseDC", window, context))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return selectedFonts_.erase(context) != 0 ? 1 : 0;
}

GdiObject FakePlatform::SelectObject(DeviceContext context, GdiObject object) {
    if (auto scripted = Record(Call("SelectObject", context, object))) {
        return static_cast<GdiObject>(*scripted);
    }
    auto found = selectedFonts_.find(context);
    if (found == selectedFonts_.end()) {
        return 0;
    }
    const GdiObject previous = found->second;
    found->second = object;
    return previous;
}

bool FakePlatform::GetTextExtentPoint32A(DeviceContext context, const char* text,
                                         std::int32_t length, Size* size) {
    if (auto scripted = Record(Call("GetTextExtentPoint32A", context,
                                    std::string(text, static_cast<std::size_t>(length))))) {
        return *scripted != 0;
    }
    if (selectedFonts_.count(context) == 0) {
        return false;
    }
    *size = Size{kCharWidth * length, kLineHeight};
    return true;
}

std::uint32_t FakePlatform::CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) {
    if (auto scripted = Record(Call("CheckMenuItem", menu, id, check))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return kMfUnchecked;
}

}  // namespace pavix::fake
