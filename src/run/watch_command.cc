#include "run/watch_command.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "model/scenario_names.h"
#include "run/author_commands.h"

namespace scenario {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kProgram = "scenario-compiler";
// Clears the screen and puts the cursor at the top left.
constexpr std::string_view kClearScreen = "\x1b[H\x1b[2J";

// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The folder of a path ("." for a bare name) and its base name.
std::pair<std::string, std::string> Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int CountLines(const std::string& text, std::string_view marker) {
  int n = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(marker) != std::string::npos) ++n;
  }
  return n;
}

std::string Plural(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string WallClock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

// One compile, reported.
void CompileRound(const CommandLine& compile, std::ostream& out,
                  bool clear_screen) {
  std::ostringstream report;
  std::ostringstream diagnostics;
  const Clock::time_point start = Clock::now();
  const int status = RunCompileCommand(compile, report, diagnostics);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  if (clear_screen) out << kClearScreen;
  const std::string text = diagnostics.str();
  out << text << report.str();
  std::string summary = "[" + WallClock() + "] ";
  if (status == kExitNothing) {
    summary += "nothing written";
  } else {
    const std::string line_name = LineNameFromFile(compile.line_file);
    std::string folder = compile.output;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    const ScenarioFileNames names = MakeFileNames(
        folder, line_name, TrainNameFromFile(compile.train_file, line_name));
    int written = 0;
    for (const std::string* path :
         {&names.line_grid, &names.param_file, &names.cell_file}) {
      if (path == &names.line_grid && compile.no_grid) continue;
      out << "written: " << *path << '\n';
      ++written;
    }
    summary += Plural(written, "file", "files") + " written";
  }
  summary +=
      ", " + Plural(CountLines(text, ": error "), "code", "codes") + ", " +
      Plural(CountLines(text, ": warning "), "warning", "warnings") + " in " +
      std::to_string(took.count()) + " ms; waiting for changes (Ctrl-C ends)";
  out << summary << std::endl;
}

}  // namespace

int RunWatchCommand(const CommandLine& c, std::ostream& out, std::ostream& err,
                    bool clear_screen) {
  // The signals wait in the signal descriptor until the loop takes them,
  // so a compile is never cut short in the middle of writing a file.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigset_t old_mask;
  if (sigprocmask(SIG_BLOCK, &signals, &old_mask) != 0) {
    err << kProgram << ": cannot block the signals: " << std::strerror(errno)
        << '\n';
    return kExitNothing;
  }
  struct RestoreMask {
    sigset_t mask;
    ~RestoreMask() { sigprocmask(SIG_SETMASK, &mask, nullptr); }
  } restore{old_mask};
  const Fd signal_fd(signalfd(-1, &signals, SFD_CLOEXEC));
  const Fd notify_fd(inotify_init1(IN_CLOEXEC));
  if (signal_fd.get() < 0 || notify_fd.get() < 0) {
    err << kProgram << ": cannot watch files: " << std::strerror(errno) << '\n';
    return kExitNothing;
  }

  // The folders are watched, not the files: an editor that saves by
  // writing a new file and renaming it over the old one replaces the file
  // a watch on it would follow.
  std::map<int, std::set<std::string>> names_by_watch;
  for (const std::string* file : {&c.line_file, &c.train_file}) {
    const auto [folder, name] = Split(*file);
    const int wd = inotify_add_watch(notify_fd.get(), folder.c_str(),
                                     IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO |
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM);
    if (wd < 0) {
      err << kProgram << ": cannot watch the folder \"" << folder
          << "\": " << std::strerror(errno) << '\n';
      return kExitNothing;
    }
    names_by_watch[wd].insert(name);
  }

  CommandLine compile = c;
  compile.kind = CommandKind::kCompile;
  compile.warnings = true;
  CompileRound(compile, out, clear_screen);

  // A change seen, and when the last one of its burst came.
  bool changed = false;
  Clock::time_point last_change;
  alignas(inotify_event) char events[16 * 1024];
  for (;;) {
    int timeout = -1;
    if (changed) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(
          last_change + kWatchQuiet - Clock::now());
      timeout = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    pollfd fds[2] = {{signal_fd.get(), POLLIN, 0},
                     {notify_fd.get(), POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) {
      err << kProgram << ": " << std::strerror(errno) << '\n';
      return kExitNothing;
    }
    if (fds[0].revents & POLLIN) {
      signalfd_siginfo info;
      (void)::read(signal_fd.get(), &info, sizeof info);
      out << kProgram << ": watch stopped" << std::endl;
      return kExitOk;
    }
    if (fds[1].revents & POLLIN) {
      const ssize_t n = ::read(notify_fd.get(), events, sizeof events);
      for (ssize_t at = 0; n > 0 && at < n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->len == 0) continue;
        const auto watched = names_by_watch.find(event->wd);
        if (watched != names_by_watch.end() &&
            watched->second.count(event->name) != 0) {
          changed = true;
          last_change = Clock::now();
        }
      }
      continue;
    }
    if (changed && Clock::now() >= last_change + kWatchQuiet) {
      changed = false;
      CompileRound(compile, out, clear_screen);
    }
  }
}

}  // namespace scenario
