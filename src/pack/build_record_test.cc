#include "pack/build_record.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/content_digest.h"
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
  r.line = 0x1234;
  r.train = 0xfedcba9876543210;
  r.grid = true;
  r.outputs = {{"V_linea.dat", {Stamp(30, 1), 0xa1}},
               {"V_R.sim", {Stamp(31, 2), 0xa2}},
               {"V_R.dat", {Stamp(32, 3), 0xa3}}};
  r.codes = {16, 25};
  r.first_diagnostic = "V_R-.txt:3:1: error 16: \"quoted\"";
  r.warnings = 2;
  return r;
}

TEST(BuildRecord, ReadsBackWhatItWrote) {
  BuildRecord record;
  record.scenarios["V_R-.txt"] = Recorded();
  record.grids["V_linea.dat"] = GridRecord{0x1234, {Stamp(30, 1), 0xa1}};
  const BuildRecord back =
      ParseBuildRecord(SerializeBuildRecord(record, kVersion), kVersion);
  ASSERT_EQ(back.scenarios.count("V_R-.txt"), 1u);
  const ScenarioRecord& r = back.scenarios.at("V_R-.txt");
  EXPECT_EQ(r.line, 0x1234u);
  EXPECT_EQ(r.train, 0xfedcba9876543210u);
  EXPECT_EQ(r.outputs, Recorded().outputs);
  EXPECT_EQ(r.codes, Recorded().codes);
  EXPECT_EQ(r.first_diagnostic, Recorded().first_diagnostic);
  EXPECT_EQ(r.warnings, 2);
  ASSERT_EQ(back.grids.count("V_linea.dat"), 1u);
  EXPECT_EQ(back.grids.at("V_linea.dat").line, 0x1234u);
  EXPECT_EQ(back.grids.at("V_linea.dat").grid,
            (OutputRecord{Stamp(30, 1), 0xa1}));
}

// A scenario entry of the record with its line digest (and a warning count)
// spelt as given.
std::string WithEntry(const std::string& line, const std::string& warnings) {
  return R"({"program": "scenario-compiler 9.9", "layout": 2, "scenarios":
         {"a": {"grid": true, "outputs": {}, "codes": [], "first_diagnostic":
         "", "warning_count": )" +
         warnings + R"(, "line": )" + line +
         R"(, "train": "0000000000000001"}}})";
}

TEST(BuildRecord, AnythingUnreadableIsAnEmptyRecord) {
  BuildRecord record;
  record.scenarios["V_R-.txt"] = Recorded();
  const std::string good = SerializeBuildRecord(record, kVersion);
  ASSERT_EQ(ParseBuildRecord(WithEntry(R"("00000000000000ff")", "0"), kVersion)
                .scenarios.size(),
            1u);
  const std::string kTexts[] = {
      "",
      "not json",
      good.substr(0, good.size() / 2),                        // cut short
      SerializeBuildRecord(record, "scenario-compiler 1.0"),  // other version
      "[1, 2]",
      R"({"program": "scenario-compiler 9.9", "layout": 2, "scenarios":
         {"a": 5}})",
      R"({"program": "scenario-compiler 9.9", "layout": 2, "grids": {"g":
         {"line": "0000000000000001"}}})",
      WithEntry(R"("00000000000000ff")", "-1"),
      WithEntry(R"("00000000000000ff")", "1e3"),
      // Digests are 16 hex digits, as a string.
      WithEntry("255", "0"),
      WithEntry(R"("ff")", "0"),
      WithEntry(R"("-00000000000000f")", "0"),
      WithEntry(R"("00000000000000fg")", "0"),
      WithEntry(R"("00000000000000ff0")", "0"),
      // The first layout, by this very version: it stamped the descriptions
      // where digests are now needed.
      R"({"program": "scenario-compiler 9.9", "scenarios": {"a": {"grid":
         true, "outputs": {}, "codes": [], "first_diagnostic": "",
         "warning_count": 0, "line": {"size": 1, "mtime_ns": 1, "inode": 1},
         "train": {"size": 1, "mtime_ns": 1, "inode": 1}}}, "grids": {"g":
         {"line": {"size": 1, "mtime_ns": 1, "inode": 1}, "grid": {"size":
         1, "mtime_ns": 1, "inode": 1}}}})",
      // A later layout.
      R"({"program": "scenario-compiler 9.9", "layout": 3, "scenarios": {}})",
  };
  for (const std::string& text : kTexts) {
    SCOPED_TRACE(text);
    const BuildRecord back = ParseBuildRecord(text, kVersion);
    EXPECT_TRUE(back.scenarios.empty());
    EXPECT_TRUE(back.grids.empty());
  }
}

