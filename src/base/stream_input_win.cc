// Windows: an anonymous pipe cannot be waited on with a time limit, so a
// thread of its own reads the input with blocking reads and hands each
// piece over; ReadSome waits for a piece with the caller's limit.
#include "base/stream_input.h"

#include <io.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace scenario {

namespace {

constexpr DWORD kPieceBytes = 1 << 16;

}  // namespace

// Shared by the reading thread and the StreamInput: the thread may still be
// blocked in a read when the StreamInput goes (nothing can wake it but
// input or the process's end), so it keeps the state alive itself.
struct StreamInput::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::mutex mutex;
  std::condition_variable changed;
  // Guarded by mutex. Invariant: the thread reads only while piece is
  // empty, so at most one read's bytes wait here.
  std::string piece;
  bool ended = false;

  // The reading thread: one piece at a time, until the input ends.
  static void ReadPieces(std::shared_ptr<State> state) {
    std::string buffer(kPieceBytes, '\0');
    for (;;) {
      DWORD n = 0;
      // A pipe whose writer closed it fails with ERROR_BROKEN_PIPE; a file
      // at its end reads 0 bytes: either ends the input.
      const bool read = ::ReadFile(state->handle, buffer.data(), kPieceBytes,
                                   &n, nullptr) != 0 &&
                        n > 0;
      std::unique_lock<std::mutex> lock(state->mutex);
      if (!read) {
        state->ended = true;
        state->changed.notify_all();
        return;
      }
      state->piece.assign(buffer.data(), n);
      state->changed.notify_all();
      state->changed.wait(lock, [&] { return state->piece.empty(); });
    }
  }
};

Status StreamInput::Open(int fd, std::unique_ptr<StreamInput>* input) {
  input->reset();
  auto state = std::make_shared<State>();
  state->handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (state->handle == INVALID_HANDLE_VALUE) {
    return Status::Error("cannot read the input: it is not open");
  }
  // Left to run: it ends with the input or with the process.
  std::thread(State::ReadPieces, state).detach();
  input->reset(new StreamInput(std::move(state)));
  return Status::Ok();
}

StreamInput::StreamInput(std::shared_ptr<State> state)
    : state_(std::move(state)) {}

StreamInput::~StreamInput() = default;

StreamInput::Read StreamInput::ReadSome(int timeout_ms, std::string* bytes) {
  std::unique_lock<std::mutex> lock(state_->mutex);
  const auto ready = [&] { return !state_->piece.empty() || state_->ended; };
  if (timeout_ms < 0) {
    state_->changed.wait(lock, ready);
  } else if (!state_->changed.wait_for(
                 lock, std::chrono::milliseconds(timeout_ms), ready)) {
    return Read::kTimeout;
  }
  if (state_->piece.empty()) return Read::kEnded;
  bytes->append(state_->piece);
  state_->piece.clear();
  state_->changed.notify_all();
  return Read::kBytes;
}

}  // namespace scenario
