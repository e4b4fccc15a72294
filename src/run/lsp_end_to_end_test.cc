// Speaks the protocol to the real executable through pipes, as an editor
// does.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/child_process_testing.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "lsp/file_uri.h"
#include "lsp/json_rpc.h"
#include "model/scenario_names.h"
#include "run/run_sequence.h"

namespace scenario {
namespace {

using nlohmann::json;

// Generous (the sanitizer build is slow): only a server that has stopped
// answering takes this long.
constexpr std::chrono::seconds kPatience{60};

// The most memory the server may take, whatever it is sent, beyond what
// it held once started (in the sanitizer build the sanitizer's own share,
// some 70 MiB, is there from the start): a few times what a large
// description takes.
constexpr long kMemoryBoundKib = 64 * 1024;

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* l : lines) text += std::string(l) + "\r\n";
  return text;
}

// A 30 km line with nothing on it.
const std::string kLine = Lines({
    "[generale]",
    "lunghezza percorso,  30000",
    "progressiva chilometrica uno,  0,  0,  0",
    "progressiva chilometrica due,  0,  0,  0",
    "progressiva chilometrica tre,  0,  0,  0",
    "sfondo uno,  1",
    "sfondo due,  0",
    "sfondo tre,  0",
    "ripetizione segnali 9 codici,  0,  0",
    "[curve]",
    "[pendenze]",
    "pendenza,  0,  0",
    "[fine]",
});

// A train whose second signal (line 8) lands in the first one's cell.
const std::string kTrainHead = Lines({
    "[generale]",
    "numero vetture,  8",
    "[vel_limite]",
    "velocita,  0,  100",
    "[stazioni]",
    "stazione,  1000, 8, 500, 0,0,0, 0,0,0,0,0,0, 0, 17,0,0, Citt\xe0 Alta",
    "[segnali]",
    "segnale,  2000,  2, 5,1,1, 0, 2, 2,1,1, 0",
});
const std::string kCollidingRow =
    Lines({"segnale,  2010,  2, 5,1,1, 0, 2, 2,1,1, 0"});
const std::string kTrainTail = Lines({"[fine]"});

// The same train as the editor holds it: UTF-8.
std::string Utf8(const std::string& cp1252) {
  std::string out;
  for (char c : cp1252) {
    if (c == '\xe0') {
      out += "\xc3\xa0";
    } else {
      out += c;
    }
  }
  return out;
}

class LspClient {
 public:
  explicit LspClient(const ScopedTempDir& dir)
      : child_({SCENARIO_COMPILER_EXE, "lsp"}, dir.path(),
               dir.File(".lsp-stderr")) {}

  void Send(const json& message) {
    ASSERT_TRUE(child_.Write(EncodeFrame(message)));
  }
  void SendRaw(const std::string& bytes) { ASSERT_TRUE(child_.Write(bytes)); }
  void Request(int id, const std::string& method, json params) {
    Send({{"jsonrpc", "2.0"},
          {"id", id},
          {"method", method},
          {"params", std::move(params)}});
  }
  void Notify(const std::string& method, json params) {
    Send({{"jsonrpc", "2.0"},
          {"method", method},
          {"params", std::move(params)}});
  }

  // The next message that passes match; null when none comes.
  json Next(const std::function<bool(const json&)>& match) {
    for (;;) {
      while (std::optional<RpcFrame> frame = decoder_.Next()) {
        if (frame->kind == RpcFrame::Kind::kMessage && match(frame->message)) {
          return frame->message;
        }
      }
      bool fed = false;
      child_.ReadUntil([](const std::string& out) { return !out.empty(); },
                       kPatience);
      if (!child_.output().empty()) {
        decoder_.Feed(child_.output());
        child_.output().clear();
        fed = true;
      }
      if (!fed) return nullptr;
    }
  }
  json Response(int id) {
    return Next([id](const json& m) { return m.value("id", json()) == id; });
  }
  json Diagnostics(const std::string& uri) {
    return Next([&uri](const json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics" &&
             m["params"]["uri"] == uri;
    });
  }

