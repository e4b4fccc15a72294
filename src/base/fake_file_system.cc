#include "base/fake_file_system.h"

#include <algorithm>

namespace scenario {
namespace {

// The folder part of a path: "a/b" for "a/b/c", "" for "c", "/" for "/c".
std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// path with "/" after it, unless it is a root.
std::string Prefix(const std::string& folder) {
  return folder.empty() || folder == "/" ? folder : folder + "/";
}

}  // namespace

std::string FakeFileSystem::Contents(const std::string& path) const {
  auto it = files.find(path);
  return it == files.end() ? std::string() : it->second;
}

std::vector<std::string> FakeFileSystem::Paths(std::string_view op) const {
  std::vector<std::string> paths;
  for (const std::string& entry : log) {
    if (entry.size() > op.size() && entry.compare(0, op.size(), op) == 0 &&
        entry[op.size()] == ' ') {
      paths.push_back(entry.substr(op.size() + 1));
    }
  }
  return paths;
}

bool FakeFileSystem::IsNormalFile(const std::string& path) {
  log.push_back("is_file " + path);
  return Has(path);
}

Status FakeFileSystem::ReadFile(const std::string& path,
                                std::string* contents) {
  log.push_back("read " + path);
  if (fail_reads.count(path)) {
    return Status::Error("cannot read \"" + path + "\": injected failure");
  }
  auto it = files.find(path);
  if (it == files.end()) {
    return Status::Error("cannot open \"" + path +
                         "\": No such file or directory");
  }
  *contents = it->second;
  return Status::Ok();
}

Status FakeFileSystem::WriteFileReplacing(const std::string& path,
                                          std::string_view contents) {
  log.push_back("write " + path);
  if (fail_writes.count(path)) {
    return Status::Error("cannot write \"" + path + "\": injected failure");
  }
  files[path] = std::string(contents);
  inodes_[path] = ++last_inode_;
  Touch(path);
  return Status::Ok();
}

Status FakeFileSystem::WriteTransientFile(const std::string& path,
                                          std::string_view contents) {
  log.push_back("write_transient " + path);
  if (fail_writes.count(path)) {
    return Status::Error("cannot write \"" + path + "\": injected failure");
  }
  files[path] = std::string(contents);
  return Status::Ok();
}

Status FakeFileSystem::DeleteFile(const std::string& path) {
  log.push_back("delete " + path);
  if (fail_deletes.count(path)) {
    return Status::Error("cannot delete \"" + path + "\": injected failure");
  }
  files.erase(path);
  inodes_.erase(path);
  mtimes.erase(path);
  return Status::Ok();
}

bool FakeFileSystem::IsFolder(const std::string& path) const {
  if (path.empty() || path == "/" || folders.count(path) != 0) return true;
  const std::string prefix = Prefix(path);
  auto below = [&prefix](const std::string& p) {
    return p.size() > prefix.size() && p.compare(0, prefix.size(), prefix) == 0;
  };
  const auto file = files.lower_bound(prefix);
  const auto folder = folders.lower_bound(prefix);
  return (file != files.end() && below(file->first)) ||
         (folder != folders.end() && below(*folder));
}

FileInfo FakeFileSystem::Stat(const std::string& path) {
  log.push_back("stat " + path);
  FileInfo info;
  auto it = files.find(path);
  if (it != files.end()) {
    info.kind = FileKind::kNormal;
    info.size = it->second.size();
    auto mtime = mtimes.find(path);
    if (mtime != mtimes.end()) info.mtime_ns = mtime->second;
    info.device = 1;
    auto inode = inodes_.try_emplace(path, 0).first;
    if (inode->second == 0) inode->second = ++last_inode_;
    info.inode = inode->second;
  } else if (IsFolder(path)) {
    info.kind = FileKind::kFolder;
  }
  return info;
}

Status FakeFileSystem::CreateFolders(const std::string& path) {
  log.push_back("create_folders " + path);
  for (std::string folder = path; !folder.empty() && folder != "/";
       folder = Parent(folder)) {
    if (fail_folders.count(folder) != 0) {
      return Status::Error("cannot create the folder \"" + path +
                           "\": injected failure");
    }
    if (Has(folder)) {
      return Status::Error("cannot create the folder \"" + path +
                           "\": File exists");
    }
  }
  for (std::string folder = path; !folder.empty() && folder != "/";
       folder = Parent(folder)) {
    folders.insert(folder);
  }
  return Status::Ok();
}

Status FakeFileSystem::ListFolder(const std::string& path,
                                  std::vector<FolderEntry>* entries) {
  log.push_back("list " + path);
  if (fail_folders.count(path) != 0) {
    return Status::Error("cannot list the folder \"" + path +
                         "\": injected failure");
  }
  if (!IsFolder(path)) {
    return Status::Error("cannot list the folder \"" + path +
                         "\": No such file or directory");
  }
  const std::string prefix = Prefix(path);
  std::map<std::string, FileKind> found;
  auto note = [&](const std::string& p, bool is_file) {
    if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) {
      return;
    }
    const std::string rest = p.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos) {
      found[rest] = is_file ? FileKind::kNormal : FileKind::kFolder;
    } else {
      found[rest.substr(0, slash)] = FileKind::kFolder;
    }
  };
  for (const auto& [p, bytes] : files) note(p, true);
  for (const std::string& p : folders) note(p, false);
  entries->clear();
  for (const auto& [name, kind] : found) {
    entries->push_back({name, kind, links.count(prefix + name) != 0});
  }
  return Status::Ok();
}

}  // namespace scenario
