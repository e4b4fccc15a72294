// Replays every regression input and every committed seed through the
// fuzz targets' entry points, in the ordinary builds: an input that once
// crashed a target must keep passing without the fuzzer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz_entry_points.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

const fs::path kFuzzDir = SCENARIO_FUZZ_DIR;
constexpr const char* kInputFolders[] = {"regression", "seeds"};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files of folder/target, in name order; none when it is missing.
std::vector<fs::path> Inputs(const char* folder, const char* target) {
  std::vector<fs::path> paths;
  const fs::path dir = kFuzzDir / folder / target;
  if (!fs::is_directory(dir)) return paths;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
    if (e.is_regular_file()) paths.push_back(e.path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

class FuzzInputs : public ::testing::TestWithParam<FuzzTarget> {};

}  // namespace

// Test names and failure messages show the target's name.
void PrintTo(const FuzzTarget& target, std::ostream* os) { *os << target.name; }

namespace {

TEST_P(FuzzInputs, ReplayWithoutCrash) {
  const FuzzTarget& target = GetParam();
  for (const char* folder : kInputFolders) {
    for (const fs::path& path : Inputs(folder, target.name)) {
      SCOPED_TRACE(path.string());
      target.run(ReadAll(path));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzInputs, ::testing::ValuesIn(kFuzzTargets),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

// An input under a folder that names no target would never be replayed.
TEST(FuzzInputs, EveryFolderNamesATarget) {
  for (const char* folder : kInputFolders) {
    const fs::path dir = kFuzzDir / folder;
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
      if (!e.is_directory()) continue;
      SCOPED_TRACE(e.path().string());
      EXPECT_TRUE(std::any_of(
          std::begin(kFuzzTargets), std::end(kFuzzTargets),
          [&e](const FuzzTarget& t) { return e.path().filename() == t.name; }));
    }
  }
}

}  // namespace
}  // namespace scenario
