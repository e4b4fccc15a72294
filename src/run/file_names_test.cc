#include "run/file_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/scoped_temp_dir.h"

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

TEST(FileNames, ApplicationPathIsTheExecutablesFolderNotTheCurrentOne) {
  // The test binary and the program are built into the same folder.
  const std::string want =
      std::filesystem::canonical(SCENARIO_COMPILER_EXE).parent_path().string();
  const std::filesystem::path before = std::filesystem::current_path();
  ScopedTempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  std::string folder;
  Status status = ApplicationPath(&folder);
  std::filesystem::current_path(before);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(folder, want);
  EXPECT_NE(folder.back(), '/');
}

}  // namespace
}  // namespace scenario
