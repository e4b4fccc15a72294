#include "base/file_system.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/fake_file_system.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

TEST(RealFileSystem, WritesAndReadsBackExactBytes) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string path = dir.File("Tarvo_Cembrio_Exp 5147.sim");
  const std::string bytes("a\0b\r\n\xff", 6);
  ASSERT_TRUE(fs.WriteFileReplacing(path, bytes).ok());
  std::string back;
  ASSERT_TRUE(fs.ReadFile(path, &back).ok());
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(dir.Listing(), "Tarvo_Cembrio_Exp 5147.sim");  // no temporary
}

TEST(RealFileSystem, LongerOldFileIsReplacedWhole) {
  ScopedTempDir dir;
  const std::string path = dir.File("cells.dat");
  WriteWholeFile(path, std::string(5000, 'x'));
  ASSERT_TRUE(RealFileSystem().WriteFileReplacing(path, "new").ok());
  EXPECT_EQ(ReadWholeFile(path), "new");
  ASSERT_TRUE(RealFileSystem().WriteFileReplacing(path, "").ok());
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(RealFileSystem, ThreadsReplacingOneFileLeaveOneWholeFile) {
  // Writers on several threads share the file system object; each must get
  // its own temporary, and the file must end as one writer's whole bytes.
  ScopedTempDir dir;
  const std::string path = dir.File("Valle_linea.dat");
  constexpr int kThreads = 4;
  constexpr int kWrites = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const std::string bytes(1000 + t * 7919, static_cast<char>('a' + t));
      for (int i = 0; i < kWrites; ++i) {
        EXPECT_TRUE(RealFileSystem().WriteFileReplacing(path, bytes).ok());
      }
    });
  }
  for (std::thread& t : threads) t.join();
  const std::string back = ReadWholeFile(path);
  ASSERT_FALSE(back.empty());
  const int t = back[0] - 'a';
  EXPECT_EQ(back, std::string(1000 + t * 7919, back[0]));
  EXPECT_EQ(dir.Listing(), "Valle_linea.dat");  // no temporary left
}

TEST(RealFileSystem, FailedWriteNamesTheFileAndTheReason) {
  ScopedTempDir dir;
  const std::string path = dir.File("missing folder/cells.dat");
  Status status = RealFileSystem().WriteFileReplacing(path, "data");
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find(path), std::string::npos) << status.message();
  EXPECT_NE(status.message().find("No such file or directory"),
            std::string::npos)
      << status.message();
}

TEST(RealFileSystem, FailedRenameKeepsTheOldEntryAndLeavesNoTemporary) {
  // A folder of that name cannot be replaced by a file: the rename fails
  // after the temporary has been written.
  ScopedTempDir dir;
  const std::string path = dir.File("cells.dat");
  std::filesystem::create_directory(path);
  WriteWholeFile(path + "/inside", "old");
  Status status = RealFileSystem().WriteFileReplacing(path, "new");
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find(path), std::string::npos);
  EXPECT_EQ(ReadWholeFile(path + "/inside"), "old");
  EXPECT_EQ(dir.Listing(), "cells.dat");
}

TEST(RealFileSystem, PiecesAreWrittenInOrder) {
  ScopedTempDir dir;
  const std::string path = dir.File("grid.dat");
  WriteWholeFile(path, std::string(5000, 'x'));
  const std::vector<std::string> pieces = {"ab", "", std::string(70000, 'c'),
                                           std::string("\0d", 2)};
  ASSERT_TRUE(
      RealFileSystem()
          .WriteFileReplacingInPieces(path,
                                      [&pieces](const PieceWriter& write) {
                                        for (const std::string& p : pieces)
                                          write(p);
                                      })
          .ok());
  EXPECT_EQ(ReadWholeFile(path), "ab" + pieces[2] + pieces[3]);
  EXPECT_EQ(dir.Listing(), "grid.dat");
}

