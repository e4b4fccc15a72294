#include "base/file_system.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <string>
#include <string_view>

#include "base/host_file_system_parts.h"
#include "base/process_id.h"
#include "base/strings.h"

namespace scenario {

Status FileFailure(const char* what, const std::string& path,
                   const std::string& reason) {
  return Status::Error(std::string("cannot ") + what + " " + QuotedName(path) +
                       ": " + reason);
}

Status NotANormalFile(const std::string& path, FileKind kind) {
  return Status::Error(QuotedName(path) + " is " +
                       (kind == FileKind::kFolder
                            ? "a folder"
                            : "a device or a pipe, not a normal file"));
}

Status TooLarge(const std::string& path, std::uint64_t size) {
  return Status::Error(QuotedName(path) + " holds " + std::to_string(size) +
                       " bytes, far more than any scenario file (at most " +
                       std::to_string(kMaxInputBytes >> 20) + " MiB are read)");
}

Status NameTooLong(const std::string& path, std::size_t length,
                   std::size_t limit, const char* unit) {
  return Status::Error("cannot write " + QuotedName(path) + ": its name is " +
                       std::to_string(length) + " " + unit +
                       " long, and the file system takes at most " +
                       std::to_string(limit) + "; choose a shorter name");
}

std::string TemporaryFileName(std::string_view folder, unsigned long n) {
  return std::string(folder) + std::string(kTemporaryPrefix) +
         std::to_string(CurrentProcessId()) + "-" + std::to_string(n) + ".tmp";
}

std::string_view FolderPart(std::string_view path) {
  return path.substr(0, path.size() - BaseName(path).size());
}

Status FileSystem::WriteTransientFile(const std::string& path,
                                      std::string_view contents) {
  return WriteFileReplacing(path, contents);
}

Status FileSystem::CheckNewFileName(const std::string&) { return Status::Ok(); }

namespace {

// The process id of a temporary's name, or nullopt when name is not one.
std::optional<long> TemporaryOwner(std::string_view name) {
  if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(".tmp")) {
    return std::nullopt;
  }
  name.remove_prefix(kTemporaryPrefix.size());
  name.remove_suffix(4);
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) {
    return std::nullopt;
  }
  const std::string_view pid = name.substr(0, dash);
  const std::string_view number = name.substr(dash + 1);
  const auto digits = [](std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
      return c >= '0' && c <= '9';
    });
  };
  if (!digits(pid) || !digits(number)) return std::nullopt;
  return std::stol(std::string(pid));
}

}  // namespace

std::vector<std::string> RemoveStaleTemporaries(FileSystem& fs,
                                                const std::string& folder) {
  std::vector<FolderEntry> entries;
  std::vector<std::string> removed;
  if (!fs.ListFolder(folder.empty() ? "." : folder, &entries).ok()) {
    return removed;
  }
  for (const FolderEntry& entry : entries) {
    if (entry.kind != FileKind::kNormal || entry.link) continue;
    const std::optional<long> owner = TemporaryOwner(entry.name);
    if (!owner || *owner == CurrentProcessId() || !ProcessIsGone(*owner))
      continue;
    if (fs.DeleteFile(JoinPath(folder, entry.name)).ok()) {
      removed.push_back(entry.name);
    }
  }
  return removed;
}

Status FileSystem::WriteFileReplacingInPieces(const std::string& path,
                                              const ContentsMaker& make) {
  std::string contents;
  make([&contents](std::string_view piece) { contents.append(piece); });
  return WriteFileReplacing(path, contents);
}

Status FileSystem::WriteFileReplacingPlaced(const std::string& path,
                                            std::uint64_t size,
                                            const PlacedContentsMaker& make) {
  if (size > std::string().max_size()) {
    return Status::Error("cannot write " + QuotedName(path) + ": too large");
  }
  std::string contents(static_cast<std::size_t>(size), '\0');
  make([&contents](std::uint64_t offset, std::string_view piece) {
    assert(offset <= contents.size() &&
           piece.size() <= contents.size() - offset);
    // A piece outside the image is cut rather than written past its end.
    if (offset >= contents.size()) return;
    const auto at = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(piece.size(), contents.size() - at);
    contents.replace(at, n, piece.data(), n);
  });
  return WriteFileReplacing(path, contents);
}

Status ReadNormalFile(FileSystem& fs, const std::string& path,
                      std::string* contents) {
  const FileInfo info = fs.Stat(path);
  if (info.kind == FileKind::kFolder || info.kind == FileKind::kOther) {
    return NotANormalFile(path, info.kind);
  }
  if (info.kind == FileKind::kNormal && info.size > kMaxInputBytes) {
    return TooLarge(path, info.size);
  }
  return fs.ReadFile(path, contents);
}

bool FileSystem::SameFile(const std::string& a, const std::string& b) {
  const FileInfo x = Stat(a);
  const FileInfo y = Stat(b);
  if (x.kind == FileKind::kMissing || y.kind == FileKind::kMissing) {
    return false;
  }
  if (x.inode == 0 && y.inode == 0) return a == b;
  return x.device == y.device && x.inode == y.inode;
}

}  // namespace scenario
