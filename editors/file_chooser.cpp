#include "editors/file_chooser.h"

#include <algorithm>
#include <cstring>

#include "platform/dialog_api.h"

namespace pavix {
namespace {

// One pair of display text and pattern, then the empty text that ends the list.
constexpr char kFilter[] = "All Files\0*.*\0";
constexpr std::uint32_t kFileBufferSize = kMaxPath;

}  // namespace

bool ChooseFile(Platform& platform, std::string& path, FileChooserHook hook) {
    char file[kFileBufferSize] = {};
    std::memcpy(file, path.data(), std::min<std::size_t>(path.size(), kFileBufferSize - 1));
    OpenFileName request;
    request.hwndOwner = platform.GetActiveWindow();
    request.lpstrFilter = kFilter;
    request.lpstrFile = file;
    request.nMaxFile = kFileBufferSize;
    request.Flags = kOfnNoChangeDir | kOfnExplorer | kOfnEnableSizing |
                    (hook == FileChooserHook::With ? kOfnEnableHook : 0);
    if (!platform.GetOpenFileNameA(&request)) {
        return false;
    }
    path.assign(file, strnlen(file, kFileBufferSize));
    return true;
}

}  // namespace pavix
