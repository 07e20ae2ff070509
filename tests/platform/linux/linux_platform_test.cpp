// The Linux backend's calls that need no display: paths, code pages, texts, menus, the message
// queue and its timers, the instance lock and the wording of errors.
#include "platform/linux/linux_platform.h"

#include <fcntl.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/constants.h"
#include "platform/linux/desktop/desktop_module.h"
#include "storage/module_path.h"

namespace pavix {
namespace {

constexpr std::uint32_t kMenuId = 103;
constexpr std::uint32_t kEditCommand = 40002;
constexpr std::uint32_t kHintsCommand = 40007;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kIdleIcon = 110;

// Records what the window receives; destroys another window on WM_DESTROY when asked.
class RecordingWindow final : public WindowHandler {
  public:
    std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t) override {
        received.push_back({window, message, wParam});
        return 0;
    }
    struct Received {
        WindowHandle window;
        std::uint32_t message;
        std::uintptr_t wParam;
        bool operator==(const Received& other) const {
            return window == other.window && message == other.message && wParam == other.wParam;
        }
    };
    std::vector<Received> received;
};

// What a started command wrote once it has: not a measure of speed, it only has to have run.
std::string WrittenByChild(const std::string& path) {
    for (int wait = 0; wait < 1000 && !std::filesystem::exists(path); ++wait) {
        g_usleep(10000);
    }
    std::ifstream written(path);
    return std::string(std::istreambuf_iterator<char>(written), {});
}

void RunPending() {
    for (int i = 0; i < 50 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
}

class LinuxPlatformTest : public ::testing::Test {
  protected:
    LinuxPlatformTest() {
        std::string pattern = ::testing::TempDir() + "pavix-linux-XXXXXX";
        folder_ = mkdtemp(pattern.data());
        platform_ = Make(false);
    }
    ~LinuxPlatformTest() override {
        platform_.reset();
        std::filesystem::remove_all(folder_);
    }

    std::unique_ptr<LinuxPlatform> Make(bool japanese,
                                        const std::string& desktopModule = PAVIX_DESKTOP_MODULE) {
        LinuxResources resources;
        resources.findString = [](bool inJapanese, std::uint32_t id) -> const char* {
            if (id != 1) {
                return nullptr;
            }
            return inJapanese ? "\x82\xA0" : "\x80 euro";  // code pages 932 and 1252
        };
        resources.findMenuText = [](bool, std::uint32_t id) -> const char* {
            return id == kEditCommand ? "&Edit" : "Show &Hints";
        };
        resources.menuId = kMenuId;
        resources.menuCommands = {kEditCommand, kHintsCommand};
        resources.unavailableCommands = {kEditCommand};
        resources.iconNames = {{kIdleIcon, "idle"}, {kIdleIcon + 1, "missing"}};
        LinuxPlaces places;
        places.configFolder = folder_ + "/config";
        places.programFolder = folder_ + "/program";
        places.runtimeFolder = folder_ + "/runtime";
        places.instanceLock = folder_ + "/pavix.lock";
        places.desktopModule = desktopModule;
        places.japanese = japanese;
        return std::make_unique<LinuxPlatform>(resources, places);
    }

    WindowHandle CreateWindow(RecordingWindow& handler, WindowHandle parent = 0) {
        platform_->RegisterClassExA(WindowClass{"Recorded"});
        return platform_->CreateWindowExA(0, "Recorded", "", 0, 0, 0, 0, 0, parent, 0, 0, &handler);
    }

    std::string folder_;
    std::unique_ptr<LinuxPlatform> platform_;
};

TEST_F(LinuxPlatformTest, FilesBesideTheProgramAreInTheConfigurationFolder) {
    char path[kMaxPath] = {};
    ASSERT_TRUE(PathBesideExecutable(*platform_, path, "se\\match.wav"));
    EXPECT_STREQ(path, (folder_ + "/config/se/match.wav").c_str());
    std::strcpy(path, "/a/b");
    EXPECT_TRUE(platform_->PathAppendA(path, "/abs"));
    EXPECT_STREQ(path, "/abs");
    std::strcpy(path, "/a");
    EXPECT_FALSE(platform_->PathAppendA(path, std::string(kMaxPath, 'x').c_str()));
    EXPECT_STREQ(path, "/a");
    std::strcpy(path, "/top");
    EXPECT_TRUE(platform_->PathRemoveFileSpecA(path));
    EXPECT_STREQ(path, "/");
}

TEST_F(LinuxPlatformTest, TheAnsiCodePageIsUtf8) {
    char16_t wide[8] = {};
    EXPECT_EQ(
        platform_->MultiByteToWideChar(kCpAcp, kMbErrInvalidChars, "\xE3\x81\x82", -1, wide, 8),
        2);  // with the terminator
    EXPECT_EQ(wide[0], u'\u3042');
    EXPECT_EQ(platform_->MultiByteToWideChar(kCpAcp, kMbErrInvalidChars, "a\xFF", 2, wide, 8), 0);
    EXPECT_EQ(platform_->GetLastError(), kErrorNoUnicodeTranslation);
    EXPECT_EQ(platform_->MultiByteToWideChar(kCpAcp, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(platform_->GetLastError(), kErrorInsufficientBuffer);

    char bytes[8] = {};
    bool usedDefault = true;
    EXPECT_EQ(platform_->WideCharToMultiByte(kCpAcp, 0, u"\U0001F600", 2, bytes, 8, nullptr,
                                             &usedDefault),
              4);
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(platform_->WideCharToMultiByte(1252, kWcNoBestFitChars, u"\u3042", 1, bytes, 8,
                                             nullptr, &usedDefault),
              1);
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(platform_->WideCharToMultiByte(kCpAcp, 0, u"\xD800", 1, bytes, 8, nullptr, nullptr),
              0);
    EXPECT_EQ(platform_->GetLastError(), kErrorNoUnicodeTranslation);
}

TEST_F(LinuxPlatformTest, TextsAreShownInUtf8InTheLocalesLanguage) {
    char text[16] = {};
    EXPECT_EQ(platform_->LoadStringA(0, 1, text, sizeof text), 8);
    EXPECT_STREQ(text, "\xE2\x82\xAC euro");
    EXPECT_EQ(platform_->LoadStringA(0, 1, text, 4), 3);  // cut short, terminated
    EXPECT_EQ(platform_->LoadStringA(0, 2, text, sizeof text), 0);
    platform_.reset();
    platform_ = Make(true);
    EXPECT_EQ(platform_->LoadStringA(0, 1, text, sizeof text), 3);
    EXPECT_STREQ(text, "\xE3\x81\x82");
}

TEST_F(LinuxPlatformTest, ACommandWithoutItsDialogStaysGreyed) {
    EXPECT_EQ(platform_->LoadMenuA(0, kMenuId + 1), 0u);
    const MenuHandle menu = platform_->LoadMenuA(0, kMenuId);
    const MenuHandle popup = platform_->GetSubMenu(menu, 0);
    ASSERT_NE(popup, 0u);
    EXPECT_EQ(platform_->GetSubMenu(menu, 1), 0u);
    const auto grayed = static_cast<std::int32_t>(kMfGrayed);
    EXPECT_EQ(platform_->EnableMenuItem(popup, kEditCommand, kMfEnabled), grayed);
    EXPECT_EQ(platform_->EnableMenuItem(popup, kEditCommand, kMfEnabled), grayed);
    EXPECT_EQ(platform_->EnableMenuItem(popup, kHintsCommand, kMfGrayed), 0);
    EXPECT_EQ(platform_->EnableMenuItem(popup, 1, kMfGrayed), -1);
    EXPECT_EQ(platform_->CheckMenuItem(popup, kHintsCommand, kMfChecked), kMfUnchecked);
    EXPECT_EQ(platform_->CheckMenuItem(popup, kHintsCommand, kMfUnchecked), kMfChecked);
    EXPECT_TRUE(platform_->DestroyMenu(menu));
    EXPECT_EQ(platform_->CheckMenuItem(popup, kHintsCommand, kMfChecked), 0xFFFFFFFFu);
}

TEST_F(LinuxPlatformTest, MessagesComeInOrderAndTheQuitAfterThem) {
    RecordingWindow handler;
    const WindowHandle window = CreateWindow(handler);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(handler.received, (std::vector<RecordingWindow::Received>{{window, kWmCreate, 0}}));
    EXPECT_TRUE(platform_->PostMessageA(window, kWmApp, 1, 0));
    platform_->PostQuitMessage(3);
    EXPECT_TRUE(platform_->PostMessageA(window, kWmApp, 2, 0));
    EXPECT_FALSE(platform_->PostMessageA(window + 1, kWmApp, 3, 0));
    Message message;
    ASSERT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 1);
    platform_->DispatchMessageA(&message);
    ASSERT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 1);
    platform_->DispatchMessageA(&message);
    EXPECT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 0);
    EXPECT_EQ(message.message, kWmQuit);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(handler.received.back(), (RecordingWindow::Received{window, kWmApp, 2}));
    EXPECT_EQ(handler.received.size(), 3u);
}

TEST_F(LinuxPlatformTest, ATimerQueuesOneMessageAtATimeAndTakesItAlongWhenKilled) {
    RecordingWindow handler;
    const WindowHandle window = CreateWindow(handler);
    EXPECT_EQ(platform_->SetTimer(window, 7, 1, nullptr), 7u);
    EXPECT_TRUE(platform_->PostMessageA(window, kWmApp, 0, 0));
    Message message;
    platform_->GetMessageA(&message, 0, 0, 0);  // the posted message, already waiting
    g_usleep(20000);                            // the timer is due many times over meanwhile
    RunPending();
    ASSERT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 1);
    EXPECT_EQ(message.message, kWmTimer);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_TRUE(platform_->PostMessageA(window, kWmApp, 1, 0));
    g_usleep(5000);
    RunPending();
    EXPECT_TRUE(platform_->KillTimer(window, 7));
    EXPECT_FALSE(platform_->KillTimer(window, 7));
    platform_->PostQuitMessage(0);
    ASSERT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 1);
    EXPECT_EQ(message.message, kWmApp);  // the second WM_TIMER went with its timer
    EXPECT_EQ(platform_->GetMessageA(&message, 0, 0, 0), 0);
}