TEST(FileSystem, PlacedPiecesLandAtTheirOffsets) {
  // Out of order, over a longer old file, through the real writer and
  // through the default that gathers the pieces (the fake's).
  ScopedTempDir dir;
  FakeFileSystem fake;
  const std::string path = dir.File("grid.dat");
  const std::string tail(70000, 'c');
  const std::string expected = "abcde" + std::string("f\0h", 3) + tail;
  for (FileSystem* fs : {&RealFileSystem(), static_cast<FileSystem*>(&fake)}) {
    SCOPED_TRACE(fs == &fake ? "gathered" : "real");
    WriteWholeFile(path, std::string(100000, 'x'));
    fake.files[path] = std::string(100000, 'x');
    ASSERT_TRUE(fs->WriteFileReplacingPlaced(path, expected.size(),
                                             [&](const PlacedPieceWriter& w) {
                                               w(8, tail);
                                               w(5, std::string("f\0h", 3));
                                               w(3, "");
                                               w(0, "abcde");
                                             })
                    .ok());
    EXPECT_EQ(fs == &fake ? fake.Contents(path) : ReadWholeFile(path),
              expected);
  }
  EXPECT_EQ(dir.Listing(), "grid.dat");
}

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

TEST(RealFileSystem, IsNormalFileOnlyForRegularFiles) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  WriteWholeFile(dir.File("plain.txt"), "x");
  std::filesystem::create_directory(dir.File("folder.txt"));
  EXPECT_TRUE(fs.IsNormalFile(dir.File("plain.txt")));
  EXPECT_FALSE(fs.IsNormalFile(dir.File("folder.txt")));
  EXPECT_FALSE(fs.IsNormalFile(dir.File("missing.txt")));
}

TEST(RealFileSystem, DeleteAndReadOfMissingFiles) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string path = dir.File("gone.txt");
  EXPECT_TRUE(fs.DeleteFile(path).ok());
  WriteWholeFile(path, "x");
  EXPECT_TRUE(fs.DeleteFile(path).ok());
  EXPECT_FALSE(fs.IsNormalFile(path));
  std::string contents = "kept";
  Status status = fs.ReadFile(path, &contents);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find(path), std::string::npos);
  EXPECT_EQ(contents, "kept");
  // A folder cannot be deleted as a file.
  std::filesystem::create_directory(path);
  EXPECT_FALSE(fs.DeleteFile(path).ok());
}

// The same steps on the real file system (in a temporary folder) and on
// the fake, which the commands' tests stand in for it: both must agree.
class FolderSteps : public ::testing::TestWithParam<bool> {
 protected:
  FileSystem& fs() { return GetParam() ? RealFileSystem() : fake_; }
  std::string At(const std::string& name) const {
    return GetParam() ? dir_.path() + "/" + name : "/t/" + name;
  }
  void SetUp() override {
    if (!GetParam()) fake_.folders.insert("/t");
  }

 private:
  ScopedTempDir dir_;
  FakeFileSystem fake_;
};

TEST_P(FolderSteps, CreateListAndStatAgree) {
  ASSERT_TRUE(fs().CreateFolders(At("a/b/c")).ok());
  ASSERT_TRUE(fs().CreateFolders(At("a/b")).ok()) << "already there";
  ASSERT_TRUE(fs().WriteFileReplacing(At("a/z.txt"), "12345").ok());
  ASSERT_TRUE(fs().WriteFileReplacing(At("a/m.txt"), "").ok());

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(fs().ListFolder(At("a"), &entries).ok());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "b");
  EXPECT_EQ(entries[0].kind, FileKind::kFolder);
  EXPECT_EQ(entries[1].name, "m.txt");
  EXPECT_EQ(entries[2].name, "z.txt");
  EXPECT_EQ(entries[2].kind, FileKind::kNormal);

  EXPECT_EQ(fs().Stat(At("a/z.txt")).kind, FileKind::kNormal);
  EXPECT_EQ(fs().Stat(At("a/z.txt")).size, 5u);
  EXPECT_EQ(fs().Stat(At("a/b/c")).kind, FileKind::kFolder);
  EXPECT_EQ(fs().Stat(At("a/none")).kind, FileKind::kMissing);
  EXPECT_TRUE(fs().SameFile(At("a/z.txt"), At("a/b/../z.txt")) || !GetParam());
  EXPECT_FALSE(fs().SameFile(At("a/z.txt"), At("a/m.txt")));
  EXPECT_FALSE(fs().SameFile(At("a/none"), At("a/none")));

  // A file in the way of a folder, and a folder that is not there.
  const Status blocked = fs().CreateFolders(At("a/z.txt/d"));
  EXPECT_FALSE(blocked.ok());
  EXPECT_NE(blocked.message().find("a/z.txt/d"), std::string::npos);
  const Status missing = fs().ListFolder(At("none"), &entries);
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.message().find("none"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(RealAndFake, FolderSteps, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Real" : "Fake";
                         });

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

