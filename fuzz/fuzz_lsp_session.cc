#include "fuzz_lsp_session.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

#include "lsp/file_uri.h"
#include "lsp/json_rpc.h"
#include "lsp/lsp_server.h"
#include "lsp/protocol.h"

namespace scenario {

namespace {

using nlohmann::json;

constexpr const char* kDocuments[] = {
    "/rail/Valle_linea.txt", "/rail/Valle_R 1-.txt", "/rail/notes.txt"};
constexpr std::size_t kDocumentCount = std::size(kDocuments);

constexpr std::chrono::milliseconds kDebounce{250};

unsigned char Byte(std::string_view payload, std::size_t at) {
  return at < payload.size() ? static_cast<unsigned char>(payload[at]) : 0;
}

// A line or character number as an editor might send it, right or wrong.
json Number(unsigned char b) {
  if (b == 255) return -1;
  if (b == 254) return std::int64_t{5} << 30;
  return b == 0 ? 0 : b - 1;
}

json Position(std::string_view payload, std::size_t at) {
  return {{"line", Number(Byte(payload, at))},
          {"character", Number(Byte(payload, at + 1))}};
}

// The editor's side: frames what it does, streams it with the raw bytes
// through a decoder to the server, as the process loop does.
class Session {
 public:
  explicit Session(LspSessionRun* run)
      : run_(run), server_(run->fs, kDebounce) {}

  void Do(LspOp op, std::string_view payload) {
    requests_.clear();
    Act(op, payload);
    Check();
  }

 private:
  std::string Uri(std::string_view payload) const {
    return PathToFileUri(kDocuments[Byte(payload, 0) % kDocumentCount]);
  }
  json Document(std::string_view payload) const {
    return {{"uri", Uri(payload)}};
  }
  std::string Text(std::string_view payload, std::size_t from) const {
    return std::string(payload.substr(std::min(from, payload.size())));
  }

  void Act(LspOp op, std::string_view payload);
  void SetDisk(std::string_view payload);

  void Request(std::string_view method, json params) {
    const int id = next_id_++;
    requests_.push_back(id);
    Stream(EncodeFrame({{"jsonrpc", "2.0"},
                        {"id", id},
                        {"method", std::string(method)},
                        {"params", std::move(params)}}));
  }
  void Notify(std::string_view method, json params) {
    Stream(EncodeFrame({{"jsonrpc", "2.0"},
                        {"method", std::string(method)},
                        {"params", std::move(params)}}));
  }
  // Feeds bytes and hands every frame to the server, then runs the checks
  // that are due.
  void Stream(std::string_view bytes) {
    decoder_.Feed(bytes);
    std::vector<json> out;
    while (!server_.exited()) {
      std::optional<RpcFrame> frame = decoder_.Next();
      if (!frame) break;
      if (frame->kind == RpcFrame::Kind::kMessage) {
        server_.Handle(frame->message, now_, &out);
      } else {
        server_.HandleBadFrame(frame->error_code, frame->error, &out);
      }
    }
    if (!server_.exited()) server_.RunDue(now_, &out);
    for (json& message : out) {
      (void)EncodeFrame(message);  // what the process writes
      const json& id =
          message.is_object() ? message.value("id", json()) : json();
      if (id.is_number_integer() &&
          (message.contains("result") || message.contains("error"))) {
        answered_.insert(id.get<int>());
      }
      run_->sent.push_back(std::move(message));
    }
  }
  // A running server has answered every request of the record.
  void Check() {
    run_->exited = server_.exited();
    if (run_->exited) return;
    for (int id : requests_) {
      if (answered_.count(id) == 0) run_->unanswered.push_back(id);
    }
  }

  LspSessionRun* run_;
  LspServer server_;
  FrameDecoder decoder_;
  LspServer::Clock::time_point now_{};
  int next_id_ = 1;
  std::vector<int> requests_;  // sent in the current record
  std::set<int> answered_;
};

void Session::Act(LspOp op, std::string_view payload) {
  switch (op) {
    case LspOp::kInitialize:
      Request(
          kMethodInitialize,
          {{"capabilities",
            {{"textDocument",
              {{"completion",
                {{"completionItem",
                  {{"snippetSupport", (Byte(payload, 0) & 1) != 0}}}}}}}}}});
      break;
    case LspOp::kOpen:
      Notify(kMethodDidOpen, {{"textDocument",
                               {{"uri", Uri(payload)},
                                {"languageId", "scenario"},
                                {"version", 1},
                                {"text", Text(payload, 1)}}}});
      break;
    case LspOp::kChange:
      Notify(kMethodDidChange,
             {{"textDocument", Document(payload)},
              {"contentChanges", json::array({{{"text", Text(payload, 1)}}})}});
      break;
    case LspOp::kEdit:
      Notify(
          kMethodDidChange,
          {{"textDocument", Document(payload)},
           {"contentChanges", json::array({{{"range",
                                             {{"start", Position(payload, 1)},
                                              {"end", Position(payload, 3)}}},
                                            {"text", Text(payload, 5)}}})}});
      break;
    case LspOp::kHover:
    case LspOp::kCompletion:
      Request(op == LspOp::kHover ? kMethodHover : kMethodCompletion,
              {{"textDocument", Document(payload)},
               {"position", Position(payload, 1)}});
      break;
    case LspOp::kSymbols:
      Request(kMethodDocumentSymbol, {{"textDocument", Document(payload)}});
      break;
    case LspOp::kSave:
      Notify(kMethodDidSave, {{"textDocument", Document(payload)}});
      break;
    case LspOp::kClose:
      Notify(kMethodDidClose, {{"textDocument", Document(payload)}});
      break;
    case LspOp::kShutdown:
      Request(kMethodShutdown, nullptr);
      break;
    case LspOp::kExit:
      Notify(kMethodExit, nullptr);
      break;
    case LspOp::kRaw:
      Stream(std::string(payload) + "\r\n\r\n");
      break;
    case LspOp::kWait:
      now_ += std::chrono::milliseconds(10 * Byte(payload, 0));
      Stream("");
      break;
    case LspOp::kDisk:
      SetDisk(payload);
      break;
  }
}

void Session::SetDisk(std::string_view payload) {
  const std::string path = kDocuments[0];
  run_->fs.files.erase(path);
  run_->fs.folders.erase(path);
  switch (Byte(payload, 0) % 3) {
    case 0:
      run_->fs.files[path] = Text(payload, 1);
      break;
    case 1:
      run_->fs.folders.insert(path);
      break;
    default:
      break;
  }
}

}  // namespace

std::string LspRecord(LspOp op, std::string_view payload) {
  // Never NUL, which would end the record.
  std::string record(1, static_cast<char>(static_cast<int>(op) + kLspOpCount));
  record += payload;
  record += '\0';
  return record;
}

void RunLspSession(std::string_view data, LspSessionRun* run) {
  Session session(run);
  while (!data.empty()) {
    const std::size_t end = std::min(data.find('\0'), data.size());
    const std::string_view record = data.substr(0, end);
    data.remove_prefix(std::min(end + 1, data.size()));
    if (record.empty()) continue;
    session.Do(
        static_cast<LspOp>(static_cast<unsigned char>(record[0]) % kLspOpCount),
        record.substr(1));
  }
}

}  // namespace scenario
