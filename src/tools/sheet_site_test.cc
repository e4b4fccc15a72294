#include "tools/sheet_site.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <thread>

namespace scenario {
namespace {

constexpr int kPort = 8765;

HttpRequest Get(std::string path, std::string host = "127.0.0.1:8765") {
  return {"GET", std::move(path), std::move(host)};
}

LiveSheet SmallSheet(const std::string& title) {
  LiveSheet sheet;
  sheet.page = "<html>" + title + "</html>";
  sheet.svg = "<svg>" + title + "</svg>";
  sheet.data = {{"title", title}};
  return sheet;
}

class SheetSiteTest : public ::testing::Test {
 protected:
  SheetSiteTest() { site_.SetPort(kPort); }

  nlohmann::json State() {
    const HttpResponse r = site_.Respond(Get("/sheet.json"));
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.content_type, "application/json");
    return nlohmann::json::parse(r.body);
  }

  SheetSite site_;
};

// Only the three addresses answer, only to this port's own names, and no
// path reaches a file however it is spelt.
TEST_F(SheetSiteTest, AnswersOnlyItsOwnAddressesToItsOwnHost) {
  site_.PublishSheet(SmallSheet("A"));
  struct Case {
    const char* method;
    const char* path;
    const char* host;
    int status;
  };
  constexpr Case kCases[] = {
      {"GET", "/", "127.0.0.1:8765", 200},
      {"HEAD", "/", "localhost:8765", 200},
      {"GET", "/round", "localhost:8765", 200},
      {"GET", "/sheet.json", "127.0.0.1:8765", 200},
      {"GET", "/etc/passwd", "127.0.0.1:8765", 404},
      {"GET", "/../", "127.0.0.1:8765", 404},
      {"GET", "/../../etc/passwd", "127.0.0.1:8765", 404},
      {"GET", "/index.html", "127.0.0.1:8765", 404},
      {"GET", "//", "127.0.0.1:8765", 404},
      {"GET", "/sheet.json/", "127.0.0.1:8765", 404},
      {"GET", "", "127.0.0.1:8765", 404},
      {"POST", "/", "127.0.0.1:8765", 405},
      {"PUT", "/sheet.json", "127.0.0.1:8765", 405},
      // A name of another site pointed at this machine, a wrong port, the
      // machine's other names, no Host at all.
      {"GET", "/", "attacker.example:8765", 403},
      {"GET", "/sheet.json", "attacker.example", 403},
      {"GET", "/", "127.0.0.1:8766", 403},
      {"GET", "/", "127.0.0.1", 403},
      {"GET", "/", "0.0.0.0:8765", 403},
      {"GET", "/", "[::1]:8765", 403},
      {"GET", "/", "localhost.:8765", 403},
      {"GET", "/", "", 403},
      {"GET", "/etc/passwd", "evil:1", 403},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.method) + " " + c.path + " Host: " + c.host);
    const HttpResponse r = site_.Respond({c.method, c.path, c.host});
    EXPECT_EQ(r.status, c.status);
    if (c.status != 200) {
      EXPECT_EQ(r.body.find("<html>A"), std::string::npos);
      EXPECT_EQ(r.body.find("root:"), std::string::npos);
    }
  }
}

TEST_F(SheetSiteTest, BeforeAnySheetTheRoundsCarryTheirDiagnostics) {
  const HttpResponse page = site_.Respond(Get("/"));
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.content_type, "text/html; charset=utf-8");
  EXPECT_NE(page.body.find("No sheet yet"), std::string::npos);
  EXPECT_NE(page.body.find("connect-src 'self'"), std::string::npos);
  EXPECT_EQ(site_.Respond(Get("/round")).body, "0");

  site_.PublishDiagnostics("line.txt:3: code 12\n");
  const nlohmann::json state = State();
  EXPECT_EQ(state["round"], 1);
  EXPECT_TRUE(state["drawing"].is_null());
  EXPECT_TRUE(state["svg"].is_null());
  EXPECT_EQ(state["diagnostics"], "line.txt:3: code 12\n");
  EXPECT_EQ(site_.Respond(Get("/round")).body, "1");
}

// A bad round keeps the last good drawing under its diagnostics; the next
// good one replaces the drawing and clears them.
TEST_F(SheetSiteTest, BadRoundsKeepTheLastSheetAndGoodOnesClearTheText) {
  site_.PublishSheet(SmallSheet("A"));
  nlohmann::json state = State();
  EXPECT_EQ(state["round"], 1);
  EXPECT_EQ(state["drawing"], 1);
  EXPECT_EQ(state["svg"], "<svg>A</svg>");
  EXPECT_EQ(state["data"]["title"], "A");
  EXPECT_EQ(state["diagnostics"], "");
  EXPECT_EQ(site_.Respond(Get("/")).body, "<html>A</html>");

  site_.PublishDiagnostics("train.txt:2: code 40\n");
  state = State();
  EXPECT_EQ(state["round"], 2);
  EXPECT_EQ(state["drawing"], 1);
  EXPECT_EQ(state["svg"], "<svg>A</svg>");
  EXPECT_EQ(state["diagnostics"], "train.txt:2: code 40\n");
  EXPECT_EQ(site_.Respond(Get("/")).body, "<html>A</html>");

  site_.PublishSheet(SmallSheet("B"));
  state = State();
  EXPECT_EQ(state["round"], 3);
  EXPECT_EQ(state["drawing"], 3);
  EXPECT_EQ(state["svg"], "<svg>B</svg>");
  EXPECT_EQ(state["diagnostics"], "");
  EXPECT_EQ(site_.Respond(Get("/round")).body, "3");
}

// Text that is not UTF-8 (an author's Windows-1252 name in a message)
// still gives JSON a browser can parse.
TEST_F(SheetSiteTest, DiagnosticsThatAreNotUtf8StillGiveJson) {
  site_.PublishDiagnostics("stazione \xe0 Rom\xe0\n");
  const nlohmann::json state = State();
  EXPECT_TRUE(state["diagnostics"].is_string());
}

// The answers work on a copy taken under the lock: publishing while the
// server's threads answer leaves every answer whole.
TEST_F(SheetSiteTest, AnswersStayWholeWhilePublishing) {
  std::thread publisher([this] {
    for (int i = 0; i < 200; ++i) {
      if (i % 2 == 0) {
        site_.PublishSheet(SmallSheet(std::to_string(i)));
      } else {
        site_.PublishDiagnostics("round " + std::to_string(i) + "\n");
      }
    }
  });
  for (int i = 0; i < 200; ++i) {
    const nlohmann::json state = State();
    if (!state["svg"].is_null()) {
      EXPECT_EQ(state["svg"],
                "<svg>" + state["data"]["title"].get<std::string>() + "</svg>");
    }
  }
  publisher.join();
  EXPECT_EQ(State()["round"], 200);
}

}  // namespace
}  // namespace scenario
