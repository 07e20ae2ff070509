// The command that test sequences run: appends one line, the directory it was started in, to the
// file named by its only argument. A windowless GUI program, so that launching it through the
// shell opens no console; several runs may append to the same file.
#include <windows.h>

#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 2) {
        return 2;
    }
    char directory[MAX_PATH + 1] = {};
    if (GetCurrentDirectoryA(MAX_PATH, directory) == 0) {
        return 3;
    }
    const std::string line = std::string(directory) + "\r\n";
    HANDLE file = CreateFileA(__argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 4;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 5;
}