  void Initialize() {
    Request(1, "initialize",
            {{"processId", nullptr}, {"capabilities", json::object()}});
    const json reply = Response(1);
    ASSERT_TRUE(reply.contains("result")) << reply.dump();
    Notify("initialized", json::object());
    started_kib_ = child_.PeakResidentKibSoFar();
  }
  // How far the server's peak resident set has grown since it was
  // initialized, in KiB; nullopt when it cannot be read.
  std::optional<long> PeakGrowthKib() {
    const long peak = child_.PeakResidentKibSoFar();
    if (peak < 0 || started_kib_ < 0) return std::nullopt;
    return peak - started_kib_;
  }
  void Open(const std::string& uri, const std::string& text) {
    Notify("textDocument/didOpen", {{"textDocument",
                                     {{"uri", uri},
                                      {"languageId", "scenario"},
                                      {"version", 1},
                                      {"text", text}}}});
  }
  // Sends bytes and then a request with id, from a thread of its own so
  // that neither side can stall the other on a full pipe. Gives every
  // message up to the answer, which is last, or all there were when no
  // answer came in time (the server is then killed).
  std::vector<json> SendThenAsk(std::string bytes, int id) {
    bytes += EncodeFrame(
        {{"jsonrpc", "2.0"},
         {"id", id},
         {"method", "textDocument/documentSymbol"},
         {"params",
          {{"textDocument", {{"uri", "file:///nowhere/Valle_linea.txt"}}}}}});
    std::thread writer([this, &bytes] { (void)child_.Write(bytes); });
    std::vector<json> got;
    bool answered = false;
    const auto give_up = std::chrono::steady_clock::now() + kPatience;
    while (!answered && !child_.output_ended() &&
           std::chrono::steady_clock::now() < give_up) {
      child_.ReadUntil([](const std::string& out) { return !out.empty(); },
                       std::chrono::milliseconds(100));
      decoder_.Feed(child_.output());
      child_.output().clear();
      while (std::optional<RpcFrame> frame = decoder_.Next()) {
        if (frame->kind != RpcFrame::Kind::kMessage) continue;
        got.push_back(frame->message);
        answered = answered || frame->message.value("id", json()) == id;
      }
    }
    if (!answered) child_.Signal(SIGTERM);  // its input no longer blocks
    writer.join();
    return got;
  }
  int Stop() {
    Request(999, "shutdown", nullptr);
    EXPECT_TRUE(Response(999).contains("result"));
    Notify("exit", nullptr);
    return child_.Wait(kPatience);
  }
  ChildProcess& child() { return child_; }

 private:
  ChildProcess child_;
  FrameDecoder decoder_;
  long started_kib_ = -1;
};

class LspEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteWholeFile(dir_.File("Valle_linea.txt"), kLine);
    train_path_ = dir_.File("Valle_R 12-.txt");
    WriteWholeFile(train_path_, kTrainHead + kTrainTail);
    train_uri_ = PathToFileUri(train_path_);
  }

  ScopedTempDir dir_;
  std::string train_path_;
  std::string train_uri_;
};

TEST_F(LspEndToEnd, CollisionIsPublishedAtItsRowAndAFixClearsIt) {
  LspClient client(dir_);
  client.Initialize();
  client.Open(train_uri_, Utf8(kTrainHead + kCollidingRow + kTrainTail));
  const json published = client.Diagnostics(train_uri_);
  ASSERT_FALSE(published.is_null());
  const json& list = published["params"]["diagnostics"];
  ASSERT_EQ(list.size(), 1u) << list.dump();
  EXPECT_EQ(list[0]["code"], 16);
  EXPECT_EQ(list[0]["severity"], 1);
  const std::string row = "segnale,  2010,  2, 5,1,1, 0, 2, 2,1,1, 0";
  EXPECT_EQ(list[0]["range"],
            json({{"start", {{"line", 8}, {"character", 0}}},
                  {"end", {{"line", 8}, {"character", row.size()}}}}));
  EXPECT_NE(list[0]["message"].get<std::string>().find("2010 m"),
            std::string::npos);

  // The buffer, not the saved file, is checked: the file on disk never
  // held the colliding row.
  client.Notify("textDocument/didChange",
                {{"textDocument", {{"uri", train_uri_}, {"version", 2}}},
                 {"contentChanges",
                  json::array({{{"text", Utf8(kTrainHead + kTrainTail)}}})}});
  const json fixed = client.Diagnostics(train_uri_);
  ASSERT_FALSE(fixed.is_null());
  EXPECT_EQ(fixed["params"]["diagnostics"], json::array());
  EXPECT_EQ(client.Stop(), 0);
}

