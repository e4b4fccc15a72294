// The editors' generated files in the tree (editors/) against what the
// program makes now: a keyword changed in the readers' table fails here
// until the files are made again.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

struct EditorFolder {
  const char* editor;
  const char* folder;  // under editors/
};

constexpr EditorFolder kEditors[] = {{"vscode", "vscode"},
                                     {"notepad++", "notepad++"}};

// The paths the program printed, one a line, under the output folder.
std::vector<std::string> PrintedFiles(const std::string& out,
                                      const std::string& folder) {
  std::vector<std::string> files;
  std::size_t start = 0;
  while (start < out.size()) {
    std::size_t end = out.find('\n', start);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(folder + "/", 0) == 0) {
      files.push_back(line.substr(folder.size() + 1));
    } else {
      ADD_FAILURE() << "printed a path outside " << folder << ": " << line;
    }
    start = end + 1;
  }
  return files;
}

TEST(EditorSupportEndToEnd, TheTreesGeneratedFilesAreWhatTheProgramMakes) {
  for (const EditorFolder& e : kEditors) {
    SCOPED_TRACE(e.editor);
    ScopedTempDir dir;
    const std::string out = dir.File("out");
    const ChildRun run = RunChild(
        {SCENARIO_COMPILER_EXE, "editor-support", e.editor, "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> files = PrintedFiles(run.out, out);
    EXPECT_FALSE(files.empty());
    for (const std::string& file : files) {
      const std::string in_tree =
          std::string(SCENARIO_EDITORS_DIR) + "/" + e.folder + "/" + file;
      EXPECT_TRUE(ReadWholeFile(out + "/" + file) == ReadWholeFile(in_tree))
          << "editors/" << e.folder << "/" << file
          << " is not what `scenario-compiler editor-support " << e.editor
          << "` makes now: run scripts/regenerate-editor-support.sh and "
             "commit the files it changes";
    }
  }
}

// An unknown editor is refused before anything is written.
TEST(EditorSupportEndToEnd, AnUnknownEditorIsAUsageError) {
  ScopedTempDir dir;
  const ChildRun run = RunChild({SCENARIO_COMPILER_EXE, "editor-support",
                                 "emacs", "-o", dir.File("out")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("\"emacs\" is no editor; the editors are vscode, "
                         "notepad++"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace scenario
