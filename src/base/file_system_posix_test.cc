// The host file system's cases that only POSIX can set up: a file size
// limit that fails a write half-way, and symbolic links.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

TEST(RealFileSystem, AFailedPieceFailsTheWriteAndKeepsTheOldFile) {
  // A file size limit makes the second piece fail half-way.
  ScopedTempDir dir;
  const std::string path = dir.File("grid.dat");
  WriteWholeFile(path, "old");
  rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  rlimit limit = old_limit;
  limit.rlim_cur = 1000;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  int pieces_made = 0;
  const Status in_order = RealFileSystem().WriteFileReplacingInPieces(
      path, [&pieces_made](const PieceWriter& write) {
        for (int i = 0; i < 3; ++i) {
          write(std::string(800, 'n'));
          ++pieces_made;
        }
      });
  // Placed pieces: the one that reaches past the limit fails.
  const Status placed = RealFileSystem().WriteFileReplacingPlaced(
      path, 2400, [&pieces_made](const PlacedPieceWriter& write) {
        for (int i = 2; i >= 0; --i) {
          write(800u * static_cast<unsigned>(i), std::string(800, 'n'));
          ++pieces_made;
        }
      });
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  for (const Status& status : {in_order, placed}) {
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.message().find(path), std::string::npos)
        << status.message();
  }
  EXPECT_EQ(pieces_made, 6);  // the maker runs on; its pieces go nowhere
  EXPECT_EQ(ReadWholeFile(path), "old");
  EXPECT_EQ(dir.Listing(), "grid.dat");
}

TEST(RealFileSystem, ListingTellsLinksAndWhatTheyLeadTo) {
  ScopedTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  WriteWholeFile(dir.File("file"), "x");
  std::filesystem::create_directory_symlink(dir.File("folder"),
                                            dir.File("to_folder"));
  std::filesystem::create_symlink(dir.File("file"), dir.File("to_file"));
  std::filesystem::create_symlink(dir.File("none"), dir.File("to_none"));
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(RealFileSystem().ListFolder(dir.path(), &entries).ok());
  std::vector<std::string> seen;
  for (const FolderEntry& e : entries) {
    seen.push_back(e.name + (e.link ? " link " : " ") +
                   std::to_string(static_cast<int>(e.kind)));
  }
  const auto kind = [](FileKind k) {
    return std::to_string(static_cast<int>(k));
  };
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "file " + kind(FileKind::kNormal),
                      "folder " + kind(FileKind::kFolder),
                      "to_file link " + kind(FileKind::kNormal),
                      "to_folder link " + kind(FileKind::kFolder),
                      "to_none link " + kind(FileKind::kMissing)}));
}

}  // namespace
}  // namespace scenario