TEST(FakeFileSystem, InjectedFolderFailures) {
  FakeFileSystem fs;
  fs.fail_folders.insert("out");
  const Status made = fs.CreateFolders("out/sub");
  EXPECT_EQ(made.message(),
            "cannot create the folder \"out/sub\": injected failure");
  EXPECT_TRUE(fs.folders.empty());
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(fs.ListFolder("out", &entries).ok());
}

// The id of a process that has ended and been reaped: no process runs
// under it (until the system hands it out again, long after).
long EndedProcessId() {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST(RealFileSystem, TemporariesSayWhoseTheyAreWhateverTheFinalName) {
  ScopedTempDir dir;
  // 255 bytes: the longest name most file systems take, so a temporary
  // named after it could not be made.
  const std::string path = dir.File(std::string(251, 'n') + ".dat");
  std::string seen;
  ASSERT_TRUE(RealFileSystem()
                  .WriteFileReplacingInPieces(path,
                                              [&](const PieceWriter& write) {
                                                seen = dir.Listing();
                                                write("bytes");
                                              })
                  .ok());
  EXPECT_TRUE(seen.starts_with(std::string(kTemporaryPrefix) +
                               std::to_string(::getpid()) + "-"))
      << seen;
  EXPECT_TRUE(seen.ends_with(".tmp")) << seen;
  EXPECT_EQ(ReadWholeFile(path), "bytes");
}

TEST(RealFileSystem, OnlyTemporariesOfEndedProcessesAreRemoved) {
  ScopedTempDir dir;
  const std::string prefix(kTemporaryPrefix);
  const std::string ended =
      prefix + std::to_string(EndedProcessId()) + "-3.tmp";
  const std::string mine = prefix + std::to_string(::getpid()) + "-1.tmp";
  // Process 1 always runs.
  const std::string running = prefix + "1-2.tmp";
  const std::string kept[] = {mine,
                              running,
                              prefix + "x-1.tmp",
                              prefix + "7-.tmp",
                              "cells.dat.tmp123-4",
                              "Valle_linea.dat"};
  WriteWholeFile(dir.File(ended), "half");
  for (const std::string& name : kept) WriteWholeFile(dir.File(name), "");
  std::filesystem::create_directory(dir.File(prefix + "99999999-1.tmp"));

  EXPECT_EQ(RemoveStaleTemporaries(RealFileSystem(), dir.path()),
            std::vector<std::string>{ended});
  EXPECT_FALSE(std::filesystem::exists(dir.File(ended)));
  for (const std::string& name : kept) {
    EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
  }
  EXPECT_TRUE(
      RemoveStaleTemporaries(RealFileSystem(), dir.File("gone")).empty());
}

TEST(RealFileSystem, ANameTooLongIsRefusedBeforeAnythingIsMade) {
  ScopedTempDir dir;
  const std::string too_long = dir.File(std::string(300, 'n') + ".sim");
  const Status status = RealFileSystem().CheckNewFileName(too_long);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("its name is 304 bytes long"),
            std::string::npos)
      << status.message();
  EXPECT_TRUE(RealFileSystem().CheckNewFileName(dir.File("R 1.sim")).ok());
  EXPECT_EQ(dir.Listing(), "");
}

TEST(RealFileSystem, ATransientFileIsWrittenWholeLikeAnyOther) {
  ScopedTempDir dir;
  const std::string path = dir.File("Valle_linea.txt");
  WriteWholeFile(path, std::string(5000, 'x'));
  ASSERT_TRUE(RealFileSystem().WriteTransientFile(path, "rows\r\n").ok());
  EXPECT_EQ(ReadWholeFile(path), "rows\r\n");
  EXPECT_EQ(dir.Listing(), "Valle_linea.txt");
}

}  // namespace
}  // namespace scenario
