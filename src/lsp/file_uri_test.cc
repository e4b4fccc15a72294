#include "lsp/file_uri.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(FileUri, PathsAndUrisBothWays) {
  struct Case {
    const char* path;
    const char* uri;
  };
  const Case cases[] = {
      {"/tmp/Valle_linea.txt", "file:///tmp/Valle_linea.txt"},
      {"/a b/Valle_R 12-.txt", "file:///a%20b/Valle_R%2012-.txt"},
      {"/x/Citt\xc3\xa0#1%", "file:///x/Citt%C3%A0%231%25"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(PathToFileUri(c.path), c.uri);
    EXPECT_EQ(FileUriToPath(c.uri), c.path);
  }
  EXPECT_EQ(FileUriToPath("file://localhost/tmp/a%3a"), "/tmp/a:");
}

TEST(FileUri, RefusesWhatIsNoLocalFile) {
  for (const char* uri :
       {"untitled:Untitled-1", "file://host/tmp/a", "file:///a%2",
        "file:///a%zz", "file:///a%00b", "file:", "http:///a"}) {
    SCOPED_TRACE(uri);
    EXPECT_EQ(FileUriToPath(uri), std::nullopt);
  }
}

}  // namespace
}  // namespace scenario
