#include "editors/command_editor.h"

#include "editors/command_names.h"
#include "editors/file_chooser.h"
#include "platform/constants.h"
#include "resources/texts.h"
#include "wording/wording.h"

namespace pavix {

CommandEditor::CommandEditor(Platform& platform, DialogStack& dialogs, const Command* command)
    : ModalDialog(platform, dialogs) {
    if (command == nullptr) {
        return;
    }
    if (command->IsBuiltin()) {
        builtinId_ = static_cast<const BuiltinCommand*>(command)->Id();
        return;
    }
    const auto* external = static_cast<const ExternalCommand*>(command);
    builtin_ = 0;
    path_ = external->Path();
    parameter_ = external->Parameter();
    directory_ = external->Directory();
}

std::unique_ptr<Command> CommandEditor::Build() const {
    if (builtin_ != 0) {
        return std::make_unique<BuiltinCommand>(builtinId_);
    }
    return std::make_unique<ExternalCommand>(path_, parameter_, directory_);
}

bool CommandEditor::OnInitDialog() {
    WriteKindAndTexts();
    EnableForKind();
    for (BuiltinCommandId id = 0; id < kBuiltinCommandCount; ++id) {
        AddComboRow(kCommandList, LoadText(platform_, BuiltinCommandTextId(id)));
    }
    SelectComboRow(kCommandList, builtinId_);
    return true;
}

bool CommandEditor::OnCommand(std::int32_t id, std::uint16_t code) {
    switch (id) {
        case kIdOk:
        case kIdCancel: {
            ReadKindAndTexts();
            const std::intptr_t row = ComboSelection(kCommandList);
            if (row >= 0 && row < kBuiltinCommandCount) {
                builtinId_ = static_cast<BuiltinCommandId>(row);
            }
            End(id);
            return true;
        }
        case kBuiltinRadio:
        case kExternalRadio:
            if (code == kBnClicked) {
                ReadKindAndTexts();
                EnableForKind();
            }
            return true;
        case kBrowseButton:
            if (code == kBnClicked) {
                Browse();
            }
            return true;
        default:
            return false;
    }
}

// Stops at a text the platform fails to hand over: that field and the ones after it keep their
// last values, and the focus goes to it.
void CommandEditor::ReadKindAndTexts() {
    builtin_ = Checked(kBuiltinRadio);
    if (ReadText(kPathEdit, &path_) && ReadText(kParameterEdit, &parameter_)) {
        ReadText(kDirectoryEdit, &directory_);
    }
}

void CommandEditor::WriteKindAndTexts() {
    SetText(kPathEdit, path_);
    SetText(kParameterEdit, parameter_);
    SetText(kDirectoryEdit, directory_);
    SetChecked(kBuiltinRadio, builtin_);
    SetChecked(kExternalRadio, builtin_ == 0 ? 1 : 0);
}

// Only the controls of the chosen kind take input; the others keep their texts.
void CommandEditor::EnableForKind() {
    const bool builtin = builtin_ != 0;
    Enable(kCommandList, builtin);
    for (std::int32_t id : {kPathEdit, kBrowseButton, kParameterEdit, kDirectoryEdit}) {
        Enable(id, !builtin);
    }
}

void CommandEditor::Browse() {
    ReadKindAndTexts();
    ChooseFile(platform_, Dialogs(), path_, FileChooserHook::With);
    WriteKindAndTexts();
}

}  // namespace pavix
