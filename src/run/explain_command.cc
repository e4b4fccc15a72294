#include "run/explain_command.h"

#include <optional>
#include <ostream>
#include <string>

#include "base/exit_status.h"
#include "base/strings.h"
#include "lint/code_explanations.h"
#include "lint/warnings.h"
#include "run/program_name.h"

namespace scenario {

int RunExplainCommand(const ExplainCommandOptions& options, std::ostream& out,
                      std::ostream& err) {
  if (options.all) {
    out << RenderExplanationsMarkdown();
    return kExitOk;
  }
  if (const CodeEntry* e = FindCodeExplanation(options.what)) {
    out << RenderExplanation(*e);
    return kExitOk;
  }
  if (std::optional<WarningKind> kind = FindWarningKind(options.what)) {
    out << RenderExplanation(Describe(*kind));
    return kExitOk;
  }
  const std::string nearest = NearestName(options.what, WarningNames());
  err << kProgramName << ": " << QuotedName(options.what)
      << " is neither a code that a compile can record nor a warning's "
         "name; "
      << (nearest.empty() ? "" : "did you mean \"" + nearest + "\"? ") << "`"
      << kProgramName << " explain --all` lists them all\n";
  return kExitNothing;
}

}  // namespace scenario
