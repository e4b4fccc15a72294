#include "lsp/lsp_server.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "lsp/file_uri.h"
#include "lsp/json_rpc.h"
#include "lsp/lsp_features.h"
#include "lsp/protocol.h"

namespace scenario {

namespace {

using nlohmann::json;

// Full text on every change: a description is small, and the checks read
// the whole pair anyway.
constexpr TextDocumentSyncKind kSync = TextDocumentSyncKind::kFull;

// A member of an object, or null when params is not an object or lacks it.
const json& Member(const json& object, const char* name) {
  static const json kNull;
  if (!object.is_object()) return kNull;
  const auto it = object.find(name);
  return it == object.end() ? kNull : *it;
}

// A line or character number: a non-negative integer. Larger values than
// any text holds are cut down, and the document clamps them further.
std::optional<int> Count(const json& value) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 30;
  if (value.is_number_unsigned()) {
    return static_cast<int>(std::min<std::uint64_t>(
        value.get<std::uint64_t>(), static_cast<std::uint64_t>(kLargest)));
  }
  if (value.is_number_integer()) {
    return static_cast<int>(
        std::clamp<std::int64_t>(value.get<std::int64_t>(), 0, kLargest));
  }
  return std::nullopt;
}

std::optional<EditorPosition> PositionOf(const json& p) {
  const std::optional<int> line = Count(Member(p, "line"));
  const std::optional<int> character = Count(Member(p, "character"));
  if (!line || !character) return std::nullopt;
  return EditorPosition{*line, *character};
}

// The URI of the document a message names; throws json::exception when
// there is none.
std::string UriOf(const json& params) {
  return Member(params, "textDocument").at("uri").get<std::string>();
}

// An id as a reply may carry it back: a number or a string, else null.
json EchoedId(const json& id) {
  return id.is_number_integer() || id.is_string() ? id : json(nullptr);
}

}  // namespace

LspServer::LspServer(FileSystem& fs, std::chrono::milliseconds debounce)
    : fs_(fs), debounce_(debounce) {}

void LspServer::HandleBadFrame(int code, const std::string& why,
                               std::vector<json>* out) {
  out->push_back(RpcError(nullptr, code, why));
}

void LspServer::Handle(const json& message, Clock::time_point now,
                       std::vector<json>* out) {
  if (!message.is_object()) {
    out->push_back(RpcError(nullptr, kRpcInvalidRequest,
                            "a message must be a JSON object"));
    return;
  }
  const json& method = Member(message, "method");
  const auto id_it = message.find("id");
  const bool request = id_it != message.end();
  if (!method.is_string()) {
    // A response to a request of ours (we send none) needs nothing.
    const bool response =
        request && (message.contains("result") || message.contains("error"));
    if (!response) {
      out->push_back(RpcError(request ? EchoedId(*id_it) : json(nullptr),
                              kRpcInvalidRequest,
                              "a message without a method"));
    }
    return;
  }
  if (request && !id_it->is_number_integer() && !id_it->is_string()) {
    out->push_back(RpcError(nullptr, kRpcInvalidRequest,
                            "a request id must be a number or a string"));
    return;
  }
  // Never copied: a copy of a deeply nested value would recurse as deep.
  static const json kNoParams = json::object();
  const json& params_member = Member(message, "params");
  const json& params = params_member.is_null() ? kNoParams : params_member;
  const std::string name = method.get<std::string>();
  try {
    if (request) {
      HandleRequest(*id_it, name, params, now, out);
    } else {
      HandleNotification(name, params, now, out);
    }
  } catch (const json::exception& e) {
    // A member missing or of the wrong type.
    if (request) {
      out->push_back(RpcError(*id_it, kRpcInvalidParams,
                              std::string("invalid params: ") + e.what()));
    }
  }
}

void LspServer::HandleRequest(const json& id, const std::string& method,
                              const json& params, Clock::time_point,
                              std::vector<json>* out) {
  if (method == kMethodInitialize) {
    if (initialized_) {
      out->push_back(RpcError(id, kRpcInvalidRequest, "already initialized"));
      return;
    }
    out->push_back(RpcResult(id, Initialize(params)));
    initialized_ = true;
    return;
  }
  if (!initialized_) {
    out->push_back(RpcError(id, kRpcServerNotInitialized,
                            "the server is not initialized"));
    return;
  }
  if (shutdown_) {
    out->push_back(RpcError(id, kRpcInvalidRequest, "the server is shut down"));
    return;
  }
  if (method == kMethodShutdown) {
    shutdown_ = true;
    due_.clear();
    out->push_back(RpcResult(id, nullptr));
  } else if (method == kMethodHover || method == kMethodCompletion) {
    out->push_back(AnswerAtPosition(id, method, params));
  } else if (method == kMethodDocumentSymbol) {
    Document* doc = Find(params);
    out->push_back(RpcResult(
        id, doc == nullptr ? json::array() : SymbolsFor(doc->kind, doc->text)));
  } else {
    out->push_back(RpcError(id, kRpcMethodNotFound, "no method " + method));
  }
}

json LspServer::AnswerAtPosition(const json& id, const std::string& method,
                                 const json& params) {
  Document* doc = Find(params);
  const std::optional<EditorPosition> at =
      PositionOf(Member(params, "position"));
  if (!at) return RpcError(id, kRpcInvalidParams, "no valid position");
  if (method == kMethodHover) {
    return RpcResult(id, doc == nullptr ? json(nullptr)
                                        : HoverFor(doc->kind, doc->text,
                                                   at->line, doc->check.get()));
  }
  return RpcResult(
      id, doc == nullptr ? json::array()
                         : CompletionFor(doc->kind, doc->text, *at, snippets_));
}

