#ifndef SCENARIO_RUN_WATCH_COMMAND_H_
#define SCENARIO_RUN_WATCH_COMMAND_H_

#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/author_compile.h"

namespace scenario {

class FileSystem;

// Saves that come closer together than this make one recompile.
inline constexpr std::chrono::milliseconds kWatchQuiet{100};

// What watch was asked to do.
struct WatchCommandOptions {
  std::string line_file;
  std::string train_file;
  std::string output = ".";  // the folder of the binary files
  bool no_grid = false;      // no line grid built or written
  // As for compile; a round has no exit status, so werror changes
  // nothing here.
  WarningOptions warnings;
};

// One round of watch: compiles the pair as compile does and prints what
// it reports, the files written and a summary line with the time taken,
// all on out (after clearing the screen when clear_screen is set). The
// summary counts the codes and the warnings reported.
void WatchRound(const WatchCommandOptions& options, FileSystem& fs,
                std::ostream& out, bool clear_screen);

// What watch shows instead of a round while folders of the files are gone
// (deleted or renamed away): one line that names them and says that watch
// waits for them, after the time (and after clearing the screen when
// clear_screen is set).
// REQUIRES: folders is not empty.
void WatchFoldersGone(const std::vector<std::string>& folders,
                      std::ostream& out, bool clear_screen);

// watch: a round, then another whenever either file is saved, written or
// replaced by a rename, until SIGINT or SIGTERM (on Windows Ctrl-C,
// Ctrl-Break or closing the console). While a folder of the
// files is gone, it says so instead, and makes a round again once the
// folder is back. The signals are taken only between rounds, so a file
// being written is always finished (no temporary is left behind). Returns
// 0 when stopped by a signal, 2 when the files cannot be watched.
int RunWatchCommand(const WatchCommandOptions& options, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool clear_screen);

}  // namespace scenario

#endif  // SCENARIO_RUN_WATCH_COMMAND_H_
