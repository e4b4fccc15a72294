#ifndef SCENARIO_BASE_STREAM_INPUT_H_
#define SCENARIO_BASE_STREAM_INPUT_H_

// A program's input read as a stream (a pipe from an editor): bytes as
// they arrive, with a limit on the wait, so that a server can do its
// timed work between messages. The platform's part of the language
// server's transport.

#include <memory>
#include <string>

#include "base/status.h"

namespace scenario {

class StreamInput {
 public:
  // What a read gave.
  enum class Read {
    kBytes,    // some bytes were appended
    kTimeout,  // the time given passed first
    kEnded,    // the input is closed, or reading it failed
  };

  // Reads the open file descriptor fd from now on. Fails, saying why, when
  // fd cannot be read as a stream. On Windows a thread reads it (a pipe
  // there cannot be waited on with a time limit), one piece at a time: it
  // reads the next only once ReadSome has taken the last, so no more than
  // one read's bytes are ever held beyond what the caller took.
  static Status Open(int fd, std::unique_ptr<StreamInput>* input);

  ~StreamInput();
  StreamInput(const StreamInput&) = delete;
  StreamInput& operator=(const StreamInput&) = delete;

  // Waits at most timeout_ms (negative: no limit) for bytes and appends
  // what arrived, up to 64 KiB at a time, to *bytes.
  Read ReadSome(int timeout_ms, std::string* bytes);

 private:
  // The platform's descriptor (and, on Windows, the reading thread's
  // hand-over).
  struct State;
  explicit StreamInput(std::shared_ptr<State> state);

  std::shared_ptr<State> state_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_STREAM_INPUT_H_
