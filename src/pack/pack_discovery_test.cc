#include "pack/pack_discovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/fake_file_system.h"
#include "base/file_system.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

// The plan in one line per item, for table comparisons:
//   "pair LINE_FILE + TRAIN_FILE -> TRAIN (SCENARIO)"
//   "report FILE: PROBLEM" (with "train" for a train not compiled)
std::vector<std::string> Describe(const PackPlan& plan) {
  std::vector<std::string> items;
  for (const PackPair& pair : plan.pairs) {
    items.push_back("pair " + plan.lines[pair.line].file + " + " +
                    pair.train_file + " -> " + pair.train_name + " (" +
                    pair.scenario + ")");
  }
  for (const PackReport& report : plan.reports) {
    static const char* const kWords[] = {"unmatched",     "no line",
                                         "duplicate",     "elsewhere",
                                         "unusable name", "clash"};
    items.push_back("report " + report.file + ": " +
                    kWords[static_cast<int>(report.problem)] +
                    (report.train ? " train" : ""));
  }
  return items;
}

struct PlanCase {
  const char* name;
  std::vector<std::string> files;
  std::vector<std::string> expected;
};

TEST(PlanPack, PairsAndReports) {
  const PlanCase kCases[] = {
      {"a pair, with the compiler's own files passed over",
       {"Valle_linea.txt", "Valle_R 1-.txt", "Valle_R 1.sim", "Valle_R 1.dat",
        "Valle_linea.dat", "Valle_R 1_note.txt", "Valle_R 1.png",
        "Valle_R 1.dat.tmp123-4"},
       {"pair Valle_linea.txt + Valle_R 1-.txt -> R 1 (Valle_R 1)"}},
      {"folders pair on their own",
       {"a/Valle_linea.txt", "a/Valle_R 1-.txt", "b/Valle_R 2-.txt",
        "b/c/Monte_linea.txt", "b/c/Monte_X-.txt"},
       {"pair a/Valle_linea.txt + a/Valle_R 1-.txt -> R 1 (a/Valle_R 1)",
        "pair b/c/Monte_linea.txt + b/c/Monte_X-.txt -> X (b/c/Monte_X)",
        "report b/Valle_R 2-.txt: no line train"}},
      {"the longest line name wins",
       {"A_linea.txt", "A_B_linea.txt", "A_B_C-.txt", "A_D-.txt"},
       {"pair A_B_linea.txt + A_B_C-.txt -> C (A_B_C)",
        "pair A_linea.txt + A_D-.txt -> D (A_D)"}},
      {"files that fit neither pattern are reported",
       {"README.md", "notes.txt", "_linea.txt", "-.txt", "Valle_linea.txt"},
       {"report -.txt: unmatched", "report README.md: unmatched",
        "report _linea.txt: unmatched", "report notes.txt: unmatched"}},
      {"an empty train name is no pair",
       {"Valle_linea.txt", "Valle_-.txt"},
       {"report Valle_-.txt: no line train"}},
      {"two lines of one folder, one name but for case",
       {"Valle_linea.txt", "valle_linea.txt", "Valle_R-.txt"},
       {"report Valle_linea.txt: duplicate",
        "report valle_linea.txt: duplicate",
        "report Valle_R-.txt: duplicate train"}},
      {"one line name in two folders: both compile",
       {"a/Valle_linea.txt", "a/Valle_R-.txt", "b/Valle_linea.txt"},
       {"pair a/Valle_linea.txt + a/Valle_R-.txt -> R (a/Valle_R)",
        "report a/Valle_linea.txt: elsewhere",
        "report b/Valle_linea.txt: elsewhere"}},
      {"a train named linea would overwrite the grid",
       {"A_linea.txt", "A_linea-.txt", "A_x-.txt"},
       {"pair A_linea.txt + A_x-.txt -> x (A_x)",
        "report A_linea-.txt: clash train"}},
      {"trains whose files differ only in case",
       {"A_linea.txt", "A_x-.txt", "A_X-.txt"},
       {"pair A_linea.txt + A_X-.txt -> X (A_X)",
        "report A_x-.txt: clash train"}},
      {"a name Windows-1252 cannot write",
       {"A_linea.txt", "A_\xe2\x82\xac-.txt", "A_\xe4\xb8\x80-.txt"},
       {"pair A_linea.txt + A_\xe2\x82\xac-.txt -> \xe2\x82\xac "
        "(A_\xe2\x82\xac)",
        "report A_\xe4\xb8\x80-.txt: unusable name train"}},
  };
  for (const PlanCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(PlanPack(c.files, true)), c.expected);
  }
}

// A clash of names that differ only in letter case says so, since the
// names alone look different.
TEST(PlanPack, ClashMessagesSayWhenOnlyLetterCaseDiffers) {
  struct Case {
    std::vector<std::string> files;
    const char* file;  // the report's
    const char* message;
  };
  const Case kCases[] = {
      {{"Valle_linea.txt", "valle_linea.txt"},
       "Valle_linea.txt",
       "its line name \"Valle\" differs only in letter case from that of "
       "\"valle_linea.txt\" in the same folder: where case is ignored (as "
       "the simulator's file names are) they would share one grid file; "
       "rename one of the descriptions"},
      {{"Valle_linea.txt", "valle_linea.txt", "VALLE_linea.txt"},
       "valle_linea.txt",
       "differs only in letter case from those of \"VALLE_linea.txt\", "
       "\"Valle_linea.txt\" in"},
      {{"A_linea.txt", "A_x-.txt", "A_X-.txt"},
       "A_x-.txt",
       "it would write \"A_x.sim\", and \"A_X-.txt\" writes \"A_X.sim\": "
       "the names differ only in letter case, so where case is ignored (as "
       "the simulator's file names are) they are one file; rename one of "
       "the descriptions"},
      // The same name exactly: nothing about case.
      {{"A_linea.txt", "A_linea-.txt"},
       "A_linea-.txt",
       "it would write \"A_linea.dat\", which \"A_linea.txt\" writes"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.file);
    const PackPlan plan = PlanPack(c.files, true);
    bool found = false;
    for (const PackReport& report : plan.reports) {
      if (report.file != c.file) continue;
      found = true;
      EXPECT_NE(report.message.find(c.message), std::string::npos)
          << report.message;
    }
    EXPECT_TRUE(found);
  }
}

