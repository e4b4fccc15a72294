#include "base/loopback_http_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace scenario {

namespace {

constexpr const char* kLoopback = "127.0.0.1";

}  // namespace

// Invariant: once Start returns, the thread's accept loop is running (or
// has ended on its own: ended is set), so that the destructor's stop() is
// never lost on a loop that has not begun. Nothing but stop() touches the
// server from another thread.
struct LoopbackHttpServer::State {
  httplib::Server server;
  std::thread thread;
  std::atomic<bool> ended{false};
  int port = 0;
};

Status LoopbackHttpServer::Start(int port, HttpHandler handler,
                                 std::unique_ptr<LoopbackHttpServer>* server) {
  auto state = std::make_unique<State>();
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
  const bool bound =
      port == 0 ? (state->port = s.bind_to_any_port(kLoopback), state->port > 0)
                : s.bind_to_port(kLoopback, port);
  if (!bound) {
    return Status::Error("cannot listen on " + std::string(kLoopback) + ":" +
                         std::to_string(port) +
                         ": the port is taken or not allowed; give another "
                         "(--serve 0 picks a free one)");
  }
  if (port != 0) state->port = port;
  State* raw = state.get();
  state->thread = std::thread([raw] {
    raw->server.listen_after_bind();
    raw->ended = true;
  });
  while (!raw->server.is_running() && !raw->ended) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  server->reset(new LoopbackHttpServer(std::move(state)));
  return Status::Ok();
}

LoopbackHttpServer::LoopbackHttpServer(std::unique_ptr<State> state)
    : state_(std::move(state)) {}

LoopbackHttpServer::~LoopbackHttpServer() {
  state_->server.stop();
  if (state_->thread.joinable()) state_->thread.join();
}

int LoopbackHttpServer::port() const { return state_->port; }

}  // namespace scenario
