#include "run/inspect_command.h"

#include <optional>
#include <ostream>

#include "base/exit_status.h"
#include "base/strings.h"
#include "run/program_name.h"

namespace scenario {

int RunInspectCommand(const InspectCommandOptions& options, FileSystem& fs,
                      std::ostream& out, std::ostream& err) {
  const std::optional<BinaryKind> kind = options.as.empty()
                                             ? BinaryKindFromName(options.file)
                                             : BinaryKindFromWord(options.as);
  if (!kind) {
    err << kProgramName << ": cannot tell the kind of "
        << QuotedName(options.file)
        << " from its name (.dat, _linea.dat or .sim); use --as "
           "cells|params|grid\n";
    return kExitNothing;
  }
  std::string listing;
  const Status status =
      InspectFile(options.file, *kind, options.view, fs, &listing);
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    return kExitNothing;
  }
  out << listing;
  return kExitOk;
}

}  // namespace scenario
