#include "tools/sheet_site.h"

#include <nlohmann/json.hpp>
#include <utility>

#include "plot/sheet_live_page.h"

namespace scenario {

namespace {

HttpResponse Plain(int status, std::string body) {
  HttpResponse r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

}  // namespace

void SheetSite::SetPort(int port) {
  const std::lock_guard<std::mutex> lock(mutex_);
  port_ = port;
}

void SheetSite::PublishSheet(LiveSheet sheet) {
  auto shared = std::make_shared<const LiveSheet>(std::move(sheet));
  const std::lock_guard<std::mutex> lock(mutex_);
  sheet_ = std::move(shared);
  diagnostics_.clear();
  ++round_;
  drawing_ = round_;
}

void SheetSite::PublishDiagnostics(std::string text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  diagnostics_ = std::move(text);
  ++round_;
}

HttpResponse SheetSite::Respond(const HttpRequest& request) const {
  std::unique_lock<std::mutex> lock(mutex_);
  const std::string port = std::to_string(port_);
  const std::uint64_t round = round_;
  const std::uint64_t drawing = drawing_;
  const std::shared_ptr<const LiveSheet> sheet = sheet_;
  const std::string diagnostics = diagnostics_;
  lock.unlock();

  if (request.host != "127.0.0.1:" + port &&
      request.host != "localhost:" + port) {
    return Plain(403, "this server answers only http://127.0.0.1:" + port +
                          "/ and http://localhost:" + port + "/\n");
  }
  if (request.method != "GET" && request.method != "HEAD") {
    return Plain(405, "only GET and HEAD are answered here\n");
  }
  if (request.path == "/") {
    HttpResponse r;
    r.content_type = "text/html; charset=utf-8";
    r.body = sheet ? sheet->page : DrawSheetWaitingPage();
    return r;
  }
  if (request.path == "/round") return Plain(200, std::to_string(round));
  if (request.path == "/sheet.json") {
    nlohmann::json state = {{"round", round}, {"diagnostics", diagnostics}};
    if (sheet) {
      state["drawing"] = drawing;
      state["svg"] = sheet->svg;
      state["data"] = sheet->data;
    } else {
      state["drawing"] = nullptr;
      state["svg"] = nullptr;
      state["data"] = nullptr;
    }
    HttpResponse r;
    r.content_type = "application/json";
    r.body =
        state.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return r;
  }
  return Plain(404,
               "not found: this server answers only /, /round and "
               "/sheet.json\n");
}

}  // namespace scenario
