#include "base/stream_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace scenario {

struct StreamInput::State {
  int fd;
};

Status StreamInput::Open(int fd, std::unique_ptr<StreamInput>* input) {
  // The answers go back to the same client: one that closes its end makes
  // writes fail instead of ending the process.
  std::signal(SIGPIPE, SIG_IGN);
  input->reset(new StreamInput(std::make_shared<State>(State{fd})));
  return Status::Ok();
}

StreamInput::StreamInput(std::shared_ptr<State> state)
    : state_(std::move(state)) {}

StreamInput::~StreamInput() = default;

StreamInput::Read StreamInput::ReadSome(int timeout_ms, std::string* bytes) {
  for (;;) {
    pollfd in = {state_->fd, POLLIN, 0};
    const int ready = ::poll(&in, 1, timeout_ms);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return Read::kEnded;
    }
    if (ready == 0) return Read::kTimeout;
    char buffer[1 << 16];
    const ssize_t n = ::read(state_->fd, buffer, sizeof buffer);
    if (n < 0) {
      // Woken for nothing: the caller's timed work comes first.
      if (errno == EINTR || errno == EAGAIN) return Read::kTimeout;
      return Read::kEnded;
    }
    if (n == 0) return Read::kEnded;
    bytes->append(buffer, static_cast<std::size_t>(n));
    return Read::kBytes;
  }
}

}  // namespace scenario
