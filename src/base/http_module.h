#ifndef SCENARIO_BASE_HTTP_MODULE_H_
#define SCENARIO_BASE_HTTP_MODULE_H_

// The HTTP server module: a shared module beside the executable that holds
// cpp-httplib (and, through it, the TLS and compression libraries it is
// built with). Only LoopbackHttpServer::Start loads it, so that a command
// that serves nothing starts without loading any of them. The module and
// the program are built together from these sources; a module of another
// build is not supported.

#include <string>

#include "base/loopback_http_server.h"

namespace scenario {

inline constexpr char kHttpModuleFile[] = "scenario-http.so";
inline constexpr char kHttpModuleEntry[] = "ScenarioHttpModule";

struct HttpModule {
  // Binds 127.0.0.1:port (0: any free port) and answers every request
  // through handler on threads of its own. Returns the running server and
  // sets *bound_port, or returns null and sets *error.
  void* (*start)(int port, HttpHandler handler, int* bound_port,
                 std::string* error);
  // Stops listening, lets the requests being answered finish, joins the
  // server's threads and frees it.
  void (*stop)(void* server);
};

// The module's entry point, kHttpModuleEntry: its functions.
using HttpModuleEntry = const HttpModule* (*)();

}  // namespace scenario

#endif  // SCENARIO_BASE_HTTP_MODULE_H_
