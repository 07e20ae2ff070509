// Commands bound to a sequence: a built-in action chosen by id, or a file launched through the
// shell. What they do is the command runner's business; a command only knows which runner
// operation to ask for.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace pavix {

// Shares its code space with the matcher's outcomes, hence the values.
enum CommandResult : std::int32_t {
    kCommandDone = 3,
    kCommandFailed = 4,
    kCommandDisableHotkeys = 5,
    kCommandExitProgram = 7,
};

// Index into the built-in command table; the editor and the file reader produce 0 to 15.
using BuiltinCommandId = std::int32_t;
constexpr BuiltinCommandId kBuiltinCommandCount = 16;

enum BuiltinCommandIds : BuiltinCommandId {
    kDoNothing = 0,
    kOpenStartMenu = 1,
    kDisableHotkey = 2,
    kExitPavix = 3,
    kShutdownSystem = 4,
    kForceShutdown = 5,
    kRebootSystem = 6,
    kForceReboot = 7,
    kLogoff = 8,
    kForceLogoff = 9,
    kStandbySystem = 10,
    kForceStandby = 11,
    kHibernateSystem = 12,
    kForceHibernate = 13,
    kLockSystem = 14,
    kStartScreenSaver = 15,
};

// The display names of the built-in commands, from wherever the caller keeps its texts.
class BuiltinCommandNames {
  public:
    virtual ~BuiltinCommandNames() = default;
    // The name of `id`; for an id outside the table, the name of kDoNothing.
    virtual std::string Name(BuiltinCommandId id) = 0;
};

// The name of a built-in command in the text form of the sequences ({ builtin = "Lock System" }),
// the same in every language; "Do nothing" for unknown ids. The names are the text form's own,
// fixed like the key spellings: they were the English display names when the form was made, but
// a display name that changes later changes nothing that files say.
std::string BuiltinCommandSpelling(BuiltinCommandId id);
// The command of that spelling, case aside; nothing for no such name.
std::optional<BuiltinCommandId> FindBuiltinCommand(std::string_view spelling);

// The platform side of the commands.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    virtual CommandResult RunBuiltin(BuiltinCommandId id) = 0;
    virtual bool RunExternal(WindowHandle owner, const std::string& path,
                             const std::string& parameter, const std::string& directory) = 0;
};

class Command {
  public:
    virtual ~Command() = default;
    virtual CommandResult Execute(CommandRunner& runner) const = 0;
    virtual std::string Describe(BuiltinCommandNames& names) const = 0;
    virtual bool IsBuiltin() const = 0;
};

class BuiltinCommand final : public Command {
  public:
    explicit BuiltinCommand(BuiltinCommandId id) : id_(id) {}
    CommandResult Execute(CommandRunner& runner) const override;
    std::string Describe(BuiltinCommandNames& names) const override;
    bool IsBuiltin() const override { return true; }
    BuiltinCommandId Id() const { return id_; }

  private:
    BuiltinCommandId id_;
};

class ExternalCommand final : public Command {
  public:
    ExternalCommand(std::string path, std::string parameter, std::string directory)
        : path_(std::move(path)),
          parameter_(std::move(parameter)),
          directory_(std::move(directory)) {}
    CommandResult Execute(CommandRunner& runner) const override;
    std::string Describe(BuiltinCommandNames& names) const override;
    bool IsBuiltin() const override { return false; }
    const std::string& Path() const { return path_; }
    const std::string& Parameter() const { return parameter_; }
    const std::string& Directory() const { return directory_; }

  private:
    std::string path_;
    std::string parameter_;
    std::string directory_;
};

// A separately owned copy of the same kind and contents.
std::unique_ptr<Command> Clone(const Command& command);

}  // namespace pavix
