#ifndef SCENARIO_PACK_BUILD_RECORD_H_
#define SCENARIO_PACK_BUILD_RECORD_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class FileSystem;

// What a pack build leaves in each output folder so that the next build
// can skip what has not changed. The binary files carry no version and
// must not change by a byte, so the record sits beside them in a file of
// its own: for every scenario, the descriptions it was compiled from and
// each output as it stood once written (size, modification time, inode:
// a file replaced through a rename is a new inode), the codes recorded,
// the number of warnings found, and the program's version. A file that differs
// from its record, by another program, another version or another build, is
// simply rebuilt; a lost or unreadable record only costs a full build.
inline constexpr std::string_view kBuildRecordName = ".scenario-build";

// One file as it stood. Equal stamps: the same file, unchanged.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t mtime_ns = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};

// The file's stamp as fs tells it (links followed), or nullopt when path
// names no regular file.
std::optional<FileStamp> StampFile(FileSystem& fs, const std::string& path);

struct ScenarioRecord {
  FileStamp line;  // the descriptions, stamped before they were read
  FileStamp train;
  bool grid = true;  // compiled with the grid
  // Output file names (no folder) with their stamps once written.
  std::map<std::string, FileStamp> outputs;
  std::vector<std::int32_t> codes;
  std::string first_diagnostic;
  // The warnings found. They follow from the descriptions and the grid
  // choice alone, as the codes do, so a skipped scenario keeps its count.
  int warnings = 0;
};

struct GridRecord {
  FileStamp line;  // the line description it was computed from
  FileStamp grid;
};

struct BuildRecord {
  // By the train description's file name.
  std::map<std::string, ScenarioRecord> scenarios;
  // By the grid file's name.
  std::map<std::string, GridRecord> grids;
};

// The record in text; one from another version of the program, or one
// that cannot be read, is an empty record.
BuildRecord ParseBuildRecord(std::string_view text, std::string_view version);
std::string SerializeBuildRecord(const BuildRecord& record,
                                 std::string_view version);

// True when the scenario need not be compiled again: it was compiled with
// the same grid choice, from descriptions that are as they were then and
// older than every output, and every output (outputs: name to its current
// stamp, nullopt when missing) is as written then.
bool IsUpToDate(const ScenarioRecord& record, bool grid, const FileStamp& line,
                const FileStamp& train,
                const std::map<std::string, std::optional<FileStamp>>& outputs);

// True when a grid file need not be written again for its line.
bool IsUpToDate(const GridRecord& record, const FileStamp& line,
                const std::optional<FileStamp>& grid);

}  // namespace scenario

#endif  // SCENARIO_PACK_BUILD_RECORD_H_
