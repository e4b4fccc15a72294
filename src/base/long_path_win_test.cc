// Paths past Windows' old 260 characters: the form handed to Win32, and the
// file system's work deep down a folder of such a path.
#include "base/long_path_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

// A part of a path, 50 characters long.
const std::string kPart(50, 'p');

TEST(Win32Path, OnlyWhatIsTooLongForThePlainFormTakesTheLongOne) {
  std::string deep;  // 6 parts: 306 characters with their separators
  for (int i = 0; i < 6; ++i) deep += "\\" + kPart;
  const std::wstring wide_deep(deep.begin(), deep.end());
  struct Case {
    std::string path;
    std::wstring win32;
  };
  const Case cases[] = {
      {"C:\\Scenari\\Valle_linea.txt", L"C:\\Scenari\\Valle_linea.txt"},
      // Kept as typed: the system tidies the plain form itself.
      {"C:/Scenari/../Valle_linea.txt", L"C:/Scenari/../Valle_linea.txt"},
      {"C:" + deep, L"\\\\?\\C:" + wide_deep},
      // Tidied before the long form, which the system takes as it is.
      {"C:/x/../" + deep.substr(1) + "/./f.dat",
       L"\\\\?\\C:" + wide_deep + L"\\f.dat"},
      {"\\\\server\\share" + deep, L"\\\\?\\UNC\\server\\share" + wide_deep},
      {"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
      {"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(Win32Path(c.path), c.win32);
  }
}

TEST(Win32Path, TheFileSystemWorksDownAFolderOfALongPath) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  std::string folder = dir.path();
  for (int i = 0; i < 6; ++i) folder += "/" + kPart;
  ASSERT_GT(folder.size(), 300u);
  ASSERT_TRUE(fs.CreateFolders(folder + "/out").ok());
  EXPECT_EQ(fs.Stat(folder).kind, FileKind::kFolder);
  const std::string file = folder + "/out/Valle_linea.dat";
  ASSERT_TRUE(fs.WriteFileReplacing(file, "grid").ok());
  std::string back;
  ASSERT_TRUE(fs.ReadFile(file, &back).ok());
  EXPECT_EQ(back, "grid");
  std::vector<FolderEntry> entries;
  ASSERT_TRUE(fs.ListFolder(folder + "/out", &entries).ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Valle_linea.dat");
  ASSERT_TRUE(fs.DeleteFile(file).ok());
  EXPECT_EQ(fs.Stat(file).kind, FileKind::kMissing);
  // A file in the way of a folder to make is named.
  ASSERT_TRUE(fs.WriteFileReplacing(folder + "/in the way", "x").ok());
  const Status blocked = fs.CreateFolders(folder + "/in the way/sub");
  EXPECT_FALSE(blocked.ok());
  EXPECT_NE(blocked.message().find("cannot create the folder"),
            std::string::npos)
      << blocked.message();
}

}  // namespace
}  // namespace scenario
