#include "base/child_process_testing.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <thread>

#include "base/scoped_temp_dir.h"

extern char** environ;

namespace scenario {
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
                           const std::vector<EnvironmentChange>& env) {
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
  pid_ = ::fork();
  if (pid_ == 0) {
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
  if (pid_ < 0) {
    ::close(to_child[1]);
    ::close(from_child[0]);
    return;
  }
  in_ = to_child[1];
  out_ = from_child[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (in_ >= 0) ::close(in_);
  if (out_ >= 0) ::close(out_);
}

bool ChildProcess::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(in_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void ChildProcess::CloseInput() {
  if (in_ >= 0) ::close(in_);
  in_ = -1;
}

bool ChildProcess::ReadUntil(
    const std::function<bool(const std::string&)>& done,
    std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  char buffer[1 << 16];
  for (;;) {
    if (done(output_)) return true;
    if (output_ended_ || out_ < 0) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd = {out_, POLLIN, 0};
    const int ready = ::poll(&fd, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return done(output_);
    const ssize_t n = ::read(out_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      output_ended_ = true;
    } else {
      output_.append(buffer, static_cast<std::size_t>(n));
    }
  }
}

std::optional<std::string> ChildProcess::ReadLine(
    std::chrono::milliseconds limit) {
  const auto has_line = [](const std::string& out) {
    return out.find('\n') != std::string::npos;
  };
  if (!ReadUntil(has_line, limit)) return std::nullopt;
  const std::size_t end = output_.find('\n');
  std::string line = output_.substr(0, end);
  output_.erase(0, end + 1);
  return line;
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !reaped_) ::kill(pid_, signal);
}

void ChildProcess::Reap(bool block) {
  if (pid_ <= 0 || reaped_) return;
  int raw = 0;
  struct rusage usage {};
  pid_t r;
  do {
    r = ::wait4(pid_, &raw, block ? 0 : WNOHANG, &usage);
  } while (r < 0 && errno == EINTR);
  if (r != pid_) return;
  reaped_ = true;
  max_resident_kib_ = usage.ru_maxrss;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool ChildProcess::Running() {
  Reap(false);
  return pid_ > 0 && !reaped_;
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (Running()) {
    if (std::chrono::steady_clock::now() >= end) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status_;
}

ChildRun RunChild(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::vector<EnvironmentChange>& env,
                  std::chrono::milliseconds limit) {
  ScopedTempDir scratch;
  const std::string err_file = scratch.File("stderr");
  ChildRun run;
  {
    ChildProcess child(argv, cwd, err_file, env);
    child.CloseInput();
    const auto end = std::chrono::steady_clock::now() + limit;
    const auto never = [](const std::string&) { return false; };
    // Read while the child runs; a process it left behind may hold the
    // output open after it ends, so the end of the child ends the reading.
    while (child.Running() && !child.output_ended() &&
           std::chrono::steady_clock::now() < end) {
      child.ReadUntil(never, std::chrono::milliseconds(100));
    }
    // What it wrote just before it ended.
    child.ReadUntil(never, std::chrono::milliseconds(100));
    run.status =
        child.Wait(std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now()));
    run.out = std::move(child.output());
    run.max_resident_kib = child.max_resident_kib();
  }
  run.err = ReadWholeFile(err_file);
  return run;
}

}  // namespace scenario
