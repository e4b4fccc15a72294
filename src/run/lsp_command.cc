#include "run/lsp_command.h"

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/exit_status.h"
#include "base/file_system.h"
#include "base/stream_input.h"
#include "lsp/json_rpc.h"
#include "lsp/lsp_server.h"
#include "run/program_name.h"

namespace scenario {

namespace {

using nlohmann::json;

// Milliseconds from now until `when`, rounded up, for the wait.
int PollTimeout(LspServer::Clock::time_point when) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(
      when - LspServer::Clock::now());
  if (left.count() <= 0) return 0;
  return left.count() > 60000 ? 60000 : static_cast<int>(left.count());
}

}  // namespace

int RunLspCommand(int in_fd, int out_fd, std::ostream& err) {
  std::unique_ptr<StreamInput> input;
  const Status opened = StreamInput::Open(in_fd, &input);
  if (!opened.ok()) {
    err << kProgramName << ": " << opened.message() << '\n';
    return kExitNothing;
  }
  LspServer server(RealFileSystem());
  FrameDecoder decoder;
  std::string bytes;
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
    bytes.clear();
    switch (input->ReadSome(due ? PollTimeout(*due) : -1, &bytes)) {
      case StreamInput::Read::kBytes:
        decoder.Feed(bytes);
        break;
      case StreamInput::Read::kTimeout:
        break;  // a check fell due
      case StreamInput::Read::kEnded:
        // The client went away without "exit": what it sent is still
        // answered, then the server ends.
        input_open = false;
        break;
    }
  }
}

}  // namespace scenario
