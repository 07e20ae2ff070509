#include "app/hint_window.h"

#include <algorithm>

#include "platform/constants.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

// In pixels: the space around the rows, between the two columns, between rows, and between the
// window and the edges it keeps clear of.
constexpr std::int32_t kMargin = 6;
constexpr std::int32_t kColumnGap = 16;
constexpr std::int32_t kRowGap = 2;
constexpr std::int32_t kScreenGap = 8;
constexpr std::int32_t kBorder = 1;  // of WS_BORDER, on each side
// A text the platform cannot measure is taken as this wide per byte and this high.
constexpr std::int32_t kFallbackCharWidth = 8;
constexpr std::int32_t kFallbackLineHeight = 16;

constexpr std::uint32_t kPopupExStyle = kWsExNoActivate | kWsExToolWindow | kWsExTopmost;
constexpr std::uint32_t kLabelStyle = kWsChild | kWsVisible | kSsLeft | kSsNoPrefix;

}  // namespace

Point PlaceNearNotificationArea(const Rect& work, std::optional<Rect> area, Size size) {
    // An area without a size says nothing about where it is.
    if (area && (area->right <= area->left || area->bottom <= area->top)) {
        area.reset();
    }
    bool right = true;
    bool bottom = true;
    if (area) {
        right = area->left + area->right >= work.left + work.right;
        bottom = area->top + area->bottom >= work.top + work.bottom;
    }
    Point place{right ? work.right - kScreenGap - size.cx : work.left + kScreenGap,
                bottom ? work.bottom - kScreenGap - size.cy : work.top + kScreenGap};
    if (area) {
        place.y = bottom ? std::min(place.y, area->top - kScreenGap - size.cy)
                         : std::max(place.y, area->bottom + kScreenGap);
    }
    place.x = std::max(place.x, work.left);
    place.y = std::max(place.y, work.top);
    return place;
}

void HintWindow::Show(WindowHandle owner, const std::vector<HintRow>& rows) {
    Hide();
    if (rows.empty()) {
        return;
    }
    if (!registered_) {
        registered_ = platform_.RegisterClassExA(
                          {kHintWindowClass, instance_, kIdcArrow, kColorBtnFace + 1}) != 0;
    }
    const GdiObject font = platform_.GetStockObject(kDefaultGuiFont);
    const Measured measured = Measure(font, rows);
    std::int32_t chordWidth = 0;
    std::int32_t whatWidth = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].chord.empty()) {
            chordWidth = std::max(chordWidth, measured.chords[i].cx);
            whatWidth = std::max(whatWidth, measured.whats[i].cx);
        }
    }
    std::int32_t innerWidth = chordWidth + kColumnGap + whatWidth;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].chord.empty()) {
            innerWidth = std::max(innerWidth, measured.whats[i].cx);
        }
    }
    const std::int32_t pitch = measured.lineHeight + kRowGap;
    const auto count = static_cast<std::int32_t>(rows.size());
    const Size size{2 * (kBorder + kMargin) + innerWidth,
                    2 * (kBorder + kMargin) + count * pitch - kRowGap};
    const Point place = PlaceNearNotificationArea(WorkArea(), NotificationArea(), size);
    window_ = platform_.CreateWindowExA(
        kPopupExStyle, kHintWindowClass, LoadText(platform_, ids::kTextHintTitle).c_str(),
        kWsPopup | kWsBorder, place.x, place.y, size.cx, size.cy, owner, 0, instance_, this);
    if (window_ == 0) {
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const HintRow& row = rows[static_cast<std::size_t>(i)];
        const std::int32_t top = kMargin + i * pitch;
        if (row.chord.empty()) {
            AddLabel(row.what, Rect{kMargin, top, kMargin + innerWidth, top + measured.lineHeight},
                     font);
            continue;
        }
        AddLabel(row.chord, Rect{kMargin, top, kMargin + chordWidth, top + measured.lineHeight},
                 font);
        const std::int32_t left = kMargin + chordWidth + kColumnGap;
        AddLabel(row.what, Rect{left, top, left + whatWidth, top + measured.lineHeight}, font);
    }
    platform_.ShowWindow(window_, kSwShowNoActivate);
}

void HintWindow::Hide() {
    if (window_ != 0) {
        const WindowHandle window = window_;
        window_ = 0;
        platform_.DestroyWindow(window);
    }
}

std::intptr_t HintWindow::WindowProc(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == kWmMouseActivate) {
        return kMaNoActivate;
    }
    if (message == kWmDestroy && window == window_) {
        // Destroyed with its owner.
        window_ = 0;
    }
    return platform_.DefWindowProcA(window, message, wParam, lParam);
}

HintWindow::Measured HintWindow::Measure(GdiObject font, const std::vector<HintRow>& rows) {
    Measured measured;
    const DeviceContext context = platform_.GetDC(0);
    const GdiObject previous = context != 0 ? platform_.SelectObject(context, font) : 0;
    const auto extent = [&](const std::string& text) {
        Size size;
        if (context == 0 ||
            !platform_.GetTextExtentPoint32A(context, text.c_str(),
                                             static_cast<std::int32_t>(text.size()), &size)) {
            size = Size{kFallbackCharWidth * static_cast<std::int32_t>(text.size()),
                        kFallbackLineHeight};
        }
        measured.lineHeight = std::max(measured.lineHeight, size.cy);
        return size;
    };
    for (const HintRow& row : rows) {
        measured.chords.push_back(extent(row.chord));
        measured.whats.push_back(extent(row.what));
    }
    if (context != 0) {
        platform_.SelectObject(context, previous);
        platform_.ReleaseDC(0, context);
    }
    measured.lineHeight = std::max(measured.lineHeight, 1);
    return measured;
}

Rect HintWindow::WorkArea() {
    Rect work;
    if (!platform_.SystemParametersInfoA(kSpiGetWorkArea, 0, &work, 0) || work.right <= work.left ||
        work.bottom <= work.top) {
        work = Rect{0, 0, platform_.GetSystemMetrics(kSmCxScreen),
                    platform_.GetSystemMetrics(kSmCyScreen)};
    }
    return work;
}

std::optional<Rect> HintWindow::NotificationArea() {
    const WindowHandle taskbar = platform_.FindWindowA("Shell_TrayWnd", nullptr);
    const WindowHandle area =
        taskbar != 0 ? platform_.FindWindowExA(taskbar, 0, "TrayNotifyWnd", nullptr) : 0;
    Rect rect;
    if (area == 0 || !platform_.GetWindowRect(area, &rect)) {
        return std::nullopt;
    }
    return rect;
}

void HintWindow::AddLabel(const std::string& text, const Rect& cell, GdiObject font) {
    const WindowHandle label = platform_.CreateWindowExA(
        0, "STATIC", text.c_str(), kLabelStyle, cell.left, cell.top, cell.right - cell.left,
        cell.bottom - cell.top, window_, 0, instance_, nullptr);
    if (label != 0) {
        platform_.SendMessageA(label, kWmSetFont, font, 0);
    }
}

}  // namespace pavix
