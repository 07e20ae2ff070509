// Pavix's five dialogs as the scenarios see them: their titles in both languages, their control
// ids, and the steps a user takes in them that several scenarios share (opening an editor from
// the tray menu, picking a chord in the hotkey editor, adding keys and commands).
#pragma once

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "scenario.h"

namespace pavix_e2e {

struct DialogTitles {
    std::wstring configuration;
    std::wstring sequenceEditor;
    std::wstring hotkeyEditor;
    std::wstring keyCapture;
    std::wstring commandEditor;
};

const DialogTitles& EnglishTitles();
const DialogTitles& JapaneseTitles();

// Configuration dialog.
constexpr int kConfigAbortEnable = 1030;
constexpr int kConfigAbortKeyField = 1031;
constexpr int kConfigChange = 1070;
constexpr int kConfigTimeout = 1071;
// The path fields in sound-event order (Match, Mismatch, Abort, Timeout, Enable, Disable): the
// Enable and Disable rows use 1037 and 1036, in this order.
constexpr int kConfigSoundFields[6] = {1032, 1033, 1034, 1035, 1037, 1036};
constexpr const char* kDefaultSoundFiles[6] = {"se\\match.wav",  "se\\mismatch.wav",
                                               "se\\abort.wav",  "se\\timeout.wav",
                                               "se\\enable.wav", "se\\disable.wav"};

// Hotkey editor and key capture box.
constexpr int kHotkeyKeyList = 1048;
constexpr int kHotkeyControlBox = 1030;
constexpr int kHotkeyAltBox = 1029;
constexpr int kHotkeyShiftBox = 1032;
constexpr int kHotkeyWinBox = 1031;
constexpr int kHotkeyKeyType = 1027;
constexpr int kCaptureControl = 1026;
constexpr int kKeyCount = 256;

// Sequence editor.
constexpr int kSequenceList = 1000;
constexpr int kSequenceName = 1001;
constexpr int kKeyList = 1002;
constexpr int kCommandList = 1007;
constexpr int kSequenceAdd = 1012;
constexpr int kSequenceDelete = 1013;
constexpr int kSequenceCopy = 1049;
constexpr int kSequenceUp = 1016;
constexpr int kSequenceDown = 1017;
constexpr int kKeyUp = 1003;
constexpr int kKeyDown = 1004;
constexpr int kKeyAdd = 1006;
constexpr int kKeyEdit = 1014;
constexpr int kKeyDelete = 1005;
constexpr int kCommandUp = 1008;
constexpr int kCommandDown = 1009;
constexpr int kCommandAdd = 1011;
constexpr int kCommandEdit = 1015;
constexpr int kCommandDelete = 1010;

// Command editor.
constexpr int kCommandBuiltinRadio = 1017;
constexpr int kCommandExternalRadio = 1018;
constexpr int kCommandBuiltinList = 1019;
constexpr int kCommandPath = 1020;
constexpr int kCommandBrowse = 1021;
constexpr int kCommandParameter = 1022;
constexpr int kCommandDirectory = 1023;

// The fifteen buttons of the sequence editor, for checks of which ones are enabled.
const std::vector<NamedControl>& SequenceEditorButtons();
// The five of them that act on the sequence list: Add, Delete, Copy, Up, Down.
const std::vector<NamedControl>& SequenceGroupButtons();

// Posts the tray menu's command (Configuration or Edit Sequence) to the main window and waits
// for the dialog with this title.
Verdict OpenFromMenu(ScenarioContext& ctx, UINT menuCommand, const std::wstring& title,
                     Dialog* dialog);
// Clicks a button of `owner` that opens the dialog titled `title` and waits for it.
Verdict OpenNested(ScenarioContext& ctx, const Dialog& owner, int button, const std::wstring& title,
                   Dialog* dialog);

// The hotkey editor shows the chord: its key list has 256 rows, the chord's row is selected and
// reads as the layout names it, and the four check boxes match its modifiers.
Verdict ExpectHotkeyEditorShows(const Dialog& editor, const Chord& chord);
// Selects the chord's key row and sets the four check boxes.
Verdict PickChord(const Dialog& editor, const Chord& chord);

// In the sequence editor: Add in the key group, the hotkey editor opens with its defaults
// (Control+Alt, key code 8), the chord is picked and confirmed.
Verdict AddKey(ScenarioContext& ctx, const Dialog& sequenceEditor, const Chord& chord,
               bool japanese = false);
// Add in the command group, then in the command editor the built-in command `id` (the editor
// opens on built-in row 0, with the external fields disabled, listing the sixteen names).
Verdict AddBuiltinCommand(ScenarioContext& ctx, const Dialog& sequenceEditor, std::int32_t id,
                          bool japanese);
// Add in the command group, then "External" with the command's path, parameter and directory.
Verdict AddExternalCommand(ScenarioContext& ctx, const Dialog& sequenceEditor,
                           const CommandRecord& command);

// The row texts the sequence editor shows for keys and commands.
std::vector<std::wstring> KeyRow(const Chord& chord);
std::vector<std::wstring> CommandRow(const CommandRecord& command, bool japanese);

// The file paths of the scenario's data files.
std::string ConfigPath(const ScenarioContext& ctx);
std::string SequencePath(const ScenarioContext& ctx);

}  // namespace pavix_e2e
