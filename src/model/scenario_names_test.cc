#include "model/scenario_names.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace scenario {
namespace {

TEST(FileNames, BuiltinNamesKeepTheirBlank) {
  const ScenarioFileNames n =
      MakeFileNames("/opt/sim", kBuiltinLineName, kBuiltinTrainName);
  struct Case {
    const std::string& got;
    const char* want;
  };
  const Case kCases[] = {
      {n.line_description, "/opt/sim/Tarvo_Cembrio_linea.txt"},
      {n.train_description, "/opt/sim/Tarvo_Cembrio_Exp 5147-.txt"},
      {n.notes, "/opt/sim/Tarvo_Cembrio_Exp 5147_note.txt"},
      {n.slowdown_form, "/opt/sim/Tarvo_Cembrio_Exp 5147_rallentamenti.txt"},
      {n.train_card, "/opt/sim/Tarvo_Cembrio_Exp 5147_scheda_treno.txt"},
      {n.line_grid, "/opt/sim/Tarvo_Cembrio_linea.dat"},
      {n.param_file, "/opt/sim/Tarvo_Cembrio_Exp 5147.sim"},
      {n.cell_file, "/opt/sim/Tarvo_Cembrio_Exp 5147.dat"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.got, c.want);
}

TEST(FileNames, RootFolderGivesOneSeparator) {
  // ApplicationPath gives "" for the root, so the names start with "/".
  EXPECT_EQ(MakeFileNames("", "L", "T").param_file, "/L_T.sim");
}

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
      // The line's prefix without the "-": the name after the prefix.
      {"Valle_linea.txt", "Valle_R 12.txt", "Valle", "R 12"},
      {"Valle_linea.txt", "d/Valle_R 12", "Valle", "R 12"},
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

// A file name off the rule says which name it gave and why; one on the
// rule says nothing.
TEST(AuthorNames, OffTheRuleSaysWhichNameAndWhy) {
  struct Case {
    const char* line_file;
    const char* train_file;
    const char* line_note;   // "" for none, else a part of the note
    const char* train_note;  // likewise
  };
  constexpr Case kCases[] = {
      {"Valle_linea.txt", "Valle_R 12-.txt", "", ""},
      {"Valle_linea.txt", "Valle_R 12.txt", "",
       "\"Valle_R 12.txt\" does not end in \"-.txt\", so the train name is "
       "what follows the line name's prefix \"Valle_\", without its ending: "
       "\"R 12\""},
      {"Valle_linea.txt", "Monte_R 12-.txt", "",
       "does not begin with the line name's prefix \"Valle_\", so the train "
       "name is its stem: \"Monte_R 12-\""},
      {"valle.txt", "valle_R-.txt",
       "\"valle.txt\" does not end in \"_linea.txt\", so the line name is "
       "its stem, \"valle\"",
       ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.train_file);
    std::string line_note = "stale";
    std::string train_note = "stale";
    const std::string line = LineNameFromFile(c.line_file, &line_note);
    TrainNameFromFile(c.train_file, line, &train_note);
    for (const auto& [note, part] :
         {std::pair{line_note, c.line_note}, {train_note, c.train_note}}) {
      if (*part == '\0') {
        EXPECT_EQ(note, "");
      } else {
        EXPECT_NE(note.find(part), std::string::npos) << note;
      }
    }
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
