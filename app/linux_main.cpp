// The Linux entry point: Pavix on an X11 desktop. The executable brings what a Windows program
// finds in its resources (texts, menu, pictures beside it) and where its files live.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "platform/constants.h"
#include "platform/linux/dialog_template.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/locations.h"
#include "resources/ids.h"
#include "resources/string_table.h"
#include "resources/texts.h"

namespace {

using pavix::resources::Language;

const char* Lookup(const char* name) {
    return std::getenv(name);
}

Language LanguageOf(bool japanese) {
    return japanese ? Language::Japanese : Language::English;
}

pavix::LinuxResources Resources() {
    pavix::LinuxResources resources;
    resources.findString = [](bool japanese, std::uint32_t id) {
        return pavix::resources::FindString(LanguageOf(japanese), id);
    };
    resources.findMenuText = [](bool japanese, std::uint32_t id) {
        return pavix::resources::FindMenuText(LanguageOf(japanese), id);
    };
    resources.menuId = pavix::ids::kTrayMenu;
    std::size_t count = 0;
    const std::uint32_t* commands = pavix::resources::MenuCommands(&count);
    resources.menuCommands.assign(commands, commands + count);
    resources.findDialog = pavix::FindDialogTemplate;
    resources.noChordTextId = pavix::ids::kTextHotkeyNone;
    resources.exitCommand = pavix::ids::kCommandExit;
    resources.iconNames = {{pavix::ids::kIconIdle, "idle"},
                           {pavix::ids::kIconSeeking, "seeking"},
                           {pavix::ids::kIconDisabled, "disabled"},
                           {pavix::ids::kIconProgram, "pavix"}};
    return resources;
}

pavix::LinuxPlaces Places() {
    pavix::LinuxPlaces places;
    places.configFolder = pavix::ConfigFolder(Lookup);
    places.programFolder = pavix::ProgramFolder();
    places.desktopModule = places.programFolder + "/pavix-desktop.so";
    places.instanceLock = pavix::InstanceLockPath(Lookup, static_cast<unsigned>(::getuid()));
    // The tray's pictures: in the session's private runtime folder, else in the user's own.
    const char* runtime = Lookup("XDG_RUNTIME_DIR");
    places.runtimeFolder = runtime != nullptr && runtime[0] == '/'
                               ? std::string(runtime) + "/pavix-icons"
                               : places.configFolder + "/icons";
    places.japanese = pavix::PrefersJapanese(Lookup);
    return places;
}

}  // namespace

int main() {
    pavix::LinuxPlaces places = Places();
    if (places.configFolder.empty()) {
        std::fprintf(stderr, "pavix: neither XDG_CONFIG_HOME nor HOME names a folder\n");
        return 1;
    }
    pavix::LinuxPlatform platform(Resources(), places);
    platform.EndOnSignals();
    if (!platform.OpenDisplay()) {
        std::fprintf(stderr, "pavix: cannot open the X11 display (is DISPLAY set?)\n");
        return 1;
    }
    // While the display answers what the connection asked (its keyboard).
    pavix::CreateFolders(places.configFolder);
    // The default sounds, installed on the first start; a user's own se/ stays as it is.
    pavix::InstallMissingFolder(places.programFolder + "/se", places.configFolder + "/se");
    // The lock first, so that a second start says nothing at all.
    if (platform.CreateMutexA(nullptr, true, "Pavix") == 0 ||
        platform.GetLastError() != pavix::kErrorSuccess) {
        return 0;
    }
    if (pavix::IsWaylandSession(Lookup)) {
        platform.MessageBoxA(0, pavix::LoadText(platform, pavix::ids::kTextWaylandSession).c_str(),
                             "Pavix", pavix::kMbOk | pavix::kMbIconAsterisk);
    }
    return pavix::RunPavix(platform);
}
