#include "run/plot_command.h"

#include <ostream>

#include "base/exit_status.h"
#include "run/program_name.h"

namespace scenario {

int RunPlotCommand(const PlotOptions& options, FileSystem& fs,
                   std::ostream& out, std::ostream& err) {
  PlotOutcome outcome;
  const Status status = RunPlot(options, fs, &outcome);
  if (!status.ok()) {
    err << kProgramName << ": " << status.message() << '\n';
    return kExitNothing;
  }
  out << outcome.output << '\n';
  return kExitOk;
}

}  // namespace scenario
