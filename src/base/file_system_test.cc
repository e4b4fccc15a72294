#include "base/file_system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/child_process_testing.h"
#include "base/fake_file_system.h"
#include "base/process_id.h"
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

TEST(RealFileSystem, NamesWithAccentsAndSpacesWorkEverywhere) {
  // What an author types: "à" and spaces, in a folder's name and a file's.
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string folder = dir.File("Linee di prova \xc3\xa0");
  ASSERT_TRUE(fs.CreateFolders(folder).ok());
  const std::string path = folder + "/Citt\xc3\xa0 alta_R 1.sim";
  ASSERT_TRUE(fs.WriteFileReplacing(path, "params").ok());
  std::string back;
  ASSERT_TRUE(fs.ReadFile(path, &back).ok());
  EXPECT_EQ(back, "params");
  EXPECT_TRUE(fs.IsNormalFile(path));
  EXPECT_EQ(fs.Stat(path).size, 6u);
  EXPECT_EQ(fs.Stat(folder).kind, FileKind::kFolder);
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(fs.ListFolder(folder, &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Citt\xc3\xa0 alta_R 1.sim");
  EXPECT_EQ(entries[0].kind, FileKind::kNormal);
  ASSERT_TRUE(fs.DeleteFile(path).ok());
  EXPECT_EQ(fs.Stat(path).kind, FileKind::kMissing);
}

TEST(RealFileSystem, ReadRefusesAFolderAndAFileOverTheLimit) {
  ScopedTempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  // 5 GiB, sparse: a size past 32 bits, far past the limit.
  const std::uint64_t huge = std::uint64_t{5} << 30;
  WriteWholeFile(dir.File("huge.dat"), "x");
  std::filesystem::resize_file(dir.File("huge.dat"), huge);
  FileSystem& fs = RealFileSystem();
  EXPECT_EQ(fs.Stat(dir.File("huge.dat")).size, huge);
  std::string contents = "kept";
  Status status = fs.ReadFile(dir.File("folder"), &contents);
  EXPECT_NE(status.message().find("folder\" is a folder"), std::string::npos)
      << status.message();
  status = fs.ReadFile(dir.File("huge.dat"), &contents);
  EXPECT_NE(status.message().find("holds 5368709120 bytes, far more than"),
            std::string::npos)
      << status.message();
  EXPECT_EQ(contents, "kept");
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
  // The system's reason follows the name (in its own words).
  EXPECT_NE(status.message().find(path + "\": "), std::string::npos)
      << status.message();
  EXPECT_GT(status.message().size(), path.size() + 20) << status.message();
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
                               std::to_string(CurrentProcessId()) + "-"))
      << seen;
  EXPECT_TRUE(seen.ends_with(".tmp")) << seen;
  EXPECT_EQ(ReadWholeFile(path), "bytes");
}

TEST(RealFileSystem, OnlyTemporariesOfEndedProcessesAreRemoved) {
  ScopedTempDir dir;
  const std::string prefix(kTemporaryPrefix);
  const std::string ended =
      prefix + std::to_string(EndedProcessId()) + "-3.tmp";
  const std::string mine =
      prefix + std::to_string(CurrentProcessId()) + "-1.tmp";
  ASSERT_GT(LastingProcessId(), 0);
  const std::string running =
      prefix + std::to_string(LastingProcessId()) + "-2.tmp";
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
  // Bytes on POSIX, UTF-16 units on Windows: the same for plain letters.
  EXPECT_NE(status.message().find("its name is 304 "), std::string::npos)
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
