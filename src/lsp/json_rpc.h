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
// the decoder never fails for good, and what it holds and the work it does
// stay proportional to what arrives:
//  - A header ends at its first empty line, within kMaxHeaderBytes. Each
//    byte of it is looked at a bounded number of times, and bytes held
//    while waiting for its end never exceed kMaxHeaderBytes.
//  - A frame whose header is malformed, too long or declares a body over
//    kMaxBodyBytes loses the framing: the decoder reports it and hunts,
//    from just after its start, for the next plausible header: a
//    "Content-Length:" followed by an empty line within kMaxHeaderBytes
//    (of several, the last before that line). While hunting it holds less
//    than kMaxHeaderBytes, and the few bytes of a header name that may be
//    arriving.
//  - A body cut off short runs into the next message: a header line
//    "Content-Length: N" inside the declared body, which no JSON text can
//    hold, ends it there. A body that is not JSON but in which a
//    "Content-Length:" begins (a length declared a little too long takes
//    the start of the next header) hunts from there, so the next message
//    is still taken.
//  - One error is reported per broken stretch: after the framing is lost,
//    nothing more is reported until a message is taken. A body that is not
//    JSON in a frame that keeps the framing is one error of its own.
class FrameDecoder {
 public:
  void Feed(std::string_view bytes);
  // The next frame, or nullopt when more bytes are needed.
  std::optional<RpcFrame> Next();
  // Bytes held, waiting for the rest of a frame. Once Next has given
  // nullopt, at most kMaxHeaderBytes + kMaxBodyBytes.
  std::size_t pending() const { return buffer_.size() - start_; }

 private:
  enum class Phase {
    kHeader,  // a header starts at start_
    kBody,    // its header read, the body starts at body_
    kHunt,    // the framing is lost: looking for the next header
  };
  // What one step of Next did.
  enum class Step { kNeedBytes, kMoved, kFrame };

  Step ReadHeader(std::optional<RpcFrame>* frame);
  Step TakeBody(std::optional<RpcFrame>* frame);
  Step Hunt();
  // Scans from scan_ up to limit for the end of an empty line; returns the
  // position after it.
  std::optional<std::size_t> ScanToEmptyLine(std::size_t limit);
  // Starts a header at `at`.
  void StartHeader(std::size_t at);
  // Drops everything before `from` and hunts from there.
  void StartHunt(std::size_t from);
  // The error for a bad frame, unless one was reported for the broken
  // stretch it belongs to. loses_framing: what follows is no longer known
  // to start a frame.
  std::optional<RpcFrame> Fail(int code, std::string text, bool loses_framing);
  // Where a header line "Content-Length: N" CR LF starts in the body bytes
  // from..end, if one does.
  std::optional<std::size_t> FindHeaderIn(std::size_t from, std::size_t end);
  // Where "Content-Length:" begins in the body bytes from..end, also one
  // that runs on past end.
  std::optional<std::size_t> FindLengthNameIn(std::size_t from,
                                              std::size_t end) const;
  void Compact();

  std::string buffer_;
  std::size_t start_ = 0;  // the first byte held that still matters
  Phase phase_ = Phase::kHeader;
  // kHeader, kHunt: the bytes before scan_ have been scanned for an empty
  // line; line_blank_ tells whether the line being scanned holds only
  // blanks so far.
  std::size_t scan_ = 0;
  bool line_blank_ = true;
  // kHunt: the last "Content-Length:" seen, if its header may still end in
  // time.
  std::optional<std::size_t> candidate_;
  // kBody: where the body starts, its declared length, and how far it has
  // been searched for a header (so that a long body arriving in pieces is
  // searched once).
  std::size_t body_ = 0;
  std::size_t length_ = 0;
  std::size_t body_scanned_ = 0;
  // The framing was lost (and the error reported) and no message has been
  // taken since: the errors of this broken stretch are not reported again.
  bool recovering_ = false;
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
