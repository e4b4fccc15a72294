#ifndef SCENARIO_LSP_JSON_RPC_H_
#define SCENARIO_LSP_JSON_RPC_H_

// JSON-RPC 2.0 messages framed as the language server protocol frames them
// on a byte stream: a header of "Name: value" lines ended by an empty line,
// of which Content-Length (the body's size in bytes) is the one that
// matters, then the body, one JSON value in UTF-8.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

// The error codes (kRpc...) that RpcFrame and RpcError carry.
#include "lsp/protocol.h"

namespace scenario {

// The largest body taken, and the longest header. A larger message is
// answered with an error and passed over; nothing of it is kept.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxHeaderBytes = 8192;

// What the decoder found next in the stream.
struct RpcFrame {
  enum class Kind {
    kMessage,  // body parsed into `message`
    kError,    // a frame that could not be taken; `error` says why
  };
  Kind kind = Kind::kMessage;
  nlohmann::json message;
  int error_code = 0;
  std::string error;
};

// Cuts a byte stream into messages. Bytes arrive in pieces of any size;
// the decoder never fails for good: after a malformed header, a body that
// is not JSON or a body over kMaxBodyBytes it reports an error and looks
// for the next "Content-Length:" header. A message cut off short and
// followed by a whole one costs only the cut one: the next header shows
// inside the body, where no JSON text can hold it.
class FrameDecoder {
 public:
  void Feed(std::string_view bytes);
  // The next frame, or nullopt when more bytes are needed.
  std::optional<RpcFrame> Next();
  // Bytes held, waiting for the rest of a frame.
  std::size_t pending() const { return buffer_.size() - start_; }

 private:
  // After a bad frame: drops bytes up to the next "Content-Length:" after
  // the current start, now or as more bytes come.
  void Resync();
  // Drops bytes before the first "Content-Length:" from `from` on (all but
  // a tail that may begin one when there is none).
  void Hunt(std::size_t from);
  void Compact();
  // What the header at start_ says, once it is all there.
  struct Header {
    bool complete = false;   // an empty line ended it
    bool too_long = false;   // over kMaxHeaderBytes without an end
    bool malformed = false;  // a line without a colon, or a bad length
    std::optional<std::size_t> length;  // Content-Length
    std::size_t body = 0;               // where the body starts
  };
  Header ReadHeader() const;
  // The frame whose body starts at `at`, or nullopt when more bytes are
  // needed.
  std::optional<RpcFrame> TakeBody(std::size_t at, std::size_t length);
  // Where a header line "Content-Length: N" CR LF starts in the body bytes
  // from..end, if one does.
  std::optional<std::size_t> FindHeaderIn(std::size_t from, std::size_t end);

  std::string buffer_;
  std::size_t start_ = 0;  // the first byte not yet taken
  // The body of the frame at start_ has been searched for a header up to
  // here (0: not at all), so that a long body arriving in pieces is
  // searched once.
  std::size_t scanned_ = 0;
  // Looking for the next header after a bad frame.
  bool hunting_ = false;
};

// One frame for the stream. Strings that are not UTF-8 (file contents,
// paths) are sent with U+FFFD in place of the bad bytes.
std::string EncodeFrame(const nlohmann::json& message);

// JSON-RPC envelopes.
nlohmann::json RpcResult(const nlohmann::json& id, nlohmann::json result);
nlohmann::json RpcError(const nlohmann::json& id, int code,
                        std::string_view message);
nlohmann::json RpcNotification(std::string_view method, nlohmann::json params);

}  // namespace scenario

#endif  // SCENARIO_LSP_JSON_RPC_H_