void LspServer::HandleNotification(const std::string& method,
                                   const json& params, Clock::time_point now,
                                   std::vector<json>* out) {
  if (method == kMethodExit) {
    exited_ = true;
    return;
  }
  if (!initialized_ || shutdown_) return;
  if (method == kMethodDidOpen) {
    Open(params, now);
  } else if (method == kMethodDidChange) {
    Change(params, now);
  } else if (method == kMethodDidSave) {
    Save(params, now);
  } else if (method == kMethodDidClose) {
    Close(params, out);
  }
  // Every other notification ($/cancelRequest, initialized, ...) needs
  // nothing.
}

json LspServer::Initialize(const json& params) {
  const json& completion = Member(
      Member(Member(params, "capabilities"), "textDocument"), "completion");
  const json& snippet =
      Member(Member(completion, "completionItem"), "snippetSupport");
  snippets_ = snippet.is_boolean() && snippet.get<bool>();
  return {
      {"capabilities",
       {{"textDocumentSync",
         {{"openClose", true},
          {"change", kSync},
          {"save", {{"includeText", false}}}}},
        {"hoverProvider", true},
        {"documentSymbolProvider", true},
        {"completionProvider", {{"triggerCharacters", json::array({"["})}}}}},
      {"serverInfo",
       {{"name", std::string(kServerName)},
        {"version", std::string(kServerVersion)}}}};
}

void LspServer::Open(const json& params, Clock::time_point now) {
  const json& item = Member(params, "textDocument");
  const std::string uri = item.at("uri").get<std::string>();
  Document doc;
  doc.path = FileUriToPath(uri).value_or("");
  doc.kind =
      doc.path.empty() ? DescriptionKind::kNone : KindOfDescription(doc.path);
  doc.text = EditorDocument(item.at("text").get<std::string>());
  documents_[uri] = std::move(doc);
  Schedule(uri, now);
}

void LspServer::Save(const json& params, Clock::time_point now) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const json& text = Member(params, "text");
  if (text.is_string()) {
    it->second.text = EditorDocument(text.get<std::string>());
  }
  Schedule(uri, now);
}

void LspServer::Change(const json& params, Clock::time_point now) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  EditorDocument& text = it->second.text;
  for (const json& change : params.at("contentChanges")) {
    const json& range = Member(change, "range");
    std::string replacement = change.at("text").get<std::string>();
    if (range.is_null()) {
      text = EditorDocument(std::move(replacement));
      continue;
    }
    const std::optional<EditorPosition> from =
        PositionOf(Member(range, "start"));
    const std::optional<EditorPosition> to = PositionOf(Member(range, "end"));
    if (!from || !to) continue;  // a change we cannot place
    text = EditorDocument(ApplyEdit(text, *from, *to, replacement));
  }
  Schedule(uri, now + debounce_);
}

void LspServer::Close(const json& params, std::vector<json>* out) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const std::string path = it->second.path;
  const DescriptionKind kind = it->second.kind;
  documents_.erase(it);
  due_.erase(uri);
  out->push_back(
      RpcNotification(kMethodPublishDiagnostics,
                      {{"uri", uri}, {"diagnostics", json::array()}}));
  // The train descriptions that read this line description's buffer read
  // the saved file from now on.
  if (kind == DescriptionKind::kLine) {
    for (const auto& [other, doc] : documents_) {
      if (doc.kind == DescriptionKind::kTrain) {
        due_[other] = Clock::time_point::min();
      }
    }
  }
}

void LspServer::Schedule(const std::string& uri, Clock::time_point when) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  due_[uri] = when;
  const Document& doc = it->second;
  if (doc.kind != DescriptionKind::kLine) return;
  const OpenBuffers buffers = Buffers();
  for (const auto& [other, train] : documents_) {
    if (train.kind == DescriptionKind::kTrain &&
        LineFileForTrain(train.path, buffers, fs_) == doc.path) {
      due_[other] = when;
    }
  }
}

std::optional<LspServer::Clock::time_point> LspServer::NextDue() const {
  std::optional<Clock::time_point> next;
  for (const auto& [uri, when] : due_) {
    if (!next || when < *next) next = when;
  }
  return next;
}

void LspServer::RunDue(Clock::time_point now, std::vector<json>* out) {
  std::vector<std::string> ready;
  for (const auto& [uri, when] : due_) {
    if (when <= now) ready.push_back(uri);
  }
  for (const std::string& uri : ready) {
    due_.erase(uri);
    Check(uri, out);
  }
}

void LspServer::Check(const std::string& uri, std::vector<json>* out) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  Document& doc = it->second;
  json diagnostics = json::array();
  if (doc.kind != DescriptionKind::kNone) {
    doc.check = std::make_unique<DescriptionCheck>(
        CheckDescription(doc.path, doc.kind, Buffers(), fs_));
    diagnostics = DiagnosticsFor(doc.path, doc.text, *doc.check);
  }
  out->push_back(
      RpcNotification(kMethodPublishDiagnostics,
                      {{"uri", uri}, {"diagnostics", std::move(diagnostics)}}));
}

LspServer::Document* LspServer::Find(const json& params) {
  const std::string uri = UriOf(params);
  const auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

OpenBuffers LspServer::Buffers() const {
  OpenBuffers buffers;
  for (const auto& [uri, doc] : documents_) {
    if (!doc.path.empty()) buffers.emplace(doc.path, doc.text.bytes());
  }
  return buffers;
}

}  // namespace scenario
