// Stands in for the shell's notification area: a top-level "Shell_TrayWnd" with a "TrayNotifyWnd"
// child, owned by a thread of this process. Shell_NotifyIcon in another process delivers every
// request to that window as WM_COPYDATA; each one is kept in order, so that a scenario can read
// what Pavix asked of the shell and wait for the next request. Being a top-level window, it also
// receives what is posted to every top-level window; the system commands among them are kept.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pavix_e2e {

struct TrayRecord {
    std::uint32_t message = 0;  // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2
    std::uint32_t window = 0;
    std::uint32_t uid = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    // Fingerprint of everything the shell was sent: equal for the same record and picture,
    // different when the picture differs.
    std::uint64_t digest = 0;
    std::vector<std::uint8_t> payload;
};

const char* TrayMessageName(std::uint32_t message);

// True when the UTF-16 text, with its terminating zero, stands in the payload at an even offset
// right after two zero bytes (the start of a text field).
bool PayloadHasUtf16Text(const std::vector<std::uint8_t>& payload, const std::wstring& text);

class TrayStandIn {
  public:
    TrayStandIn() = default;
    TrayStandIn(const TrayStandIn&) = delete;
    TrayStandIn& operator=(const TrayStandIn&) = delete;
    ~TrayStandIn();

    // Creates the windows; false when they could not be created within the wait cap.
    bool Start();
    void Stop();

    std::vector<TrayRecord> Records() const;
    std::size_t Count() const;
    // Waits until at least count requests have arrived; false when the cap passes first.
    bool WaitForCount(std::size_t count, DWORD capMs);
    // The WM_SYSCOMMAND requests (wParam) the window has received.
    std::vector<WPARAM> SystemCommands() const;

  private:
    static LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ThreadMain();
    void Record(const COPYDATASTRUCT& data);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TrayRecord> records_;
    std::vector<WPARAM> systemCommands_;
    std::thread thread_;
    HWND trayWindow_ = nullptr;
    bool ready_ = false;
    bool failed_ = false;
};

}  // namespace pavix_e2e
