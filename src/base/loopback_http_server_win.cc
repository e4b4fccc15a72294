#include "base/loopback_http_server.h"

#include <utility>

namespace scenario {

// The Windows build has no HTTP server yet: the command says so and goes
// on without it.
struct LoopbackHttpServer::State {};

Status LoopbackHttpServer::Start(int port, HttpHandler handler,
                                 std::unique_ptr<LoopbackHttpServer>* server) {
  (void)port;
  (void)handler;
  server->reset();
  return Status::Error(
      "serving the sheet to a browser is not available on Windows in this "
      "version; run watch without --serve, and plot -o sheet.html for the "
      "page");
}

LoopbackHttpServer::LoopbackHttpServer(std::unique_ptr<State> state)
    : state_(std::move(state)) {}

LoopbackHttpServer::~LoopbackHttpServer() = default;

int LoopbackHttpServer::port() const { return 0; }

}  // namespace scenario
