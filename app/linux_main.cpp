// The Linux entry point: Pavix on an X11 desktop, or a Wayland one through its portal. The
// executable brings what a Windows program finds in its resources (texts, menu, pictures beside it)
// and where its files live.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "app/shortcut_descriptions.h"
#include "app/startup.h"
#include "app/tray_icon.h"
#include "platform/constants.h"
#include "platform/linux/desktop/dialog_template.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/portal/bindings.h"
#include "platform/linux/portal/desktop_entry.h"
#include "platform/linux/posix/desktop_entry_copy.h"
#include "platform/linux/posix/locations.h"
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

// `engine` is the running Pavix's once it runs.
pavix::LinuxResources Resources(const pavix::SequenceEngine* const& engine) {
    pavix::LinuxResources resources;
    resources.findString = [](bool japanese, std::uint32_t id) {
        // The session starts what its autostart folder names by the desktop's app id.
        if (id == pavix::ids::kTextStartupLinkName) {
            return PAVIX_APP_ID ".desktop";
        }
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
    resources.enableCommand = pavix::ids::kCommandEnable;
    resources.describeChords = [&engine](pavix::Platform& platform) {
        std::map<std::uint32_t, std::string> descriptions;
        if (engine == nullptr) {
            return descriptions;
        }
        for (auto& [chord, text] : pavix::DescribeChords(platform, *engine)) {
            descriptions.emplace(chord.Packed(), std::move(text));
        }
        return descriptions;
    };
    resources.exitCommand = pavix::ids::kCommandExit;
    resources.trayMessage = pavix::kTrayCallbackMessage;
    resources.iconNames = {{pavix::ids::kIconIdle, "idle"},
                           {pavix::ids::kIconSeeking, "seeking"},
                           {pavix::ids::kIconDisabled, "disabled"},
                           {pavix::ids::kIconProgram, "pavix"}};
    return resources;
}

pavix::LinuxPlaces Places() {
    pavix::LinuxPlaces places;
    places.configFolder = pavix::ConfigFolder(Lookup);
    const pavix::ProgramFiles files =
        pavix::FindProgramFiles(pavix::ProgramFolder(), PAVIX_MODULE_FOLDER, PAVIX_APP_ID);
    places.programFolder = files.dataFolder;
    places.desktopModule = files.desktopModule;
    places.portalModule = files.portalModule;
    places.desktopEntry = files.desktopEntry;
    places.instanceLock = pavix::InstanceLockPath(Lookup, static_cast<unsigned>(::getuid()));
    // The tray's pictures: in the session's private runtime folder, else in the user's own.
    const char* runtime = Lookup("XDG_RUNTIME_DIR");
    places.runtimeFolder = runtime != nullptr && runtime[0] == '/'
                               ? std::string(runtime) + "/pavix-icons"
                               : places.configFolder + "/icons";
    places.japanese = pavix::PrefersJapanese(Lookup);
    return places;
}

const char* OrEmpty(const char* value) {
    return value != nullptr ? value : "";
}

constexpr char kNoDisplay[] = "pavix: cannot open the X11 display (is DISPLAY set?)\n";

// In a Wayland session the chords go through the desktop's global-shortcuts portal, which
// knows the program by its desktop file (main writes one where none is installed); without the
// portal, the user is told what to do, and the chords stay with X11. False when there is no
// X11 either: nothing would hear them.
bool HearChordsOnWayland(pavix::LinuxPlatform& platform, bool hasX11) {
    const pavix::PortalRules rules = pavix::RulesOf(OrEmpty(Lookup("XDG_CURRENT_DESKTOP")),
                                                    OrEmpty(Lookup("KDE_SESSION_VERSION")));
    std::string failure;
    if (!platform.UsePortal(pavix::kPortalAppId, rules, &failure)) {
        std::fprintf(stderr, "pavix: no global shortcuts portal: %s\n", failure.c_str());
        platform.MessageBoxA(0, pavix::LoadText(platform, pavix::ids::kTextWaylandSession).c_str(),
                             "Pavix", pavix::kMbOk | pavix::kMbIconAsterisk);
        return hasX11;
    }
    return true;
}

}  // namespace

int main() {
    pavix::LinuxPlaces places = Places();
    if (places.configFolder.empty()) {
        std::fprintf(stderr, "pavix: neither XDG_CONFIG_HOME nor HOME names a folder\n");
        return 1;
    }
    const pavix::SequenceEngine* engine = nullptr;
    pavix::LinuxPlatform platform(Resources(engine), places);
    platform.EndOnSignals();
    // A Wayland session needs X11 (Xwayland) only where its portal is missing.
    const bool wayland = pavix::IsWaylandSession(Lookup);
    const bool hasX11 = platform.OpenDisplay();
    if (!hasX11 && !wayland) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    // While the display answers what the connection asked (its keyboard).
    pavix::CreateFolders(places.configFolder);
    // The default sounds, installed on the first start; a user's own se/ stays as it is.
    pavix::InstallMissingFolder(places.programFolder + "/se", places.configFolder + "/se");
    // The lock first, so that a second start says nothing at all. Without a lock Pavix cannot
    // tell whether another one runs: it says why and starts none.
    if (platform.CreateMutexA(nullptr, true, "Pavix") == 0) {
        const int error = errno;
        std::fprintf(stderr, "pavix: cannot make the lock %s: %s\n", places.instanceLock.c_str(),
                     std::strerror(error));
        return 1;
    }
    if (platform.GetLastError() != pavix::kErrorSuccess) {
        platform.CallRunningPavix();  // which shows its menu's choices where it has no tray
        return 0;
    }
    // The desktop's menu, its autostart and its portal know the program by a desktop file:
    // one of its own where it runs unpacked or from its build.
    pavix::InstallDesktopEntry(Lookup, places.desktopEntry, pavix::RunningExecutable());
    if (wayland && !HearChordsOnWayland(platform, hasX11)) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    platform.OnHotkeyLost([&platform](std::uint32_t modifiers, std::uint32_t key) {
        pavix::ReportHotkeyLost(platform, modifiers, key);
    });
    return pavix::RunPavix(platform,
                           [&engine](const pavix::SequenceEngine* running) { engine = running; });
}
