#include "app/hint_window.h"

#include <algorithm>

#include "platform/constants.h"
#include "resources/display_scale.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

// In pixels at 96 DPI: the space around the rows, between the two columns, between rows, and
// between the window and the edges it keeps clear of.
constexpr std::int32_t kMargin = 6;
constexpr std::int32_t kColumnGap = 16;
constexpr std::int32_t kRowGap = 2;
constexpr std::int32_t kScreenGap = 8;
constexpr std::int32_t kBorder = 1;  // of WS_BORDER, on each side, at every scale
// A text the platform cannot measure is taken as this wide per byte and this high.
constexpr std::int32_t kFallbackCharWidth = 8;
constexpr std::int32_t kFallbackLineHeight = 16;

constexpr std::uint32_t kPopupExStyle = kWsExNoActivate | kWsExToolWindow | kWsExTopmost;
constexpr std::uint32_t kLabelStyle = kWsChild | kWsVisible | kSsLeft | kSsNoPrefix;

bool Empty(const Rect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

}  // namespace

Point PlaceNearNotificationArea(const Rect& work, std::optional<Rect> area, Size size,
                                std::uint32_t dpi) {
    // An area without a size says nothing about where it is.
    if (area && Empty(*area)) {
        area.reset();
    }
    bool right = true;
    bool bottom = true;
    if (area) {
        right = area->left + area->right >= work.left + work.right;
        bottom = area->top + area->bottom >= work.top + work.bottom;
    }
    const std::int32_t gap = ScaleToDpi(kScreenGap, dpi);
    Point place{right ? work.right - gap - size.cx : work.left + gap,
                bottom ? work.bottom - gap - size.cy : work.top + gap};
    if (area) {
        place.y = bottom ? std::min(place.y, area->top - gap - size.cy)
                         : std::max(place.y, area->bottom + gap);
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
    const Screen screen = FindScreen();
    const std::uint32_t dpi = screen.dpi;
    ChooseFont(dpi);
    const Measured measured = Measure(rows, dpi);
    std::int32_t chordWidth = 0;
    std::int32_t whatWidth = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].chord.empty()) {
            chordWidth = std::max(chordWidth, measured.chords[i].cx);
            whatWidth = std::max(whatWidth, measured.whats[i].cx);
        }
    }
    const std::int32_t columnGap = ScaleToDpi(kColumnGap, dpi);
    std::int32_t innerWidth = chordWidth + columnGap + whatWidth;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].chord.empty()) {
            innerWidth = std::max(innerWidth, measured.whats[i].cx);
        }
    }
    const std::int32_t margin = ScaleToDpi(kMargin, dpi);
    const std::int32_t rowGap = ScaleToDpi(kRowGap, dpi);
    const std::int32_t pitch = measured.lineHeight + rowGap;
    const auto count = static_cast<std::int32_t>(rows.size());
    const Size size{2 * (kBorder + margin) + innerWidth,
                    2 * (kBorder + margin) + count * pitch - rowGap};
    const Point place = PlaceNearNotificationArea(screen.work, screen.area, size, dpi);
    window_ = platform_.CreateWindowExA(
        kPopupExStyle, kHintWindowClass, LoadText(platform_, ids::kTextHintTitle).c_str(),
        kWsPopup | kWsBorder, place.x, place.y, size.cx, size.cy, owner, 0, instance_, this);
    if (window_ == 0) {
        Hide();
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const HintRow& row = rows[static_cast<std::size_t>(i)];
        const std::int32_t top = margin + i * pitch;
        const std::int32_t bottom = top + measured.lineHeight;
        if (row.chord.empty()) {
            AddLabel(row.what, Rect{margin, top, margin + innerWidth, bottom});
            continue;
        }
        AddLabel(row.chord, Rect{margin, top, margin + chordWidth, bottom});
        const std::int32_t left = margin + chordWidth + columnGap;
        AddLabel(row.what, Rect{left, top, left + whatWidth, bottom});
    }
    platform_.ShowWindow(window_, kSwShowNoActivate);
}

void HintWindow::Hide() {
    if (window_ != 0) {
        const WindowHandle window = window_;
        window_ = 0;
        platform_.DestroyWindow(window);
    }
    // The labels are gone with the window, so nothing uses the font any more.
    if (ownFont_) {
        platform_.DeleteObject(font_);
    }
    font_ = 0;
    ownFont_ = false;
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

HintWindow::Measured HintWindow::Measure(const std::vector<HintRow>& rows, std::uint32_t dpi) {
    Measured measured;
    const DeviceContext context = platform_.GetDC(0);
    const GdiObject previous = context != 0 ? platform_.SelectObject(context, font_) : 0;
    const auto extent = [&](const std::string& text) {
        Size size;
        if (context == 0 ||
            !platform_.GetTextExtentPoint32A(context, text.c_str(),
                                             static_cast<std::int32_t>(text.size()), &size)) {
            size =
                Size{ScaleToDpi(kFallbackCharWidth, dpi) * static_cast<std::int32_t>(text.size()),
                     ScaleToDpi(kFallbackLineHeight, dpi)};
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

HintWindow::Screen HintWindow::FindScreen() {
    Screen screen;
    const WindowHandle taskbar = platform_.FindWindowA("Shell_TrayWnd", nullptr);
    const WindowHandle area =
        taskbar != 0 ? platform_.FindWindowExA(taskbar, 0, "TrayNotifyWnd", nullptr) : 0;
    Rect rect;
    if (area != 0 && platform_.GetWindowRect(area, &rect)) {
        screen.area = rect;
    }
    // The taskbar that holds the notification area may be on any monitor.
    const MonitorHandle monitor =
        platform_.MonitorFromWindow(area != 0 ? area : taskbar, kMonitorDefaultToPrimary);
    MonitorInfo info;
    if (monitor != 0 && platform_.GetMonitorInfoA(monitor, &info) && !Empty(info.rcWork)) {
        screen.work = info.rcWork;
    } else {
        screen.work = MainWorkArea();
    }
    screen.dpi = MonitorDpi(platform_, monitor);
    return screen;
}

Rect HintWindow::MainWorkArea() {
    Rect work;
    if (!platform_.SystemParametersInfoA(kSpiGetWorkArea, 0, &work, 0) || Empty(work)) {
        work = Rect{0, 0, platform_.GetSystemMetrics(kSmCxScreen),
                    platform_.GetSystemMetrics(kSmCyScreen)};
    }
    return work;
}

void HintWindow::ChooseFont(std::uint32_t dpi) {
    font_ = platform_.GetStockObject(kDefaultGuiFont);
    const std::uint32_t system = SystemDpi(platform_);
    LogFont form;
    if (dpi == system || platform_.GetObjectA(font_, sizeof(LogFont), &form) != sizeof(LogFont)) {
        return;
    }
    form.height = ScaleBetween(form.height, dpi, system);
    const GdiObject made = platform_.CreateFontIndirectA(&form);
    if (made != 0) {
        font_ = made;
        ownFont_ = true;
    }
}

void HintWindow::AddLabel(const std::string& text, const Rect& cell) {
    const WindowHandle label = platform_.CreateWindowExA(
        0, "STATIC", text.c_str(), kLabelStyle, cell.left, cell.top, cell.right - cell.left,
        cell.bottom - cell.top, window_, 0, instance_, nullptr);
    if (label != 0) {
        platform_.SendMessageA(label, kWmSetFont, font_, 0);
    }
}

}  // namespace pavix
