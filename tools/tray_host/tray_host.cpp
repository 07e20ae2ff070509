// pavix_tray_host: the notification area that Pavix looks for, for Wine, whose own taskbar has no
// "TrayNotifyWnd". A strip along the bottom of the screen: a topmost "Shell_TrayWnd" with a
// "TrayNotifyWnd" child on its right that draws the icons programs add with Shell_NotifyIcon,
// shows their tips and hands them their mouse messages, as the shell does.
//
// Wine's shell32 sends every Shell_NotifyIcon call to the first "Shell_TrayWnd" in the z-order
// as WM_COPYDATA; being topmost and created after Wine's own desktop window, this one comes
// first. One instance at a time; it ends on WM_CLOSE or at the end of the session.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/tray_host/notify_record.h"

namespace {

using pavix_tray::IconPicture;
using pavix_tray::NotifyRecord;

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kNotifyClass[] = L"TrayNotifyWnd";
constexpr wchar_t kMutexName[] = L"Pavix.TrayHost.SingleInstance";
constexpr wchar_t kLabel[] = L"Notification area";
// Scripts wait for a window of this name before they start Pavix.
constexpr wchar_t kTitle[] = L"Pavix tray";

// Drops the icons of programs that ended without removing them.
constexpr UINT_PTR kOwnerCheckTimer = 1;
constexpr UINT kOwnerCheckMs = 2000;

struct Icon {
    HWND owner = nullptr;
    UINT uid = 0;
    UINT callbackMessage = 0;
    UINT state = 0;
    UINT version = 0;
    std::wstring tip;
    HICON picture = nullptr;
    UINT_PTR toolId = 0;
    bool Visible() const { return (state & pavix_tray::kNisHidden) == 0; }
};

// Sizes, from the small icon size.
struct Metrics {
    int icon = 16;    // side of an icon as drawn
    int slot = 24;    // width of one icon's place in the notification area
    int strip = 34;   // height of the whole strip
    int area = 26;    // height of the notification area
    int padding = 3;  // inside the notification area, left and right
    int margin = 6;   // between the notification area and the screen's right edge
};

struct Host {
    HINSTANCE instance = nullptr;
    HWND tray = nullptr;
    HWND notify = nullptr;
    HWND tooltip = nullptr;
    HFONT font = nullptr;
    Metrics metrics;
    std::vector<Icon> icons;  // in the order they were added, drawn left to right
    UINT_PTR nextToolId = 1;
};

Host host;

// The handle shell32 sent as 32 bits, widened as Windows widens handles (sign extension).
HWND WindowFromRecord(std::uint32_t value) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(value)));
}

Metrics MetricsForIcon(int icon) {
    Metrics metrics;
    metrics.icon = icon;
    metrics.slot = icon + 8;
    metrics.area = icon + 10;
    metrics.strip = std::max(34, icon + 18);
    return metrics;
}

// An icon as Wine's explorer makes it from the record: CreateIconIndirect from bitmaps of the
// record's bits. A monochrome icon is one mask twice the height: AND rows, then XOR rows.
HICON MakePicture(const IconPicture& picture) {
    const int width = static_cast<int>(picture.width);
    const int height = static_cast<int>(picture.height);
    ICONINFO info{};
    info.fIcon = TRUE;
    if (picture.Monochrome()) {
        std::vector<std::uint8_t> both = picture.mask;
        both.insert(both.end(), picture.colour.begin(), picture.colour.end());
        info.hbmMask = CreateBitmap(width, height * 2, 1, 1, both.data());
    } else {
        info.hbmMask = CreateBitmap(width, height, 1, 1, picture.mask.data());
        info.hbmColor = CreateBitmap(width, height, picture.planes, picture.bitsPerPixel,
                                     picture.colour.data());
    }
    HICON icon = nullptr;
    if (info.hbmMask != nullptr && (picture.Monochrome() || info.hbmColor != nullptr)) {
        icon = CreateIconIndirect(&info);
    }
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return icon;
}

