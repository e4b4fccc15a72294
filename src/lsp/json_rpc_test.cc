#include "lsp/json_rpc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {
namespace {

using nlohmann::json;

// Everything the decoder gives for a stream fed in pieces of `piece` bytes:
// "id:N" for a message with that id, "error:CODE" for an error.
std::vector<std::string> Decode(const std::string& stream, std::size_t piece) {
  FrameDecoder decoder;
  std::vector<std::string> got;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    decoder.Feed(std::string_view(stream).substr(at, piece));
    while (std::optional<RpcFrame> frame = decoder.Next()) {
      if (frame->kind == RpcFrame::Kind::kMessage) {
        got.push_back("id:" + frame->message.value("id", json()).dump());
      } else {
        got.push_back("error:" + std::to_string(frame->error_code));
      }
    }
  }
  return got;
}

std::string Frame(int id) {
  return EncodeFrame({{"jsonrpc", "2.0"}, {"id", id}, {"method", "m"}});
}

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(FrameDecoder, CutsStreamsAnyWayTheyArrive) {
  struct Case {
    const char* name;
    std::string stream;
    std::vector<std::string> want;
  };
  const std::string whole = Frame(1) + Frame(2);
  const Case cases[] = {
      {"two messages", whole, {"id:1", "id:2"}},
      {"lone LF line ends and other headers",
       "Content-Type: x\nContent-Length: 8\n\n{\"id\":3}" + Frame(4),
       {"id:3", "id:4"}},
      {"not JSON",
       "Content-Length: 5\r\n\r\n{abc}" + Frame(5),
       {"error:-32700", "id:5"}},
      {"no header", "hello\r\n\r\n" + Frame(6), {"error:-32700", "id:6"}},
      {"bad length",
       "Content-Length: 1x\r\n\r\n" + Frame(7),
       {"error:-32700", "id:7"}},
      {"cut off short",
       "Content-Length: 300\r\n\r\n{\"jsonrpc\": \"2.0\"," + Frame(8) +
           Frame(9),
       {"error:-32700", "id:8", "id:9"}},
      {"larger than taken",
       "Content-Length: 99999999999\r\n\r\n{}" + Frame(10),
       {"error:-32600", "id:10"}},
      {"header name inside a string",
       EncodeFrame({{"id", 11}, {"text", "Content-Length: 12\\r\\n"}}) +
           Frame(12),
       {"id:11", "id:12"}},
      {"endless header",
       std::string(20000, 'x') + "\r\n\r\n" + Frame(13),
       {"error:-32700", "id:13"}},
      {"header line without a line end",
       std::string(20000, 'A') + Frame(14),
       {"error:-32700", "id:14"}},
      {"run of headers without an empty line",
       Repeat("Content-Length: 5\r\n", 2000) + Frame(15),
       {"error:-32700", "id:15"}},
      {"run of headers without line ends",
       Repeat("Content-Length: 5", 2000) + Frame(16),
       {"error:-32700", "id:16"}},
      {"run of bad headers, each with its empty line",
       Repeat("Content-Length: x\r\n\r\n", 500) + Frame(17),
       {"error:-32700", "id:17"}},
      {"run of lengths over the largest taken",
       Repeat("Content-Length: 99999999999\r\n\r\n", 500) + Frame(18),
       {"error:-32600", "id:18"}},
      {"two bodies that are not JSON, framed well",
       "Content-Length: 5\r\n\r\n{abc}Content-Length: 5\r\n\r\n{def}" +
           Frame(19),
       {"error:-32700", "error:-32700", "id:19"}},
      {"a NUL byte in a body",
       std::string("Content-Length: 4\r\n\r\n{}\0x", 25) + Frame(22),
       {"error:-32700", "id:22"}},
      {"junk glued before a header",
       "xyz: 1" + Frame(21),
       {"error:-32700", "id:21"}},
      {"header inside a body that is not JSON",
       "Content-Length: 40\r\n\r\n{\"Content-Length: 3\r\n\r\n\"}   " +
           Frame(20),
       {"error:-32700", "id:20"}},
  };
  for (const Case& c : cases) {
    for (std::size_t piece :
         {std::size_t{1}, std::size_t{7}, c.stream.size()}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " +
                   std::to_string(piece));
      EXPECT_EQ(Decode(c.stream, piece), c.want);
    }
  }
}

