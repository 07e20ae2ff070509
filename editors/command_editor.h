// The editor of one command: a built-in command picked from the whole table, or an external one
// given by file path, parameter and working directory. It never changes the command it was
// opened on; after OK it builds a new one for its caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editors/modal_dialog.h"
#include "model/command.h"
#include "resources/ids.h"

namespace pavix {

class CommandEditor : public ModalDialog, public ids::CommandEditorIds {
  public:
    // `command` (only read) is the one being edited, or nullptr to add one.
    CommandEditor(Platform& platform, DialogStack& dialogs, const Command* command);

    // 1 (OK) or 2 (Cancel).
    std::intptr_t Run() { return RunModal(kTemplateId); }
    // The command the editor shows, newly created; the caller owns it.
    std::unique_ptr<Command> Build() const;

  protected:
    bool OnInitDialog() override;
    bool OnCommand(std::int32_t id, std::uint16_t code) override;

  private:
    void ReadKindAndTexts();
    void WriteKindAndTexts();
    void EnableForKind();
    void Browse();

    std::int32_t builtin_ = 1;
    std::string path_;
    std::string parameter_;
    std::string directory_;
    BuiltinCommandId builtinId_ = kDoNothing;
};

}  // namespace pavix