// An output as it stands, its digest read from *digests (nullopt when it
// cannot be read), each reading counted in *reads.
OutputNow Now(std::optional<FileStamp> stamp,
              std::optional<std::uint64_t> digest, int* reads) {
  return OutputNow{stamp, [digest, reads] {
                     ++*reads;
                     return digest;
                   }};
}

TEST(BuildRecord, UpToDateOnlyWhenNothingMovedAndMovedFilesAreNotRead) {
  struct Output {
    const char* name;
    std::optional<FileStamp> stamp;
    std::optional<std::uint64_t> digest;
  };
  const std::vector<Output> same = {{"V_linea.dat", Stamp(30, 1), 0xa1},
                                    {"V_R.sim", Stamp(31, 2), 0xa2},
                                    {"V_R.dat", Stamp(32, 3), 0xa3}};
  auto with = [&same](std::size_t i, Output changed) {
    std::vector<Output> outputs = same;
    outputs[i] = changed;
    return outputs;
  };
  struct Case {
    const char* name;
    bool grid;
    std::uint64_t line;
    std::uint64_t train;
    std::vector<Output> outputs;
    bool up_to_date;
    int most_reads;  // outputs read to decide, at most
  };
  const Case kCases[] = {
      {"as recorded", true, 0x1234, 0xfedcba9876543210, same, true, 3},
      {"train edited", true, 0x1234, 0xfedcba9876543211, same, false, 0},
      {"line edited", true, 0x1235, 0xfedcba9876543210, same, false, 0},
      {"an output missing", true, 0x1234, 0xfedcba9876543210,
       with(1, {"V_R.sim", std::nullopt, std::nullopt}), false, 0},
      {"an output replaced", true, 0x1234, 0xfedcba9876543210,
       with(2, {"V_R.dat", Stamp(32, 99), 0xa3}), false, 0},
      {"an output patched in place, its stamp kept", true, 0x1234,
       0xfedcba9876543210, with(2, {"V_R.dat", Stamp(32, 3), 0xb3}), false, 3},
      {"an output that cannot be read", true, 0x1234, 0xfedcba9876543210,
       with(0, {"V_linea.dat", Stamp(30, 1), std::nullopt}), false, 3},
      {"grid choice changed",
       false,
       0x1234,
       0xfedcba9876543210,
       {same[1], same[2]},
       false,
       0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    int reads = 0;
    std::map<std::string, OutputNow> outputs;
    for (const Output& o : c.outputs) {
      outputs[o.name] = Now(o.stamp, o.digest, &reads);
    }
    EXPECT_EQ(IsUpToDate(Recorded(), c.grid, c.line, c.train, outputs),
              c.up_to_date);
    EXPECT_LE(reads, c.most_reads);
  }
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

TEST(BuildRecord, DigestsReadTheFile) {
  ScopedTempDir dir;
  FileSystem& fs = RealFileSystem();
  const std::string path = dir.File("V_R-.txt");
  EXPECT_FALSE(DigestFile(fs, path));
  EXPECT_FALSE(DigestFile(fs, dir.path()));  // a folder is no file
  WriteWholeFile(path, "velocita,   0,    30");
  EXPECT_EQ(DigestFile(fs, path), ContentDigest("velocita,   0,    30"));
}

}  // namespace
}  // namespace scenario