TEST_F(LinuxPlatformTest, OwnedWindowsAreDestroyedBeforeTheirOwner) {
    RecordingWindow owner;
    RecordingWindow owned;
    const WindowHandle ownerWindow = CreateWindow(owner);
    const WindowHandle ownedWindow = CreateWindow(owned, ownerWindow);
    platform_->SetTimer(ownedWindow, 1, 60000, nullptr);
    EXPECT_TRUE(platform_->DestroyWindow(ownerWindow));
    EXPECT_EQ(owned.received.back().message, kWmDestroy);
    EXPECT_EQ(owner.received.back().message, kWmDestroy);
    EXPECT_FALSE(platform_->KillTimer(ownedWindow, 1));
    EXPECT_FALSE(platform_->DestroyWindow(ownedWindow));
}

// The desktop comes up on its first use, after the grabs; where GTK cannot open the display
// then, every call that needs it fails as the platform's calls fail, and none crashes.
TEST_F(LinuxPlatformTest, WithoutADesktopItsCallsFailAndTheTrayIsAbsent) {
    const char* display = g_getenv("DISPLAY");
    const std::string saved = display != nullptr ? display : "";
    g_unsetenv("DISPLAY");
    Rect work{};
    Point pointer{};
    NotifyIconData icon{};
    EXPECT_EQ(platform_->GetSystemMetrics(kSmCxScreen), 0);
    EXPECT_FALSE(platform_->SystemParametersInfoA(kSpiGetWorkArea, 0, &work, 0));
    EXPECT_FALSE(platform_->GetCursorPos(&pointer));
    EXPECT_EQ(platform_->MessageBoxA(0, "text", "Pavix", kMbOk), 0);
    EXPECT_EQ(platform_->FindWindowA("Shell_TrayWnd", nullptr), 0);
    EXPECT_FALSE(platform_->Shell_NotifyIconA(kNimAdd, &icon));
    EXPECT_TRUE(platform_->Shell_NotifyIconA(kNimDelete, &icon));
    if (display != nullptr) {
        g_setenv("DISPLAY", saved.c_str(), TRUE);
    }
}

