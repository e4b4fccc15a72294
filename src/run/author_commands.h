#ifndef SCENARIO_RUN_AUTHOR_COMMANDS_H_
#define SCENARIO_RUN_AUTHOR_COMMANDS_H_

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "run/cli.h"

namespace scenario {

// Exit statuses of the author commands.
inline constexpr int kAuthorExitClean = 0;    // no code recorded
inline constexpr int kAuthorExitCodes = 1;    // codes recorded, files written
inline constexpr int kAuthorExitNothing = 2;  // nothing written, or usage

// The line name a line description's file name gives: "NAME_linea.txt"
// gives NAME, any other name its stem (the base name without its last
// extension). For a name that does not follow that rule, *note (when
// given) says which name was taken and why; else it is cleared.
std::string LineNameFromFile(std::string_view path,
                             std::string* note = nullptr);
// The train name a train description's file name gives: "LINE_TRAIN-.txt"
// gives TRAIN when LINE is line_name. A name that begins with "LINE_" but
// does not end in "-.txt" gives the stem of what follows the prefix
// ("Valle_R 12.txt": "R 12"); any other name its stem. *note as above.
std::string TrainNameFromFile(std::string_view path, std::string_view line_name,
                              std::string* note = nullptr);
// An author's name as Windows-1252 bytes, or nullopt with *error saying
// why: an empty name, one holding "/" or a NUL, or one with a character
// that has no Windows-1252 byte.
std::optional<std::string> CheckName(std::string_view utf8,
                                     std::string_view what, std::string* error);

// compile and check: the compile stage on an author's own files, which are
// never deleted or changed; diagnostics on err (or JSON on out).
int RunCompileCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err);
// export: the built-in descriptions and documents, kept in a folder.
int RunExportCommand(const CommandLine& c, std::ostream& out,
                     std::ostream& err);
// inspect: a binary file decoded into a listing or JSON.
int RunInspectCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err);
// explain: the long explanation of a code; exit 2 for a code that no
// compile can record.
int RunExplainCommand(const CommandLine& c, std::ostream& out,
                      std::ostream& err);
// plot: a drawing of a compiled scenario.
int RunPlotCommand(const CommandLine& c, std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_AUTHOR_COMMANDS_H_
