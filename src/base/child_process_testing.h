#ifndef SCENARIO_BASE_CHILD_PROCESS_TESTING_H_
#define SCENARIO_BASE_CHILD_PROCESS_TESTING_H_

// The one way the tests run another program: a child with pipes on its
// standard input and output, for the commands that talk while they run
// (lsp, watch) and the tools a test drives (an X server, xev, an editor);
// and RunChild for a program that is only run to its end. No shell stands
// between the test and the program, so arguments need no quoting.
// Test-only.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

// A change to the test's environment for the child: a value sets the
// variable, nullopt removes it.
struct EnvironmentChange {
  std::string name;
  std::optional<std::string> value;
};

class ChildProcess {
 public:
  // Starts argv[0] with argv: a name without "/" is looked up on PATH. The
  // child runs in folder cwd ("" : the test's own), with the environment
  // changed by env, and its standard error goes to stderr_file ("" : the
  // test's own).
  // REQUIRES: argv is not empty.
  ChildProcess(const std::vector<std::string>& argv, const std::string& cwd,
               const std::string& stderr_file,
               const std::vector<EnvironmentChange>& env = {});
  // Kills the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // False when the process could not be made. A program that cannot be
  // started still makes one, which ends at once with status 127 (on POSIX;
  // on Windows it is not made).
  bool started() const;
  // Its process id (to read its figures while it runs); 0 when it was
  // not made.
  long pid() const;

  // False when the child no longer reads.
  bool Write(const std::string& bytes);
  void CloseInput();
  // Reads what the child writes until done(output()) holds, the output
  // ends or the time is up; returns done's last answer.
  bool ReadUntil(const std::function<bool(const std::string&)>& done,
                 std::chrono::milliseconds limit);
  // The next line of the output without its "\n", taken from the front of
  // output(); nullopt when the output ends or the time is up first (a part
  // of a line read meanwhile stays in output()).
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
  // Everything read so far; tests may take from its front.
  std::string& output() { return output_; }
  bool output_ended() const { return output_ended_; }

  // Sends the signal (on Windows: a Ctrl-C on the child's console for
  // SIGINT; any other signal ends the child).
  void Signal(int signal);
  // True while the child has not ended.
  bool Running();
  // The exit status, or -1 when it has not ended in time or was ended by a
  // signal.
  int Wait(std::chrono::milliseconds limit);
  // The most memory the child held at once (its peak resident set), in
  // KiB; 0 until it has ended.
  long max_resident_kib() const { return max_resident_kib_; }
  // The most memory the running child has held at once so far, in KiB;
  // -1 when it cannot be read (or the child has ended).
  long PeakResidentKibSoFar() const;

 private:
  // The platform's process and pipe handles.
  struct State;

  // Collects the child's status if it has ended; with block, waits for it.
  void Reap(bool block);

  std::unique_ptr<State> state_;
  std::string output_;
  bool output_ended_ = false;
  int status_ = -1;
  long max_resident_kib_ = 0;
  bool reaped_ = false;
};

// What a program run to its end left.
struct ChildRun {
  int status = -1;            // as ChildProcess::Wait gives it
  std::string out;            // its standard output
  std::string err;            // its standard error
  long max_resident_kib = 0;  // its peak resident set
};

// Runs argv (as ChildProcess starts it) with an empty standard input until
// it ends, and captures both outputs. A child still running after limit is
// killed and gives status -1.
ChildRun RunChild(const std::vector<std::string>& argv,
                  const std::string& cwd = "",
                  const std::vector<EnvironmentChange>& env = {},
                  std::chrono::milliseconds limit = std::chrono::minutes(2));

// Makes a named pipe (a FIFO) at path; false where it cannot be made, as
// on Windows, which has none in its file system.
bool MakeFifo(const std::string& path);

// Asks this process to stop as a person at its terminal would: raises the
// signal on POSIX; on Windows sends its console a Ctrl-C, whatever the
// signal (giving the process a console of its own when it has none that
// takes one). False when it could not be sent.
bool RaiseStopRequest(int signal);

// The id of a process that has ended and been waited for, for tests of
// what a killed run leaves behind.
long EndedProcessId();

// The id of a system process that runs for as long as the system does
// (init on POSIX, services.exe on Windows); 0 when none is found.
long LastingProcessId();

}  // namespace scenario

#endif  // SCENARIO_BASE_CHILD_PROCESS_TESTING_H_
