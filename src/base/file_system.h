#ifndef SCENARIO_BASE_FILE_SYSTEM_H_
#define SCENARIO_BASE_FILE_SYSTEM_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace scenario {

// Every file the system reads, writes or deletes goes through this
// interface, so that tests can inject failures with a fake.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when path names an existing regular file.
  virtual bool IsNormalFile(const std::string& path) = 0;
  // Reads the whole file into *contents.
  virtual Status ReadFile(const std::string& path, std::string* contents) = 0;
  // Replaces the file with contents: the bytes go to a temporary file in
  // the same folder, which is then renamed over path. On any failure the
  // temporary is removed and an existing file of that name stays intact.
  virtual Status WriteFileReplacing(const std::string& path,
                                    std::string_view contents) = 0;
  // Deletes the file; a missing file is not an error.
  virtual Status DeleteFile(const std::string& path) = 0;
};

// The host's file system.
FileSystem& RealFileSystem();

}  // namespace scenario

#endif  // SCENARIO_BASE_FILE_SYSTEM_H_
