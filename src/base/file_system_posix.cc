// The host's file system on Linux and other POSIX systems.
#include "base/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/host_file_system_parts.h"
#include "base/strings.h"

namespace scenario {
namespace {

// strerror's text, without strerror's shared buffer: writers may run on
// several threads at once.
std::string Reason(int error_number) {
  return std::generic_category().message(error_number);
}

Status Failure(const char* what, const std::string& path, int error_number) {
  return FileFailure(what, path, Reason(error_number));
}

// Writes all of data to fd at offset, as WriteAll does.
int WriteAllAt(int fd, std::uint64_t offset, std::string_view data) {
  while (!data.empty()) {
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) return EFBIG;
    const ssize_t n =
        ::pwrite(fd, data.data(), data.size(), static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
  }
  return 0;
}

FileKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kNormal;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  return FileKind::kOther;
}

class PosixFileSystem : public FileSystem {
 public:
  bool IsNormalFile(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  Status ReadFile(const std::string& path, std::string* contents) override {
    // O_NONBLOCK: opening a FIFO without a writer would wait for one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failure("open", path, errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      const int error_number = errno;
      ::close(fd);
      return Failure("read", path, error_number);
    }
    if (!S_ISREG(st.st_mode)) {
      ::close(fd);
      return NotANormalFile(path, KindOf(st.st_mode));
    }
    const auto size =
        static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
    if (size > kMaxInputBytes) {
      ::close(fd);
      return TooLarge(path, size);
    }
    std::string bytes;
    // One allocation of the file's size: a grid file runs to 20 MB, and
    // growing by doubling would hold up to three times that at once.
    bytes.reserve(static_cast<std::size_t>(size));
    char buf[1 << 16];
    for (;;) {
      const ssize_t n = ::read(fd, buf, sizeof(buf));
      if (n < 0) {
        if (errno == EINTR) continue;
        const int error_number = errno;
        ::close(fd);
        return Failure("read", path, error_number);
      }
      if (n == 0) break;
      bytes.append(buf, static_cast<std::size_t>(n));
      // A file that grows while it is read (a log, /proc) is still bound.
      if (bytes.size() > kMaxInputBytes) {
        ::close(fd);
        return TooLarge(path, bytes.size());
      }
    }
    ::close(fd);
    *contents = std::move(bytes);
    return Status::Ok();
  }

  Status WriteFileReplacing(const std::string& path,
                            std::string_view contents) override {
    return WriteFileReplacingInPieces(
        path, [contents](const PieceWriter& write) { write(contents); });
  }

  Status WriteTransientFile(const std::string& path,
                            std::string_view contents) override {
    return Replace(
        path, [contents](int fd) { return WriteAll(fd, contents); },
        Flush::kNo);
  }

  Status CheckNewFileName(const std::string& path) override {
    const std::string_view name = BaseName(path);
    const std::string folder(path.substr(0, path.size() - name.size()));
    // The folder's own limit; 255 bytes, the common one, when it cannot
    // tell (it may not be made yet).
    long name_max =
        ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (name_max <= 0) name_max = 255;
    if (name.size() > static_cast<std::size_t>(name_max)) {
      return NameTooLong(path, name.size(), static_cast<std::size_t>(name_max),
                         "bytes");
    }
    return Status::Ok();
  }

  Status WriteFileReplacingInPieces(const std::string& path,
                                    const ContentsMaker& make) override {
    return Replace(path, [&make](int fd) {
      int error_number = 0;
      make([fd, &error_number](std::string_view piece) {
        if (error_number == 0) error_number = WriteAll(fd, piece);
      });
      return error_number;
    });
  }

  Status WriteFileReplacingPlaced(const std::string& path, std::uint64_t size,
                                  const PlacedContentsMaker& make) override {
    return Replace(path, [size, &make](int fd) {
      int error_number = 0;
      std::uint64_t written = 0;
      make([fd, &error_number, &written](std::uint64_t offset,
                                         std::string_view piece) {
        if (error_number == 0) error_number = WriteAllAt(fd, offset, piece);
        written += piece.size();
      });
      assert(error_number != 0 || written == size);
      (void)size;
      return error_number;
    });
  }

  Status DeleteFile(const std::string& path) override {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      return Failure("delete", path, errno);
    }
    return Status::Ok();
  }

  FileInfo Stat(const std::string& path) override {
    FileInfo info;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return info;
    info.kind = KindOf(st.st_mode);
    info.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    info.mtime_ns = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                    st.st_mtim.tv_nsec;
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    return info;
  }

  Status CreateFolders(const std::string& path) override {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) {
      return Status::Error("cannot create the folder " + QuotedName(path) +
                           ": " + ec.message());
    }
    return Status::Ok();
  }

  Status ListFolder(const std::string& path,
                    std::vector<FolderEntry>* entries) override {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return Failure("list the folder", path, errno);
    entries->clear();
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (entry == nullptr) break;
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat st;
      const std::string full = path + "/" + name;
      FolderEntry found{name, ::stat(full.c_str(), &st) == 0
                                  ? KindOf(st.st_mode)
                                  : FileKind::kMissing};
      found.link = ::lstat(full.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
      entries->push_back(std::move(found));
    }
    const int error_number = errno;
    ::closedir(dir);
    if (error_number != 0) {
      return Failure("list the folder", path, error_number);
    }
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) {
                return a.name < b.name;
              });
    return Status::Ok();
  }

 private:
  enum class Flush { kYes, kNo };

  // Replaces path with the contents that write_contents writes to a new
  // temporary file; write_contents returns 0 or the errno of its failure.
  template <typename WriteContents>
  Status Replace(const std::string& path, WriteContents write_contents,
                 Flush flush = Flush::kYes) {
    // The temporary lies in the same folder, so the rename is atomic and
    // never crosses a file system. Its name is new each time; O_EXCL keeps
    // us from writing through somebody else's file. It says whose it is,
    // so that a later run can remove it once its process is gone.
    const std::string_view folder = FolderPart(path);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
      temporary = TemporaryFileName(folder, ++counter_);
      fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  0666);
      if (fd < 0 && (errno != EEXIST || attempt >= 100)) {
        return Failure("write", path, errno);
      }
    }
    int error_number = write_contents(fd);
    // The data must be on disk before the name points at it, or a crash
    // could leave an empty file where the old one stood.
    if (error_number == 0 && flush == Flush::kYes && ::fsync(fd) != 0) {
      error_number = errno;
    }
    if (::close(fd) != 0 && error_number == 0) error_number = errno;
    if (error_number == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
      error_number = errno;
    }
    if (error_number != 0) {
      ::unlink(temporary.c_str());
      return Failure("write", path, error_number);
    }
    return Status::Ok();
  }

  // Shared by every thread that writes: each temporary name is new.
  std::atomic<unsigned long> counter_ = 0;
};

}  // namespace

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

FileSystem& RealFileSystem() {
  static PosixFileSystem* const fs = new PosixFileSystem;
  return *fs;
}

}  // namespace scenario
