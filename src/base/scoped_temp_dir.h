#ifndef SCENARIO_BASE_SCOPED_TEMP_DIR_H_
#define SCENARIO_BASE_SCOPED_TEMP_DIR_H_

// A fresh folder under the system's temporary folder, removed with all its
// content when the object goes away. For tests that need the real file
// system (built only into the test binary).

#include <string>

namespace scenario {

class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  // The folder, without a trailing separator.
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(const std::string& name) const;
  // Names of the entries in the folder, sorted.
  std::string Listing() const;

 private:
  std::string path_;
};

// Test helpers on real files: "" when the file cannot be read.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& contents);

}  // namespace scenario

#endif  // SCENARIO_BASE_SCOPED_TEMP_DIR_H_