std::wstring WideText(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::vector<Icon>::iterator FindIcon(HWND owner, UINT uid) {
    return std::find_if(host.icons.begin(), host.icons.end(),
                        [&](const Icon& icon) { return icon.owner == owner && icon.uid == uid; });
}

// The place of the visible icon at `position` (counting visible icons only) in the notification
// area's client area.
RECT SlotRect(int position) {
    const Metrics& m = host.metrics;
    RECT rect;
    rect.left = m.padding + position * m.slot;
    rect.top = 0;
    rect.right = rect.left + m.slot;
    rect.bottom = m.area;
    return rect;
}

// The visible icon under a point of the notification area's client area, or icons.end().
std::vector<Icon>::iterator IconAt(POINT point) {
    int position = 0;
    for (auto it = host.icons.begin(); it != host.icons.end(); ++it) {
        if (!it->Visible()) {
            continue;
        }
        const RECT rect = SlotRect(position++);
        if (PtInRect(&rect, point)) {
            return it;
        }
    }
    return host.icons.end();
}

TTTOOLINFOW ToolInfo(Icon& icon) {
    TTTOOLINFOW tool{};
    // The size without lpReserved, which the comctl32 before version 6 does not know.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = host.notify;
    tool.uId = icon.toolId;
    tool.lpszText = const_cast<wchar_t*>(icon.tip.c_str());
    return tool;
}

// One tooltip tool per visible icon with a tip, over its place.
void SyncTools() {
    if (host.tooltip == nullptr) {
        return;
    }
    int position = 0;
    for (Icon& icon : host.icons) {
        TTTOOLINFOW tool = ToolInfo(icon);
        SendMessageW(host.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!icon.Visible()) {
            continue;
        }
        tool.rect = SlotRect(position++);
        if (!icon.tip.empty()) {
            SendMessageW(host.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

// Places the strip along the bottom of the screen and the notification area at its right,
// wide enough for the visible icons.
void Layout() {
    const Metrics& m = host.metrics;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(host.tray, nullptr, 0, screenHeight - m.strip, screenWidth, m.strip,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const auto visible = std::count_if(host.icons.begin(), host.icons.end(),
                                       [](const Icon& icon) { return icon.Visible(); });
    const int width =
        2 * m.padding + static_cast<int>(std::max<std::ptrdiff_t>(visible, 1)) * m.slot;
    // Below the two lines of the top border, centred in what is left.
    const int top = 2 + (m.strip - 2 - m.area) / 2;
    SetWindowPos(host.notify, nullptr, screenWidth - m.margin - width, top, width, m.area,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(host.notify, nullptr, TRUE);
    SyncTools();
}

// Frees what an icon holds: its tooltip tool and its picture.
void Release(Icon& icon) {
    if (host.tooltip != nullptr) {
        TTTOOLINFOW tool = ToolInfo(icon);
        SendMessageW(host.tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (icon.picture != nullptr) {
        DestroyIcon(icon.picture);
        icon.picture = nullptr;
    }
}

void RemoveIcon(std::vector<Icon>::iterator it) {
    Release(*it);
    host.icons.erase(it);
    Layout();
}

// Takes what the record's flags say is present, as NIM_ADD and NIM_MODIFY do.
void Apply(Icon& icon, const NotifyRecord& record) {
    if ((record.flags & pavix_tray::kNifMessage) != 0) {
        icon.callbackMessage = record.callbackMessage;
    }
    if ((record.flags & pavix_tray::kNifIcon) != 0) {
        if (icon.picture != nullptr) {
            DestroyIcon(icon.picture);
        }
        icon.picture = record.picture ? MakePicture(*record.picture) : nullptr;
    }
    if ((record.flags & pavix_tray::kNifTip) != 0) {
        icon.tip = WideText(record.tip);
    }
    if ((record.flags & pavix_tray::kNifState) != 0) {
        icon.state = (icon.state & ~record.stateMask) | (record.state & record.stateMask);
    }
}

// A Shell_NotifyIcon call; TRUE when done, as the shell answers (FALSE fails the call).
BOOL HandleRequest(ULONG_PTR request, const NotifyRecord& record) {
    const HWND owner = WindowFromRecord(record.window);
    auto it = FindIcon(owner, record.uid);
    const bool known = it != host.icons.end();
    switch (request) {
        case pavix_tray::kNimAdd: {
            if (known) {
                return FALSE;  // as the shell: a second icon of the same identity is an error
            }
            Icon icon;
            icon.owner = owner;
            icon.uid = record.uid;
            icon.toolId = host.nextToolId++;
            Apply(icon, record);
            host.icons.push_back(std::move(icon));
            Layout();
            return TRUE;
        }
        case pavix_tray::kNimModify:
            if (!known) {
                return FALSE;
            }
            Apply(*it, record);
            Layout();
            return TRUE;
        case pavix_tray::kNimDelete:
            if (!known) {
                return FALSE;
            }
            RemoveIcon(it);
            return TRUE;
        case pavix_tray::kNimSetFocus:
            return known ? TRUE : FALSE;
        case pavix_tray::kNimSetVersion:
            if (!known) {
                return FALSE;
            }
            it->version = record.timeoutOrVersion;
            return TRUE;
        default:
            return FALSE;
    }
}

bool IsRightButton(UINT message) {
    return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK;
}

// Hands a mouse message to the icon's owner as the shell does: the callback message with the
// icon's id and the mouse message (version 4: the position and both packed differently).
// Returns false when the owner is gone, and the icon with it.
bool NotifyOwner(Icon& icon, UINT message, POINT point) {
    WPARAM wParam = icon.uid;
    LPARAM lParam = message;
    if (icon.version >= NOTIFYICON_VERSION_4) {
        ClientToScreen(host.notify, &point);
        wParam = MAKEWPARAM(point.x, point.y);
        lParam = MAKELPARAM(message, icon.uid);
    }
    if (!PostMessageW(icon.owner, icon.callbackMessage, wParam, lParam)) {
        return GetLastError() != ERROR_INVALID_WINDOW_HANDLE;
    }
    return true;
}

void ForwardMouse(UINT message, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    auto it = IconAt(point);
    if (it == host.icons.end() || it->callbackMessage == 0) {
        return;
    }
    // The menu the owner opens can take the focus only when the owner may come to the front.
    if (IsRightButton(message)) {
        const HWND owner = it->owner;
        const UINT uid = it->uid;
        SetForegroundWindow(owner);
        // A request sent meanwhile (WM_COPYDATA) may have changed the list.
        it = FindIcon(owner, uid);
        if (it == host.icons.end()) {
            return;
        }
    }
    bool alive = NotifyOwner(*it, message, point);
    if (alive && it->version > 0) {
        if (message == WM_LBUTTONUP) {
            alive = NotifyOwner(*it, NIN_SELECT, point);
        } else if (message == WM_RBUTTONUP) {
            alive = NotifyOwner(*it, WM_CONTEXTMENU, point);
        }
    }
    if (!alive) {
        RemoveIcon(it);
    }
}

void DropOrphans() {
    bool removed = false;
    for (auto it = host.icons.begin(); it != host.icons.end();) {
        if (!IsWindow(it->owner)) {
            Release(*it);
            it = host.icons.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    if (removed) {
        Layout();
    }
}

void PaintTray(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    // The thin top border: a shadow line over a light one.
    RECT line{client.left, 0, client.right, 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
    line = {client.left, 1, client.right, 2};
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DHILIGHT));
    // A quiet name on the left, so that a person knows what the strip is.
    RECT text{client.left + 10, 2, client.right / 2, client.bottom};
    const HGDIOBJ oldFont = SelectObject(dc, host.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, kLabel, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

void PaintNotify(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    const Metrics& m = host.metrics;
    int position = 0;
    for (const Icon& icon : host.icons) {
        if (!icon.Visible()) {
            continue;
        }
        const RECT slot = SlotRect(position++);
        if (icon.picture != nullptr) {
            DrawIconEx(dc, slot.left + (m.slot - m.icon) / 2, slot.top + (m.area - m.icon) / 2,
                       icon.picture, m.icon, m.icon, 0, nullptr, DI_NORMAL);
        }
    }
    EndPaint(window, &paint);
}

// One line per request for the debugger (under Wine: WINEDEBUG=+debugstr).
void Trace(const COPYDATASTRUCT* data, const NotifyRecord* record, BOOL done) {
    char line[160];
    if (record == nullptr) {
        std::snprintf(line, sizeof(line), "pavix_tray_host: request %lu of %lu bytes not read\n",
                      static_cast<unsigned long>(data->dwData),
                      static_cast<unsigned long>(data->cbData));
    } else {
        std::snprintf(line, sizeof(line),
                      "pavix_tray_host: request %lu window %08lx id %lu flags %lx picture %s"
                      " -> %s, %u icons\n",
                      static_cast<unsigned long>(data->dwData),
                      static_cast<unsigned long>(record->window),
                      static_cast<unsigned long>(record->uid),
                      static_cast<unsigned long>(record->flags), record->picture ? "yes" : "no",
                      done ? "TRUE" : "FALSE", static_cast<unsigned>(host.icons.size()));
    }
    OutputDebugStringA(line);
}

LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintNotify(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills everything
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            ForwardMouse(message, lParam);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA: {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (data == nullptr) {
                return FALSE;
            }
            const auto record = pavix_tray::ParseNotifyRecord(
                static_cast<const std::uint8_t*>(data->lpData), data->cbData);
            const BOOL done = record ? HandleRequest(data->dwData, *record) : FALSE;
            Trace(data, record ? &*record : nullptr, done);
            return done;
        }
        case WM_TIMER:
            if (wParam == kOwnerCheckTimer) {
                DropOrphans();
            }
            return 0;
        case WM_PAINT:
            PaintTray(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_DISPLAYCHANGE:
            Layout();
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_ENDSESSION:
            if (wParam) {
                DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            KillTimer(window, kOwnerCheckTimer);
            for (Icon& icon : host.icons) {
                Release(icon);
            }
            host.icons.clear();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterClasses() {
    WNDCLASSEXW tray{};
    tray.cbSize = sizeof(tray);
    tray.lpfnWndProc = TrayProc;
    tray.hInstance = host.instance;
    tray.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    tray.lpszClassName = kTrayClass;
    WNDCLASSEXW notify = tray;
    notify.style = CS_DBLCLKS;  // the shell hands on double clicks
    notify.lpfnWndProc = NotifyProc;
    notify.lpszClassName = kNotifyClass;
    return RegisterClassExW(&tray) != 0 && RegisterClassExW(&notify) != 0;
}

bool CreateWindows() {
    host.tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTrayClass,
                                kTitle, WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr, nullptr,
                                host.instance, nullptr);
    if (host.tray == nullptr) {
        return false;
    }
    host.notify = CreateWindowExW(0, kNotifyClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                  host.tray, nullptr, host.instance, nullptr);
    if (host.notify == nullptr) {
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Without a tooltip the tips are not shown; the icons work all the same.
    host.tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, host.tray, nullptr, host.instance, nullptr);
    Layout();
    ShowWindow(host.tray, SW_SHOWNOACTIVATE);
    // First in the z-order, ahead of the "Shell_TrayWnd" of Wine's own desktop process, so that
    // FindWindow and shell32 find this one.
    SetWindowPos(host.tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(host.tray, kOwnerCheckTimer, kOwnerCheckMs, nullptr);
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    if (mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex != nullptr) {
            CloseHandle(mutex);
        }
        return 0;  // another host is the notification area already
    }
    host.instance = instance;
    host.metrics = MetricsForIcon(std::max(16, GetSystemMetrics(SM_CXSMICON)));
    host.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!RegisterClasses() || !CreateWindows()) {
        CloseHandle(mutex);
        return 1;
    }
    // Programs that are running already add their icons again, as after the shell restarted.
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

    MSG message;
    int result = 0;
    while (true) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            result = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) {
            result = 1;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CloseHandle(mutex);
    char line[64];
    std::snprintf(line, sizeof(line), "pavix_tray_host: ended with %d\n", result);
    OutputDebugStringA(line);
    return result;
}
