// The display texts of commands as the editors show them.
#pragma once

#include <cstdint>
#include <string>

#include "model/command.h"
#include "platform/platform.h"

namespace pavix {

// The built-in commands' names from the string table, in the user's language.
class StringTableCommandNames final : public BuiltinCommandNames {
  public:
    explicit StringTableCommandNames(Platform& platform) : platform_(platform) {}
    std::string Name(BuiltinCommandId id) override;

  private:
    Platform& platform_;
};

// The text of a command's row in the sequence editor.
std::string DescribeCommand(Platform& platform, const Command& command);

}  // namespace pavix