TEST_F(LspEndToEnd, TrainReadsTheOpenLineBufferFirst) {
  LspClient client(dir_);
  client.Initialize();
  client.Open(train_uri_, Utf8(kTrainHead + kTrainTail));
  ASSERT_EQ(client.Diagnostics(train_uri_)["params"]["diagnostics"],
            json::array());
  // A board at 2000 m in the editor's line buffer takes the signal's
  // cell: the open train is rechecked against the buffer.
  std::string line = kLine;
  line.insert(line.find("[fine]"),
              "indicatori_vmax,  2000,  90,  95,  100,  0,  ,  ,  ,  0\r\n");
  const std::string line_uri = PathToFileUri(dir_.File("Valle_linea.txt"));
  client.Open(line_uri, line);
  const json published = client.Diagnostics(train_uri_);
  ASSERT_FALSE(published.is_null());
  ASSERT_EQ(published["params"]["diagnostics"].size(), 1u);
  EXPECT_EQ(published["params"]["diagnostics"][0]["code"], 16);
  EXPECT_EQ(client.Stop(), 0);
}

TEST(LspEndToEndBuiltin, HoverAndSymbolsOnTheBuiltinPair) {
  ScopedTempDir dir;
  const ScenarioFileNames names =
      MakeFileNames(dir.path(), kBuiltinLineName, kBuiltinTrainName);
  ASSERT_TRUE(WriteBuiltinTexts(RealFileSystem(), names).ok());
  const std::string train = ReadWholeFile(names.train_description);
  const std::string line = ReadWholeFile(names.line_description);
  const std::string train_uri = PathToFileUri(names.train_description);
  const std::string line_uri = PathToFileUri(names.line_description);

  LspClient client(dir);
  client.Initialize();
  client.Open(line_uri, line);  // plain ASCII
  client.Open(train_uri, train);
  // No code; the warnings the content deserves are the lint's business.
  const json published = client.Diagnostics(train_uri);
  ASSERT_FALSE(published.is_null());
  for (const json& d : published["params"]["diagnostics"]) {
    EXPECT_EQ(d["severity"], 2) << d.dump();
    EXPECT_TRUE(d["code"].is_string()) << d.dump();
  }

  // The first signal row.
  int signal_line = 0;
  for (std::size_t at = 0; at < train.find("segnale,    1050"); ++at) {
    if (train[at] == '\n') ++signal_line;
  }
  client.Request(2, "textDocument/hover",
                 {{"textDocument", {{"uri", train_uri}}},
                  {"position", {{"line", signal_line}, {"character", 2}}}});
  const json hover = client.Response(2);
  const std::string text = hover["result"]["contents"]["value"];
  for (const char* part :
       {"signal", "posizione (m): 1050", "tempo: 255", "km 1+050",
        "Cell 22 holds the signal: sx 2, s1 5, s2 1, s3 1, rapp 0, dx 2, d1 2, "
        "d2 1, d3 1, tempo 255",
        "look-back marks in cells 20, 18, 16, 14"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  }

  client.Request(3, "textDocument/documentSymbol",
                 {{"textDocument", {{"uri", train_uri}}}});
  const json sections = client.Response(3)["result"];
  std::vector<std::string> stations;
  for (const json& section : sections) {
    for (const json& child : section["children"]) {
      stations.push_back(child["name"]);
    }
  }
  ASSERT_EQ(stations.size(), 23u);
  EXPECT_EQ(stations.front(), "Tarvo Centrale");
  EXPECT_EQ(sections[0]["name"], "[generale]");

  client.Request(4, "textDocument/documentSymbol",
                 {{"textDocument", {{"uri", line_uri}}}});
  const json line_sections = client.Response(4)["result"];
  std::vector<std::string> stones;
  for (const json& section : line_sections) {
    for (const json& child : section["children"])
      stones.push_back(child["name"]);
  }
  ASSERT_FALSE(stones.empty());
  EXPECT_EQ(stones.front(), "(  Cippo  )(Km 28+000)");
  EXPECT_EQ(client.Stop(), 0);
}

TEST_F(LspEndToEnd, BadMessagesGetErrorsAndTheServerGoesOn) {
  LspClient client(dir_);
  client.Initialize();
  int id = 100;
  const auto ask = [&] {
    client.Request(++id, "textDocument/documentSymbol",
                   {{"textDocument", {{"uri", train_uri_}}}});
  };
  const auto answered = [&] { return client.Response(id).contains("result"); };
  // The error for a bad frame comes before the answer to the request
  // after it.
  const auto error_with = [&](int code) {
    const json reply =
        client.Next([](const json& m) { return m.contains("error"); });
    return !reply.is_null() && reply["error"]["code"] == code &&
           reply["id"].is_null();
  };

  client.SendRaw("Content-Length: 5\r\n\r\n{abc}");
  ask();
  EXPECT_TRUE(error_with(kRpcParseError));
  EXPECT_TRUE(answered());

  client.SendRaw("no header at all\r\n\r\n");
  ask();
  EXPECT_TRUE(error_with(kRpcParseError));
  EXPECT_TRUE(answered());

  // Cut off: the declared length runs into the next message, which is
  // answered all the same.
  client.SendRaw("Content-Length: 200\r\n\r\n{\"jsonrpc\": \"2.0\", \"id\"");
  ask();
  EXPECT_TRUE(error_with(kRpcParseError));
  EXPECT_TRUE(answered());

  // Declared larger than any message taken.
  client.SendRaw("Content-Length: 99999999999\r\n\r\n{}");
  ask();
  EXPECT_TRUE(error_with(kRpcInvalidRequest));
  EXPECT_TRUE(answered());

  // Nested a million deep: taken without recursion.
  const std::string deep =
      std::string(1000000, '[') + std::string(1000000, ']');
  const auto raw_frame = [](const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  };
  client.SendRaw(raw_frame(
      "{\"jsonrpc\": \"2.0\", \"id\": 6, \"method\": \"textDocument/hover\", "
      "\"params\": " +
      deep + "}"));
  EXPECT_EQ(client.Response(6)["error"]["code"], kRpcInvalidParams);
  client.SendRaw(raw_frame(deep));
  ask();
  EXPECT_TRUE(error_with(kRpcInvalidRequest));
  EXPECT_TRUE(answered());

  // A huge buffer of junk (hundreds of times a real description) is still
  // checked.
  const std::string junk_uri = PathToFileUri(dir_.File("Junk_linea.txt"));
  std::string junk(4 << 20, 'x');
  for (std::size_t i = 0; i < junk.size(); i += 97) junk[i] = ',';
  for (std::size_t i = 0; i < junk.size(); i += 1013) junk[i] = '\n';
  client.Open(junk_uri, junk);
  const json published = client.Diagnostics(junk_uri);
  ASSERT_FALSE(published.is_null());
  EXPECT_FALSE(published["params"]["diagnostics"].empty());

  client.Request(7, "no/such/method", json::object());
  EXPECT_EQ(client.Response(7)["error"]["code"], kRpcMethodNotFound);
  client.Request(8, "textDocument/hover", {{"textDocument", 5}});
  EXPECT_EQ(client.Response(8)["error"]["code"], kRpcInvalidParams);
  ask();
  EXPECT_TRUE(answered());
  EXPECT_EQ(client.Stop(), 0);
}

TEST_F(LspEndToEnd, ShutdownAndExitAsTheProtocolSays) {
  {
    LspClient client(dir_);
    client.Request(1, "textDocument/documentSymbol",
                   {{"textDocument", {{"uri", train_uri_}}}});
    EXPECT_EQ(client.Response(1)["error"]["code"], kRpcServerNotInitialized);
    client.Initialize();
    client.Request(2, "shutdown", nullptr);
    EXPECT_TRUE(client.Response(2)["result"].is_null());
    client.Request(3, "textDocument/documentSymbol",
                   {{"textDocument", {{"uri", train_uri_}}}});
    EXPECT_EQ(client.Response(3)["error"]["code"], kRpcInvalidRequest);
    client.Notify("exit", nullptr);
    EXPECT_EQ(client.child().Wait(kPatience), 0);
  }
  {
    // Exit without shutdown, and an input that ends without exit.
    LspClient client(dir_);
    client.Initialize();
    client.Notify("exit", nullptr);
    EXPECT_EQ(client.child().Wait(kPatience), 1);
  }
  {
    LspClient client(dir_);
    client.Initialize();
    client.child().CloseInput();
    EXPECT_EQ(client.child().Wait(kPatience), 1);
  }
}

// What a hostile client sends costs one error reply per broken frame and
// little memory, and the request after it is answered.
TEST_F(LspEndToEnd, HostileFramingIsAnsweredOnceAndHeldBounded) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  const std::string body = R"({"jsonrpc":"2.0","method":"initialized"})";
  std::string headers;
  while (headers.size() < (std::size_t{4} << 20)) {
    headers += "Content-Length: 5\r\n";
  }
  const Case cases[] = {
      // More than the memory bound, on one line without an end.
      {"a 128 MiB header line", std::string(std::size_t{128} << 20, 'A')},
      {"4 MiB of Content-Length lines and no empty line", headers},
      {"a body declared 10 bytes longer than it is",
       "Content-Length: " + std::to_string(body.size() + 10) + "\r\n\r\n" +
           body},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LspClient client(dir_);
    client.Initialize();
    const std::vector<json> got = client.SendThenAsk(c.bytes, 2);
    if (got.empty() || got.back().value("id", json()) != 2) {
      ADD_FAILURE() << "the request after it was never answered";
      continue;
    }
    int errors = 0;
    for (const json& m : got) {
      if (m.contains("error") && m["id"].is_null()) ++errors;
    }
    EXPECT_EQ(errors, 1);
    const std::optional<long> growth = client.PeakGrowthKib();
    ASSERT_TRUE(growth);
    EXPECT_LT(*growth, kMemoryBoundKib);
    EXPECT_EQ(client.Stop(), 0);
  }
}

