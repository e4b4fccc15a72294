#ifndef SCENARIO_BASE_CHILD_PROCESS_TESTING_H_
#define SCENARIO_BASE_CHILD_PROCESS_TESTING_H_

// A program run by a test with pipes on its standard input and output, for
// the commands that talk while they run (lsp, watch). Standard error goes
// to a file. Test-only.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace scenario {

class ChildProcess {
 public:
  // Starts argv[0] with argv in folder cwd.
  ChildProcess(const std::vector<std::string>& argv, const std::string& cwd,
               const std::string& stderr_file);
  // Kills the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // False when the child no longer reads.
  bool Write(const std::string& bytes);
  void CloseInput();
  // Reads what the child writes until done(output()) holds, the output
  // ends or the time is up; returns done's last answer.
  bool ReadUntil(const std::function<bool(const std::string&)>& done,
                 std::chrono::milliseconds limit);
  // Everything read so far; tests may take from its front.
  std::string& output() { return output_; }
  bool output_ended() const { return output_ended_; }

  void Signal(int signal);
  // The exit status, or -1 when it has not ended in time (or was killed).
  int Wait(std::chrono::milliseconds limit);

 private:
  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  std::string output_;
  bool output_ended_ = false;
  int status_ = -1;
  bool reaped_ = false;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_CHILD_PROCESS_TESTING_H_
