#include "lsp/lsp_server.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "lsp/file_uri.h"

namespace scenario {
namespace {

using nlohmann::json;
using std::chrono::milliseconds;

constexpr milliseconds kDebounce{200};

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* l : lines) text += std::string(l) + "\r\n";
  return text;
}

const std::string kLine = Lines({
    "[generale]",
    "lunghezza percorso,  30000",
    "progressiva chilometrica uno,  1000,  2000,  0",
    "ripetizione segnali 9 codici,  0,  0",
    "[pendenze]",
    "pendenza,  0,  0",
    "[fine]",
});

const std::string kTrain = Lines({
    "[generale]",
    "[vel_limite]",
    "velocita,  0,  100",
    "[segnali]",
    "segnale,  2000,  2, 5,1,1, 0, 2, 2,1,1, 0",
    "[stazioni]",
    "stazione,  1000, 22,  400,  0, 0, 0,  2,1,0,  2,1,0,   60,  17,18, 0, "
    "Bosco",
    "[fine]",
});

// A server driven by hand, with its own clock.
class LspServerTest : public ::testing::Test {
 protected:
  LspServerTest() : server_(RealFileSystem(), kDebounce) {}

  void SetUp() override {
    WriteWholeFile(dir_.File("Valle_linea.txt"), kLine);
    Send({{"id", 1},
          {"method", "initialize"},
          {"params",
           {{"capabilities",
             {{"textDocument",
               {{"completion",
                 {{"completionItem", {{"snippetSupport", true}}}}}}}}}}}});
  }

  std::vector<json> Send(json message) {
    message["jsonrpc"] = "2.0";
    std::vector<json> out;
    server_.Handle(message, now_, &out);
    server_.RunDue(now_, &out);
    return out;
  }
  std::vector<json> Open(const std::string& name, const std::string& text) {
    return Send({{"method", "textDocument/didOpen"},
                 {"params",
                  {{"textDocument",
                    {{"uri", Uri(name)}, {"version", 1}, {"text", text}}}}}});
  }
  std::vector<json> Change(const std::string& name, const std::string& text) {
    return Send({{"method", "textDocument/didChange"},
                 {"params",
                  {{"textDocument", {{"uri", Uri(name)}}},
                   {"contentChanges", json::array({{{"text", text}}})}}}});
  }
  std::vector<json> Wait(milliseconds time) {
    now_ += time;
    std::vector<json> out;
    server_.RunDue(now_, &out);
    return out;
  }
  std::string Uri(const std::string& name) {
    return PathToFileUri(dir_.File(name));
  }
  // The diagnostics published for a file among the messages.
  json For(const std::vector<json>& out, const std::string& name) {
    json found;
    for (const json& m : out) {
      if (m.value("method", "") == "textDocument/publishDiagnostics" &&
          m["params"]["uri"] == Uri(name)) {
        found = m["params"]["diagnostics"];
      }
    }
    return found;
  }

  ScopedTempDir dir_;
  LspServer server_;
  LspServer::Clock::time_point now_{};
};

TEST_F(LspServerTest, ChangesAreCheckedOnceTheEditorIsQuiet) {
  EXPECT_EQ(For(Open("Valle_R 1-.txt", kTrain), "Valle_R 1-.txt"),
            json::array());
  std::string colliding = kTrain;
  colliding.insert(colliding.find("[stazioni]"),
                   "segnale,  2010,  2, 5,1,1, 0, 2, 2,1,1, 0\r\n");
  EXPECT_TRUE(Change("Valle_R 1-.txt", "junk").empty());
  EXPECT_TRUE(Wait(milliseconds(150)).empty());
  // Typing on restarts the wait; the last text is checked once.
  EXPECT_TRUE(Change("Valle_R 1-.txt", colliding).empty());
  EXPECT_TRUE(Wait(milliseconds(150)).empty());
  ASSERT_EQ(server_.NextDue(), now_ + milliseconds(50));
  const std::vector<json> out = Wait(milliseconds(50));
  ASSERT_EQ(out.size(), 1u);
  const json list = For(out, "Valle_R 1-.txt");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["code"], 16);
  EXPECT_EQ(list[0]["range"]["start"]["line"], 5);
  EXPECT_FALSE(server_.NextDue());
}

