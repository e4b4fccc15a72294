#ifndef SCENARIO_LSP_LSP_SERVER_H_
#define SCENARIO_LSP_LSP_SERVER_H_

// The language server for the description files, without the process: it
// takes protocol messages and the time, and gives the messages to send.
// The process loop (lsp_command) reads and writes the stream.

#include <chrono>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "lsp/description_check.h"
#include "lsp/editor_document.h"

namespace scenario {

class LspServer {
 public:
  using Clock = std::chrono::steady_clock;

  // The checks read the files that are not open from fs (which must
  // outlive the server) and write nothing. A change of a buffer is checked
  // once the editor has been quiet for debounce; open and save are checked
  // at once.
  explicit LspServer(FileSystem& fs, std::chrono::milliseconds debounce =
                                         std::chrono::milliseconds(250));

  // Handles one message; appends what to send to *out.
  void Handle(const nlohmann::json& message, Clock::time_point now,
              std::vector<nlohmann::json>* out);
  // A frame that could not be taken: answered with an error (id null).
  void HandleBadFrame(int code, const std::string& why,
                      std::vector<nlohmann::json>* out);
  // Runs the checks due by now and publishes their diagnostics.
  void RunDue(Clock::time_point now, std::vector<nlohmann::json>* out);
  // When the next check falls due, if one is waiting.
  std::optional<Clock::time_point> NextDue() const;

  // After "exit": the process ends with exit_status().
  bool exited() const { return exited_; }
  int exit_status() const { return shutdown_ ? 0 : 1; }

 private:
  struct Document {
    std::string path;  // "" when the URI is not a file
    DescriptionKind kind = DescriptionKind::kNone;
    EditorDocument text;
    std::unique_ptr<DescriptionCheck> check;  // the last one, for hover
  };

  void HandleRequest(const nlohmann::json& id, const std::string& method,
                     const nlohmann::json& params, Clock::time_point now,
                     std::vector<nlohmann::json>* out);
  void HandleNotification(const std::string& method,
                          const nlohmann::json& params, Clock::time_point now,
                          std::vector<nlohmann::json>* out);
  nlohmann::json Initialize(const nlohmann::json& params);
  // Hover and completion: the answer at the request's position.
  nlohmann::json AnswerAtPosition(const nlohmann::json& id,
                                  const std::string& method,
                                  const nlohmann::json& params);
  void Open(const nlohmann::json& params, Clock::time_point now);
  void Change(const nlohmann::json& params, Clock::time_point now);
  void Save(const nlohmann::json& params, Clock::time_point now);
  void Close(const nlohmann::json& params, std::vector<nlohmann::json>* out);
  // Checks a document at `when`, and the open train descriptions that read
  // it when it is a line description.
  void Schedule(const std::string& uri, Clock::time_point when);
  void Check(const std::string& uri, std::vector<nlohmann::json>* out);
  // The document a request names, or null.
  Document* Find(const nlohmann::json& params);
  OpenBuffers Buffers() const;

  FileSystem& fs_;
  std::chrono::milliseconds debounce_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
  bool snippets_ = false;
  std::map<std::string, Document> documents_;  // by URI
  std::map<std::string, Clock::time_point> due_;
};

}  // namespace scenario

#endif  // SCENARIO_LSP_LSP_SERVER_H_
