#include "run/author_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(AuthorNames, FromTheDescriptionFileNames) {
  struct Case {
    const char* line_file;
    const char* train_file;
    const char* line;
    const char* train;
  };
  constexpr Case kCases[] = {
      {"d/Tarvo_Cembrio_linea.txt", "d/Tarvo_Cembrio_Exp 5147-.txt",
       "Tarvo_Cembrio", "Exp 5147"},
      {"Valle_linea.txt", "Valle_R 12-.txt", "Valle", "R 12"},
      // The train file does not follow the rule for this line: its stem.
      {"Valle_linea.txt", "Monte_R 12-.txt", "Valle", "Monte_R 12-"},
      {"my-line.txt", "my-train.txt", "my-line", "my-train"},
      {"a/b.c/noext", "x/.hidden", "noext", ".hidden"},
      // "_linea.txt" alone gives no name: the stem stands.
      {"_linea.txt", "_-.txt", "_linea", "_-"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.line_file);
    const std::string line = LineNameFromFile(c.line_file);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(TrainNameFromFile(c.train_file, line), c.train);
  }
}

TEST(AuthorNames, CheckedAndConvertedToWindows1252) {
  struct Case {
    std::string name;
    bool ok;
    std::string bytes;
  };
  const Case kCases[] = {
      {"Exp 5147", true, "Exp 5147"},
      {"Citt\xC3\xA0", true, "Citt\xE0"},  // a-grave: one byte
      {"\xE2\x82\xAC"
       "1",
       true,
       "\x80"
       "1"},  // euro sign
      {"", false, ""},
      {"a/b", false, ""},
      {std::string("a\0b", 3), false, ""},
      {"\xC5\x82"
       "odz",
       false, ""},              // l with stroke: no byte for it
      {"\xFF\xFE", false, ""},  // not UTF-8
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string error;
    std::optional<std::string> bytes = CheckName(c.name, "the name", &error);
    EXPECT_EQ(bytes.has_value(), c.ok);
    if (c.ok) {
      EXPECT_EQ(*bytes, c.bytes);
    } else {
      EXPECT_NE(error.find("the name"), std::string::npos) << error;
    }
  }
}

}  // namespace
}  // namespace scenario
