#ifndef SCENARIO_RUN_EXPLAIN_COMMAND_H_
#define SCENARIO_RUN_EXPLAIN_COMMAND_H_

#include <iosfwd>
#include <string>

namespace scenario {

// What explain was asked to do: one entry, or all of them.
struct ExplainCommandOptions {
  std::string what;  // a code's number or a warning's name
  bool all = false;  // every entry, as the reference's Markdown page
};

// explain: the long explanation of a code or a warning on out. It reads
// no file. kExitNothing, with the reason on err, for a code that no
// compile can record and a name that no warning has.
int RunExplainCommand(const ExplainCommandOptions& options, std::ostream& out,
                      std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_EXPLAIN_COMMAND_H_
