#include "tour.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <vector>

#include "actions.h"
#include "dialog_driver.h"
#include "editor_steps.h"
#include "scenario.h"

namespace pavix_e2e {
namespace {

// Time for a change to be drawn (icons, menus, dialogs) before its picture is taken.
constexpr DWORD kPaintMs = 400;
// How much of the strip the tray pictures show: its right end, where the icons are.
constexpr LONG kTrayShotWidth = 260;
constexpr LONG kMargin = 8;

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT Union(RECT a, RECT b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT Grow(RECT rect, LONG by) {
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    return RECT{std::max(0L, rect.left - by), std::max(0L, rect.top - by),
                std::min(width, rect.right + by), std::min(height, rect.bottom + by)};
}

// Writes what the screen shows in `area` as a bottom-up 24-bit BMP.
Verdict Capture(const RECT& area, const std::string& path) {
    Sleep(kPaintMs);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return Fail("nothing to capture for " + path);
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((width * 3) + 3) & ~3u;
    std::vector<std::uint8_t> pixels(stride * height);
    const int lines = GetDIBits(memory, bitmap, 0, height, pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != height) {
        return Fail("cannot read the screen for " + path);
    }

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return Fail("cannot write " + path);
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0 ? Pass() : Fail("cannot write " + path);
}

// Runs the steps in order and stops at the first that fails.
Verdict RunSteps(std::initializer_list<std::function<Verdict()>> steps) {
    for (const auto& step : steps) {
        if (Verdict v = step(); !v.passed) {
            return v;
        }
    }
    return Pass();
}

class Tour {
  public:
    Tour(ScenarioContext& ctx, std::string outFolder, std::string suffix, bool japanese)
        : ctx_(ctx),
          out_(std::move(outFolder)),
          suffix_(std::move(suffix)),
          japanese_(japanese),
          titles_(japanese ? JapaneseTitles() : EnglishTitles()) {}

    Verdict Run() {
        return RunSteps({
            [&] { return TrayStates(); },
            [&] { return Configuration(); },
            [&] { return SequenceEditor(); },
            [&] { return Conflict(); },
            [&] { return AllSequences(); },
        });
    }

    // At a display scale other than 100 %: the hints and the sequence editor alone.
    Verdict RunScaled() {
        Dialog editor;
        return RunSteps({
            [&] { return FindTray(); },
            [&] { return Press(CtrlAlt('P')); },
            [&] { return HintsShot(); },
            [&] { return Command(kMenuAbort); },
            [&] { return OpenFromMenu(ctx_, kMenuEditSequence, titles_.sequenceEditor, &editor); },
            [&] { return Select(editor, kSequenceList, 0); },
            [&] { return Select(editor, kCommandList, 0); },
            [&] { return Select(editor, kKeyList, 1); },
            [&] { return DialogShot(editor, "sequence-editor"); },
            [&] { return editor.ClickToClose(IDCANCEL); },
        });
    }

  private:
    std::string Path(const char* name) const { return out_ + "\\" + name + suffix_ + ".bmp"; }

    Verdict FindTray() {
        tray_ = FindWindowW(L"Shell_TrayWnd", nullptr);
        notify_ = tray_ ? FindWindowExW(tray_, nullptr, L"TrayNotifyWnd", nullptr) : nullptr;
        if (notify_ == nullptr) {
            return Fail("the tray host is not running");
        }
        const RECT strip = WindowRect(tray_);
        trayShot_ = RECT{strip.right - kTrayShotWidth, strip.top, strip.right, strip.bottom};
        return Pass();
    }

    // Right-clicks Pavix's icon, as a person opens its menu: the only icon, in the middle of the
    // notification area.
    Verdict OpenMenu() {
        const RECT area = WindowRect(notify_);
        const LONG x = (area.left + area.right) / 2;
        const LONG y = (area.top + area.bottom) / 2;
        INPUT inputs[3] = {};
        for (INPUT& input : inputs) {
            input.type = INPUT_MOUSE;
            input.mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
            input.mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
            input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
        }
        inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
        inputs[1].mi.dwFlags |= MOUSEEVENTF_RIGHTDOWN;
        inputs[2].mi.dwFlags |= MOUSEEVENTF_RIGHTUP;
        SendInput(3, inputs, sizeof(INPUT));
        if (!WaitUntil([&] { return (menu_ = FindPopupMenu(ctx_.pavix.Id())) != nullptr; })) {
            return Fail("a right click on the icon opened no menu");
        }
        return Pass();
    }

    Verdict CloseMenu() {
        PostMessageW(menu_, WM_KEYDOWN, VK_ESCAPE, 0);
        if (!WaitUntil([&] { return FindPopupMenu(ctx_.pavix.Id()) == nullptr; })) {
            return Fail("the menu did not close");
        }
        return Pass();
    }

    Verdict MenuShot(const char* name) {
        if (Verdict v = OpenMenu(); !v.passed) {
            return v;
        }
        if (Verdict v = Capture(Grow(Union(WindowRect(menu_), trayShot_), kMargin), Path(name));
            !v.passed) {
            return v;
        }
        return CloseMenu();
    }

    Verdict Command(UINT command) {
        return PostMenuCommand(ctx_.pavix.Window(), command) ? Pass()
                                                             : Fail("cannot post a menu command");
    }

    Verdict Press(const Chord& chord) {
        return PressChords({chord}) ? Pass() : Fail("cannot press a chord");
    }

    Verdict Select(const Dialog& dialog, int list, int row) {
        return dialog.SelectListRow(list, row) ? Pass() : Fail("cannot select a list row");
    }

    Verdict TrayStates() {
        return RunSteps({
            [&] { return FindTray(); },
            [&] { return Capture(trayShot_, Path("tray-idle")); },
            [&] { return MenuShot("menu-idle"); },
            [&] { return Press(CtrlAlt('P')); },
            [&] { return Capture(trayShot_, Path("tray-seeking")); },
            [&] { return HintsShot(); },
            [&] { return Command(kMenuAbort); },
            [&] { return Command(kMenuDisable); },
            [&] { return Capture(trayShot_, Path("tray-disabled")); },
            [&] { return MenuShot("menu-disabled"); },
            [&] { return Command(kMenuEnable); },
        });
    }

    // The hints after the pause that follows Ctrl+Alt+P, with the icons below them.
    Verdict HintsShot() {
        HWND hint = nullptr;
        if (!WaitUntil([&] {
                hint = FindHintWindow(ctx_.pavix.Id());
                return hint != nullptr && IsWindowVisible(hint);
            })) {
            return Fail("no hint window appeared");
        }
        return Capture(Grow(Union(WindowRect(hint), trayShot_), kMargin), Path("hints"));
    }

    Verdict DialogShot(const Dialog& dialog, const char* name) {
        return Capture(Grow(WindowRect(dialog.Window()), kMargin), Path(name));
    }

    Verdict Configuration() {
        Dialog dialog;
        return RunSteps({
            [&] { return OpenFromMenu(ctx_, kMenuConfiguration, titles_.configuration, &dialog); },
            [&] { return DialogShot(dialog, "configuration"); },
            [&] { return dialog.ClickToClose(IDCANCEL); },
        });
    }

    // The first sample sequence, its first command and its second chord selected.
    Verdict SequenceEditor() {
        Dialog editor;
        return RunSteps({
            [&] { return OpenFromMenu(ctx_, kMenuEditSequence, titles_.sequenceEditor, &editor); },
            [&] { return Select(editor, kSequenceList, 0); },
            [&] { return Select(editor, kCommandList, 0); },
            [&] { return Select(editor, kKeyList, 1); },
            [&] { return DialogShot(editor, "sequence-editor"); },
            [&] { return CommandEditor(editor); },
            [&] { return HotkeyEditor(editor); },
            [&] { return RecordKeys(editor); },
            [&] { return editor.ClickToClose(IDCANCEL); },
        });
    }

    // Two chords typed into the Record box while it records.
    Verdict RecordKeys(const Dialog& editor) {
        Dialog record;
        const std::wstring title = japanese_ ? L"キーの記録" : L"Record Keys";
        constexpr int kChordList = pavix::ids::RecordDialogIds::kChordList;
        return RunSteps({
            [&] { return OpenNested(ctx_, editor, kKeyRecord, title, &record); },
            [&] {
                return PressChords({CtrlAlt('P'), CtrlAlt('N')}) ? Pass()
                                                                 : Fail("cannot press chords");
            },
            [&] {
                return WaitUntil([&] { return record.ListCount(kChordList) == 2; })
                           ? Pass()
                           : Fail("the Record box did not record two chords");
            },
            [&] { return DialogShot(record, "record-keys"); },
            [&] { return record.ClickToClose(IDCANCEL); },
        });
    }

    // The sheet of the sample sequences beside the running engine.
    Verdict AllSequences() {
        Dialog sheet;
        const std::wstring title = japanese_ ? L"すべてのシーケンス" : L"All Sequences";
        return RunSteps({
            [&] { return OpenFromMenu(ctx_, kMenuAllSequences, title, &sheet); },
            [&] { return DialogShot(sheet, "all-sequences"); },
            [&] { return sheet.ClickToClose(IDCANCEL); },
        });
    }

    // A new sequence on the chords of the first sample: marked, and the reason under the lists.
    Verdict Conflict() {
        Dialog editor;
        return RunSteps({
            [&] { return OpenFromMenu(ctx_, kMenuEditSequence, titles_.sequenceEditor, &editor); },
            [&] { return editor.Click(kSequenceAdd); },
            [&] {
                return editor.SetText(kSequenceName, L"Notepad again")
                           ? Pass()
                           : Fail("cannot type a sequence name");
            },
            [&] { return AddKey(ctx_, editor, CtrlAlt('P'), japanese_); },
            [&] { return AddKey(ctx_, editor, CtrlAlt('N'), japanese_); },
            [&] { return AddBuiltinCommand(ctx_, editor, kBuiltinDoNothing, japanese_); },
            [&] { return DialogShot(editor, "sequence-editor-conflict"); },
            [&] { return editor.ClickToClose(IDCANCEL); },
        });
    }

    Verdict CommandEditor(const Dialog& editor) {
        Dialog command;
        return RunSteps({
            [&] { return OpenNested(ctx_, editor, kCommandEdit, titles_.commandEditor, &command); },
            [&] { return DialogShot(command, "command-editor"); },
            [&] { return command.ClickToClose(IDCANCEL); },
        });
    }

    Verdict HotkeyEditor(const Dialog& editor) {
        Dialog hotkey;
        Dialog capture;
        return RunSteps({
            [&] { return OpenNested(ctx_, editor, kKeyEdit, titles_.hotkeyEditor, &hotkey); },
            [&] { return DialogShot(hotkey, "hotkey-editor"); },
            [&] { return OpenNested(ctx_, hotkey, kHotkeyKeyType, titles_.keyCapture, &capture); },
            [&] { return DialogShot(capture, "key-capture"); },
            [&] { return capture.ClickToClose(IDCANCEL); },
            [&] { return hotkey.ClickToClose(IDCANCEL); },
        });
    }

    ScenarioContext& ctx_;
    std::string out_;
    std::string suffix_;
    bool japanese_;
    const DialogTitles& titles_;
    HWND tray_ = nullptr;
    HWND notify_ = nullptr;
    HWND menu_ = nullptr;
    RECT trayShot_{};
};

}  // namespace

Verdict RunTour(const std::string& folder, const std::string& outFolder, const std::string& suffix,
                bool japanese, bool scaled) {
    const Paths paths{folder + "\\Pavix.exe", folder, "", ""};
    const Workspace workspace{folder, paths.pavixExe, folder, folder + "\\marker.txt"};
    ScenarioContext ctx(paths, workspace, nullptr);
    Verdict verdict = ctx.StartPavix();
    if (verdict.passed) {
        Sleep(kPaintMs);
        Tour tour(ctx, outFolder, suffix, japanese);
        verdict = scaled ? tour.RunScaled() : tour.Run();
    }
    const Verdict ending = ctx.pavix.End();
    return verdict.passed ? ending : verdict;
}

}  // namespace pavix_e2e
