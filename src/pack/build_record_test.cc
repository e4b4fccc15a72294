#include "pack/build_record.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "base/file_system.h"
#include "base/scoped_temp_dir.h"

namespace scenario {
namespace {

constexpr std::string_view kVersion = "scenario-compiler 9.9";

FileStamp Stamp(std::int64_t mtime, std::uint64_t inode = 7) {
  return FileStamp{100, mtime, inode};
}

ScenarioRecord Recorded() {
  ScenarioRecord r;
  r.line = Stamp(10);
  r.train = Stamp(20);
  r.grid = true;
  r.outputs = {{"V_linea.dat", Stamp(30, 1)},
               {"V_R.sim", Stamp(31, 2)},
               {"V_R.dat", Stamp(32, 3)}};
  r.codes = {16, 25};
  r.first_diagnostic = "V_R-.txt:3:1: error 16: \"quoted\"";
  r.warnings = 2;
  return r;
}

TEST(BuildRecord, ReadsBackWhatItWrote) {
  BuildRecord record;
  record.scenarios["V_R-.txt"] = Recorded();
  record.grids["V_linea.dat"] = GridRecord{Stamp(10), Stamp(30, 1)};
  const BuildRecord back =
      ParseBuildRecord(SerializeBuildRecord(record, kVersion), kVersion);
  ASSERT_EQ(back.scenarios.count("V_R-.txt"), 1u);
  const ScenarioRecord& r = back.scenarios.at("V_R-.txt");
  EXPECT_EQ(r.line, Stamp(10));
  EXPECT_EQ(r.train, Stamp(20));
  EXPECT_EQ(r.outputs, Recorded().outputs);
  EXPECT_EQ(r.codes, Recorded().codes);
  EXPECT_EQ(r.first_diagnostic, Recorded().first_diagnostic);
  EXPECT_EQ(r.warnings, 2);
  ASSERT_EQ(back.grids.count("V_linea.dat"), 1u);
  EXPECT_EQ(back.grids.at("V_linea.dat").grid, Stamp(30, 1));
}

TEST(BuildRecord, AnythingUnreadableIsAnEmptyRecord) {
  BuildRecord record;
  record.scenarios["V_R-.txt"] = Recorded();
  const std::string good = SerializeBuildRecord(record, kVersion);
  const std::string kTexts[] = {
      "",
      "not json",
      good.substr(0, good.size() / 2),                        // cut short
      SerializeBuildRecord(record, "scenario-compiler 1.0"),  // other version
      "[1, 2]",
      R"({"program": "scenario-compiler 9.9", "scenarios": {"a": 5}})",
      R"({"program": "scenario-compiler 9.9", "scenarios": {"a": {"grid":
         true, "outputs": {}, "codes": ["x"], "first_diagnostic": "",
         "warning_count": 0, "line": {"size": 1, "mtime_ns": 1, "inode": 1},
         "train": {"size": 1, "mtime_ns": 1, "inode": 1}}}})",
      R"({"program": "scenario-compiler 9.9", "grids": {"g": {"line": 1}}})",
      R"({"program": "scenario-compiler 9.9", "scenarios": {"a": {"grid":
         true, "outputs": {}, "codes": [], "first_diagnostic": "",
         "warning_count": -1, "line": {"size": 1, "mtime_ns": 1, "inode": 1},
         "train": {"size": 1, "mtime_ns": 1, "inode": 1}}}})",
      // Written before warnings were counted: its 0 is no count.
      R"({"program": "scenario-compiler 9.9", "scenarios": {"a": {"grid":
         true, "outputs": {}, "codes": [], "first_diagnostic": "",
         "warnings": 0, "line": {"size": 1, "mtime_ns": 1, "inode": 1},
         "train": {"size": 1, "mtime_ns": 1, "inode": 1}}}})",
  };
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(text);
    const BuildRecord back = ParseBuildRecord(text, kVersion);
    EXPECT_TRUE(back.scenarios.empty());
    EXPECT_TRUE(back.grids.empty());
  }
}

TEST(BuildRecord, UpToDateOnlyWhenNothingMoved) {
  using Outputs = std::map<std::string, std::optional<FileStamp>>;
  const Outputs same = {{"V_linea.dat", Stamp(30, 1)},
                        {"V_R.sim", Stamp(31, 2)},
                        {"V_R.dat", Stamp(32, 3)}};
  struct Case {
    const char* name;
    bool grid;
    FileStamp line;
    FileStamp train;
    Outputs outputs;
    bool up_to_date;
  };
  Outputs missing = same;
  missing["V_R.sim"] = std::nullopt;
  Outputs replaced = same;
  replaced["V_R.dat"] = Stamp(32, 99);  // another inode: written since
  Outputs fewer = same;
  fewer.erase("V_linea.dat");
  const Case kCases[] = {
      {"as recorded", true, Stamp(10), Stamp(20), same, true},
      {"train touched", true, Stamp(10), Stamp(21), same, false},
      {"line touched", true, Stamp(11), Stamp(20), same, false},
      {"an output missing", true, Stamp(10), Stamp(20), missing, false},
      {"an output replaced", true, Stamp(10), Stamp(20), replaced, false},
      {"grid choice changed", false, Stamp(10), Stamp(20), fewer, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUpToDate(Recorded(), c.grid, c.line, c.train, c.outputs),
              c.up_to_date);
  }
  // A description as new as an output may have changed after it was read.
  ScenarioRecord late = Recorded();
  late.train = Stamp(30);
  EXPECT_FALSE(IsUpToDate(late, true, Stamp(10), Stamp(30), same));
}

TEST(BuildRecord, StampsFollowTheFile) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string path = dir.File("V_R.sim");
  EXPECT_FALSE(StampFile(fs, path));
  EXPECT_FALSE(StampFile(fs, dir.path()));  // a folder is no file
  WriteWholeFile(path, "abc");
  const std::optional<FileStamp> first = StampFile(fs, path);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size, 3u);
  EXPECT_EQ(StampFile(fs, path), first);
  // Replaced through a rename: a new inode, so a new stamp.
  ASSERT_TRUE(fs.WriteFileReplacing(path, "abc").ok());
  EXPECT_NE(StampFile(fs, path), first);
}

}  // namespace
}  // namespace scenario