TEST(PlanPack, WithoutGridsATrainMayTakeTheGridsName) {
  const std::vector<std::string> files = {"A_linea.txt", "A_linea-.txt"};
  EXPECT_EQ(Describe(PlanPack(files, false)),
            std::vector<std::string>{
                "pair A_linea.txt + A_linea-.txt -> linea (A_linea)"});
}

TEST(PackPath, TheRootFolderIsEmpty) {
  EXPECT_EQ(WithoutTrailingSeparators("p//"), "p");
  EXPECT_EQ(WithoutTrailingSeparators("/"), "");
  EXPECT_EQ(PackPath("p", "a/b.txt"), "p/a/b.txt");
  EXPECT_EQ(PackPath("p", ""), "p");
  EXPECT_EQ(PackPath("", "a.txt"), "/a.txt");
  EXPECT_EQ(PackPath("", ""), "/");
}

using Files = std::vector<std::string>;

TEST(ListPackFiles, WalksEveryFolderSortedPassingOverHiddenNamesAndLinks) {
  FakeFileSystem fs;
  for (const char* path :
       {"p/a/x.txt", "p/a-b.txt", "p/b/c/d.txt", "p/.hidden.txt",
        "p/.git/V_linea.txt", "p/to_folder/V_linea.txt", "p/to_file.txt",
        "other/V_linea.txt"}) {
    fs.files[path] = "";
  }
  fs.folders.insert("p/empty");
  fs.links = {"p/to_folder", "p/to_file.txt"};
  PackListing listing;
  ASSERT_TRUE(ListPackFiles(fs, "p", &listing).ok());
  // "a-b.txt" sorts before "a/x.txt" though the walk meets it after.
  EXPECT_EQ(listing.files,
            (Files{"a-b.txt", "a/x.txt", "b/c/d.txt", "to_file.txt"}));
  EXPECT_TRUE(listing.troubles.empty());
  EXPECT_EQ(fs.Paths("list"), (Files{"p", "p/a", "p/b", "p/b/c", "p/empty"}));
}

TEST(ListPackFiles, FolderFailures) {
  struct Case {
    const char* name;
    const char* folder;
    const char* failing;  // a folder that cannot be listed; "": none
    const char* error;    // "": the listing succeeds
    Files files;
    Files troubles;
  };
  const Case kCases[] = {
      {"no such folder", "none", "", "\"none\" is not a folder", {}, {}},
      {"a file",
       "p/V_linea.txt",
       "",
       "\"p/V_linea.txt\" is not a folder",
       {},
       {}},
      {"the pack's folder cannot be listed",
       "p",
       "p",
       "cannot list the folder \"p\": injected failure",
       {},
       {}},
      {"a subfolder cannot be listed: the rest is listed",
       "p",
       "p/b",
       "",
       {"V_linea.txt", "a/A_linea.txt", "c/C_linea.txt"},
       {"cannot list the folder \"p/b\": injected failure; nothing in it is "
        "built"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    for (const char* path : {"p/V_linea.txt", "p/a/A_linea.txt",
                             "p/b/B_linea.txt", "p/c/C_linea.txt"}) {
      fs.files[path] = "";
    }
    if (*c.failing != '\0') fs.fail_folders.insert(c.failing);
    PackListing listing;
    const Status status = ListPackFiles(fs, c.folder, &listing);
    EXPECT_EQ(status.message(), c.error);
    EXPECT_EQ(status.ok(), *c.error == '\0');
    EXPECT_EQ(listing.files, c.files);
    EXPECT_EQ(listing.troubles, c.troubles);
  }
}

// On real folders: a link back up the tree, a link out of the pack and a
// hidden folder are passed over; a link to a file counts as the file.
TEST(ListPackFiles, FollowsNoLinkOnRealFolders) {
  namespace fs = std::filesystem;
  ScopedTempDir dir;
  fs::create_directories(dir.File("pack/sub"));
  fs::create_directories(dir.File("pack/.hidden"));
  fs::create_directories(dir.File("outside"));
  for (const char* file : {"pack/V_linea.txt", "pack/sub/V_R-.txt",
                           "pack/.hidden/H_linea.txt", "outside/O_linea.txt"}) {
    WriteWholeFile(dir.File(file), "");
  }
  fs::create_directory_symlink(dir.File("pack"), dir.File("pack/sub/loop"));
  fs::create_directory_symlink("..", dir.File("pack/sub/up"));
  fs::create_directory_symlink(dir.File("outside"), dir.File("pack/away"));
  fs::create_symlink(dir.File("outside/O_linea.txt"),
                     dir.File("pack/O_linea.txt"));
  fs::create_symlink(dir.File("gone"), dir.File("pack/gone_linea.txt"));
  PackListing listing;
  ASSERT_TRUE(
      ListPackFiles(RealFileSystem(), dir.File("pack") + "/", &listing).ok());
  EXPECT_EQ(listing.files,
            (Files{"O_linea.txt", "V_linea.txt", "sub/V_R-.txt"}));
  EXPECT_TRUE(listing.troubles.empty());
}

}  // namespace
}  // namespace scenario
