#include "documents/text_writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/fake_file_system.h"

namespace scenario {
namespace {

const std::string kMarker(kEndMarker);

TEST(TextWriter, LinesUpToTheFirstMarkerEachWithCrLf) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::string want;
  };
  const Case kCases[] = {
      {"marker only", {kMarker}, ""},
      {"no marker: every line", {"a", "b"}, "a\r\nb\r\n"},
      {"empty and blank lines kept",
       {"", "  x  ", "", kMarker},
       "\r\n  x  \r\n\r\n"},
      {"later slots are not written",
       {"one", kMarker, "after", kMarker, "more"},
       "one\r\n"},
      {"marker compared whole and case-sensitively",
       {"Riferimento fine del file", kMarker + " ", " " + kMarker,
        "riferimento fine", kMarker},
       "Riferimento fine del file\r\nriferimento fine del file \r\n"
       " riferimento fine del file\r\nriferimento fine\r\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodeTextFile(c.lines), c.want);
  }
}

TEST(TextWriter, WritesWindows1252Bytes) {
  const std::vector<std::string> lines = {
      "citt\xc3\xa0 \xc3\xa8 \xc3\xac \xc3\xb2", "\xe2\x82\xac 5", kMarker};
  EXPECT_EQ(EncodeTextFile(lines),
            std::string("citt\xe0 \xe8 \xec \xf2\r\n\x80 5\r\n"));
}

TEST(TextWriter, ItsConversionRejectsCharactersOutsideWindows1252) {
  // A line the code page cannot hold must never be written mangled.
  EXPECT_EQ(EncodeTextFile({"ok", "arrow \xe2\x86\x92", kMarker}),
            std::nullopt);
  EXPECT_EQ(EncodeTextFile({"bad \xc3", kMarker}), std::nullopt);
  // A line after the marker is never converted.
  EXPECT_EQ(EncodeTextFile({kMarker, "\xe2\x86\x92"}), "");
}

TEST(TextWriter, ReplacesTheFileWhole) {
  FakeFileSystem fs;
  fs.files["/d/note.txt"] = std::string(1000, 'o');
  ASSERT_TRUE(WriteTextFile(fs, "/d/note.txt", {"new", kMarker}).ok());
  EXPECT_EQ(fs.Contents("/d/note.txt"), "new\r\n");
  EXPECT_EQ(fs.Paths("write"), std::vector<std::string>{"/d/note.txt"});
}

TEST(TextWriter, FailedWriteIsReportedAndKeepsTheOldFile) {
  FakeFileSystem fs;
  fs.files["/d/note.txt"] = "old\r\n";
  fs.fail_writes.insert("/d/note.txt");
  Status status = WriteTextFile(fs, "/d/note.txt", {"new", kMarker});
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("/d/note.txt"), std::string::npos);
  EXPECT_EQ(fs.Contents("/d/note.txt"), "old\r\n");
}

#ifndef NDEBUG
TEST(TextWriterDeathTest, UnconvertibleLineIsAProgrammingError) {
  FakeFileSystem fs;
  EXPECT_DEATH((void)WriteTextFile(fs, "/d/x.txt", {"\xe2\x86\x92", kMarker}),
               "Windows-1252");
}
#endif

}  // namespace
}  // namespace scenario