// A program installed without its desktop module, or beside a foreign one, still hears its
// chords: what needs the desktop fails as it does without a display, sounds stay silent.
TEST_F(LinuxPlatformTest, WithoutItsDesktopModuleTheDesktopsCallsFail) {
    EXPECT_EQ(LoadDesktopModule(folder_ + "/none.so"), nullptr);
    EXPECT_EQ(LoadDesktopModule("libm.so.6"), nullptr);
    EXPECT_EQ(LoadDesktopModule(""), nullptr);
    std::filesystem::create_directories(folder_ + "/program/icons");
    std::filesystem::copy_file(PAVIX_ICONS_DIR "/idle.ico", folder_ + "/program/icons/idle.ico");
    platform_ = Make(false, folder_ + "/none.so");
    EXPECT_EQ(platform_->LoadImageA(0, kIdleIcon, kImageIcon, 16, 16, 0), 0u);
    EXPECT_EQ(platform_->MessageBoxA(0, "text", "Pavix", kMbOk), 0);
    EXPECT_EQ(platform_->FindWindowA("Shell_TrayWnd", nullptr), 0);
    EXPECT_EQ(platform_->GetKeyState(kVkShift), 0);
    EXPECT_FALSE(platform_->OpenClipboard(0));
    OpenFileName request{};
    EXPECT_FALSE(platform_->GetOpenFileNameA(&request));
    EXPECT_TRUE(platform_->PlaySoundA((folder_ + "/program/icons/idle.ico").c_str(), 0, 0));
    RunPending();
}

