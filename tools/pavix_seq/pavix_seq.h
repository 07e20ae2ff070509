// pavix-seq: Pavix's sequences as text on the command line, with the program's own reader and
// writer of both forms.
//
//   pavix-seq [options] export Sequence.dat [out.toml]   the text to out.toml, or to the output
//   pavix-seq [options] import in.toml Sequence.dat      replaces Sequence.dat as the editor's OK
//   pavix-seq [options] check FILE                       a text or a Sequence.dat
//
//   --codepage N     the code page of Sequence.dat's texts: 1252 (the default), 932, or 65001
//                    (UTF-8, as Pavix on Linux keeps them)
//   --abort CHORD    the abort key, for check and import: sequences it breaks are reported
//
// Every problem goes to the error stream as "FILE[:LINE]: error|warning: what". Errors stop the
// command before it writes anything; warnings name sequences that can never run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace pavix::tool {

enum ExitCode : int {
    kExitClean = 0,
    kExitWarnings = 1,
    kExitErrors = 2,  // also for a command line that makes no sense
};

// Runs one command; `arguments` come without the program's name. The text that export writes
// goes to `out` when it names no file.
int RunPavixSeq(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace pavix::tool
