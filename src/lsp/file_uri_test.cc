#include "lsp/file_uri.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

constexpr PathStyle kPosix = PathStyle::kPosix;
constexpr PathStyle kWindows = PathStyle::kWindows;

TEST(FileUri, PathsAndUrisBothWays) {
  struct Case {
    PathStyle style;
    const char* path;
    const char* uri;
  };
  const Case cases[] = {
      {kPosix, "/tmp/Valle_linea.txt", "file:///tmp/Valle_linea.txt"},
      {kPosix, "/a b/Valle_R 12-.txt", "file:///a%20b/Valle_R%2012-.txt"},
      {kPosix, "/x/Citt\xc3\xa0#1%", "file:///x/Citt%C3%A0%231%25"},
      {kPosix, "/x/a\\b:c", "file:///x/a%5Cb%3Ac"},
      {kWindows, "C:\\Users\\Ann\\Valle_linea.txt",
       "file:///C:/Users/Ann/Valle_linea.txt"},
      {kWindows, "D:\\a b\\Citt\xc3\xa0 #1%-.txt",
       "file:///D:/a%20b/Citt%C3%A0%20%231%25-.txt"},
      {kWindows, "\\\\server\\share\\Valle_linea.txt",
       "file://server/share/Valle_linea.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathToFileUri(c.path, c.style), c.uri);
    EXPECT_EQ(FileUriToPath(c.uri, c.style), c.path);
  }
}

// What editors send: another spelling of the same file, which maps to
// the path above; the way back gives the one spelling.
TEST(FileUri, ReadsEveryEditorsSpellingOfAPath) {
  struct Case {
    PathStyle style;
    const char* uri;
    const char* path;
  };
  const Case cases[] = {
      {kPosix, "file://localhost/tmp/a%3a", "/tmp/a:"},
      {kPosix, "file:///tmp/a.txt?x=1#top", "/tmp/a.txt"},
      {kWindows, "file:///c%3A/Users/Ann/Valle_linea.txt",
       "C:\\Users\\Ann\\Valle_linea.txt"},
      {kWindows, "file:///c:/Users/Ann/a.txt", "C:\\Users\\Ann\\a.txt"},
      {kWindows, "file://localhost/C:/a.txt", "C:\\a.txt"},
      {kWindows, "file:///C%3a/a%5Cb.txt", "C:\\a\\b.txt"},
      {kWindows, "file:///d:", "D:"},
      // No drive: a path from the current drive's root.
      {kWindows, "file:///tmp/a.txt", "\\tmp\\a.txt"},
      // A colon further on is no drive.
      {kWindows, "file:///ab:/c", "\\ab:\\c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uri);
    EXPECT_EQ(FileUriToPath(c.uri, c.style), c.path);
  }
  EXPECT_EQ(PathToFileUri("c:/Users/a.txt", kWindows),
            "file:///C:/Users/a.txt");
}

TEST(FileUri, RefusesWhatIsNoLocalFile) {
  for (const PathStyle style : {kPosix, kWindows}) {
    for (const char* uri :
         {"untitled:Untitled-1", "file:///a%2", "file:///a%zz", "file:///a%00b",
          "file:", "http:///a", "file://server%00/a"}) {
      SCOPED_TRACE(uri);
      EXPECT_EQ(FileUriToPath(uri, style), std::nullopt);
    }
  }
  EXPECT_EQ(FileUriToPath("file://host/tmp/a", kPosix), std::nullopt);
}

// The server names files as the platform it runs on writes them.
TEST(FileUri, TheHostsStyleByDefault) {
  const std::string path =
      HostPathStyle() == kWindows ? "C:\\a\\b.txt" : "/a/b.txt";
  EXPECT_EQ(FileUriToPath(PathToFileUri(path)), path);
}

}  // namespace
}  // namespace scenario
