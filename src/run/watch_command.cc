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
#include "run/compile_command.h"
#include "run/program_name.h"

namespace scenario {

namespace {

using Clock = std::chrono::steady_clock;

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

// The names watched in each watched folder, by watch descriptor.
using NamesByWatch = std::map<int, std::set<std::string>>;

// The folder of a path ("." for a bare name) and its base name.
std::pair<std::string, std::string> Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string Plural(std::size_t n, std::string_view one, std::string_view many) {
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

// The folders are watched, not the files: an editor that saves by writing
// a new file and renaming it over the old one replaces the file a watch on
// it would follow.
bool WatchFolders(int notify_fd, const WatchCommandOptions& options,
                  NamesByWatch* names_by_watch, std::ostream& err) {
  for (const std::string* file : {&options.line_file, &options.train_file}) {
    const auto [folder, name] = Split(*file);
    const int wd = inotify_add_watch(notify_fd, folder.c_str(),
                                     IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO |
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM);
    if (wd < 0) {
      err << kProgramName << ": cannot watch the folder \"" << folder
          << "\": " << std::strerror(errno) << '\n';
      return false;
    }
    (*names_by_watch)[wd].insert(name);
  }
  return true;
}

// Reads the waiting events; true when one of them concerns a watched name.
bool TakeEvents(int notify_fd, const NamesByWatch& names_by_watch) {
  alignas(inotify_event) char events[16 * 1024];
  const ssize_t n = ::read(notify_fd, events, sizeof events);
  bool changed = false;
  for (ssize_t at = 0; n > 0 && at < n;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    if (event->len == 0) continue;
    const auto watched = names_by_watch.find(event->wd);
    if (watched != names_by_watch.end() &&
        watched->second.count(event->name) != 0) {
      changed = true;
    }
  }
  return changed;
}

// Waits for changes and compiles after each burst, until a signal comes
// through signal_fd.
int WatchLoop(const WatchCommandOptions& options, FileSystem& fs, int signal_fd,
              int notify_fd, const NamesByWatch& names_by_watch,
              std::ostream& out, std::ostream& err, bool clear_screen) {
  // A change seen, and when the last one of its burst came.
  bool changed = false;
  Clock::time_point last_change;
  for (;;) {
    int timeout = -1;
    if (changed) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(
          last_change + kWatchQuiet - Clock::now());
      timeout = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    pollfd fds[2] = {{signal_fd, POLLIN, 0}, {notify_fd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) {
      err << kProgramName << ": " << std::strerror(errno) << '\n';
      return kExitNothing;
    }
    if (fds[0].revents & POLLIN) {
      signalfd_siginfo info;
      (void)::read(signal_fd, &info, sizeof info);
      out << kProgramName << ": watch stopped" << std::endl;
      return kExitOk;
    }
    if (fds[1].revents & POLLIN) {
      if (TakeEvents(notify_fd, names_by_watch)) {
        changed = true;
        last_change = Clock::now();
      }
      continue;
    }
    if (changed && Clock::now() >= last_change + kWatchQuiet) {
      changed = false;
      WatchRound(options, fs, out, clear_screen);
    }
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
  compile.compile.warnings = true;
  std::ostringstream report;
  std::ostringstream diagnostics;
  const Clock::time_point start = Clock::now();
  const CompileCommandOutcome outcome =
      CompileAndReport(compile, fs, report, diagnostics);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  if (clear_screen) out << kClearScreen;
  out << diagnostics.str() << report.str();
  std::string summary = "[" + WallClock() + "] ";
  if (outcome.exit_status == kExitNothing) {
    summary += "nothing written";
  } else {
    for (const std::string& path : outcome.written) {
      out << "written: " << path << '\n';
    }
    summary += Plural(outcome.written.size(), "file", "files") + " written";
  }
  summary += ", " + Plural(outcome.codes, "code", "codes") + ", " +
             Plural(outcome.warnings, "warning", "warnings") + " in " +
             std::to_string(took.count()) +
             " ms; waiting for changes (Ctrl-C ends)";
  out << summary << std::endl;
}

int RunWatchCommand(const WatchCommandOptions& options, FileSystem& fs,
                    std::ostream& out, std::ostream& err, bool clear_screen) {
  // The signals wait in the signal descriptor until the loop takes them,
  // so a compile is never cut short in the middle of writing a file.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigset_t old_mask;
  if (sigprocmask(SIG_BLOCK, &signals, &old_mask) != 0) {
    err << kProgramName
        << ": cannot block the signals: " << std::strerror(errno) << '\n';
    return kExitNothing;
  }
  struct RestoreMask {
    sigset_t mask;
    ~RestoreMask() { sigprocmask(SIG_SETMASK, &mask, nullptr); }
  } restore{old_mask};
  const Fd signal_fd(signalfd(-1, &signals, SFD_CLOEXEC));
  const Fd notify_fd(inotify_init1(IN_CLOEXEC));
  if (signal_fd.get() < 0 || notify_fd.get() < 0) {
    err << kProgramName << ": cannot watch files: " << std::strerror(errno)
        << '\n';
    return kExitNothing;
  }
  NamesByWatch names_by_watch;
  if (!WatchFolders(notify_fd.get(), options, &names_by_watch, err)) {
    return kExitNothing;
  }
  WatchRound(options, fs, out, clear_screen);
  return WatchLoop(options, fs, signal_fd.get(), notify_fd.get(),
                   names_by_watch, out, err, clear_screen);
}

}  // namespace scenario
