// The external command of the benchmark sequences: as soon as it runs, it posts kSignalMessage to
// the benchmark driver's window (found by its class), so that the driver sees the moment the
// command took effect. A windowless GUI program, so that starting it opens no console.
#include <windows.h>

namespace {

constexpr UINT kSignalMessage = WM_APP + 3;
constexpr char kDriverClass[] = "PavixBenchDriver";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND driver = FindWindowA(kDriverClass, nullptr);
    if (driver == nullptr) {
        return 1;
    }
    return PostMessageA(driver, kSignalMessage, 0, 0) ? 0 : 1;
}
