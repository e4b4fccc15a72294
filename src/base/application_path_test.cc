#include "base/application_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

TEST(ApplicationPath, IsTheExecutablesFolderNotTheCurrentOne) {
  // Every program of the build, this test's among them, lands in the
  // build's top folder.
  const std::string want =
      std::filesystem::canonical(SCENARIO_BINARY_DIR).string();
  const std::filesystem::path before = std::filesystem::current_path();
  ScopedTempDir elsewhere;
  std::filesystem::current_path(elsewhere.path());
  std::string folder;
  Status status = ApplicationPath(&folder);
  std::filesystem::current_path(before);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(folder, want);
  EXPECT_NE(folder.back(), '/');
}

}  // namespace
}  // namespace scenario
