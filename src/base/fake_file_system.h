#ifndef SCENARIO_BASE_FAKE_FILE_SYSTEM_H_
#define SCENARIO_BASE_FAKE_FILE_SYSTEM_H_

// An in-memory FileSystem for tests (built only into the test binary).
// Files are a map from path to bytes. A folder is there when it was created
// or listed in folders, or when a file or folder lies in it; "" and "/"
// are the roots. Single operations can be made to fail, and every call is
// logged in order.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"

namespace scenario {

class FakeFileSystem : public FileSystem {
 public:
  // The files, path to bytes. Tests may read and change it directly.
  std::map<std::string, std::string> files;

  // Operations of that kind on these paths fail with "injected failure".
  // A failed write leaves the old file as it was, like the real one.
  std::set<std::string> fail_reads;
  std::set<std::string> fail_writes;
  std::set<std::string> fail_deletes;
  // Creating this folder (or one below it) fails; so does listing it.
  std::set<std::string> fail_folders;

  // Folders made by CreateFolders or by the test.
  std::set<std::string> folders;
  // Modification times of files, ns; a file not listed has 0. Each write
  // through the fake, and each Touch, stamps its file with the next tick of
  // clock_ns, so that a file written later is newer.
  std::map<std::string, std::int64_t> mtimes;
  std::int64_t clock_ns = 0;
  // Paths that ListFolder reports as symbolic links; what each leads to is
  // still told by files and folders.
  std::set<std::string> links;

  // Every call as "<op> <path>", op one of is_file, read, write,
  // write_transient, delete, stat, create_folders, list.
  std::vector<std::string> log;

  bool Has(const std::string& path) const { return files.count(path) != 0; }
  // Gives the file a new modification time, as touch does.
  void Touch(const std::string& path) { mtimes[path] = ++clock_ns; }
  // The file's bytes, or "" when it is missing.
  std::string Contents(const std::string& path) const;
  // The log entries of one kind, paths only, in order.
  std::vector<std::string> Paths(std::string_view op) const;

  bool IsNormalFile(const std::string& path) override;
  Status ReadFile(const std::string& path, std::string* contents) override;
  Status WriteFileReplacing(const std::string& path,
                            std::string_view contents) override;
  // Logged as "write_transient"; fails as a write does.
  Status WriteTransientFile(const std::string& path,
                            std::string_view contents) override;
  Status DeleteFile(const std::string& path) override;
  FileInfo Stat(const std::string& path) override;
  Status CreateFolders(const std::string& path) override;
  Status ListFolder(const std::string& path,
                    std::vector<FolderEntry>* entries) override;

 private:
  bool IsFolder(const std::string& path) const;

  // A file keeps its inode until it is written again (replaced through a
  // rename, as the real one is) or deleted; one that a test put in files
  // gets its own when first looked at. 0 is never one.
  std::map<std::string, std::uint64_t> inodes_;
  std::uint64_t last_inode_ = 0;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_FAKE_FILE_SYSTEM_H_
