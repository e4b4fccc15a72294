#ifndef SCENARIO_RUN_WATCH_COMMAND_H_
#define SCENARIO_RUN_WATCH_COMMAND_H_

#include <chrono>
#include <iosfwd>

#include "run/cli.h"

namespace scenario {

// Saves that come closer together than this make one recompile.
inline constexpr std::chrono::milliseconds kWatchQuiet{100};

// watch: compiles the pair as compile does, then again whenever either file
// is saved, written or replaced by a rename, until SIGINT or SIGTERM. Each
// round clears the screen when clear_screen is set, prints what compile
// reports (with its warnings), the files written and a summary line with
// the time taken, all on out. The signals are taken only between rounds, so a
// file being written is always finished (no temporary is left behind). Returns
// 0 when stopped by a signal, 2 when the files cannot be watched.
int RunWatchCommand(const CommandLine& c, std::ostream& out, std::ostream& err,
                    bool clear_screen);

}  // namespace scenario

#endif  // SCENARIO_RUN_WATCH_COMMAND_H_
