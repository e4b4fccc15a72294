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

// The longest "Content-Length: N" CR LF line taken as the next message's
// header inside a body: room for any number and a few blanks.
constexpr std::size_t kMaxLengthLine = 64;

// What a header line's parts lose at both ends.
constexpr std::string_view kHeaderBlanks = " \t\r";

// What the lines of a complete header say.
struct HeaderLines {
  bool malformed = false;             // a line without a colon, or a bad length
  std::optional<std::size_t> length;  // Content-Length
};

// REQUIRES: header is complete, its empty line included. Lone LF line ends
// are taken too; of several Content-Length lines the last counts.
HeaderLines ReadHeaderLines(std::string_view header) {
  HeaderLines result;
  while (!header.empty()) {
    const std::size_t eol = header.find('\n');
    const std::string_view line = Trim(header.substr(0, eol), kHeaderBlanks);
    header.remove_prefix(eol == std::string_view::npos ? header.size()
                                                       : eol + 1);
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      result.malformed = true;
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
      result.malformed = true;
    } else {
      result.length = n;
    }
  }
  return result;
}

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
  // Every position kept lies at or after start_ in the phase that uses it.
  const auto shift = [this](std::size_t at) {
    return at > start_ ? at - start_ : 0;
  };
  scan_ = shift(scan_);
  if (candidate_) candidate_ = shift(*candidate_);
  body_ = shift(body_);
  body_scanned_ = shift(body_scanned_);
  start_ = 0;
}

void FrameDecoder::StartHeader(std::size_t at) {
  phase_ = Phase::kHeader;
  start_ = at;
  scan_ = at;
  line_blank_ = true;  // at the start of a line
}

void FrameDecoder::StartHunt(std::size_t from) {
  phase_ = Phase::kHunt;
  start_ = from;
  scan_ = from;
  // Only an empty line after a candidate counts, and the candidate's own
  // line is not blank: where hunting starts within a line does not matter.
  line_blank_ = false;
  candidate_.reset();
}

std::optional<RpcFrame> FrameDecoder::Fail(int code, std::string text,
                                           bool loses_framing) {
  const bool report = !recovering_;
  if (loses_framing) recovering_ = true;
  if (!report) return std::nullopt;
  return Error(code, std::move(text));
}

std::optional<std::size_t> FrameDecoder::ScanToEmptyLine(std::size_t limit) {
  for (; scan_ < limit; ++scan_) {
    const char c = buffer_[scan_];
    if (c == '\n') {
      if (line_blank_) return ++scan_;
      line_blank_ = true;
    } else if (kHeaderBlanks.find(c) == std::string_view::npos) {
      line_blank_ = false;
    }
  }
  return std::nullopt;
}

FrameDecoder::Step FrameDecoder::Hunt() {
  while (scan_ < buffer_.size()) {
    const char c = buffer_[scan_];
    if (c == kLengthHeader[0]) {
      const std::string_view rest = std::string_view(buffer_).substr(scan_);
      if (rest.size() < kLengthHeader.size() &&
          kLengthHeader.starts_with(rest)) {
        break;  // may be a header name arriving in pieces
      }
      if (rest.starts_with(kLengthHeader)) candidate_ = scan_;
    }
    if (c == '\n') {
      if (line_blank_ && candidate_) {
        // The candidate's header ends here, within the limit: read it.
        StartHeader(*candidate_);
        return Step::kMoved;
      }
      line_blank_ = true;
    } else if (kHeaderBlanks.find(c) == std::string_view::npos) {
      line_blank_ = false;
    }
    ++scan_;
    if (candidate_ && scan_ - *candidate_ >= kMaxHeaderBytes) {
      candidate_.reset();  // its header can no longer end in time
    }
  }
  // Hold only what may still matter: the candidate's header so far, or
  // the tail where a header name may be beginning.
  start_ = candidate_ ? *candidate_ : scan_;
  return Step::kNeedBytes;
}

FrameDecoder::Step FrameDecoder::ReadHeader(std::optional<RpcFrame>* frame) {
  const std::size_t limit = std::min(buffer_.size(), start_ + kMaxHeaderBytes);
  const std::optional<std::size_t> end = ScanToEmptyLine(limit);
  if (!end) {
    if (buffer_.size() - start_ < kMaxHeaderBytes) return Step::kNeedBytes;
    // A header may begin anywhere after this one's start.
    StartHunt(start_ + 1);
    *frame = Fail(
        kRpcParseError,
        "a message header over " + std::to_string(kMaxHeaderBytes) + " bytes",
        /*loses_framing=*/true);
    return frame->has_value() ? Step::kFrame : Step::kMoved;
  }
  const HeaderLines header =
      ReadHeaderLines(std::string_view(buffer_).substr(start_, *end - start_));
  // The next header may begin inside this one, glued to a line of junk
  // ("xyzContent-Length: 12"): the hunt starts just after its start.
  if (header.malformed || !header.length) {
    StartHunt(start_ + 1);
    *frame =
        Fail(kRpcParseError, "a message header without a valid Content-Length",
             /*loses_framing=*/true);
  } else if (*header.length > kMaxBodyBytes) {
    StartHunt(start_ + 1);
    *frame = Fail(kRpcInvalidRequest,
                  "a message of " + std::to_string(*header.length) +
                      " bytes; the largest taken is " +
                      std::to_string(kMaxBodyBytes),
                  /*loses_framing=*/true);
  } else {
    phase_ = Phase::kBody;
    body_ = *end;
    length_ = *header.length;
    body_scanned_ = body_;
    return Step::kMoved;
  }
  return frame->has_value() ? Step::kFrame : Step::kMoved;
}

