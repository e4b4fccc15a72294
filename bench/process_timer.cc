// Runs one command and reports what it cost, on one line of stdout:
//
//   WALL_MS CPU_MS MAX_RSS_KIB EXIT_STATUS
//
// wall time from just before the fork to the child's end, cpu time (user
// plus system) and peak resident memory as the kernel accounts them to the
// child (the figures /usr/bin/time prints, with microseconds). The
// command's own output goes to /dev/null.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: process_timer COMMAND [ARG...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
      ::dup2(null, 1);
      ::dup2(null, 2);
    }
    ::execvp(argv[1], argv + 1);
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return 2;
  const double wall_ms = std::chrono::duration<double, std::milli>(
                             std::chrono::steady_clock::now() - start)
                             .count();
  auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 +
           static_cast<double>(t.tv_usec) / 1e3;
  };
  const double cpu_ms = ms(usage.ru_utime) + ms(usage.ru_stime);
  std::printf("%.3f %.3f %ld %d\n", wall_ms, cpu_ms, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