TEST_F(LinuxPlatformTest, ASecondInstanceFindsTheLockTaken) {
    EXPECT_NE(platform_->CreateMutexA(nullptr, true, "Pavix"), 0);
    EXPECT_EQ(platform_->GetLastError(), kErrorSuccess);
    std::unique_ptr<LinuxPlatform> second = Make(false);
    EXPECT_NE(second->CreateMutexA(nullptr, true, "Pavix"), 0);
    EXPECT_EQ(second->GetLastError(), kErrorAlreadyExists);
    platform_.reset();  // the first instance ends
    EXPECT_NE(second->CreateMutexA(nullptr, true, "Pavix"), 0);
    EXPECT_EQ(second->GetLastError(), kErrorSuccess);
}

TEST_F(LinuxPlatformTest, AFailureIsWordedByTheSystem) {
    EXPECT_EQ(platform_->ShellExecuteA(0, nullptr, (folder_ + "/missing").c_str(), "", "", kSwShow),
              std::intptr_t{kErrorFileNotFound});
    const std::uint32_t error = platform_->GetLastError();
    EXPECT_EQ(error, kErrorFileNotFound);
    char* text = nullptr;
    const std::uint32_t length = platform_->FormatMessageA(
        kFormatMessageFromSystem | kFormatMessageAllocateBuffer, nullptr, error, 0, &text, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), g_strerror(ENOENT));
    platform_->LocalFree(text);
    EXPECT_GT(platform_->ShellExecuteA(0, nullptr, "true", "", folder_.c_str(), kSwShow), 32);
    // A failure whose code is above 32 still answers as one.
    EXPECT_LE(platform_->ShellExecuteA(0, nullptr, "true", "\"open", "", kSwShow), 32);
    EXPECT_EQ(platform_->GetLastError(), kErrorInvalidParameter);
}

}  // namespace
}  // namespace pavix

namespace pavix {
namespace {

TEST_F(LinuxPlatformTest, AProgramStartsInItsDirectoryWithItsParameters) {
    const std::string script = folder_ + "/report";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s|%s|%s' \"$PWD\" \"$1\" \"$2\" > out.tmp\n"
                             "mv out.tmp out\n";
    ::chmod(script.c_str(), 0755);
    EXPECT_GT(
        platform_->ShellExecuteA(0, nullptr, "./report", "\"a b\" c", folder_.c_str(), kSwShow),
        32);
    EXPECT_EQ(WrittenByChild(folder_ + "/out"), folder_ + "|a b|c");
}

// A library's descriptor left open across exec must not reach the command (it would hold
// whatever the descriptor holds for as long as the command runs).
TEST_F(LinuxPlatformTest, AScriptRunsWithoutAnInterpreterLineAndWithoutOurDescriptors) {
    const int inherited = ::open("/dev/null", O_RDONLY);
    const std::string script = folder_ + "/report";
    std::ofstream(script) << "[ -e /proc/$$/fd/" << inherited << " ] && s=open || s=closed\n"
                          << "echo $s > out.tmp; mv out.tmp out\n";
    ::chmod(script.c_str(), 0755);
    EXPECT_GT(platform_->ShellExecuteA(0, nullptr, "./report", "", folder_.c_str(), kSwShow), 32);
    EXPECT_EQ(WrittenByChild(folder_ + "/out"), "closed\n");
    ::close(inherited);
}

}  // namespace
}  // namespace pavix

