#include "base/file_watch.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

using Event = FileWatch::Event;

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

TEST(FileWatch, HoldsTheStopSignalsBackUntilAWait) {
  ScopedTempDir dir;
  std::unique_ptr<FileWatch> watch;
  ASSERT_TRUE(FileWatch::Open({dir.File("a_linea.txt")}, &watch).ok());
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    // Held back: the test goes on.
    ASSERT_EQ(::raise(signal), 0);
    Event event = Event::kNothing;
    ASSERT_TRUE(watch->Wait(-1, &event).ok());
    EXPECT_EQ(event, Event::kStop);
  }
}

TEST(FileWatch, AFolderThatCannotBeWatchedIsNamed) {
  std::unique_ptr<FileWatch> watch;
  const Status s = FileWatch::Open({"/no/such/folder/a_linea.txt"}, &watch);
  EXPECT_EQ(s.message(),
            "cannot watch the folder \"/no/such/folder\": No such file or "
            "directory");
  EXPECT_EQ(watch, nullptr);
}

}  // namespace
}  // namespace scenario
