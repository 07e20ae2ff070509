#include "editors/file_chooser.h"

#include <algorithm>
#include <cstring>

#include "platform/dialog_api.h"
#include "resources/ids.h"
#include "resources/texts.h"

namespace pavix {
namespace {

// One pair of display text and pattern, then the empty text that ends the list.
constexpr char kFilter[] = "All Files\0*.*\0";
constexpr std::uint32_t kFileBufferSize = kMaxPath;

}  // namespace

bool ChooseFile(Platform& platform, DialogStack& dialogs, std::string& path, FileChooserHook hook) {
    char file[kFileBufferSize] = {};
    std::memcpy(file, path.data(), std::min<std::size_t>(path.size(), kFileBufferSize - 1));
    OpenFileName request;
    request.hwndOwner = platform.GetActiveWindow();
    request.lpstrFilter = kFilter;
    request.lpstrFile = file;
    request.nMaxFile = kFileBufferSize;
    request.Flags = kOfnNoChangeDir | kOfnExplorer | kOfnEnableSizing |
                    (hook == FileChooserHook::With ? kOfnEnableHook : 0);
    if (!dialogs.ChooseFile(request, false)) {
        return false;
    }
    path.assign(file, strnlen(file, kFileBufferSize));
    return true;
}

bool ChooseTextFile(Platform& platform, DialogStack& dialogs, TextFileDialog dialog,
                    std::string& path) {
    const bool exporting = dialog == TextFileDialog::kExport;
    const std::string title =
        LoadText(platform, exporting ? ids::kTextExportTitle : ids::kTextImportTitle);
    std::string filter = LoadText(platform, ids::kTextTextFilter);
    filter += std::string("\0*.toml\0", 8) + LoadText(platform, ids::kTextAllFilesFilter);
    filter += std::string("\0*.*\0", 6);
    char file[kFileBufferSize] = {};
    std::memcpy(file, path.data(), std::min<std::size_t>(path.size(), kFileBufferSize - 1));
    OpenFileName request;
    request.hwndOwner = platform.GetActiveWindow();
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = file;
    request.nMaxFile = kFileBufferSize;
    request.lpstrTitle = title.c_str();
    request.Flags = kOfnNoChangeDir | kOfnExplorer | kOfnEnableSizing | kOfnHideReadOnly |
                    (exporting ? kOfnOverwritePrompt | kOfnPathMustExist : kOfnFileMustExist);
    request.lpstrDefExt = "toml";
    const bool chosen = dialogs.ChooseFile(request, exporting);
    if (chosen) {
        path.assign(file, strnlen(file, kFileBufferSize));
    }
    return chosen;
}

}  // namespace pavix
