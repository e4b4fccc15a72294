#include "tools/output_folder.h"

#include "base/file_system.h"
#include "base/path_separator.h"

namespace scenario {

std::string FolderWithoutSeparator(std::string folder) {
  while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
  return folder;
}

Status MakeOutputFolder(FileSystem& fs, const std::string& folder) {
  if (folder.empty()) return Status::Ok();
  return fs.CreateFolders(folder);
}

}  // namespace scenario