// A line description beside an open train that is a FIFO or a huge
// (sparse) file is refused at once, unread, and the train says so.
TEST(LspEndToEndLineFile, NotANormalFileIsNamedAtOnce) {
  struct Case {
    const char* name;
    bool (*make)(const std::string& path);
    const char* says;
  };
  const Case cases[] = {
      {"a FIFO", [](const std::string& path) { return MakeFifo(path); },
       "is not a normal file but a pipe, a device or a socket"},
      {"a 2 GiB sparse file",
       [](const std::string& path) {
         WriteWholeFile(path, "");
         std::error_code error;
         std::filesystem::resize_file(path, std::uintmax_t{1} << 31, error);
         return !error;
       },
       "holds 2147483648 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir dir;
    const std::string line_path = dir.File("Valle_linea.txt");
    ASSERT_TRUE(c.make(line_path));
    const std::string train_uri = PathToFileUri(dir.File("Valle_R 12-.txt"));
    LspClient client(dir);
    client.Initialize();
    client.Open(train_uri, Utf8(kTrainHead + kTrainTail));
    const json published = client.Diagnostics(train_uri);
    ASSERT_FALSE(published.is_null());
    const json& list = published["params"]["diagnostics"];
    ASSERT_EQ(list.size(), 1u) << list.dump();
    EXPECT_EQ(list[0]["code"], "line-file-unreadable");
    const std::string message = list[0]["message"];
    EXPECT_NE(message.find("\"" + line_path + "\""), std::string::npos)
        << message;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
    client.Request(2, "textDocument/documentSymbol",
                   {{"textDocument", {{"uri", train_uri}}}});
    EXPECT_TRUE(client.Response(2).contains("result"));
    const std::optional<long> growth = client.PeakGrowthKib();
    ASSERT_TRUE(growth);
    EXPECT_LT(*growth, kMemoryBoundKib);
    EXPECT_EQ(client.Stop(), 0);
  }
}

}  // namespace
}  // namespace scenario
