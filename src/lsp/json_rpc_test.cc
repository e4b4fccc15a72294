#include "lsp/json_rpc.h"

#include <gtest/gtest.h>

#include <string>
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
