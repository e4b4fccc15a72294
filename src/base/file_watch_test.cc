#include "base/file_watch.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/child_process_testing.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

using Event = FileWatch::Event;
namespace fs = std::filesystem;

// Generous: only a watch that missed a change waits this long.
constexpr int kPatienceMs = 20000;

// Waits for the watch to report a change; false when it never comes.
bool NextChange(FileWatch& watch) {
  for (;;) {
    Event event = Event::kTimeout;
    if (!watch.Wait(kPatienceMs, &event).ok()) return false;
    if (event == Event::kChange) return true;
    if (event == Event::kTimeout) return false;
  }
}

// Takes the events already queued; true when one of them was a change.
bool TakeQueued(FileWatch& watch) {
  bool changed = false;
  for (Event event = Event::kNothing; event != Event::kTimeout;) {
    if (!watch.Wait(0, &event).ok()) return changed;
    changed = changed || event == Event::kChange;
  }
  return changed;
}

// Events are queued as the file operations return, so each wait below
// finds them without waiting.
TEST(FileWatch, ReportsChangesToTheWatchedFilesOnly) {
  ScopedTempDir dir;
  const std::string line = dir.File("a_linea.txt");
  const std::string train = dir.File("a_b-.txt");
  WriteWholeFile(line, "one");
  std::unique_ptr<FileWatch> watch;
  ASSERT_TRUE(FileWatch::Open({line, train}, &watch).ok());
  Event event = Event::kChange;
  ASSERT_TRUE(watch->Wait(0, &event).ok());
  EXPECT_EQ(event, Event::kTimeout);

  // Another file of the folder is not followed.
  WriteWholeFile(dir.File("notes.txt"), "x");
  ASSERT_TRUE(watch->Wait(0, &event).ok());
  EXPECT_EQ(event, Event::kNothing);

  // A save by rename, as editors make it, then one in place.
  WriteWholeFile(dir.File(".save"), "two");
  ASSERT_EQ(std::rename(dir.File(".save").c_str(), train.c_str()), 0);
  ASSERT_TRUE(watch->Wait(-1, &event).ok());
  EXPECT_EQ(event, Event::kChange);
  WriteWholeFile(line, "three");
  ASSERT_TRUE(watch->Wait(-1, &event).ok());
  EXPECT_EQ(event, Event::kChange);
  ASSERT_TRUE(watch->Wait(0, &event).ok());
  EXPECT_EQ(event, Event::kTimeout);
}

// How the files' folder (or a file alone) goes away and comes back, as
// editors, version control and a hand at the shell do it, step by step.
// Each step is followed by what the watch reports: a change or not, and the
// folders it says are gone. Afterwards a save is still seen.
using Act = void (*)(const std::string& root);
struct FolderStep {
  Act act;
  bool change;
  const char* gone;  // the folder reported missing after it, or ""
};
struct FolderCase {
  const char* what;
  const char* folder;  // of the files, under the test's folder
  std::vector<FolderStep> steps;
};

// Writes the pair into a folder.
void WritePair(const std::string& folder) {
  WriteWholeFile(folder + "/a_linea.txt", "line");
  WriteWholeFile(folder + "/a_b-.txt", "train");
}

void FollowFolderCases(const std::vector<FolderCase>& cases) {
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedTempDir dir;
    const std::string root = dir.path();
    const std::string folder = dir.File(c.folder);
    fs::create_directories(folder);
    WritePair(folder);
    std::unique_ptr<FileWatch> watch;
    ASSERT_TRUE(
        FileWatch::Open({folder + "/a_linea.txt", folder + "/a_b-.txt"}, &watch)
            .ok());
    for (const FolderStep& step : c.steps) {
      step.act(root);
      if (step.change) {
        ASSERT_TRUE(NextChange(*watch));
        TakeQueued(*watch);
      } else {
        EXPECT_FALSE(TakeQueued(*watch));
      }
      std::vector<std::string> gone;
      if (*step.gone != '\0') gone.push_back(dir.File(step.gone));
      EXPECT_EQ(watch->MissingFolders(), gone);
    }
    WriteWholeFile(folder + "/a_linea.txt", "saved");
    EXPECT_TRUE(NextChange(*watch));
  }
}

TEST(FileWatch, FollowsTheFilesWhenTheirFolderIsRenamedAwayAndBack) {
  FollowFolderCases({
      {"one file deleted and written again",
       "in",
       {{[](const std::string& r) { fs::remove(r + "/in/a_b-.txt"); }, true,
         ""},
        {[](const std::string& r) { WriteWholeFile(r + "/in/a_b-.txt", "t"); },
         true, ""}}},
      {"folder renamed away, then another renamed into its place",
       "in",
       {{[](const std::string& r) { fs::rename(r + "/in", r + "/in.old"); },
         true, "in"},
        {[](const std::string& r) {
           fs::create_directory(r + "/in.new");
           WritePair(r + "/in.new");
           fs::rename(r + "/in.new", r + "/in");
         },
         true, ""}}},
      {"folder swapped for another between two looks",
       "in",
       {{[](const std::string& r) {
           fs::create_directory(r + "/in.new");
           WritePair(r + "/in.new");
           fs::rename(r + "/in", r + "/in.old");
           fs::rename(r + "/in.new", r + "/in");
         },
         true, ""}}},
  });
}

TEST(FileWatch, FollowsTheFilesWhenTheirFolderIsRemovedAndMadeAgain) {
  FollowFolderCases({
      {"folder removed, made again and the pair copied back",
       "in",
       {{[](const std::string& r) { fs::remove_all(r + "/in"); }, true, "in"},
        {[](const std::string& r) {
           fs::create_directory(r + "/in");
           WritePair(r + "/in");
         },
         true, ""}}},
      {"folder above removed and made again one level at a time",
       "in/sub",
       {{[](const std::string& r) { fs::remove_all(r + "/in"); }, true,
         "in/sub"},
        {[](const std::string& r) { fs::create_directory(r + "/in"); }, false,
         "in/sub"},
        {[](const std::string& r) {
           fs::create_directory(r + "/in/sub");
           WritePair(r + "/in/sub");
         },
         true, ""}}},
  });
}

TEST(FileWatch, HoldsTheStopSignalsBackUntilAWait) {
  ScopedTempDir dir;
  std::unique_ptr<FileWatch> watch;
  ASSERT_TRUE(FileWatch::Open({dir.File("a_linea.txt")}, &watch).ok());
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    // Held back: the test goes on.
    ASSERT_TRUE(RaiseStopRequest(signal));
    Event event = Event::kNothing;
    ASSERT_TRUE(watch->Wait(-1, &event).ok());
    EXPECT_EQ(event, Event::kStop);
  }
}

TEST(FileWatch, AFolderThatCannotBeWatchedIsNamed) {
  std::unique_ptr<FileWatch> watch;
  const Status s = FileWatch::Open({"/no/such/folder/a_linea.txt"}, &watch);
  // Then the system's reason, in its own words.
  EXPECT_EQ(
      s.message().rfind("cannot watch the folder \"/no/such/folder\": ", 0), 0u)
      << s.message();
  EXPECT_EQ(watch, nullptr);
}

}  // namespace
}  // namespace scenario
