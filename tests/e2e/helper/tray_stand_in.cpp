#include "tray_stand_in.h"

#include <chrono>
#include <cstring>

namespace pavix_e2e {
namespace {

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kNotifyClass[] = L"TrayNotifyWnd";
constexpr std::size_t kFixedFieldsSize = 16;  // hWnd, uID, uFlags, uCallbackMessage

std::uint32_t ReadUint32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 1469598103934665603ull;
    for (std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Both classes are process-wide; they are registered once, by the first stand-in thread.
bool RegisterWindowClasses(WNDPROC trayProc) {
    static bool registered = false;
    if (registered) {
        return true;
    }
    WNDCLASSEXW tray{};
    tray.cbSize = sizeof(tray);
    tray.lpszClassName = kTrayClass;
    tray.hInstance = GetModuleHandleW(nullptr);
    tray.lpfnWndProc = trayProc;
    WNDCLASSEXW notify = tray;
    notify.lpszClassName = kNotifyClass;
    notify.lpfnWndProc = DefWindowProcW;
    registered = RegisterClassExW(&tray) != 0 && RegisterClassExW(&notify) != 0;
    return registered;
}

}  // namespace

const char* TrayMessageName(std::uint32_t message) {
    switch (message) {
        case NIM_ADD:
            return "NIM_ADD";
        case NIM_MODIFY:
            return "NIM_MODIFY";
        case NIM_DELETE:
            return "NIM_DELETE";
        default:
            return "NIM_?";
    }
}

bool PayloadHasUtf16Text(const std::vector<std::uint8_t>& payload, const std::wstring& text) {
    std::vector<std::uint8_t> needle = {0, 0};
    for (wchar_t unit : text) {
        needle.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        needle.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
    }
    needle.push_back(0);
    needle.push_back(0);
    if (payload.size() < needle.size()) {
        return false;
    }
    // The needle starts with the two zero bytes before the text, so it begins on an even offset.
    for (std::size_t offset = 0; offset + needle.size() <= payload.size(); offset += 2) {
        if (std::memcmp(payload.data() + offset, needle.data(), needle.size()) == 0) {
            return true;
        }
    }
    return false;
}

TrayStandIn::~TrayStandIn() {
    Stop();
}

bool TrayStandIn::Start() {
    Stop();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.clear();
        systemCommands_.clear();
        ready_ = false;
        failed_ = false;
        trayWindow_ = nullptr;
    }
    thread_ = std::thread(&TrayStandIn::ThreadMain, this);
    std::unique_lock<std::mutex> lock(mutex_);
    const bool settled =
        changed_.wait_for(lock, std::chrono::seconds(10), [this] { return ready_ || failed_; });
    return settled && ready_;
}

void TrayStandIn::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        window = trayWindow_;
    }
    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    trayWindow_ = nullptr;
    ready_ = false;
}

std::vector<TrayRecord> TrayStandIn::Records() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
}

std::vector<WPARAM> TrayStandIn::SystemCommands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return systemCommands_;
}

std::size_t TrayStandIn::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_.size();
}

bool TrayStandIn::WaitForCount(std::size_t count, DWORD capMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(capMs),
                             [this, count] { return records_.size() >= count; });
}

LRESULT CALLBACK TrayStandIn::TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TrayStandIn*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_COPYDATA:
            if (self != nullptr && lParam != 0) {
                self->Record(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
            }
            return TRUE;  // the shell call fails unless the notification area says yes
        case WM_SYSCOMMAND:
            // Kept, not carried out: a screen saver or task list must not start in a test.
            if (self != nullptr) {
                std::lock_guard<std::mutex> lock(self->mutex_);
                self->systemCommands_.push_back(wParam);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void TrayStandIn::ThreadMain() {
    HWND tray = nullptr;
    HWND notify = nullptr;
    if (RegisterWindowClasses(&TrayStandIn::TrayProc)) {
        tray = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0,
                               0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    if (tray != nullptr) {
        notify = CreateWindowExW(0, kNotifyClass, L"", WS_CHILD, 0, 0, 0, 0, tray, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        // Come first in the z-order, ahead of the "Shell_TrayWnd" of Wine's own desktop process.
        SetWindowPos(tray, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (tray != nullptr && notify != nullptr) {
            trayWindow_ = tray;
            ready_ = true;
        } else {
            failed_ = true;
        }
    }
    changed_.notify_all();
    if (tray == nullptr || notify == nullptr) {
        if (tray != nullptr) {
            DestroyWindow(tray);
        }
        return;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void TrayStandIn::Record(const COPYDATASTRUCT& data) {
    TrayRecord record;
    record.message = static_cast<std::uint32_t>(data.dwData);
    const auto* begin = static_cast<const std::uint8_t*>(data.lpData);
    if (begin != nullptr) {
        record.payload.assign(begin, begin + data.cbData);
    }
    if (record.payload.size() >= kFixedFieldsSize) {
        record.window = ReadUint32(record.payload, 0);
        record.uid = ReadUint32(record.payload, 4);
        record.flags = ReadUint32(record.payload, 8);
        record.callbackMessage = ReadUint32(record.payload, 12);
    }
    record.digest = Fnv1a(record.payload);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(std::move(record));
    }
    changed_.notify_all();
}

}  // namespace pavix_e2e
