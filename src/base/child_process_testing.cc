#include "base/child_process_testing.h"

#include <string>
#include <thread>

#include "base/scoped_temp_dir.h"

// The platform's half is child_process_testing_posix.cc or _win.cc.

namespace scenario {

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
