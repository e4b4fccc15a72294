#ifndef SCENARIO_BASE_LOOPBACK_HTTP_SERVER_H_
#define SCENARIO_BASE_LOOPBACK_HTTP_SERVER_H_

// A small HTTP server that listens on the loopback address only
// (127.0.0.1, never every address) and hands every request, whatever its
// method or path, to one handler: the platform's part of a command that
// shows a page to a browser on the same machine. It reads no file; what
// it serves is only what the handler answers.

#include <functional>
#include <memory>
#include <string>

#include "base/status.h"

namespace scenario {

// A request as the handler sees it: the path is decoded and without its
// query; host is the Host header as sent ("" when there is none).
struct HttpRequest {
  std::string method;
  std::string path;
  std::string host;
};

struct HttpResponse {
  int status = 200;
  std::string content_type = "text/plain; charset=utf-8";
  std::string body;
};

// Called on the server's own threads, possibly on several at once: it must
// guard whatever it shares.
using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

class LoopbackHttpServer {
 public:
  // Binds 127.0.0.1:port (0: any free port) and starts answering on
  // threads of its own. Fails with a message that names the port and the
  // reason (taken, or no server on this platform).
  static Status Start(int port, HttpHandler handler,
                      std::unique_ptr<LoopbackHttpServer>* server);

  // Stops listening, lets the requests being answered finish and joins the
  // server's threads.
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // The port bound (the one chosen when Start was given 0).
  int port() const;

 private:
  struct State;
  explicit LoopbackHttpServer(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_LOOPBACK_HTTP_SERVER_H_
