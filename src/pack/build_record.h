#ifndef SCENARIO_PACK_BUILD_RECORD_H_
#define SCENARIO_PACK_BUILD_RECORD_H_

#include <cstdint>
#include <functional>
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
// its own: for every scenario, the content digest (base/content_digest.h)
// of each description as it was compiled, each output as it stood once
// written (its stamp and its digest), the codes recorded, the number of
// warnings found, and the program's version. A file that differs from its
// record, by another program, another version or another build, is simply
// rebuilt; a lost or unreadable record, or one in an older layout, only
// costs a full build.
//
// How a file is found unchanged:
// - A description (a few kB) is read and digested at every build: an edit
//   that keeps its size and modification time is seen, and no clock or
//   order of times is trusted. Its digest is that of the very bytes
//   compiled, so a description edited during a build is compiled again by
//   the next one.
// - An output (a cell file of tens of kB, a grid of up to tens of MB)
//   whose stamp (size, modification time, inode: a file replaced through a
//   rename is a new inode) differs from its record has changed, and is not
//   read. One whose stamp is as recorded is read and digested all the same,
//   so that a file patched in place with its time set back is seen too.
//   Each file is read once to check it, whatever the number of scenarios
//   that share it (a line's grid). A follow-up build of 200 trains over
//   three lines so reads about 24 MB (12 MB of cell and parameter files,
//   three 4 MB grids), which XXH3 digests at gigabytes a second: some
//   10 ms, against the seconds that compiling them again would take.
inline constexpr std::string_view kBuildRecordName = ".scenario-build";

// One file as it stood.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t mtime_ns = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileStamp&) const = default;
};

// The file's stamp as fs tells it (links followed), or nullopt when path
// names no regular file.
std::optional<FileStamp> StampFile(FileSystem& fs, const std::string& path);

// The digest of the file's bytes read through fs, or nullopt when path
// names no regular file or it cannot be read.
std::optional<std::uint64_t> DigestFile(FileSystem& fs,
                                        const std::string& path);

// An output as it stood once written.
struct OutputRecord {
  FileStamp stamp;
  std::uint64_t digest = 0;
  bool operator==(const OutputRecord&) const = default;
};

struct ScenarioRecord {
  // The digests of the descriptions' bytes as they were compiled.
  std::uint64_t line = 0;
  std::uint64_t train = 0;
  bool grid = true;  // compiled with the grid
  // Output file names (no folder) as they stood once written.
  std::map<std::string, OutputRecord> outputs;
  std::vector<std::int32_t> codes;
  std::string first_diagnostic;
  // The warnings found. They follow from the descriptions and the grid
  // choice alone, as the codes do, so a skipped scenario keeps its count.
  int warnings = 0;
};

struct GridRecord {
  std::uint64_t line = 0;  // the digest of the line description it is from
  OutputRecord grid;
};

struct BuildRecord {
  // By the train description's file name.
  std::map<std::string, ScenarioRecord> scenarios;
  // By the grid file's name.
  std::map<std::string, GridRecord> grids;
};

// The record in text; one from another version of the program or in
// another layout, or one that cannot be read, is an empty record. Any
// bytes may be given.
BuildRecord ParseBuildRecord(std::string_view text, std::string_view version);
std::string SerializeBuildRecord(const BuildRecord& record,
                                 std::string_view version);

// An output as it stands now: its stamp (nullopt when it is missing), and
// how to read its digest, called only when the stamp is as recorded.
struct OutputNow {
  std::optional<FileStamp> stamp;
  std::function<std::optional<std::uint64_t>()> digest;
};

// True when the output is as recorded: the same stamp and the same digest.
bool IsUnchanged(const OutputRecord& record, const OutputNow& now);

// True when the scenario need not be compiled again: it was compiled with
// the same grid choice, from descriptions whose digests are line and
// train, and every output (by name) is unchanged.
bool IsUpToDate(const ScenarioRecord& record, bool grid, std::uint64_t line,
                std::uint64_t train,
                const std::map<std::string, OutputNow>& outputs);

}  // namespace scenario

#endif  // SCENARIO_PACK_BUILD_RECORD_H_
