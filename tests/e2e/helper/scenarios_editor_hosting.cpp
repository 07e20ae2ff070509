// How the main window hosts its two editors: no hotkey is registered while one is open, and
// after OK or Cancel the engine holds its chords again with the idle icon, even when it was
// disabled before; the menu commands that open editors open no second one while one is open,
// and none of the menu commands acts while an enabling pass shows a box; Exit ends an open
// editor and Pavix with it; the Japanese copies of the five dialogs open under the Japanese locale.
//
// A "TaskbarCreated" posted to the main window answers with an icon add; since posted messages
// are handled in order, that add proves that everything posted before it has been handled.
#include <algorithm>

#include "editor_steps.h"
#include "key_texts.h"

namespace pavix_e2e {
namespace {

Verdict HotkeysOnlyOutsideEditors(ScenarioContext& ctx) {
    ConfigSpec config = QuietConfig();
    config.abortEnabled = true;
    config.abortKey = kChordQ;
    if (Verdict v = ctx.WriteConfig(config); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::vector<Chord> chords = {kChordQ, kChordA, kChordB};
    if (Verdict v = ExpectChordsFree(chords, false, "after start-up"); !v.passed) {
        return v;
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuDisable);
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the menu command Disable: " + v.reason);
    }
    struct Round {
        UINT menuCommand;
        std::wstring title;
        int button;
        std::string name;
    };
    const Round rounds[] = {
        {kMenuConfiguration, EnglishTitles().configuration, IDCANCEL,
         "the configuration dialog closed with Cancel (Pavix disabled before)"},
        {kMenuEditSequence, EnglishTitles().sequenceEditor, IDOK,
         "the sequence editor closed with OK"},
        {kMenuConfiguration, EnglishTitles().configuration, IDOK,
         "the configuration dialog closed with OK"},
        {kMenuEditSequence, EnglishTitles().sequenceEditor, IDCANCEL,
         "the sequence editor closed with Cancel"},
    };
    std::size_t next = 2;
    for (const Round& round : rounds) {
        Dialog dialog;
        if (Verdict v = OpenFromMenu(ctx, round.menuCommand, round.title, &dialog); !v.passed) {
            return v;
        }
        if (Verdict v = ExpectChordsFree(chords, true, "while " + dialog.Name() + " is open");
            !v.passed) {
            return v;
        }
        if (Verdict v = dialog.ClickToClose(round.button); !v.passed) {
            return v;
        }
        if (Verdict v = ctx.ExpectIcon(next++, NIM_MODIFY, kAdd, true); !v.passed) {
            return Fail("after " + round.name + ": " + v.reason);
        }
        if (Verdict v = ExpectChordsFree(chords, false, "after " + round.name); !v.passed) {
            return v;
        }
    }
    // The files the editors saved unchanged still drive the engine.
    if (!PressChords({kChordA, kChordB})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectIcon(next, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after A: " + v.reason);
    }
    if (Verdict v = ctx.ExpectIcon(next + 1, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after A B: " + v.reason);
    }
    return ctx.ExpectRuns(1);
}

// Posts "TaskbarCreated" and waits for its add, request #next.
Verdict AllPostedHandled(ScenarioContext& ctx, std::size_t* next, const std::string& when) {
    if (!PostTaskbarCreated(ctx.pavix.Window())) {
        return Fail("cannot post \"TaskbarCreated\"");
    }
    if (Verdict v = ctx.ExpectIcon((*next)++, NIM_ADD, kAdd, true); !v.passed) {
        return Fail(when + ": " + v.reason);
    }
    return Pass();
}

// Exactly these dialogs of Pavix exist, shown or not.
Verdict ExpectOnlyDialogs(ScenarioContext& ctx, const std::vector<HWND>& expected,
                          const std::string& when) {
    std::vector<HWND> dialogs = FindDialogs(ctx.pavix.Id());
    bool same = dialogs.size() == expected.size();
    for (HWND dialog : expected) {
        same = same && std::find(dialogs.begin(), dialogs.end(), dialog) != dialogs.end();
    }
    if (same) {
        return Pass();
    }
    std::string titles;
    for (HWND dialog : dialogs) {
        titles += (titles.empty() ? "\"" : ", \"") + Utf8(WindowTitle(dialog)) + "\"";
    }
    return Fail(when + ": Pavix has " + std::to_string(dialogs.size()) + " dialog(s) (" + titles +
                "), expected " + std::to_string(expected.size()));
}

// While an editor is open, both menu commands that open editors bring no second one: no further
// dialog, the engine stays disabled, and closing the one editor re-enables it once.
Verdict MenuCommandsDoNotNest(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteSequences({{"two", {kChordA, kChordB}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const std::vector<Chord> chords = {kChordA, kChordB};
    std::size_t next = 1;
    for (UINT first : {kMenuConfiguration, kMenuEditSequence}) {
        const std::wstring title = first == kMenuConfiguration ? EnglishTitles().configuration
                                                               : EnglishTitles().sequenceEditor;
        Dialog dialog;
        if (Verdict v = OpenFromMenu(ctx, first, title, &dialog); !v.passed) {
            return v;
        }
        const std::string when = "with " + dialog.Name() + " open, after the menu commands";
        PostMenuCommand(ctx.pavix.Window(), kMenuEditSequence);
        PostMenuCommand(ctx.pavix.Window(), kMenuConfiguration);
        if (Verdict v = AllPostedHandled(ctx, &next, when); !v.passed) {
            return v;
        }
        if (Verdict v = ExpectOnlyDialogs(ctx, {dialog.Window()}, when); !v.passed) {
            return v;
        }
        if (Verdict v = ExpectChordsFree(chords, true, when); !v.passed) {
            return v;
        }
        if (Verdict v = dialog.ClickToClose(IDCANCEL); !v.passed) {
            return v;
        }
        if (Verdict v = ctx.ExpectIcon(next++, NIM_MODIFY, kAdd, true); !v.passed) {
            return Fail("after Cancel in " + dialog.Name() + ": " + v.reason);
        }
        if (Verdict v = AllPostedHandled(ctx, &next, "after Cancel"); !v.passed) {
            return v;
        }
        if (Verdict v = ctx.ExpectTrayCount(next); !v.passed) {
            return Fail("one editor run should change the icon once: " + v.reason);
        }
        if (Verdict v = ExpectChordsFree(chords, false, "after Cancel in " + dialog.Name());
            !v.passed) {
            return v;
        }
    }
    // With the hotkey editor open over the configuration dialog as well.
    Dialog config;
    if (Verdict v = OpenFromMenu(ctx, kMenuConfiguration, EnglishTitles().configuration, &config);
        !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenNested(ctx, config, kConfigChange, EnglishTitles().hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuEditSequence);
    const std::string when = "with the hotkey editor open, after the menu command Edit Sequence";
    if (Verdict v = AllPostedHandled(ctx, &next, when); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectOnlyDialogs(ctx, {config.Window(), editor.Window()}, when); !v.passed) {
        return v;
    }
    if (Verdict v = editor.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    config.Settle();
    if (Verdict v = config.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectIcon(next, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after Cancel in the configuration dialog: " + v.reason);
    }
    return ExpectChordsFree(chords, false, "after the last Cancel");
}

// Posts "TaskbarCreated" while a box of Pavix is open and waits for its add, request #index, with
// the picture of request #reference: everything posted before it has been handled. (WaitForTray
// gives up on a box, which here is expected.)
Verdict AllPostedHandledUnderABox(ScenarioContext& ctx, std::size_t index, std::size_t reference,
                                  const std::string& when) {
    if (!PostTaskbarCreated(ctx.pavix.Window())) {
        return Fail("cannot post \"TaskbarCreated\"");
    }
    if (!ctx.tray->WaitForCount(index + 1, kWaitCapMs)) {
        return Fail(when + ": no tray request after \"TaskbarCreated\"");
    }
    const std::vector<TrayRecord> records = ctx.tray->Records();
    if (records[index].message != NIM_ADD || records[index].digest != records[reference].digest) {
        return Fail(when + ": tray request #" + std::to_string(index + 1) + " is " +
                    TrayMessageName(records[index].message) +
                    ", expected NIM_ADD with the picture" + " of request #" +
                    std::to_string(reference + 1));
    }
    return Pass();
}

// True when this process can open the file with no sharing at all: nobody else holds it open.
bool OpenableAlone(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// An enabling pass that shows a box (a chord another program holds) holds Sequence.dat no more,
// and the menu commands that would re-enter do nothing meanwhile: no editor opens, the icon does
// not change. Once the box is answered, every other sequence holds its chords and the icon is idle.
Verdict MenuCommandsWaitForAnEnablingPass(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteSequences({{"a", {kChordA}, {ctx.MarkerCommand()}},
                                        {"taken", {kChordB}, {ctx.MarkerCommand()}},
                                        {"c", {kChordC}, {ctx.MarkerCommand()}}});
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuDisable);
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, false); !v.passed) {
        return Fail("after the menu command Disable: " + v.reason);
    }
    if (!ctx.hotkeys.Take(kChordB)) {
        return Fail("the helper could not take Control+Alt+B itself");
    }
    PostMenuCommand(ctx.pavix.Window(), kMenuEnable);
    if (!WaitUntil([&] { return !FindMessageBoxes(ctx.pavix.Id()).empty(); })) {
        return Fail("Enable with Control+Alt+B taken showed no box");
    }
    const std::string when = "while the box of the refused chord is open";
    if (!OpenableAlone(SequencePath(ctx))) {
        return Fail(when + ": Sequence.dat is held open");
    }
    for (UINT command :
         {kMenuEditSequence, kMenuConfiguration, kMenuEnable, kMenuDisable, kMenuAbort}) {
        PostMenuCommand(ctx.pavix.Window(), command);
    }
    if (Verdict v = AllPostedHandledUnderABox(ctx, 2, 1, when); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectOnlyDialogs(ctx, {}, when); !v.passed) {
        return v;
    }
    if (Verdict v = ExpectErrorBox(ctx.pavix.Id(), L"Failed to register Hotkey : [C][A]+B");
        !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectIcon(3, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after the box: " + v.reason);
    }
    if (Verdict v = ExpectChordsFree({kChordA, kChordC}, false, "after the box"); !v.passed) {
        return v;
    }
    if (!PressChords({kChordA, kChordC})) {
        return Fail("SendInput refused the chords");
    }
    if (Verdict v = ctx.ExpectRuns(2); !v.passed) {
        return v;
    }
    return ctx.ExpectTrayCount(4);
}

// Exit chosen while an editor is open ends the editor as Cancel does, then Pavix the usual way:
// exit code 0, the icon removed once, no box, and nothing sent to the shell after that.
Verdict ExitEndsAnOpenEditor(ScenarioContext& ctx) {
    if (Verdict v = ctx.WriteSequences({{"a", {kChordA}, {ctx.MarkerCommand()}}}); !v.passed) {
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
    PostMenuCommand(ctx.pavix.Window(), kMenuExit);
    DWORD exitCode = 0;
    if (!ctx.pavix.WaitForExit(kWaitCapMs, &exitCode)) {
        std::string reason = "Pavix did not end after Exit with " + editor.Name() + " open";
        BoxText box;
        const std::vector<HWND> boxes = FindMessageBoxes(ctx.pavix.Id());
        if (!boxes.empty() && ReadMessageBox(boxes.front(), &box)) {
            reason += "; it shows the message box \"" + Utf8(box.text) + "\"";
        }
        return Fail(reason);
    }
    if (exitCode != 0) {
        return Fail("Pavix ended with exit code " + std::to_string(exitCode));
    }
    if (Verdict v = ctx.WaitForTray(1, NIM_DELETE, nullptr); !v.passed) {
        return v;
    }
    return ctx.ExpectTrayCount(2);
}

// The five dialogs under their Japanese titles, the command names in Japanese in the command
// editor and in the sequence editor's command list; Cancel everywhere writes no file.
Verdict JapaneseDialogs(ScenarioContext& ctx) {
    if (Verdict v = ctx.StartAndWaitForIcon(); !v.passed) {
        return v;
    }
    const DialogTitles& titles = JapaneseTitles();
    Dialog config;
    if (Verdict v = OpenFromMenu(ctx, kMenuConfiguration, titles.configuration, &config);
        !v.passed) {
        return v;
    }
    Dialog editor;
    if (Verdict v = OpenNested(ctx, config, kConfigChange, titles.hotkeyEditor, &editor);
        !v.passed) {
        return v;
    }
    Dialog capture;
    if (Verdict v = OpenNested(ctx, editor, kHotkeyKeyType, titles.keyCapture, &capture);
        !v.passed) {
        return v;
    }
    for (const Dialog* dialog : {&capture, &editor, &config}) {
        if (Verdict v = dialog->ClickToClose(IDCANCEL); !v.passed) {
            return v;
        }
    }
    if (Verdict v = ctx.ExpectIcon(1, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after Cancel in " + config.Name() + ": " + v.reason);
    }
    Dialog sequences;
    if (Verdict v = OpenFromMenu(ctx, kMenuEditSequence, titles.sequenceEditor, &sequences);
        !v.passed) {
        return v;
    }
    if (Verdict v = sequences.Click(kSequenceAdd); !v.passed) {
        return v;
    }
    if (Verdict v = AddBuiltinCommand(ctx, sequences, kBuiltinExitPavix, true); !v.passed) {
        return v;
    }
    if (Verdict v = sequences.ExpectListRows(kCommandList,
                                             {CommandRow(Builtin(kBuiltinExitPavix), true)}, 0);
        !v.passed) {
        return v;
    }
    if (Verdict v = sequences.ClickToClose(IDCANCEL); !v.passed) {
        return v;
    }
    if (Verdict v = ctx.ExpectIcon(2, NIM_MODIFY, kAdd, true); !v.passed) {
        return Fail("after Cancel in " + sequences.Name() + ": " + v.reason);
    }
    if (FileExists(ConfigPath(ctx)) || FileExists(SequencePath(ctx))) {
        return Fail("Cancel in the editors wrote a data file");
    }
    return Pass();
}

}  // namespace

std::vector<Scenario> EditorHostingScenarios() {
    return {
        {"editors_hold_no_hotkeys_while_open", "en", true, HotkeysOnlyOutsideEditors},
        {"editor_menu_commands_do_not_nest", "en", true, MenuCommandsDoNotNest},
        {"menu_commands_wait_for_an_enabling_pass", "en", true, MenuCommandsWaitForAnEnablingPass},
        {"exit_ends_an_open_editor", "en", true, ExitEndsAnOpenEditor},
        {"ja_editor_dialogs_have_japanese_titles", "ja", true, JapaneseDialogs},
    };
}

}  // namespace pavix_e2e
