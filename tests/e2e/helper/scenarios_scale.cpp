// Pavix at 150 % display scale (Wine's LogPixels at 144, which tests/e2e/run.sh sets for the
// group "hidpi"): the tray icon is drawn at the small-icon size of that scale, the hint window's
// rows are as wide and as high as their text in the scaled dialog font with scaled margins, and
// every control of the sequence editor lies inside the dialog, with the key list's columns sized
// for the scale.
#include "editor_steps.h"

#include <commctrl.h>

#include <cstring>

#include "scenario.h"

namespace pavix_e2e {
namespace {

constexpr int kDpi = 144;
constexpr std::size_t kAdd = 0;
// Where the shell's record of a request keeps the icon's width: after the identity, the tip,
// the state, the balloon and its title, the flags and the GUID.
constexpr std::size_t kIconWidthOffset = 944;

int Scaled(int pixels) {
    return MulDiv(pixels, kDpi, 96);
}

Verdict ExpectScreenScaled() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi == kDpi ? Pass()
                       : Fail("the screen is at " + std::to_string(dpi) + " DPI, not " +
                              std::to_string(kDpi) + " (LogPixels not in effect)");
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// The rectangle of `child` in the client coordinates of `parent`.
RECT InClient(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The text of each label measured in the dialog font of this scale, which is the font Pavix
// gives the labels when the monitor's scale is the system's.
Verdict ExpectRowsFit(HWND hint) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    std::string problem;
    const std::vector<HWND> labels = Children(hint);
    for (HWND label : labels) {
        const std::wstring text = TextOf(label);
        SIZE extent{};
        GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
        const RECT cell = InClient(label, hint);
        if (cell.right - cell.left < extent.cx || cell.bottom - cell.top < extent.cy) {
            problem = "the row \"" + Utf8(text) + "\" is " +
                      std::to_string(cell.right - cell.left) + "x" +
                      std::to_string(cell.bottom - cell.top) + " for a text of " +
                      std::to_string(extent.cx) + "x" + std::to_string(extent.cy);
        } else if (cell.left < Scaled(6) || cell.top < Scaled(6)) {
            problem = "the row \"" + Utf8(text) + "\" starts at " + std::to_string(cell.left) +
                      "," + std::to_string(cell.top) + ", inside the scaled margin";
        }
        if (!problem.empty()) {
            break;
        }
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    if (labels.empty()) {
        return Fail("the hint window has no rows");
    }
    return problem.empty() ? Pass() : Fail(problem);
}

Verdict HintsAndIconAtTheScale(ScenarioContext& ctx) {
    if (Verdict v = ExpectScreenScaled(); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteConfig(QuietConfig()); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({
            {"Open the notes of the weekly meeting", {kChordA, kChordB}, {ctx.MarkerCommand()}},
            {"Lock", {kChordA, kChordX}, {Builtin(kBuiltinDoNothing)}},
        });
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::vector<std::uint8_t>& added = ctx.tray->Records()[kAdd].payload;
    std::uint32_t iconWidth = 0;
    if (added.size() >= kIconWidthOffset + 4) {
        std::memcpy(&iconWidth, added.data() + kIconWidthOffset, 4);
    }
    if (static_cast<int>(iconWidth) != Scaled(16)) {
        return Fail("the tray icon is " + std::to_string(iconWidth) + " pixels wide, not " +
                    std::to_string(Scaled(16)));
    }
    if (!PressChords({kChordA})) {
        return Fail("SendInput refused the chord");
    }
    HWND hint = nullptr;
    if (!WaitUntil([&] {
            hint = FindHintWindow(ctx.pavix.Id());
            return hint != nullptr && IsWindowVisible(hint);
        })) {
        return Fail("no hint window appeared");
    }
    if (Verdict v = ExpectRowsFit(hint); !v.passed) {
        return v;
    }
    if (!PressChords({kChordB})) {
        return Fail("SendInput refused the chord");
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    return ctx.ExpectRuns(1);
}

Verdict SequenceEditorAtTheScale(ScenarioContext& ctx) {
    if (Verdict v = ExpectScreenScaled(); !v.passed) {
        return v;
    }
    if (Verdict v =
            ctx.WriteSequences({{"Notes", {kChordA, kChordB}, {Builtin(kBuiltinDoNothing)}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, EnglishTitles().sequenceEditor, &editor);
        !v.passed) {
        return v;
    }
    RECT client{};
    GetClientRect(editor.Window(), &client);
    std::string problem;
    for (HWND control : Children(editor.Window())) {
        const RECT rect = InClient(control, editor.Window());
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right ||
            rect.bottom > client.bottom) {
            problem = "control " + std::to_string(GetDlgCtrlID(control)) + " runs past the dialog";
            break;
        }
    }
    HWND keys = editor.Item(kKeyList);
    const int modifiers = static_cast<int>(SendMessageW(keys, LVM_GETCOLUMNWIDTH, 0, 0));
    const int key = static_cast<int>(SendMessageW(keys, LVM_GETCOLUMNWIDTH, 1, 0));
    RECT list{};
    GetClientRect(keys, &list);
    if (problem.empty() && modifiers != Scaled(80)) {
        problem = "the modifier column is " + std::to_string(modifiers) + " pixels wide";
    } else if (problem.empty() && (key <= 0 || modifiers + key > list.right)) {
        problem = "the key columns (" + std::to_string(modifiers) + " and " + std::to_string(key) +
                  ") do not fit the list's " + std::to_string(list.right) + " pixels";
    }
    if (Verdict v = CloseAndExpectIdle(ctx, editor, IDCANCEL); !v.passed) {
        return v;
    }
    return problem.empty() ? Pass() : Fail(problem);
}

}  // namespace

std::vector<Scenario> ScaleScenarios() {
    return {
        {"hidpi_hints_and_icon_follow_the_scale", "hidpi", true, HintsAndIconAtTheScale},
        {"hidpi_sequence_editor_fits_the_scale", "hidpi", true, SequenceEditorAtTheScale},
    };
}

}  // namespace pavix_e2e
