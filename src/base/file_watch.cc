#include "base/file_watch.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace scenario {
namespace {

// The folder of a path ("." for a bare name) and its base name.
std::pair<std::string, std::string> Split(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

Status SystemError(const std::string& what) {
  return Status::Error(what + std::strerror(errno));
}

}  // namespace

struct FileWatch::State {
  sigset_t signals;
  sigset_t old_mask;
  bool masked = false;
  int signal_fd = -1;
  int notify_fd = -1;
  // The names watched in each watched folder, by watch descriptor.
  std::map<int, std::set<std::string>> names_by_watch;

  ~State() {
    if (notify_fd >= 0) ::close(notify_fd);
    if (signal_fd >= 0) ::close(signal_fd);
    if (masked) sigprocmask(SIG_SETMASK, &old_mask, nullptr);
  }

  // Reads the waiting change events; true when one concerns a watched
  // file.
  bool TakeChanges() {
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
};

FileWatch::FileWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

FileWatch::~FileWatch() = default;

Status FileWatch::Open(const std::vector<std::string>& files,
                       std::unique_ptr<FileWatch>* watch) {
  auto state = std::make_unique<State>();
  // The signals wait in the signal descriptor until Wait takes them.
  sigemptyset(&state->signals);
  sigaddset(&state->signals, SIGINT);
  sigaddset(&state->signals, SIGTERM);
  if (sigprocmask(SIG_BLOCK, &state->signals, &state->old_mask) != 0) {
    return SystemError("cannot block the signals: ");
  }
  state->masked = true;
  state->signal_fd = signalfd(-1, &state->signals, SFD_CLOEXEC);
  state->notify_fd = inotify_init1(IN_CLOEXEC);
  if (state->signal_fd < 0 || state->notify_fd < 0) {
    return SystemError("cannot watch files: ");
  }
  for (const std::string& file : files) {
    const auto [folder, name] = Split(file);
    const int wd = inotify_add_watch(state->notify_fd, folder.c_str(),
                                     IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO |
                                         IN_CREATE | IN_DELETE | IN_MOVED_FROM);
    if (wd < 0) {
      return SystemError("cannot watch the folder \"" + folder + "\": ");
    }
    state->names_by_watch[wd].insert(name);
  }
  watch->reset(new FileWatch(std::move(state)));
  return Status::Ok();
}

Status FileWatch::Wait(int timeout_ms, Event* event) {
  pollfd fds[2] = {{state_->signal_fd, POLLIN, 0},
                   {state_->notify_fd, POLLIN, 0}};
  const int ready = ::poll(fds, 2, timeout_ms);
  *event = Event::kNothing;
  if (ready < 0) {
    return errno == EINTR ? Status::Ok() : SystemError("");
  }
  if (fds[0].revents & POLLIN) {
    signalfd_siginfo info;
    (void)::read(state_->signal_fd, &info, sizeof info);
    *event = Event::kStop;
  } else if (fds[1].revents & POLLIN) {
    if (state_->TakeChanges()) *event = Event::kChange;
  } else if (ready == 0) {
    *event = Event::kTimeout;
  }
  return Status::Ok();
}

}  // namespace scenario
