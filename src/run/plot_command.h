#ifndef SCENARIO_RUN_PLOT_COMMAND_H_
#define SCENARIO_RUN_PLOT_COMMAND_H_

#include <iosfwd>

#include "tools/scenario_files.h"

namespace scenario {

class FileSystem;

// plot: a drawing of a compiled scenario; the picture's path on out.
// kExitNothing, with the reason on err, when the scenario cannot be found,
// read or drawn, or the picture cannot be written.
int RunPlotCommand(const PlotOptions& options, FileSystem& fs,
                   std::ostream& out, std::ostream& err);

}  // namespace scenario

#endif  // SCENARIO_RUN_PLOT_COMMAND_H_
