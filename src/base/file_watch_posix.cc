#include "base/file_watch.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace scenario {
namespace {

// One mask for every folder, whatever it is watched for: inotify gives one
// descriptor per folder, and a second mask would replace the first where
// one folder has two roles (the folder of one file and a folder above
// another's).
constexpr std::uint32_t kFolderEvents =
    IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_CREATE | IN_DELETE |
    IN_MOVED_FROM | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// A watched folder itself went away or stopped being watched.
constexpr std::uint32_t kFolderGoneEvents =
    IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

// The folder that holds path and the last name in it, as written: "." for
// a bare name, "" above "/", "." and "..".
std::pair<std::string, std::string> Split(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path == "/" || path == "." || path == "..") return {"", path};
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  std::string folder = path.substr(0, slash);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return {folder.empty() ? "/" : folder, path.substr(slash + 1)};
}

Status SystemError(const std::string& what, int error) {
  return Status::Error(what + std::strerror(error));
}

Status CannotWatch(const std::string& folder, int error) {
  return SystemError("cannot watch the folder \"" + folder + "\": ", error);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder of the watched files.
struct WatchedFolder {
  std::string path;             // as the files name it
  std::set<std::string> names;  // the watched files in it
  int wd = -1;                  // its watch; -1 while it is gone
  int gone_because = ENOENT;    // while it is gone: the system's reason
};

// What the events of one watch descriptor concern.
struct Interest {
  std::set<std::string> files;    // watched files in the folder
  std::set<std::string> awaited;  // missing folders on the way to files
};

}  // namespace

struct FileWatch::State {
  sigset_t signals;
  sigset_t old_mask;
  bool masked = false;
  int signal_fd = -1;
  int notify_fd = -1;
  std::vector<WatchedFolder> folders;  // in the order of the files
  // Invariant: holds every descriptor that Arm last kept, and only those.
  std::map<int, Interest> interest;

  ~State() {
    if (notify_fd >= 0) ::close(notify_fd);
    if (signal_fd >= 0) ::close(signal_fd);
    if (masked) sigprocmask(SIG_SETMASK, &old_mask, nullptr);
  }

  // Watches every folder again by its path, and drops the watches nothing
  // needs any more (those of a folder gone, or renamed away: a watch
  // follows the folder it was put on, not the path).
  Status Arm() {
    std::map<int, Interest> armed;
    for (WatchedFolder& folder : folders) {
      const Status s = ArmFolder(folder, &armed);
      if (!s.ok()) return s;
    }
    for (const auto& kept : interest) {
      // Fails harmlessly for a watch the system dropped with its folder.
      if (armed.count(kept.first) == 0) {
        (void)inotify_rm_watch(notify_fd, kept.first);
      }
    }
    interest = std::move(armed);
    return Status::Ok();
  }

  // Watches folder when it is there; else the nearest folder above it
  // that is, for the name of the next one down. A folder made between the
  // failed look at it and the watch above it tells of itself by no event,
  // so it is looked at once more and followed down.
  Status ArmFolder(WatchedFolder& folder, std::map<int, Interest>* armed) {
    for (;;) {
      std::string at = folder.path;
      std::string below;  // the folder looked at just before at
      int wd = WatchFolder(at);
      const int error = -wd;
      while (wd < 0) {
        if (wd != -ENOENT && wd != -ENOTDIR) return CannotWatch(at, -wd);
        below = at;
        at = Split(at).first;
        if (at.empty()) return CannotWatch(folder.path, error);
        wd = WatchFolder(at);
      }
      if (below.empty()) {
        folder.wd = wd;
        (*armed)[wd].files.insert(folder.names.begin(), folder.names.end());
        return Status::Ok();
      }
      folder.wd = -1;
      folder.gone_because = error;
      (*armed)[wd].awaited.insert(Split(below).second);
      if (!IsFolder(below)) return Status::Ok();
    }
  }

  // The descriptor of a new or kept watch on the folder at path, or minus
  // the system's reason why there is none.
  int WatchFolder(const std::string& path) const {
    const int wd = inotify_add_watch(notify_fd, path.c_str(), kFolderEvents);
    return wd >= 0 ? wd : -errno;
  }

  // The descriptor of each folder of the files, -1 for one gone.
  std::vector<int> FolderWatches() const {
    std::vector<int> wds;
    for (const WatchedFolder& folder : folders) wds.push_back(folder.wd);
    return wds;
  }

  // Reads the waiting change events and follows the folders that went or
  // came. *changed: a watched file changed, or a folder of the files went,
  // came back or was replaced.
  Status TakeChanges(bool* changed) {
    alignas(inotify_event) char events[16 * 1024];
    const ssize_t n = ::read(notify_fd, events, sizeof events);
    bool rearm = false;
    for (ssize_t at = 0; n > 0 && at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        // Events were lost: anything may have happened.
        *changed = rearm = true;
        continue;
      }
      const auto watched = interest.find(event->wd);
      if (watched == interest.end()) continue;
      if (event->mask & kFolderGoneEvents) {
        rearm = true;
        continue;
      }
      if (event->len == 0) continue;
      if (watched->second.files.count(event->name) != 0) *changed = true;
      if ((event->mask & (IN_CREATE | IN_MOVED_TO)) &&
          watched->second.awaited.count(event->name) != 0) {
        rearm = true;
      }
    }
    if (!rearm) return Status::Ok();
    const std::vector<int> before = FolderWatches();
    const Status s = Arm();
    if (FolderWatches() != before) *changed = true;
    return s;
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
    return SystemError("cannot block the signals: ", errno);
  }
  state->masked = true;
  state->signal_fd = signalfd(-1, &state->signals, SFD_CLOEXEC);
  state->notify_fd = inotify_init1(IN_CLOEXEC);
  if (state->signal_fd < 0 || state->notify_fd < 0) {
    return SystemError("cannot watch files: ", errno);
  }
  for (const std::string& file : files) {
    // Named parts rather than a structured binding: not every compiler
    // the project builds with lets a lambda capture one.
    auto parts = Split(file);
    std::string& folder = parts.first;
    std::string& name = parts.second;
    auto known =
        std::find_if(state->folders.begin(), state->folders.end(),
                     [&](const WatchedFolder& f) { return f.path == folder; });
    if (known == state->folders.end()) {
      WatchedFolder added;
      added.path = std::move(folder);
      known = state->folders.insert(known, std::move(added));
    }
    known->names.insert(std::move(name));
  }
  const Status armed = state->Arm();
  if (!armed.ok()) return armed;
  // A folder missing from the start is more likely mistyped than on its
  // way: it is refused.
  for (const WatchedFolder& folder : state->folders) {
    if (folder.wd < 0) return CannotWatch(folder.path, folder.gone_because);
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
    return errno == EINTR ? Status::Ok() : SystemError("", errno);
  }
  if (fds[0].revents & POLLIN) {
    signalfd_siginfo info;
    (void)::read(state_->signal_fd, &info, sizeof info);
    *event = Event::kStop;
  } else if (fds[1].revents & POLLIN) {
    bool changed = false;
    const Status s = state_->TakeChanges(&changed);
    if (changed) *event = Event::kChange;
    return s;
  } else if (ready == 0) {
    *event = Event::kTimeout;
  }
  return Status::Ok();
}

std::vector<std::string> FileWatch::MissingFolders() const {
  std::vector<std::string> missing;
  for (const WatchedFolder& folder : state_->folders) {
    if (folder.wd < 0) missing.push_back(folder.path);
  }
  return missing;
}

}  // namespace scenario
