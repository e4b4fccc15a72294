// The server on Linux: cpp-httplib in the HTTP module (http_module.h),
// loaded only when a server is started.
#include "base/loopback_http_server.h"

#include <string>
#include <utility>

#include "base/http_module.h"
#include "base/shared_module.h"

namespace scenario {

struct LoopbackHttpServer::State {
  const HttpModule* module = nullptr;
  void* server = nullptr;  // the module's, stopped and freed by it
  int port = 0;
};

Status LoopbackHttpServer::Start(int port, HttpHandler handler,
                                 std::unique_ptr<LoopbackHttpServer>* server) {
  server->reset();
  void* entry = nullptr;
  Status status = LoadSharedModule(kHttpModuleFile, kHttpModuleEntry, &entry);
  if (!status.ok()) return status;
  auto state = std::make_unique<State>();
  state->module = reinterpret_cast<HttpModuleEntry>(entry)();
  std::string error;
  state->server =
      state->module->start(port, std::move(handler), &state->port, &error);
  if (state->server == nullptr) return Status::Error(error);
  server->reset(new LoopbackHttpServer(std::move(state)));
  return Status::Ok();
}

LoopbackHttpServer::LoopbackHttpServer(std::unique_ptr<State> state)
    : state_(std::move(state)) {}

LoopbackHttpServer::~LoopbackHttpServer() {
  state_->module->stop(state_->server);
}

int LoopbackHttpServer::port() const { return state_->port; }

}  // namespace scenario