// A body declared a little longer than it is takes the start of the next
// message's header: the next message is still answered.
TEST(FrameDecoder, DeclaredLengthPastTheBodyCostsOnlyThatMessage) {
  const std::string body = R"({"jsonrpc":"2.0","id":1,"x":"ab"})";
  for (std::size_t over = 1; over <= 24; ++over) {
    const std::string stream =
        "Content-Length: " + std::to_string(body.size() + over) + "\r\n\r\n" +
        body + Frame(2) + Frame(3);
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, stream.size()}) {
      SCOPED_TRACE(std::to_string(over) + " bytes over, pieces of " +
                   std::to_string(piece));
      EXPECT_EQ(Decode(stream, piece),
                (std::vector<std::string>{"error:-32700", "id:2", "id:3"}));
    }
  }
}

// Whatever arrives, the bytes held while waiting stay bounded (a header
// never grows past its limit, and what is passed over is dropped), a
// broken stretch costs one error, and the message after it is taken.
TEST(FrameDecoder, HoldsBoundedBytesWhateverArrives) {
  struct Case {
    const char* name;
    std::string unit;  // repeated to 4 MiB
  };
  const Case cases[] = {
      {"one endless line", "A"},
      {"endless header lines", "X-Junk: 1\r\n"},
      {"endless Content-Length lines", "Content-Length: 5\r\n"},
      {"Content-Length without line ends", "Content-Length: 5"},
  };
  // A header name arriving across the end of what came is held too.
  constexpr std::size_t kBound = kMaxHeaderBytes + 16;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FrameDecoder decoder;
    std::string piece;
    while (piece.size() < (std::size_t{64} << 10)) piece += c.unit;
    std::size_t errors = 0;
    std::size_t most_held = 0;
    for (std::size_t fed = 0; fed < (std::size_t{4} << 20);
         fed += piece.size()) {
      decoder.Feed(piece);
      while (std::optional<RpcFrame> frame = decoder.Next()) {
        EXPECT_EQ(frame->kind, RpcFrame::Kind::kError);
        ++errors;
      }
      most_held = std::max(most_held, decoder.pending());
    }
    EXPECT_LE(most_held, kBound);
    EXPECT_EQ(errors, 1u);
    decoder.Feed("\r\n\r\n" + Frame(7));
    std::vector<std::string> after;
    while (std::optional<RpcFrame> frame = decoder.Next()) {
      after.push_back(frame->kind == RpcFrame::Kind::kMessage
                          ? frame->message["id"].dump()
                          : "error");
    }
    EXPECT_EQ(after, std::vector<std::string>{"7"});
  }
}

TEST(FrameDecoder, WaitsForTheRestOfABody) {
  FrameDecoder decoder;
  const std::string frame = Frame(1);
  decoder.Feed(frame.substr(0, frame.size() - 1));
  EXPECT_FALSE(decoder.Next());
  decoder.Feed(frame.substr(frame.size() - 1));
  std::optional<RpcFrame> got = decoder.Next();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->message["id"], 1);
  EXPECT_EQ(decoder.pending(), 0u);
}

TEST(EncodeFrame, CountsBytesAndReplacesBadUtf8) {
  EXPECT_EQ(EncodeFrame(json::array()), "Content-Length: 2\r\n\r\n[]");
  // "à" is two bytes; a lone Windows-1252 byte is not UTF-8.
  EXPECT_EQ(EncodeFrame("\xc3\xa0"), "Content-Length: 4\r\n\r\n\"\xc3\xa0\"");
  EXPECT_EQ(EncodeFrame("\xe0"), "Content-Length: 5\r\n\r\n\"\xef\xbf\xbd\"");
}

}  // namespace
}  // namespace scenario
