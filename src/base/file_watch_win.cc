// Watching files is not yet available on Windows: Open says so, and watch
// reports it as its failure to watch.
#include "base/file_watch.h"

#include <memory>
#include <string>
#include <vector>

namespace scenario {

struct FileWatch::State {};

FileWatch::FileWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

FileWatch::~FileWatch() = default;

Status FileWatch::Open(const std::vector<std::string>&,
                       std::unique_ptr<FileWatch>* watch) {
  watch->reset();
  return Status::Error(
      "watch is not yet available on Windows: it cannot follow the files' "
      "changes there; run compile again after each save instead");
}

Status FileWatch::Wait(int, Event* event) {
  *event = Event::kStop;
  return Status::Ok();
}

std::vector<std::string> FileWatch::MissingFolders() const { return {}; }

}  // namespace scenario
