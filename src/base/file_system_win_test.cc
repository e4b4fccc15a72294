// The host file system's cases that belong to Windows: either separator,
// the name limit in UTF-16 units, and one file under two spellings.
#include <gtest/gtest.h>

#include <string>

#include "base/file_system.h"
#include "base/scoped_temp_dir.h"
#include "base/strings.h"

namespace scenario {
namespace {

TEST(WindowsFileSystem, EitherSeparatorPartsAPath) {
  EXPECT_EQ(BaseName("C:\\Scenari\\Valle_linea.txt"), "Valle_linea.txt");
  EXPECT_EQ(BaseName("C:/Scenari\\sub/Valle_R 12-.txt"), "Valle_R 12-.txt");
  EXPECT_EQ(JoinPath("C:\\out\\", "x.dat"), "C:\\out\\x.dat");

  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string folder = dir.path() + "\\sotto cartella";
  ASSERT_TRUE(fs.CreateFolders(folder).ok());
  const std::string backslashed = folder + "\\Valle_linea.dat";
  ASSERT_TRUE(fs.WriteFileReplacing(backslashed, "grid").ok());
  const std::string slashed = dir.File("sotto cartella/Valle_linea.dat");
  std::string back;
  ASSERT_TRUE(fs.ReadFile(slashed, &back).ok());
  EXPECT_EQ(back, "grid");
  // One file, whichever way its path is spelt; its identity is known.
  EXPECT_TRUE(fs.SameFile(backslashed, slashed));
  EXPECT_NE(fs.Stat(slashed).inode, 0u);
  EXPECT_FALSE(fs.SameFile(backslashed, dir.File("other.dat")));
}

TEST(WindowsFileSystem, TheNameLimitCountsUtf16Units) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  // 255 "à": 510 bytes of UTF-8, but 255 units, which Windows takes. (It
  // is only checked: a Wine prefix on a Linux file system could not make
  // it.)
  std::string longest;
  for (int i = 0; i < 251; ++i) longest += "\xc3\xa0";
  longest += ".dat";
  EXPECT_TRUE(fs.CheckNewFileName(dir.File(longest)).ok());

  const Status refused = fs.CheckNewFileName(dir.File("\xc3\xa0" + longest));
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.message().find("its name is 256 characters long, and "
                                   "the file system takes at most 255"),
            std::string::npos)
      << refused.message();
}

TEST(WindowsFileSystem, NamesWindowsDoesNotTakeAreRefusedBeforehand) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  struct NameCase {
    const char* name;
    const char* says;  // "" when the name is taken
  };
  constexpr NameCase kCases[] = {
      {"Valle:2_R 1.sim", "its name holds \":\", which Windows does not take"},
      {"Valle_R \"1\".dat", "its name holds \"\"\""},
      {"Valle_R 1?.sim", "its name holds \"?\""},
      {"Valle_R 1.", "ends in a dot or a blank"},
      {"Citt\xc3\xa0 alta_R 1.sim", ""},
  };
  for (const NameCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const Status status = fs.CheckNewFileName(dir.File(c.name));
    if (*c.says == '\0') {
      EXPECT_TRUE(status.ok()) << status.message();
    } else {
      EXPECT_NE(status.message().find(c.says), std::string::npos)
          << status.message();
    }
  }
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace scenario
