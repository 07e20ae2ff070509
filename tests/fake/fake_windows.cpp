// The stand-in's popup windows and controls beyond the dialogs, its screen, its fonts and the
// check marks of its menus.
#include <cstring>

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
    const std::string measured(text, static_cast<std::size_t>(length));
    if (auto scripted = Record(Call("GetTextExtentPoint32A", context, measured))) {
        return *scripted != 0;
    }
    auto selected = selectedFonts_.find(context);
    if (selected == selectedFonts_.end()) {
        return false;
    }
    *size = TextExtent(selected->second, measured);
    return true;
}

// The stock fonts are made for the system DPI.
std::int32_t FakePlatform::StockFontHeight() const {
    return static_cast<std::int32_t>((kStockFontHeight * systemDpi + kStandardDpi / 2) /
                                     kStandardDpi);
}

Size FakePlatform::TextExtent(GdiObject font, const std::string& text) const {
    std::int64_t height = StockFontHeight();
    auto made = fonts_.find(font);
    if (made != fonts_.end()) {
        height = made->second.height < 0 ? -made->second.height : made->second.height;
    }
    const auto length = static_cast<std::int64_t>(text.size());
    return Size{static_cast<std::int32_t>(kCharWidth * length * height / kStockFontHeight),
                static_cast<std::int32_t>(kLineHeight * height / kStockFontHeight)};
}

std::int32_t FakePlatform::GetDeviceCaps(DeviceContext context, std::int32_t index) {
    if (auto scripted = Record(Call("GetDeviceCaps", context, index))) {
        return static_cast<std::int32_t>(*scripted);
    }
    return index == kLogPixelsY && selectedFonts_.count(context) != 0
               ? static_cast<std::int32_t>(systemDpi)
               : 0;
}

std::int32_t FakePlatform::GetObjectA(GdiObject object, std::int32_t size, LogFont* font) {
    if (auto scripted = Record(Call("GetObjectA", object, size))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (size < static_cast<std::int32_t>(sizeof(LogFont))) {
        return 0;
    }
    auto made = fonts_.find(object);
    if (made != fonts_.end()) {
        *font = made->second;
    } else if (object == kStockObjects + kDefaultGuiFont) {
        *font = LogFont{};
        font->height = -StockFontHeight();
        font->weight = 400;
        std::strcpy(font->faceName, "MS Shell Dlg");
    } else {
        return 0;
    }
    return static_cast<std::int32_t>(sizeof(LogFont));
}

GdiObject FakePlatform::CreateFontIndirectA(const LogFont* font) {
    if (auto scripted = Record(Call("CreateFontIndirectA", font->height, font->faceName))) {
        return static_cast<GdiObject>(*scripted);
    }
    fonts_[nextFont_] = *font;
    return nextFont_++;
}

bool FakePlatform::DeleteObject(GdiObject object) {
    if (auto scripted = Record(Call("DeleteObject", object))) {
        return *scripted != 0;
    }
    return fonts_.erase(object) != 0;
}

MonitorHandle FakePlatform::MonitorFromWindow(WindowHandle window, std::uint32_t flags) {
    if (auto scripted = Record(Call("MonitorFromWindow", window, flags))) {
        return static_cast<MonitorHandle>(*scripted);
    }
    return flags == kMonitorDefaultToPrimary ? kMonitor : 0;
}

bool FakePlatform::GetMonitorInfoA(MonitorHandle monitor, MonitorInfo* info) {
    if (auto scripted = Record(Call("GetMonitorInfoA", monitor, info->cbSize))) {
        return *scripted != 0;
    }
    if (monitor != kMonitor || info->cbSize != sizeof(MonitorInfo)) {
        return false;
    }
    info->rcMonitor = monitorRect;
    info->rcWork = workArea;
    info->dwFlags = 1;  // MONITORINFOF_PRIMARY
    return true;
}

std::uint32_t FakePlatform::GetDpiForWindow(WindowHandle window) {
    if (auto scripted = Record(Call("GetDpiForWindow", window))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return window != 0 ? dpi : 0;
}

std::int32_t FakePlatform::GetDpiForMonitor(MonitorHandle monitor, std::uint32_t dpiType,
                                            std::uint32_t* dpiX, std::uint32_t* dpiY) {
    if (auto scripted = Record(Call("GetDpiForMonitor", monitor, dpiType))) {
        return static_cast<std::int32_t>(*scripted);
    }
    if (monitor != kMonitor) {
        return static_cast<std::int32_t>(0x80070057);  // E_INVALIDARG
    }
    *dpiX = *dpiY = dpi;
    return 0;
}

bool FakePlatform::ChangeWindowMessageFilterEx(WindowHandle window, std::uint32_t message,
                                               std::uint32_t action) {
    if (auto scripted = Record(Call("ChangeWindowMessageFilterEx", window, message, action))) {
        return *scripted != 0;
    }
    return true;
}

bool FakePlatform::ChangeWindowMessageFilter(std::uint32_t message, std::uint32_t flag) {
    if (auto scripted = Record(Call("ChangeWindowMessageFilter", message, flag))) {
        return *scripted != 0;
    }
    return true;
}

std::uint32_t FakePlatform::CheckMenuItem(MenuHandle menu, std::uint32_t id, std::uint32_t check) {
    if (auto scripted = Record(Call("CheckMenuItem", menu, id, check))) {
        return static_cast<std::uint32_t>(*scripted);
    }
    return kMfUnchecked;
}

}  // namespace pavix::fake
