#include "base/fake_file_system.h"

namespace scenario {

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
  return Status::Ok();
}

Status FakeFileSystem::DeleteFile(const std::string& path) {
  log.push_back("delete " + path);
  if (fail_deletes.count(path)) {
    return Status::Error("cannot delete \"" + path + "\": injected failure");
  }
  files.erase(path);
  return Status::Ok();
}

}  // namespace scenario
