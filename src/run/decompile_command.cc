#include "run/decompile_command.h"

#include <ostream>

#include "base/exit_status.h"
#include "run/program_name.h"

namespace scenario {

int RunDecompileCommand(const DecompileCommandOptions& options, FileSystem& fs,
                        std::ostream& out, std::ostream& err) {
  DecompileOutcome outcome;
  const Status status = RunDecompile(options.decompile, fs, &outcome);
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    return kExitNothing;
  }
  if (options.json) {
    out << FormatDecompileJson(outcome);
  } else {
    for (const std::string& path : outcome.written) out << path << '\n';
    for (const RecoveredDescription* d :
         {&outcome.decompiled.line, &outcome.decompiled.train}) {
      for (const RecoveryNote& note : d->notes) {
        err << kProgramName << ": note: " << NoteLine(note) << '\n';
      }
    }
  }
  if (outcome.decompiled.same_bytes) return kExitOk;
  err << kProgramName << ": " << RoundTripMessage(outcome) << '\n';
  return kExitFindings;
}

}  // namespace scenario
