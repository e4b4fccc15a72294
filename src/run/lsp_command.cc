#include "run/lsp_command.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "lsp/json_rpc.h"
#include "lsp/lsp_server.h"

namespace scenario {

namespace {

using nlohmann::json;

// Milliseconds from now until `when`, rounded up, for poll.
int PollTimeout(LspServer::Clock::time_point when) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(
      when - LspServer::Clock::now());
  if (left.count() <= 0) return 0;
  return left.count() > 60000 ? 60000 : static_cast<int>(left.count());
}

}  // namespace

int RunLspCommand(int in_fd, int out_fd) {
  // A client that closes its end makes writes fail instead of ending the
  // process.
  std::signal(SIGPIPE, SIG_IGN);
  LspServer server(RealFileSystem());
  FrameDecoder decoder;
  std::vector<char> buffer(1 << 16);
  bool input_open = true;
  for (;;) {
    std::vector<json> out;
    while (!server.exited()) {
      std::optional<RpcFrame> frame = decoder.Next();
      if (!frame) break;
      if (frame->kind == RpcFrame::Kind::kMessage) {
        server.Handle(frame->message, LspServer::Clock::now(), &out);
      } else {
        server.HandleBadFrame(frame->error_code, frame->error, &out);
      }
    }
    if (!server.exited()) server.RunDue(LspServer::Clock::now(), &out);
    for (const json& message : out) {
      // A failed write means the client is gone.
      if (WriteAll(out_fd, EncodeFrame(message)) != 0) return 1;
    }
    if (server.exited() || !input_open) return server.exit_status();

    const std::optional<LspServer::Clock::time_point> due = server.NextDue();
    pollfd in = {in_fd, POLLIN, 0};
    const int ready = ::poll(&in, 1, due ? PollTimeout(*due) : -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (ready == 0) continue;  // a check fell due
    const ssize_t n = ::read(in_fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      input_open = false;
    } else if (n == 0) {
      // The client went away without "exit": what it sent is still
      // answered, then the server ends.
      input_open = false;
    } else {
      decoder.Feed(
          std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    }
  }
}

}  // namespace scenario
