// The host's file system on Windows. Names are UTF-8 in the program and
// UTF-16 at every Win32 call (utf16_win.h); files are always binary (no
// text-mode translation of line ends); replacing is a rename with
// write-through, as on POSIX. Every path reaches Win32 through Win32Path,
// so that one longer than the old 260 characters works too.
#include "base/file_system.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/host_file_system_parts.h"
#include "base/long_path_win.h"
#include "base/path_separator.h"
#include "base/strings.h"
#include "base/utf16_win.h"

// windows.h names DeleteFileW so; the interface's DeleteFile is meant.
#undef DeleteFile

namespace scenario {
namespace {

// The longest name of one folder entry, in UTF-16 units, on every file
// system Windows writes to (NTFS, FAT's long names, exFAT).
constexpr std::size_t kMaxNameUnits = 255;

// The most one WriteFile or ReadFile call is handed.
constexpr DWORD kMaxChunk = DWORD{1} << 30;

Status Failure(const char* what, const std::string& path, DWORD error) {
  return FileFailure(what, path, WindowsErrorText(error));
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Closes a handle when it goes out of scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h) : h_(h) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  // True when the handle closed cleanly.
  bool Close() {
    const bool ok = !valid() || ::CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// Opens path for reading its contents (access) or only its attributes (0);
// a folder opens too, so that it can be told from a file.
HANDLE OpenExisting(const std::string& path, DWORD access) {
  return ::CreateFileW(Win32Path(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

// What the open handle names; size, times and identity for a file or a
// folder on a disk.
FileInfo InfoOf(HANDLE h) {
  FileInfo info;
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    info.kind = FileKind::kOther;
    return info;
  }
  BY_HANDLE_FILE_INFORMATION data;
  if (::GetFileInformationByHandle(h, &data) == 0) return info;
  info.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                  ? FileKind::kFolder
                  : FileKind::kNormal;
  if (info.kind == FileKind::kNormal) {
    info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  }
  // 100 ns ticks since 1601 to ns since 1970.
  const std::int64_t ticks = static_cast<std::int64_t>(
      (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
      data.ftLastWriteTime.dwLowDateTime);
  constexpr std::int64_t kTicksTo1970 = 116444736000000000;
  info.mtime_ns = (ticks - kTicksTo1970) * 100;
  info.device = data.dwVolumeSerialNumber;
  info.inode = (std::uint64_t{data.nFileIndexHigh} << 32) | data.nFileIndexLow;
  return info;
}

// Writes all of data to h, at offset when one is given (as pwrite does) and
// at the file's position otherwise. Returns 0 or the Win32 error.
DWORD WriteAllTo(HANDLE h, std::string_view data,
                 const std::uint64_t* offset = nullptr) {
  std::uint64_t at = offset != nullptr ? *offset : 0;
  while (!data.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(data.size(), kMaxChunk));
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(at);
    place.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD written = 0;
    if (::WriteFile(h, data.data(), chunk, &written,
                    offset != nullptr ? &place : nullptr) == 0) {
      return ::GetLastError();
    }
    if (written == 0) return ERROR_WRITE_FAULT;
    data.remove_prefix(written);
    at += written;
  }
  return 0;
}

// Renames from over to, replacing it, and returns 0 or the Win32 error.
// Unlike POSIX's rename, Windows refuses while another writer is renaming
// over the same name or a reader holds it open without sharing its
// deletion: that passes, so the rename is tried again for a moment
// (about half a second in all) before it fails.
DWORD MoveOver(const std::wstring& from, const std::wstring& to) {
  DWORD error = 0;
  for (DWORD pause_ms = 1;; pause_ms *= 2) {
    if (::MoveFileExW(from.c_str(), to.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
        0) {
      return 0;
    }
    error = ::GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
        pause_ms > 256) {
      return error;
    }
    ::Sleep(pause_ms);
  }
}

class WindowsFileSystem : public FileSystem {
 public:
  bool IsNormalFile(const std::string& path) override {
    return Stat(path).kind == FileKind::kNormal;
  }

  Status ReadFile(const std::string& path, std::string* contents) override {
    ScopedHandle file(OpenExisting(path, GENERIC_READ));
    if (!file.valid()) return Failure("open", path, ::GetLastError());
    const FileInfo info = InfoOf(file.get());
    if (info.kind != FileKind::kNormal) {
      return info.kind == FileKind::kMissing
                 ? Failure("read", path, ::GetLastError())
                 : NotANormalFile(path, info.kind);
    }
    if (info.size > kMaxInputBytes) return TooLarge(path, info.size);
    std::string bytes;
    // One allocation of the file's size, as on POSIX.
    bytes.reserve(static_cast<std::size_t>(info.size));
    char buf[1 << 16];
    for (;;) {
      DWORD n = 0;
      if (::ReadFile(file.get(), buf, sizeof buf, &n, nullptr) == 0) {
        return Failure("read", path, ::GetLastError());
      }
      if (n == 0) break;
      bytes.append(buf, n);
      // A file that grows while it is read is still bound.
      if (bytes.size() > kMaxInputBytes) return TooLarge(path, bytes.size());
    }
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
        path, [contents](HANDLE h) { return WriteAllTo(h, contents); },
        Flush::kNo);
  }

  Status CheckNewFileName(const std::string& path) override {
    const std::string_view name = BaseName(path);
    const std::size_t units = WideFromUtf8(name).size();
    if (units > kMaxNameUnits) {
      return NameTooLong(path, units, kMaxNameUnits, "characters");
    }
    // Windows takes neither these characters in a name nor a name that
    // ends in a dot or a blank (it would drop them and write another name).
    const std::size_t bad = name.find_first_of("<>:\"|?*");
    if (bad != std::string_view::npos) {
      return Status::Error("cannot write " + QuotedName(path) +
                           ": its name holds \"" + std::string(1, name[bad]) +
                           "\", which Windows does not take in a file name; "
                           "choose another name");
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
      return Status::Error("cannot write " + QuotedName(path) +
                           ": Windows does not take a file name that ends in "
                           "a dot or a blank; choose another name");
    }
    return Status::Ok();
  }

  Status WriteFileReplacingInPieces(const std::string& path,
                                    const ContentsMaker& make) override {
    return Replace(path, [&make](HANDLE h) {
      DWORD error = 0;
      make([h, &error](std::string_view piece) {
        if (error == 0) error = WriteAllTo(h, piece);
      });
      return error;
    });
  }

  Status WriteFileReplacingPlaced(const std::string& path, std::uint64_t size,
                                  const PlacedContentsMaker& make) override {
    return Replace(path, [size, &make](HANDLE h) {
      DWORD error = 0;
      std::uint64_t written = 0;
      make([h, &error, &written](std::uint64_t offset, std::string_view piece) {
        if (error == 0) error = WriteAllTo(h, piece, &offset);
        written += piece.size();
      });
      assert(error != 0 || written == size);
      (void)size;
      return error;
    });
  }

  Status DeleteFile(const std::string& path) override {
    if (::DeleteFileW(Win32Path(path).c_str()) == 0) {
      const DWORD error = ::GetLastError();
      if (!IsMissing(error)) return Failure("delete", path, error);
    }
    return Status::Ok();
  }

  FileInfo Stat(const std::string& path) override {
    ScopedHandle file(OpenExisting(path, 0));
    if (!file.valid()) return FileInfo();
    return InfoOf(file.get());
  }

  Status CreateFolders(const std::string& path) override;

  Status ListFolder(const std::string& path,
                    std::vector<FolderEntry>* entries) override;

 private:
  enum class Flush { kYes, kNo };

  // Replaces path with the contents that write_contents writes to a new
  // temporary file; write_contents returns 0 or the Win32 error.
  template <typename WriteContents>
  Status Replace(const std::string& path, WriteContents write_contents,
                 Flush flush = Flush::kYes) {
    // As on POSIX: a new temporary in the same folder, named after this
    // process, never opened over somebody else's file (CREATE_NEW).
    const std::string_view folder = FolderPart(path);
    std::string temporary;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; h == INVALID_HANDLE_VALUE; ++attempt) {
      temporary = TemporaryFileName(folder, ++counter_);
      h = ::CreateFileW(Win32Path(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      const DWORD error = ::GetLastError();
      if (h == INVALID_HANDLE_VALUE &&
          (error != ERROR_FILE_EXISTS || attempt >= 100)) {
        return Failure("write", path, error);
      }
    }
    ScopedHandle file(h);
    DWORD error = write_contents(file.get());
    // The data must be on disk before the name points at it.
    if (error == 0 && flush == Flush::kYes &&
        ::FlushFileBuffers(file.get()) == 0) {
      error = ::GetLastError();
    }
    if (!file.Close() && error == 0) error = ::GetLastError();
    const std::wstring wide_temporary = Win32Path(temporary);
    if (error == 0) error = MoveOver(wide_temporary, Win32Path(path));
    if (error != 0) {
      ::DeleteFileW(wide_temporary.c_str());
      return Failure("write", path, error);
    }
    return Status::Ok();
  }

  // Shared by every thread that writes: each temporary name is new.
  std::atomic<unsigned long> counter_ = 0;
};

// The folders that path names from the outside in, each as path spells
// it: "C:\a\b" gives "C:\a" and "C:\a\b". A drive ("C:") and a share's
// root ("\\server\share") are no folders to make and are left out.
std::vector<std::string> FolderChain(const std::string& path) {
  std::vector<std::string> chain;
  std::size_t root_separators = 0;
  if (path.size() >= 2 && IsPathSeparator(path[0]) &&
      IsPathSeparator(path[1])) {
    root_separators = 4;
  }
  std::size_t separators = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsPathSeparator(path[i])) continue;
    if (++separators <= root_separators) continue;
    const std::string prefix = path.substr(0, i);
    if (!prefix.empty() && prefix.back() != ':' &&
        !IsPathSeparator(prefix.back())) {
      chain.push_back(prefix);
    }
  }
  return chain;
}

Status WindowsFileSystem::CreateFolders(const std::string& path) {
  // Each missing folder by its own call, from the innermost one there on,
  // so that a path of any length is made (the standard library's
  // create_directories does not take a long path's "\\?\" form).
  const std::vector<std::string> chain = FolderChain(path);
  std::size_t first_missing = chain.size();
  while (first_missing > 0 &&
         Stat(chain[first_missing - 1]).kind != FileKind::kFolder) {
    --first_missing;
  }
  for (std::size_t i = first_missing; i < chain.size(); ++i) {
    if (::CreateDirectoryW(Win32Path(chain[i]).c_str(), nullptr) != 0) {
      continue;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      return Status::Error("cannot create the folder " + QuotedName(path) +
                           ": " + WindowsErrorText(error));
    }
  }
  if (!chain.empty() && Stat(path).kind != FileKind::kFolder) {
    return Status::Error("cannot create the folder " + QuotedName(path) +
                         ": a file of that name is in the way");
  }
  return Status::Ok();
}

Status WindowsFileSystem::ListFolder(const std::string& path,
                                     std::vector<FolderEntry>* entries) {
  WIN32_FIND_DATAW found;
  const HANDLE search =
      ::FindFirstFileW(Win32Path(JoinPath(path, "*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return Failure("list the folder", path, ::GetLastError());
  }
  entries->clear();
  DWORD error = 0;
  do {
    const std::string name = Utf8FromWide(found.cFileName);
    if (name == "." || name == "..") continue;
    FolderEntry entry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                ? FileKind::kFolder
                                : FileKind::kNormal};
    // A symbolic link or junction: the kind is its target's.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      entry.link = true;
      entry.kind = Stat(JoinPath(path, name)).kind;
    }
    entries->push_back(std::move(entry));
  } while (::FindNextFileW(search, &found) != 0);
  error = ::GetLastError();
  ::FindClose(search);
  if (error != ERROR_NO_MORE_FILES) {
    return Failure("list the folder", path, error);
  }
  std::sort(entries->begin(), entries->end(),
            [](const FolderEntry& a, const FolderEntry& b) {
              return a.name < b.name;
            });
  return Status::Ok();
}

}  // namespace

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const unsigned chunk =
        static_cast<unsigned>(std::min<std::size_t>(data.size(), kMaxChunk));
    const int n = ::_write(fd, data.data(), chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

FileSystem& RealFileSystem() {
  static WindowsFileSystem* const fs = new WindowsFileSystem;
  return *fs;
}

}  // namespace scenario
