#ifndef SCENARIO_BASE_FILE_WATCH_H_
#define SCENARIO_BASE_FILE_WATCH_H_

// Waits for files to change and for the request to stop (SIGINT or
// SIGTERM; on Windows Ctrl-C, Ctrl-Break or the console being closed):
// the platform's part of a command that follows an author's saves.

#include <memory>
#include <string>
#include <vector>

#include "base/status.h"

namespace scenario {

class FileWatch {
 public:
  // What ended a wait.
  enum class Event {
    kChange,   // a watched file was written, created, deleted or renamed,
               // or the folder of one went away or came back
    kStop,     // SIGINT or SIGTERM came (on Windows: a console's request)
    kTimeout,  // the time given passed
    kNothing,  // woken by what the watch does not follow (another file)
  };

  // Starts watching files. From then until the watch is destroyed the stop
  // signals (on Windows the console's requests) are held back and only
  // reported by Wait, so that nothing done
  // between waits is cut short. The folders are watched, not the files: an
  // editor that saves by writing a new file and renaming it over the old
  // one replaces the file that a watch on it would follow. A folder that
  // goes away later (deleted, or renamed away and maybe another renamed
  // into its place) is followed by its path: the nearest folder above it
  // that is there is watched until it comes back, and then it is watched
  // again. Fails with a message naming what could not be watched and why,
  // also when a folder of the files is not there at the start.
  static Status Open(const std::vector<std::string>& files,
                     std::unique_ptr<FileWatch>* watch);

  // Closes the watch and lets the stop signals through again.
  ~FileWatch();
  FileWatch(const FileWatch&) = delete;
  FileWatch& operator=(const FileWatch&) = delete;

  // Waits for the next event, at most timeout_ms (negative: no limit).
  // Fails, with the system's reason, when waiting itself fails or when a
  // folder on the way to the files can no longer be watched.
  Status Wait(int timeout_ms, Event* event);

  // The folders of the files that are gone as of the last Wait, named as
  // the files name them, in the order of the files; empty while every
  // one is there. A change is reported whenever this list changes.
  std::vector<std::string> MissingFolders() const;

 private:
  // The platform's descriptors, names and saved signal mask.
  struct State;
  explicit FileWatch(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace scenario

#endif  // SCENARIO_BASE_FILE_WATCH_H_