std::optional<std::size_t> FrameDecoder::FindHeaderIn(std::size_t from,
                                                      std::size_t end) {
  // "Content-Length: N" and a raw line end cannot stand in a JSON text:
  // the name could only be inside a string, and a string holds no raw
  // line end. So they mark the next message's header in a body cut short.
  // A line longer than kMaxLengthLine is no header, so that a long run of
  // digits or blanks arriving in pieces is not looked at again each time.
  const std::string_view bytes = std::string_view(buffer_).substr(0, end);
  std::size_t at = bytes.find(kLengthHeader, from);
  while (at != std::string_view::npos) {
    const std::size_t stop = std::min(end, at + kMaxLengthLine);
    std::size_t i = at + kLengthHeader.size();
    while (i < stop && bytes[i] == ' ') ++i;
    const std::size_t digits = i;
    while (i < stop && bytes[i] >= '0' && bytes[i] <= '9') ++i;
    while (i < stop && bytes[i] == ' ') ++i;
    if (i + 1 >= end && stop == end) {
      // Not all there yet: look at it again when more bytes come.
      body_scanned_ = at;
      return std::nullopt;
    }
    if (i + 1 < stop && i > digits && bytes[i] == '\r' &&
        bytes[i + 1] == '\n') {
      return at;
    }
    at = bytes.find(kLengthHeader, at + 1);
  }
  // A header name may be arriving across the end.
  const std::size_t partial = kLengthHeader.size() - 1;
  body_scanned_ = end > from + partial ? end - partial : from;
  return std::nullopt;
}

std::optional<std::size_t> FrameDecoder::FindLengthNameIn(
    std::size_t from, std::size_t end) const {
  // Only the body's own bytes decide, so that the answer does not depend
  // on how much has arrived after it.
  const std::string_view body =
      std::string_view(buffer_).substr(from, end - from);
  const std::size_t at = body.find(kLengthHeader);
  if (at != std::string_view::npos) return from + at;
  // A name that runs on past the body's end.
  const std::size_t tail = kLengthHeader.size() - 1;
  for (std::size_t i = body.size() > tail ? body.size() - tail : 0;
       i < body.size(); ++i) {
    if (kLengthHeader.starts_with(body.substr(i))) return from + i;
  }
  return std::nullopt;
}

FrameDecoder::Step FrameDecoder::TakeBody(std::optional<RpcFrame>* frame) {
  // A message cut off short runs into the next one: the next header
  // inside the body ends it there.
  const std::size_t end = std::min(buffer_.size(), body_ + length_);
  if (const std::optional<std::size_t> next =
          FindHeaderIn(std::max(body_, body_scanned_), end)) {
    StartHeader(*next);
    *frame =
        Fail(kRpcParseError, "a message cut off before its declared length",
             /*loses_framing=*/true);
    return frame->has_value() ? Step::kFrame : Step::kMoved;
  }
  if (end < body_ + length_) return Step::kNeedBytes;

  const std::string_view body =
      std::string_view(buffer_).substr(body_, length_);
  // The parser takes a NUL byte for the end of its input and would accept
  // "{}\0junk"; no JSON text holds one.
  json message = body.find('\0') == std::string_view::npos
                     ? json::parse(body, nullptr, /*allow_exceptions=*/false)
                     : json(json::value_t::discarded);
  if (!message.is_discarded()) {
    StartHeader(body_ + length_);
    recovering_ = false;
    frame->emplace();
    (*frame)->message = std::move(message);
    return Step::kFrame;
  }
  // A length declared too long takes the start of the next header: the
  // body then holds a "Content-Length:" that the next message begins with.
  const std::optional<std::size_t> next = FindLengthNameIn(body_, end);
  if (next) {
    StartHunt(*next);
  } else {
    StartHeader(body_ + length_);
  }
  *frame = Fail(kRpcParseError, "a message body that is not JSON",
                /*loses_framing=*/next.has_value());
  return frame->has_value() ? Step::kFrame : Step::kMoved;
}

std::optional<RpcFrame> FrameDecoder::Next() {
  // Each step that moves on consumes bytes or reads a header it has found
  // complete, so the loop ends.
  for (;;) {
    std::optional<RpcFrame> frame;
    Step step = Step::kNeedBytes;
    switch (phase_) {
      case Phase::kHunt:
        step = Hunt();
        break;
      case Phase::kHeader:
        step = ReadHeader(&frame);
        break;
      case Phase::kBody:
        step = TakeBody(&frame);
        break;
    }
    if (step == Step::kNeedBytes) return std::nullopt;
    if (step == Step::kFrame) return frame;
  }
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
