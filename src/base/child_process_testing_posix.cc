#include "base/child_process_testing.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string_view>

extern char** environ;

namespace scenario {

struct ChildProcess::State {
  pid_t pid = -1;
  int in = -1;   // the child's standard input, our end
  int out = -1;  // the child's standard output, our end
};

namespace {

// The test's environment with env applied, as "NAME=value" entries. Made
// before the fork: the child may only call async-signal-safe functions.
std::vector<std::string> ChildEnvironment(
    const std::vector<EnvironmentChange>& env) {
  std::vector<std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    bool changed = false;
    for (const EnvironmentChange& c : env) {
      changed = changed ||
                (entry.starts_with(c.name) && entry.size() > c.name.size() &&
                 entry[c.name.size()] == '=');
    }
    if (!changed) entries.emplace_back(entry);
  }
  for (const EnvironmentChange& c : env) {
    if (c.value) entries.push_back(c.name + "=" + *c.value);
  }
  return entries;
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& s : strings) {
    pointers.push_back(const_cast<char*>(s.c_str()));
  }
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv,
                           const std::string& cwd,
                           const std::string& stderr_file,
                           const std::vector<EnvironmentChange>& env)
    : state_(new State) {
  ::signal(SIGPIPE, SIG_IGN);
  int to_child[2];
  int from_child[2];
  if (::pipe2(to_child, O_CLOEXEC) != 0) return;
  if (::pipe2(from_child, O_CLOEXEC) != 0) {
    ::close(to_child[0]);
    ::close(to_child[1]);
    return;
  }
  const std::vector<std::string> environment = ChildEnvironment(env);
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> envp = Pointers(environment);
  state_->pid = ::fork();
  if (state_->pid == 0) {
    ::dup2(to_child[0], STDIN_FILENO);
    ::dup2(from_child[1], STDOUT_FILENO);
    if (!stderr_file.empty()) {
      const int err = ::open(stderr_file.c_str(),
                             O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (err >= 0) ::dup2(err, STDERR_FILENO);
    }
    // The test's own mask and handlers are not the child's business.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::execvpe(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  ::close(to_child[0]);
  ::close(from_child[1]);
  if (state_->pid < 0) {
    ::close(to_child[1]);
    ::close(from_child[0]);
    return;
  }
  state_->in = to_child[1];
  state_->out = from_child[0];
}

bool ChildProcess::started() const { return state_->pid > 0; }

long ChildProcess::pid() const { return state_->pid > 0 ? state_->pid : 0; }

ChildProcess::~ChildProcess() {
  if (state_->pid > 0 && !reaped_) {
    ::kill(state_->pid, SIGKILL);
    ::waitpid(state_->pid, nullptr, 0);
  }
  if (state_->in >= 0) ::close(state_->in);
  if (state_->out >= 0) ::close(state_->out);
}

bool ChildProcess::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        ::write(state_->in, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void ChildProcess::CloseInput() {
  if (state_->in >= 0) ::close(state_->in);
  state_->in = -1;
}

bool ChildProcess::ReadUntil(
    const std::function<bool(const std::string&)>& done,
    std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  char buffer[1 << 16];
  for (;;) {
    if (done(output_)) return true;
    if (output_ended_ || state_->out < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd = {state_->out, POLLIN, 0};
    const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return done(output_);
    const ssize_t n = ::read(state_->out, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      output_ended_ = true;
    } else {
      output_.append(buffer, static_cast<std::size_t>(n));
    }
  }
}

void ChildProcess::Signal(int signal) {
  if (state_->pid > 0 && !reaped_) ::kill(state_->pid, signal);
}

void ChildProcess::Reap(bool block) {
  if (state_->pid <= 0 || reaped_) return;
  int raw = 0;
  struct rusage usage {};
  pid_t r;
  do {
    r = ::wait4(state_->pid, &raw, block ? 0 : WNOHANG, &usage);
  } while (r < 0 && errno == EINTR);
  if (r != state_->pid) return;
  reaped_ = true;
  max_resident_kib_ = usage.ru_maxrss;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool ChildProcess::Running() {
  Reap(false);
  return state_->pid > 0 && !reaped_;
}

long ChildProcess::PeakResidentKibSoFar() const {
  std::ifstream status("/proc/" + std::to_string(pid()) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::strtol(line.c_str() + 6, nullptr, 10);
    }
  }
  return -1;
}

bool MakeFifo(const std::string& path) {
  return ::mkfifo(path.c_str(), 0644) == 0;
}

bool RaiseStopRequest(int signal) { return ::raise(signal) == 0; }

long EndedProcessId() {
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  return static_cast<long>(ended);
}

long LastingProcessId() { return 1; }

}  // namespace scenario
