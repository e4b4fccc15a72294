#ifndef SCENARIO_RUN_WATCH_COMMAND_H_
#define SCENARIO_RUN_WATCH_COMMAND_H_

#include <chrono>
#include <iosfwd>
#include <optional>
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
  // Set: the sheet is served to a browser on 127.0.0.1 at this port (0:
  // any free one).
  std::optional<int> serve_port;
};

// The port watch --serve takes when none is given.
inline constexpr int kWatchServePort = 8765;

// What a round came to, for the served sheet: good when it recorded no
// code and wrote the parameter file (param_file), and the text it printed
// before its summary line (the diagnostics and the report).
struct WatchRoundResult {
  bool good = false;
  std::string param_file;
  std::string shown;
};

// One round of watch: compiles the pair as compile does and prints what
// it reports, the files written and a summary line with the time taken,
// all on out (after clearing the screen when clear_screen is set). The
// summary counts the codes and the warnings reported.
WatchRoundResult WatchRound(const WatchCommandOptions& options, FileSystem& fs,
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
// With serve_port, it also serves the sheet of the last good round on
// 127.0.0.1 (SheetSite), saying where on err, and the open page follows
// the rounds; 2 as well when the port cannot be had.
int RunWatchCommand(const WatchCommandOptions& options, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool clear_screen);

}  // namespace scenario

#endif  // SCENARIO_RUN_WATCH_COMMAND_H_
