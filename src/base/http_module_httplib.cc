// The HTTP server module's code: cpp-httplib on 127.0.0.1 only, every
// request handed to one handler. Built as scenario-http.so and loaded by
// LoopbackHttpServer::Start (loopback_http_server_posix.cc).
#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "base/http_module.h"

namespace scenario {
namespace {

constexpr const char* kLoopback = "127.0.0.1";

// Invariant: once Start returns, the thread's accept loop is running (or
// has ended on its own: ended is set), so that Stop's stop() is never lost
// on a loop that has not begun. Nothing but stop() touches the server from
// another thread.
struct Server {
  httplib::Server server;
  std::thread thread;
  std::atomic<bool> ended{false};
};

void* Start(int port, HttpHandler handler, int* bound_port,
            std::string* error) {
  auto state = std::make_unique<Server>();
  httplib::Server& s = state->server;
  // A browser's kept-alive connection holds a worker thread: keep it short,
  // so that stopping never waits long for one.
  s.set_keep_alive_timeout(1);
  s.set_read_timeout(5, 0);
  s.set_write_timeout(5, 0);
  // The library's default also sets SO_REUSEPORT, with which a second
  // watch on the same port would bind too and the kernel would share the
  // browser's requests between the two: only SO_REUSEADDR, so that a port
  // taken is refused while a restarted watch still gets its port back at
  // once.
  s.set_socket_options([](socket_t sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // Every request goes to the handler before any route or file mount is
  // looked at: none is registered, and nothing is read from the disk.
  s.set_pre_routing_handler(
      [handler = std::move(handler)](const httplib::Request& request,
                                     httplib::Response& response) {
        HttpRequest r;
        r.method = request.method;
        r.path = request.path;
        r.host = request.get_header_value("Host");
        const HttpResponse answer = handler(r);
        response.status = answer.status;
        response.set_header("Cache-Control", "no-store");
        response.set_header("X-Content-Type-Options", "nosniff");
        response.set_content(answer.body, answer.content_type.c_str());
        return httplib::Server::HandlerResponse::Handled;
      });
  int bound = port;
  if (port == 0) {
    bound = s.bind_to_any_port(kLoopback);
  } else if (!s.bind_to_port(kLoopback, port)) {
    bound = -1;
  }
  if (bound <= 0) {
    *error = "cannot listen on " + std::string(kLoopback) + ":" +
             std::to_string(port) +
             ": the port is taken or not allowed; give another "
             "(--serve 0 picks a free one)";
    return nullptr;
  }
  *bound_port = bound;
  Server* raw = state.get();
  state->thread = std::thread([raw] {
    raw->server.listen_after_bind();
    raw->ended = true;
  });
  while (!raw->server.is_running() && !raw->ended) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return state.release();
}

void Stop(void* server) {
  std::unique_ptr<Server> state(static_cast<Server*>(server));
  state->server.stop();
  if (state->thread.joinable()) state->thread.join();
}

constexpr HttpModule kModule = {Start, Stop};

}  // namespace
}  // namespace scenario

// The entry point named by kHttpModuleEntry.
extern "C" const scenario::HttpModule* ScenarioHttpModule() {
  return &scenario::kModule;
}
