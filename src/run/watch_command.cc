#include "run/watch_command.h"

#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/exit_status.h"
#include "base/file_watch.h"
#include "base/local_time.h"
#include "base/loopback_http_server.h"
#include "base/strings.h"
#include "run/compile_command.h"
#include "run/program_name.h"
#include "tools/live_sheet.h"
#include "tools/sheet_site.h"

namespace scenario {

namespace {

using Clock = std::chrono::steady_clock;

// Clears the screen and puts the cursor at the top left.
constexpr std::string_view kClearScreen = "\x1b[H\x1b[2J";

// The served sheet: the site, and the server that answers with it.
// Invariant: the server goes first (members are destroyed in reverse), so
// no thread of it is left calling the site.
struct ServedSheet {
  SheetSite site;
  std::unique_ptr<LoopbackHttpServer> server;
};

// Starts serving on the port asked and says where on err.
Status StartServing(int port, ServedSheet* served, std::ostream& err) {
  SheetSite& site = served->site;
  Status s = LoopbackHttpServer::Start(
      port, [&site](const HttpRequest& r) { return site.Respond(r); },
      &served->server);
  if (!s.ok()) return s;
  site.SetPort(served->server->port());
  err << kProgramName
      << ": serving the sheet at http://127.0.0.1:" << served->server->port()
      << "/" << std::endl;
  return Status::Ok();
}

// Hands a round to the open page: a good round's new sheet, or what the
// round printed over the last one (also when the sheet cannot be drawn).
void ShowOnPage(const WatchRoundResult& round, FileSystem& fs,
                SheetSite& site) {
  if (round.good) {
    LiveSheet sheet;
    const Status s = DrawLiveSheet(round.param_file, fs, &sheet);
    if (s.ok()) {
      site.PublishSheet(std::move(sheet));
      return;
    }
    site.PublishDiagnostics(round.shown +
                            "the sheet cannot be drawn: " + s.message() + "\n");
    return;
  }
  site.PublishDiagnostics(round.shown);
}

// A round, or the line that says which folders are gone; a round goes to
// the served page too when there is one.
void ShowState(const WatchCommandOptions& options, const FileWatch& watch,
               FileSystem& fs, std::ostream& out, bool clear_screen,
               ServedSheet* served) {
  const std::vector<std::string> gone = watch.MissingFolders();
  if (gone.empty()) {
    const WatchRoundResult round = WatchRound(options, fs, out, clear_screen);
    if (served != nullptr) ShowOnPage(round, fs, served->site);
  } else {
    WatchFoldersGone(gone, out, clear_screen);
  }
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

}  // namespace

WatchRoundResult WatchRound(const WatchCommandOptions& options, FileSystem& fs,
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
  WatchRoundResult result;
  result.shown = diagnostics.str() + report.str();
  if (clear_screen) out << kClearScreen;
  out << result.shown;
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
  if (outcome.exit_status != kExitNothing && outcome.codes == 0) {
    for (const std::string& path : outcome.written) {
      if (EndsWith(path, ".sim")) result.param_file = path;
    }
    result.good = !result.param_file.empty();
  }
  return result;
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
  // Started after the watch holds the stop signals back: the server's
  // threads inherit that, so a Ctrl-C reaches only the watch's Wait.
  std::unique_ptr<ServedSheet> served;
  if (status.ok() && options.serve_port.has_value()) {
    served = std::make_unique<ServedSheet>();
    status = StartServing(*options.serve_port, served.get(), err);
  }
  if (status.ok()) {
    ShowState(options, *watch, fs, out, clear_screen, served.get());
  }
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
      ShowState(options, *watch, fs, out, clear_screen, served.get());
    }
  }
  err << kProgramName << ": " << status.message() << '\n';
  return kExitNothing;
}

}  // namespace scenario
