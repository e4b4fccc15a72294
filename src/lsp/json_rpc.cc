#include "lsp/json_rpc.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "base/strings.h"

namespace scenario {

namespace {

using nlohmann::json;

constexpr std::string_view kLengthHeader = "Content-Length:";

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsAnyCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// What a header line's parts lose at both ends.
constexpr std::string_view kHeaderBlanks = " \t\r";

RpcFrame Error(int code, std::string text) {
  RpcFrame frame;
  frame.kind = RpcFrame::Kind::kError;
  frame.error_code = code;
  frame.error = std::move(text);
  return frame;
}

}  // namespace

void FrameDecoder::Feed(std::string_view bytes) {
  Compact();
  buffer_.append(bytes);
}

void FrameDecoder::Compact() {
  if (start_ == 0) return;
  buffer_.erase(0, start_);
  scanned_ = scanned_ > start_ ? scanned_ - start_ : 0;
  start_ = 0;
}

void FrameDecoder::Resync() {
  scanned_ = 0;
  hunting_ = true;
  Hunt(start_ + 1);
}

void FrameDecoder::Hunt(std::size_t from) {
  const std::size_t found = buffer_.find(kLengthHeader, from);
  if (found != std::string::npos) {
    start_ = found;
    hunting_ = false;
    return;
  }
  // Keep only a tail that may be the beginning of the header name.
  std::size_t keep = std::min(kLengthHeader.size() - 1, buffer_.size());
  while (keep > 0 && std::string_view(buffer_).substr(buffer_.size() - keep) !=
                         kLengthHeader.substr(0, keep)) {
    --keep;
  }
  start_ = std::max(start_, buffer_.size() - keep);
}

std::optional<std::size_t> FrameDecoder::FindHeaderIn(std::size_t from,
                                                      std::size_t end) {
  // "Content-Length: N" and a raw line end cannot stand in a JSON text:
  // the name could only be inside a string, and a string holds no raw
  // line end. So they mark the next message's header in a body cut short.
  std::size_t at = buffer_.find(kLengthHeader, from);
  while (at != std::string::npos && at < end) {
    std::size_t i = at + kLengthHeader.size();
    while (i < end && buffer_[i] == ' ') ++i;
    const std::size_t digits = i;
    while (i < end && buffer_[i] >= '0' && buffer_[i] <= '9') ++i;
    while (i < end && buffer_[i] == ' ') ++i;
    if (i + 1 >= end) {
      // Not all there yet: look at it again when more bytes come.
      scanned_ = at;
      return std::nullopt;
    }
    if (i > digits && buffer_[i] == '\r' && buffer_[i + 1] == '\n') {
      return at;
    }
    at = buffer_.find(kLengthHeader, at + 1);
  }
  // A header name may be arriving across the end.
  const std::size_t partial = kLengthHeader.size() - 1;
  scanned_ = end > from + partial ? end - partial : from;
  return std::nullopt;
}

FrameDecoder::Header FrameDecoder::ReadHeader() const {
  // Lines up to an empty one. Lone LF line ends are taken too.
  Header header;
  std::size_t at = start_;
  while (at < buffer_.size() && at - start_ <= kMaxHeaderBytes) {
    const std::size_t eol = buffer_.find('\n', at);
    if (eol == std::string::npos) break;
    const std::string_view line =
        Trim(std::string_view(buffer_).substr(at, eol - at), kHeaderBlanks);
    at = eol + 1;
    if (line.empty()) {
      header.complete = true;
      header.body = at;
      return header;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      header.malformed = true;
      continue;
    }
    if (!EqualsAnyCase(Trim(line.substr(0, colon), kHeaderBlanks),
                       "content-length")) {
      continue;
    }
    const std::string_view value = Trim(line.substr(colon + 1), kHeaderBlanks);
    std::size_t n = 0;
    const auto [end, ec] =
        std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size()) {
      header.malformed = true;
    } else {
      header.length = n;
    }
  }
  header.too_long = at - start_ > kMaxHeaderBytes;
  return header;
}

std::optional<RpcFrame> FrameDecoder::Next() {
  if (hunting_) Hunt(start_);
  if (hunting_ || start_ >= buffer_.size()) return std::nullopt;
  const Header header = ReadHeader();
  if (!header.complete) {
    if (!header.too_long) return std::nullopt;
    Resync();
    return Error(
        kRpcParseError,
        "a message header over " + std::to_string(kMaxHeaderBytes) + " bytes");
  }
  if (header.malformed || !header.length) {
    Resync();
    return Error(kRpcParseError,
                 "a message header without a valid Content-Length");
  }
  if (*header.length > kMaxBodyBytes) {
    Resync();
    return Error(kRpcInvalidRequest, "a message of " +
                                         std::to_string(*header.length) +
                                         " bytes; the largest taken is " +
                                         std::to_string(kMaxBodyBytes));
  }
  return TakeBody(header.body, *header.length);
}

std::optional<RpcFrame> FrameDecoder::TakeBody(std::size_t at,
                                               std::size_t length) {
  // A message cut off short runs into the next one: the next header
  // inside the body ends it there.
  const std::size_t end = std::min(buffer_.size(), at + length);
  if (const std::optional<std::size_t> next =
          FindHeaderIn(std::max(at, scanned_), end)) {
    start_ = *next;
    scanned_ = 0;
    return Error(kRpcParseError,
                 "a message cut off before its declared length");
  }
  if (end < at + length) return std::nullopt;

  const std::string_view body = std::string_view(buffer_).substr(at, length);
  json message = json::parse(body, nullptr, /*allow_exceptions=*/false);
  scanned_ = 0;
  start_ = at + length;
  if (message.is_discarded()) {
    return Error(kRpcParseError, "a message body that is not JSON");
  }
  RpcFrame frame;
  frame.message = std::move(message);
  return frame;
}

std::string EncodeFrame(const json& message) {
  const std::string body =
      message.dump(-1, ' ', false, json::error_handler_t::replace);
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

json RpcResult(const json& id, json result) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

json RpcError(const json& id, int code, std::string_view message) {
  return {{"jsonrpc", "2.0"},
          {"id", id},
          {"error", {{"code", code}, {"message", std::string(message)}}}};
}

json RpcNotification(std::string_view method, json params) {
  return {{"jsonrpc", "2.0"},
          {"method", std::string(method)},
          {"params", std::move(params)}};
}

}  // namespace scenario
