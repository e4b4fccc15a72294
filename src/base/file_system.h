#ifndef SCENARIO_BASE_FILE_SYSTEM_H_
#define SCENARIO_BASE_FILE_SYSTEM_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace scenario {

// Receives a file's contents piece by piece, in order.
using PieceWriter = std::function<void(std::string_view piece)>;
// Makes a file's contents by handing them, piece by piece, to write.
using ContentsMaker = std::function<void(const PieceWriter& write)>;
// Receives pieces of a file's contents, each with its place in the file:
// the offset of its first byte.
using PlacedPieceWriter =
    std::function<void(std::uint64_t offset, std::string_view piece)>;
// Makes a file's contents by handing them, piece by piece and in any order,
// to write.
using PlacedContentsMaker = std::function<void(const PlacedPieceWriter& write)>;

// What a path names.
enum class FileKind {
  kMissing,  // nothing, or nothing that can be looked at
  kNormal,   // a regular file
  kFolder,
  kOther,  // a device, a FIFO, a socket...
};

struct FileInfo {
  FileKind kind = FileKind::kMissing;
  std::uint64_t size = 0;     // bytes, for a normal file
  std::int64_t mtime_ns = 0;  // last change of its contents, ns since 1970
  // Together they tell one file under two names from two files; both 0
  // when the platform cannot say.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// One name of a folder's listing.
struct FolderEntry {
  std::string name;                    // without the folder
  FileKind kind = FileKind::kMissing;  // of what it names, links followed
  // The name is a symbolic link (kind is then that of its target): a walk
  // that follows no link can never loop.
  bool link = false;
};

// Every file the system reads, writes or deletes goes through this
// interface, so that tests can inject failures with a fake.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when path names an existing regular file.
  virtual bool IsNormalFile(const std::string& path) = 0;
  // Reads the whole file into *contents. The host's refuses what is not a
  // normal file, without waiting on it, and stops with an error past
  // kMaxInputBytes, so that no path can block a read or exhaust memory.
  virtual Status ReadFile(const std::string& path, std::string* contents) = 0;
  // Replaces the file with contents: the bytes go to a temporary file in
  // the same folder, which is then renamed over path. On any failure the
  // temporary is removed and an existing file of that name stays intact.
  virtual Status WriteFileReplacing(const std::string& path,
                                    std::string_view contents) = 0;
  // Replaces the file in the same way with the contents that make hands
  // over piece by piece, so that a large file is never held whole in
  // memory. Once a piece fails to go out, the pieces after it are dropped.
  // The default gathers the pieces and calls WriteFileReplacing.
  virtual Status WriteFileReplacingInPieces(const std::string& path,
                                            const ContentsMaker& make);
  // Replaces the file in the same way with size bytes that make hands over
  // as placed pieces, so that an image of several streams (the grid's x
  // and y halves) is made in one pass without holding one of them back.
  // Once a piece fails to go out, the pieces after it are dropped. The
  // default gathers the pieces and calls WriteFileReplacing.
  // REQUIRES: the pieces cover bytes 0 to size - 1, each byte once.
  virtual Status WriteFileReplacingPlaced(const std::string& path,
                                          std::uint64_t size,
                                          const PlacedContentsMaker& make);
  // Replaces the file as WriteFileReplacing does, for a file that lives
  // only until the same run has read it back and deleted it: it is not
  // flushed to disk, since a crash before its use loses the run anyway.
  // The default is WriteFileReplacing.
  virtual Status WriteTransientFile(const std::string& path,
                                    std::string_view contents);
  // Fails, saying which name and why, when no file could be made under
  // path's name in its folder (a name longer than the file system takes),
  // so that a run can refuse before it writes its first file. Makes
  // nothing. The default accepts every name.
  virtual Status CheckNewFileName(const std::string& path);
  // Deletes the file; a missing file is not an error.
  virtual Status DeleteFile(const std::string& path) = 0;

  // What path names (symbolic links followed).
  virtual FileInfo Stat(const std::string& path) = 0;
  // Creates the folder and any missing folder above it; a folder that is
  // already there is not an error, anything else in its place is.
  virtual Status CreateFolders(const std::string& path) = 0;
  // The names in the folder, "." and ".." left out, sorted by name.
  virtual Status ListFolder(const std::string& path,
                            std::vector<FolderEntry>* entries) = 0;

  // True when a and b both exist and are one file.
  bool SameFile(const std::string& a, const std::string& b);
};

// The largest file any command reads: far above the largest scenario file
// (the grid of a 1000 km line is about 20 MB), so that a wrong path (a
// disc image, a sparse file, a log) is refused at once instead of filling
// the memory.
inline constexpr std::uint64_t kMaxInputBytes = std::uint64_t{256} << 20;

// Reads a whole input file that must be a normal file of at most
// kMaxInputBytes: a folder, a device or a FIFO is refused before it is
// opened (a FIFO would block the read), and so is a larger file. A path
// that is missing is left to ReadFile, whose message gives the system's
// reason.
Status ReadNormalFile(FileSystem& fs, const std::string& path,
                      std::string* contents);

// A file being written goes first to a temporary in the same folder,
// named PREFIX PID "-" N ".tmp" (the writing process's id, and a number new
// for each file), whatever the final name.
inline constexpr std::string_view kTemporaryPrefix = ".scenario-compiler-";

// Deletes, in folder, the temporaries that a process of this program left
// when it was killed while writing: those whose process is gone. Those of
// a running process (this one's included) are kept; so is every other
// file. A folder that cannot be listed is left as it is (the write that
// follows reports it). Returns the names deleted.
std::vector<std::string> RemoveStaleTemporaries(FileSystem& fs,
                                                const std::string& folder);

// The host's file system.
FileSystem& RealFileSystem();

// Writes all of data to the open file descriptor fd, retrying short writes
// and interruptions. Returns 0, or the errno of the failure.
int WriteAll(int fd, std::string_view data);

}  // namespace scenario

#endif  // SCENARIO_BASE_FILE_SYSTEM_H_
