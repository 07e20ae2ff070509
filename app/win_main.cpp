// The Windows entry point: Pavix on the real platform. The command line and the show state are
// not used; the instance is the executable's module, which the program asks for by itself.
#include "app/startup.h"
#include "platform/win32/native.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showCommand*/) {
    pavix::Win32Platform platform;
    return pavix::RunPavix(platform);
}