TEST_F(LspServerTest, LineAloneIsCheckedWithColumnsInUtf16) {
  // The field "12x" faults; the "à" before it on the line does not shift
  // its column.
  std::string line = kLine;
  line.insert(line.find("[fine]"),
              "cartello_indicatore,  1000,  Citt\xc3\xa0, pendenza, 12x\r\n");
  const json list = For(Open("Valle_linea.txt", line), "Valle_linea.txt");
  ASSERT_EQ(list.size(), 1u) << list.dump();
  EXPECT_EQ(list[0]["code"], 25);
  EXPECT_EQ(list[0]["range"]["start"], json({{"line", 6}, {"character", 46}}));
  EXPECT_EQ(list[0]["range"]["end"], json({{"line", 6}, {"character", 49}}));
}

TEST_F(LspServerTest, EachCodeGoesToTheFileItBelongsTo) {
  // The kilometre record's offset is no multiple of 50 (code 2): it is the
  // line's, and the train shows it with the line's name.
  std::string line = kLine;
  line.replace(line.find("2000"), 4, "2010");
  WriteWholeFile(dir_.File("Valle_linea.txt"), line);
  const json on_line = For(Open("Valle_linea.txt", line), "Valle_linea.txt");
  ASSERT_EQ(on_line.size(), 1u);
  EXPECT_EQ(on_line[0]["code"], 2);
  const json on_train = For(Open("Valle_R 1-.txt", kTrain), "Valle_R 1-.txt");
  ASSERT_EQ(on_train.size(), 1u);
  EXPECT_EQ(on_train[0]["code"], 2);

  // A train with no line beside it says so; a file of another kind gets
  // an empty list.
  const json lonely = For(Open("Other_R 1-.txt", kTrain), "Other_R 1-.txt");
  ASSERT_EQ(lonely.size(), 1u);
  EXPECT_EQ(lonely[0]["code"], "no-line-file");
  EXPECT_EQ(For(Open("notes.txt", "anything"), "notes.txt"), json::array());
}

TEST_F(LspServerTest, WarningsShowWithTheirNames) {
  // The decimal comma makes the gradient -4 and a stray field "5".
  std::string line = kLine;
  line.insert(line.find("[fine]"), "pendenza,  1250,   -4,5\r\n");
  const json list = For(Open("Valle_linea.txt", line), "Valle_linea.txt");
  bool found = false;
  for (const json& d : list) {
    if (d["code"] == "decimal-comma") {
      found = true;
      EXPECT_EQ(d["severity"], 2);
      EXPECT_EQ(d["range"]["start"]["line"], 6);
    }
  }
  EXPECT_TRUE(found) << list.dump();
}

TEST_F(LspServerTest, CompletionOffersRowsAsSnippetsAndHeaders) {
  Open("Valle_R 1-.txt", kTrain);
  const auto complete = [&](int line, int character) {
    return Send({{"id", 2},
                 {"method", "textDocument/completion"},
                 {"params",
                  {{"textDocument", {{"uri", Uri("Valle_R 1-.txt")}}},
                   {"position", {{"line", line}, {"character", character}}}}}})
        .at(0)["result"];
  };
  const json items = complete(2, 3);
  json signal;
  bool header = false;
  for (const json& item : items) {
    if (item["label"] == "segnale") signal = item;
    header = header || item["label"] == "[stazioni]";
  }
  EXPECT_TRUE(header);
  EXPECT_EQ(signal["insertTextFormat"], 2);
  EXPECT_EQ(signal["insertText"],
            "segnale,  ${1:posizione (m)},  ${2:sx},  ${3:s1},  ${4:s2},  "
            "${5:s3},  ${6:rapp},  ${7:dx},  ${8:d1},  ${9:d2},  ${10:d3},  "
            "${11:tempo}");
  // After the keyword, inside the row's fields: nothing to offer.
  EXPECT_EQ(complete(2, 12), json::array());
}

// Initializes a server and opens a train description in it; what it
// sends, checks included.
std::vector<json> OpenTrain(LspServer& server, const std::string& path,
                            const std::string& text) {
  const LspServer::Clock::time_point now{};
  std::vector<json> out;
  server.Handle({{"jsonrpc", "2.0"},
                 {"id", 1},
                 {"method", "initialize"},
                 {"params", json::object()}},
                now, &out);
  server.Handle(
      {{"jsonrpc", "2.0"},
       {"method", "textDocument/didOpen"},
       {"params",
        {{"textDocument", {{"uri", PathToFileUri(path)}, {"text", text}}}}}},
      now, &out);
  server.RunDue(now, &out);
  return out;
}

