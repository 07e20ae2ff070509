// Pavix's five dialogs as the scenarios see them: their titles in both languages, their control
// ids, and the steps a user takes in them that several scenarios share (opening an editor from
// the tray menu, picking a chord in the hotkey editor, adding keys and commands).
#pragma once

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "resources/ids.h"
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
using ConfigIds = pavix::ids::ConfigDialogIds;
constexpr int kConfigAbortEnable = ConfigIds::kAbortEnableBox;
constexpr int kConfigAbortKeyField = ConfigIds::kAbortKeyField;
constexpr int kConfigChange = ConfigIds::kChangeButton;
constexpr int kConfigTimeout = ConfigIds::kTimeoutField;
// The path fields in sound-event order (Match, Mismatch, Abort, Timeout, Enable, Disable).
constexpr int kConfigSoundFields[6] = {ConfigIds::kMatchPath,  ConfigIds::kMismatchPath,
                                       ConfigIds::kAbortPath,  ConfigIds::kTimeoutPath,
                                       ConfigIds::kEnablePath, ConfigIds::kDisablePath};
constexpr const char* kDefaultSoundFiles[6] = {"se\\match.wav",  "se\\mismatch.wav",
                                               "se\\abort.wav",  "se\\timeout.wav",
                                               "se\\enable.wav", "se\\disable.wav"};

// Hotkey editor and key capture box.
constexpr int kHotkeyKeyList = pavix::ids::HotkeyEditorIds::kKeyList;
constexpr int kHotkeyControlBox = pavix::ids::HotkeyEditorIds::kControlBox;
constexpr int kHotkeyAltBox = pavix::ids::HotkeyEditorIds::kAltBox;
constexpr int kHotkeyShiftBox = pavix::ids::HotkeyEditorIds::kShiftBox;
constexpr int kHotkeyWinBox = pavix::ids::HotkeyEditorIds::kWinBox;
constexpr int kHotkeyKeyType = pavix::ids::HotkeyEditorIds::kKeyTypeButton;
constexpr int kCaptureControl = pavix::ids::KeyCaptureIds::kHotkeyControl;
constexpr int kKeyCount = 256;

// Sequence editor.
constexpr int kSequenceList = pavix::ids::SequenceEditorIds::kSequenceList;
constexpr int kSequenceName = pavix::ids::SequenceEditorIds::kNameEdit;
constexpr int kKeyList = pavix::ids::SequenceEditorIds::kKeyList;
constexpr int kCommandList = pavix::ids::SequenceEditorIds::kCommandList;
constexpr int kSequenceAdd = pavix::ids::SequenceEditorIds::kSequenceAdd;
constexpr int kSequenceDelete = pavix::ids::SequenceEditorIds::kSequenceDelete;
constexpr int kSequenceCopy = pavix::ids::SequenceEditorIds::kSequenceCopy;
constexpr int kSequenceUp = pavix::ids::SequenceEditorIds::kSequenceUp;
constexpr int kSequenceDown = pavix::ids::SequenceEditorIds::kSequenceDown;
constexpr int kKeyUp = pavix::ids::SequenceEditorIds::kKeyUp;
constexpr int kKeyDown = pavix::ids::SequenceEditorIds::kKeyDown;
constexpr int kKeyAdd = pavix::ids::SequenceEditorIds::kKeyAdd;
constexpr int kKeyRecord = pavix::ids::SequenceEditorIds::kKeyRecord;
constexpr int kKeyEdit = pavix::ids::SequenceEditorIds::kKeyEdit;
constexpr int kKeyDelete = pavix::ids::SequenceEditorIds::kKeyDelete;
constexpr int kCommandUp = pavix::ids::SequenceEditorIds::kCommandUp;
constexpr int kCommandDown = pavix::ids::SequenceEditorIds::kCommandDown;
constexpr int kCommandAdd = pavix::ids::SequenceEditorIds::kCommandAdd;
constexpr int kCommandEdit = pavix::ids::SequenceEditorIds::kCommandEdit;
constexpr int kCommandDelete = pavix::ids::SequenceEditorIds::kCommandDelete;
constexpr int kSequenceExport = pavix::ids::SequenceEditorIds::kExportButton;
constexpr int kSequenceImport = pavix::ids::SequenceEditorIds::kImportButton;

// The platform's file dialogs: the file-name box.
constexpr int kFileDialogName = 1148;

// Command editor.
constexpr int kCommandBuiltinRadio = pavix::ids::CommandEditorIds::kBuiltinRadio;
constexpr int kCommandExternalRadio = pavix::ids::CommandEditorIds::kExternalRadio;
constexpr int kCommandBuiltinList = pavix::ids::CommandEditorIds::kCommandList;
constexpr int kCommandPath = pavix::ids::CommandEditorIds::kPathEdit;
constexpr int kCommandBrowse = pavix::ids::CommandEditorIds::kBrowseButton;
constexpr int kCommandParameter = pavix::ids::CommandEditorIds::kParameterEdit;
constexpr int kCommandDirectory = pavix::ids::CommandEditorIds::kDirectoryEdit;

// The fifteen buttons of the sequence editor, for checks of which ones are enabled.
const std::vector<NamedControl>& SequenceEditorButtons();
// The five of them that act on the sequence list: Add, Delete, Copy, Up, Down.
const std::vector<NamedControl>& SequenceGroupButtons();

// The icon records of a run that opens an editor: the icon added at start-up, then the one
// modified when the editor closes and the engine is enabled again.
constexpr std::size_t kAdd = 0;
constexpr std::size_t kAfterEditor = 1;

// Closes an editor by OK or Cancel and waits for the engine to be enabled again and the idle
// icon; after OK that includes the reload that reads Sequence.dat.
Verdict CloseAndExpectIdle(ScenarioContext& ctx, const Dialog& editor, int button);

// Posts the tray menu's command (Configuration or Edit Sequence) to the main window and waits
// for the dialog with this title.
Verdict OpenFromMenu(ScenarioContext& ctx, UINT menuCommand, const std::wstring& title,
                     Dialog* dialog);
// Clicks a button of `owner` that opens the dialog titled `title` and waits for it.
Verdict OpenNested(ScenarioContext& ctx, const Dialog& owner, int button, const std::wstring& title,
                   Dialog* dialog);

// Clicks a button of `owner` that opens a file dialog titled `title`, types `path` into its
// file-name box, confirms it, and returns once `owner` has handled what the choice leads to.
Verdict ChooseInFileDialog(ScenarioContext& ctx, const Dialog& owner, int button,
                           const std::wstring& title, const std::string& path);

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
                           const CommandSpec& command);

// The row texts the sequence editor shows for keys and commands.
std::vector<std::wstring> KeyRow(const Chord& chord);
std::vector<std::wstring> CommandRow(const CommandSpec& command, bool japanese);

// The file paths of the scenario's data files.
std::string ConfigPath(const ScenarioContext& ctx);
std::string SequencePath(const ScenarioContext& ctx);

// An editor keeps a data file it could not read completely as this file before OK replaces it,
// and ends the error it shows on opening the file with this line.
std::string BackupPath(const std::string& dataPath);
std::wstring BackupNote(const std::string& dataPath, bool japanese);

}  // namespace pavix_e2e
