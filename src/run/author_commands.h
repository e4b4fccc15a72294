#ifndef SCENARIO_RUN_AUTHOR_COMMANDS_H_
#define SCENARIO_RUN_AUTHOR_COMMANDS_H_

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "run/cli.h"

namespace scenario {

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