// The path of a file in a folder of the fake file system, written as the
// platform writes paths (the server names the files of the URIs so).
std::string RailPath(const std::string& name) {
  return (HostPathStyle() == PathStyle::kWindows ? "C:\\rail\\" : "/rail/") +
         name;
}

// A file that is not open is read through the file system the server was
// given, and nothing is written or deleted there.
TEST(LspServerFiles, TheChecksReadThroughTheGivenFileSystem) {
  FakeFileSystem fs;
  std::string line = kLine;
  line.replace(line.find("2000"), 4, "2010");  // code 2, the line's
  fs.files[RailPath("Valle_linea.txt")] = line;
  LspServer server(fs, kDebounce);
  const std::vector<json> out =
      OpenTrain(server, RailPath("Valle_R 1-.txt"), kTrain);
  ASSERT_EQ(out.size(), 2u);
  const json& list = out[1]["params"]["diagnostics"];
  ASSERT_EQ(list.size(), 1u) << list.dump();
  EXPECT_EQ(list[0]["code"], 2);
  EXPECT_EQ(fs.Paths("read"),
            std::vector<std::string>{RailPath("Valle_linea.txt")});
  EXPECT_TRUE(fs.Paths("write").empty());
  EXPECT_TRUE(fs.Paths("delete").empty());
}

// A fake that tells of a pipe or a huge file at chosen paths, as a disk
// would; reading them is what the server must not try.
class OddFileSystem : public FakeFileSystem {
 public:
  std::map<std::string, FileInfo> odd;

  FileInfo Stat(const std::string& path) override {
    const auto it = odd.find(path);
    if (it == odd.end()) return FakeFileSystem::Stat(path);
    log.push_back("stat " + path);
    return it->second;
  }
};

// The line description beside a train that cannot be read is refused
// without reading it (a pipe would block, a huge file fill the memory),
// and the train shows why, naming the file.
TEST(LspServerFiles, AnUnreadableLineFileIsNamedWithWhatToDo) {
  const std::string line_path = RailPath("Valle_linea.txt");
  struct Case {
    const char* name;
    void (*make)(OddFileSystem& fs, const std::string& path);
    std::string says;
    bool read;  // the read is tried
  };
  const Case cases[] = {
      {"a pipe",
       [](OddFileSystem& fs, const std::string& path) {
         fs.odd[path].kind = FileKind::kOther;
       },
       "is not a normal file but a pipe, a device or a socket", false},
      {"a folder",
       [](OddFileSystem& fs, const std::string& path) {
         fs.folders.insert(path);
       },
       "is not a normal file but a folder", false},
      {"2 GiB",
       [](OddFileSystem& fs, const std::string& path) {
         fs.odd[path] = {FileKind::kNormal, std::uint64_t{2} << 30};
       },
       "holds 2147483648 bytes, far more than any line description (at "
       "most 256 MiB are read)",
       false},
      {"a failing read",
       [](OddFileSystem& fs, const std::string& path) {
         fs.files[path] = kLine;
         fs.fail_reads.insert(path);
       },
       "cannot be read, so this train description is not checked: cannot "
       "read \"" +
           line_path + "\": injected failure",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OddFileSystem fs;
    c.make(fs, line_path);
    LspServer server(fs, kDebounce);
    const std::vector<json> out =
        OpenTrain(server, RailPath("Valle_R 1-.txt"), kTrain);
    ASSERT_EQ(out.size(), 2u);
    const json& list = out[1]["params"]["diagnostics"];
    ASSERT_EQ(list.size(), 1u) << list.dump();
    EXPECT_EQ(list[0]["code"], "line-file-unreadable");
    EXPECT_EQ(list[0]["severity"], 1);
    const std::string message = list[0]["message"];
    EXPECT_NE(message.find("the line description beside this file, \"" +
                           line_path + "\""),
              std::string::npos)
        << message;
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
    EXPECT_EQ(fs.Paths("read").size(), c.read ? 1u : 0u);
  }
}

}  // namespace
}  // namespace scenario