namespace pavix {
namespace {

TEST_F(LinuxPlatformTest, TheTraysPicturesArePngFilesMadeOnceFromTheIcons) {
    namespace fs = std::filesystem;
    fs::create_directories(folder_ + "/program/icons");
    fs::copy_file(PAVIX_ICONS_DIR "/idle.ico", folder_ + "/program/icons/idle.ico");
    const IconHandle icon = platform_->LoadImageA(0, kIdleIcon, kImageIcon, 16, 16, 0);
    ASSERT_NE(icon, 0u);
    const std::string png = folder_ + "/runtime/pavix-idle.png";
    std::ifstream made(png, std::ios::binary);
    char signature[4] = {};
    made.read(signature, sizeof signature);
    EXPECT_EQ(std::string(signature, 4), "\x89PNG");
    fs::remove(folder_ + "/program/icons/idle.ico");  // the picture made before serves again
    EXPECT_NE(platform_->LoadImageA(0, kIdleIcon, kImageIcon, 16, 16, 0), 0u);
    EXPECT_TRUE(platform_->DestroyIcon(icon));
    EXPECT_FALSE(platform_->DestroyIcon(icon));
    EXPECT_EQ(platform_->LoadImageA(0, kIdleIcon + 1, kImageIcon, 16, 16, 0), 0u);
    EXPECT_EQ(platform_->LoadImageA(0, kIdleIcon + 2, kImageIcon, 16, 16, 0), 0u);
    EXPECT_FALSE(fs::exists(folder_ + "/runtime/pavix-missing.png.partial"));
}

TEST_F(LinuxPlatformTest, HandlesThatAreNoDescriptorsSurviveTheirClosing) {
    ASSERT_NE(platform_->CreateMutexA(nullptr, true, "Pavix"), 0);
    KernelHandle token = 0;
    ASSERT_TRUE(platform_->OpenProcessToken(platform_->GetCurrentProcess(), 0, &token));
    EXPECT_TRUE(platform_->CloseHandle(token));
    EXPECT_TRUE(platform_->CloseHandle(platform_->GetCurrentProcess()));
    // Closing the instance's handle keeps the instance, as the platform's mutex does.
    EXPECT_TRUE(platform_->CloseHandle(platform_->CreateMutexA(nullptr, true, "Pavix")));
    std::unique_ptr<LinuxPlatform> second = Make(false);
    second->CreateMutexA(nullptr, true, "Pavix");
    EXPECT_EQ(second->GetLastError(), kErrorAlreadyExists);
}

TEST_F(LinuxPlatformTest, TextsThatDoNotFitAreCutAndSaySo) {
    char path[8] = {};
    EXPECT_EQ(platform_->GetModuleFileNameA(0, path, sizeof path), sizeof path);
    EXPECT_EQ(platform_->GetLastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(std::string(path), (folder_ + "/config/pavix").substr(0, 7));
    char16_t wide[4] = {};
    EXPECT_EQ(platform_->MultiByteToWideChar(932, kMbErrInvalidChars, "\x82", 1, wide, 4), 0);
    EXPECT_EQ(platform_->GetLastError(), kErrorNoUnicodeTranslation);
    EXPECT_EQ(platform_->MultiByteToWideChar(437, 0, "a", 1, wide, 4), 0);
    EXPECT_EQ(platform_->GetLastError(), kErrorInvalidParameter);
    char reason[6] = {};
    char* buffer = reason;
    EXPECT_EQ(platform_->FormatMessageA(kFormatMessageFromSystem, nullptr, kErrorAccessDenied, 0,
                                        reinterpret_cast<char**>(buffer), sizeof reason),
              5u);
    EXPECT_EQ(std::string(reason), std::string(g_strerror(EACCES)).substr(0, 5));
    EXPECT_EQ(platform_->FormatMessageA(kFormatMessageFromSystem, nullptr, 1234567, 0,
                                        reinterpret_cast<char**>(buffer), sizeof reason),
              0u);
}

}  // namespace
}  // namespace pavix
