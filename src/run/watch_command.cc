#include "run/watch_command.h"

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/file_watch.h"
#include "base/local_time.h"
#include "base/strings.h"
#include "run/compile_command.h"
#include "run/program_name.h"

namespace scenario {

namespace {

using Clock = std::chrono::steady_clock;

// Clears the screen and puts the cursor at the top left.
constexpr std::string_view kClearScreen = "\x1b[H\x1b[2J";

// A round, or the line that says which folders are gone.
void ShowState(const WatchCommandOptions& options, const FileWatch& watch,
               FileSystem& fs, std::ostream& out, bool clear_screen) {
  const std::vector<std::string> gone = watch.MissingFolders();
  if (gone.empty()) {
    WatchRound(options, fs, out, clear_screen);
  } else {
    WatchFoldersGone(gone, out, clear_screen);
  }
}

}  // namespace

void WatchRound(const WatchCommandOptions& options, FileSystem& fs,
                std::ostream& out, bool clear_screen) {
  CompileCommandOptions compile;
  compile.compile.line_file = options.line_file;
  compile.compile.train_file = options.train_file;
  compile.compile.output = options.output;
  compile.compile.no_grid = options.no_grid;
  compile.compile.warnings = options.warnings;
  // The round's own summary line closes it.
  compile.quiet = true;
  std::ostringstream report;
  std::ostringstream diagnostics;
  const Clock::time_point start = Clock::now();
  const CompileCommandOutcome outcome =
      CompileAndReport(compile, fs, report, diagnostics);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  if (clear_screen) out << kClearScreen;
  out << diagnostics.str() << report.str();
  // Appended piece by piece: g++ 12 at -O3 takes "[" + a temporary for an
  // overlapping copy (a false -Wrestrict).
  std::string summary = "[";
  summary += LocalTimeOfDay();
  summary += "] ";
  if (outcome.exit_status == kExitNothing) {
    summary += "nothing written";
  } else {
    for (const std::string& path : outcome.written) {
      out << "written: " << PrintableName(path) << '\n';
    }
    summary += CountOf(outcome.written.size(), "file", "files") + " written";
  }
  summary += ", " + CountOf(outcome.codes, "code", "codes") + ", " +
             CountOf(outcome.warnings, "warning", "warnings") + " in " +
             std::to_string(took.count()) +
             " ms; waiting for changes (Ctrl-C ends)";
  out << summary << std::endl;
}

void WatchFoldersGone(const std::vector<std::string>& folders,
                      std::ostream& out, bool clear_screen) {
  std::string names;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) names += i + 1 == folders.size() ? " and " : ", ";
    names += "\"" + folders[i] + "\"";
  }
  const bool one = folders.size() == 1;
  if (clear_screen) out << kClearScreen;
  out << "[" << LocalTimeOfDay() << "] the folder" << (one ? " " : "s ")
      << names << (one ? " is" : " are") << " gone; waiting for "
      << (one ? "it" : "them") << " to come back (Ctrl-C ends)" << std::endl;
}

int RunWatchCommand(const WatchCommandOptions& options, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool clear_screen) {
  // The stop signals are held back from here on: a round is never cut
  // short in the middle of writing a file.
  std::unique_ptr<FileWatch> watch;
  Status status =
      FileWatch::Open({options.line_file, options.train_file}, &watch);
  if (status.ok()) ShowState(options, *watch, fs, out, clear_screen);
  // A change seen, and when the last one of its burst came.
  bool changed = false;
  Clock::time_point last_change;
  while (status.ok()) {
    int timeout = -1;
    if (changed) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(
          last_change + kWatchQuiet - Clock::now());
      timeout = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    FileWatch::Event event;
    status = watch->Wait(timeout, &event);
    if (event == FileWatch::Event::kStop) {
      out << kProgramName << ": watch stopped" << std::endl;
      return kExitOk;
    }
    if (event == FileWatch::Event::kChange) {
      changed = true;
      last_change = Clock::now();
    } else if (changed && Clock::now() >= last_change + kWatchQuiet) {
      changed = false;
      ShowState(options, *watch, fs, out, clear_screen);
    }
  }
  err << kProgramName << ": " << status.message() << '\n';
  return kExitNothing;
}

}  // namespace scenario
