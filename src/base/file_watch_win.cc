// Windows: ReadDirectoryChangesW on each folder of the files, one
// overlapped read pending per folder, and a console control handler that
// turns Ctrl-C (and Ctrl-Break, and closing the console) into an event
// that Wait reports. A folder cannot tell that it was deleted or renamed
// away, so the folder above each watched one is watched too, for its name.
#include "base/file_watch.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "base/utf16_win.h"

namespace scenario {
namespace {

// What a folder's read reports: names made, deleted and renamed, and
// files written.
constexpr DWORD kNotifyFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
    FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

constexpr DWORD kReadBytes = 64 * 1024;

// Set by the console control handler, taken by Wait. Made once: the
// handler may run after a watch is gone.
HANDLE StopEvent() {
  static const HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnConsoleControl(DWORD kind) {
  if (kind != CTRL_C_EVENT && kind != CTRL_BREAK_EVENT &&
      kind != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  ::SetEvent(StopEvent());
  // A closed console ends the process once the handler returns: held
  // here, the handler lets the round under way finish and watch end
  // itself (the system allows a few seconds).
  if (kind == CTRL_CLOSE_EVENT) ::Sleep(INFINITE);
  return TRUE;
}

// The folder that holds path and the last name in it, as written: "." for
// a bare name, "" above a root, "." and "..".
std::pair<std::string, std::string> Split(std::string path) {
  const auto separator = [](char c) { return c == '/' || c == '\\'; };
  while (path.size() > 1 && separator(path.back()) &&
         !(path.size() == 3 && path[1] == ':')) {
    path.pop_back();
  }
  const bool drive_root =
      (path.size() == 2 || path.size() == 3) && path[1] == ':';
  if (path.empty() || path == "/" || path == "\\" || path == "." ||
      path == ".." || drive_root) {
    return {"", path};
  }
  const auto last = std::find_if(path.rbegin(), path.rend(), separator);
  if (last == path.rend()) {
    if (path.size() > 2 && path[1] == ':') {
      return {path.substr(0, 2), path.substr(2)};  // "C:name"
    }
    return {".", path};
  }
  const std::size_t at = static_cast<std::size_t>(path.rend() - last) - 1;
  std::string folder = path.substr(0, at);
  while (folder.size() > 1 && separator(folder.back()) &&
         !(folder.size() == 3 && folder[1] == ':')) {
    folder.pop_back();
  }
  if (folder.empty()) folder = path.substr(0, 1);  // "/name"
  if (folder.size() == 2 && folder[1] == ':') folder += path[at];
  return {folder, path.substr(at + 1)};
}

Status CannotWatch(const std::string& folder, DWORD error) {
  return Status::Error("cannot watch the folder \"" + folder +
                       "\": " + WindowsErrorText(error));
}

// Names compare as Windows compares them: without case.
struct NameLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()),
                                  b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_LESS_THAN;
  }
};
using NameSet = std::set<std::wstring, NameLess>;

// Which folder a handle is open on, whatever path reached it.
struct FolderId {
  DWORD volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const FolderId&) const = default;
};

// One watched folder's handle and its pending read.
struct FolderReader {
  HANDLE folder = INVALID_HANDLE_VALUE;
  HANDLE done = nullptr;  // the read's event
  OVERLAPPED overlapped{};
  alignas(DWORD) char buffer[kReadBytes];
  bool reading = false;
  NameSet files;    // watched files in it
  NameSet awaited;  // names whose coming or going moves a watched folder

  ~FolderReader() {
    if (reading) {
      ::CancelIoEx(folder, &overlapped);
      DWORD n = 0;
      (void)::GetOverlappedResult(folder, &overlapped, &n, TRUE);
    }
    if (folder != INVALID_HANDLE_VALUE) ::CloseHandle(folder);
    if (done != nullptr) ::CloseHandle(done);
  }

  // Starts the next read; false when the folder can no longer be read.
  bool Start() {
    ::ResetEvent(done);
    overlapped = OVERLAPPED{};
    overlapped.hEvent = done;
    reading = ::ReadDirectoryChangesW(folder, buffer, kReadBytes, FALSE,
                                      kNotifyFilter, nullptr, &overlapped,
                                      nullptr) != 0;
    return reading;
  }
};

// A folder of the watched files.
struct WatchedFolder {
  std::string path;  // as the files name it
  NameSet names;     // the watched files in it
  bool there = false;
  FolderId id;                                // while there
  DWORD gone_because = ERROR_FILE_NOT_FOUND;  // while not
};

// Opens the folder at path for watching; INVALID_HANDLE_VALUE, with the
// reason in *error, when it cannot be.
HANDLE OpenFolder(const std::string& path, FolderId* id, DWORD* error) {
  // Shared for deletion too: a watched folder can still be deleted or
  // renamed, which is what the watch above it then sees.
  const HANDLE h =
      ::CreateFileW(WideFromUtf8(path).c_str(), FILE_LIST_DIRECTORY,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  if (h == INVALID_HANDLE_VALUE) {
    *error = ::GetLastError();
    return h;
  }
  if (::GetFileInformationByHandle(h, &info) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    *error = ERROR_DIRECTORY;
    ::CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  id->volume = info.dwVolumeSerialNumber;
  id->index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return h;
}

// The folder is not there: also one being removed while another handle
// holds it, which Windows refuses to open until it is gone.
bool Missing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_DIRECTORY || error == ERROR_ACCESS_DENIED;
}

}  // namespace

struct FileWatch::State {
  std::vector<WatchedFolder> folders;  // in the order of the files
  // Invariant: a reader for every folder that Arm last watched, and only
  // for those, each with a read pending unless its folder failed.
  std::map<FolderId, std::unique_ptr<FolderReader>> readers;

  ~State() { ::SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

  // Watches every folder again by its path (and the folder above each, for
  // its name), keeping the readers of folders still watched, so that no
  // change between two looks is lost.
  Status Arm() {
    std::map<FolderId, std::unique_ptr<FolderReader>> armed;
    for (WatchedFolder& folder : folders) {
      const Status s = ArmFolder(folder, &armed);
      if (!s.ok()) return s;
    }
    for (auto& [id, reader] : armed) {
      // One that fails to start is gone in the meantime: the watch above
      // it tells.
      if (!reader->reading) (void)reader->Start();
    }
    readers = std::move(armed);  // the others are closed
    return Status::Ok();
  }

  // The reader of the folder at path, opened or kept; nullptr, with the
  // reason in *error, when it is not there.
  FolderReader* Reader(const std::string& path,
                       std::map<FolderId, std::unique_ptr<FolderReader>>* armed,
                       FolderId* id, DWORD* error) {
    const HANDLE h = OpenFolder(path, id, error);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    auto& slot = (*armed)[*id];
    if (slot == nullptr) {
      if (auto kept = readers.find(*id); kept != readers.end()) {
        slot = std::move(kept->second);
        readers.erase(kept);
        slot->files.clear();
        slot->awaited.clear();
      }
    }
    if (slot != nullptr) {
      ::CloseHandle(h);
      return slot.get();
    }
    slot = std::make_unique<FolderReader>();
    slot->folder = h;
    slot->done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return slot.get();
  }

  // Watches folder, and the folder above it for its name, when it is
  // there; else the nearest folder above it that is, for the name of the
  // next one down. A folder made between the failed look at it and the
  // watch above it tells of itself by no event, so it is looked at once
  // more and followed down.
  Status ArmFolder(WatchedFolder& folder,
                   std::map<FolderId, std::unique_ptr<FolderReader>>* armed) {
    for (;;) {
      std::string at = folder.path;
      std::string below;  // the folder looked at just before at
      FolderId id;
      DWORD error = 0;
      FolderReader* reader = Reader(at, armed, &id, &error);
      const DWORD first_error = error;
      while (reader == nullptr) {
        if (!Missing(error)) return CannotWatch(at, error);
        below = at;
        at = Split(at).first;
        if (at.empty()) return CannotWatch(folder.path, first_error);
        reader = Reader(at, armed, &id, &error);
      }
      if (below.empty()) {
        folder.there = true;
        folder.id = id;
        reader->files.insert(folder.names.begin(), folder.names.end());
      } else {
        folder.there = false;
        folder.id = FolderId{};
        folder.gone_because = first_error;
        reader->awaited.insert(WideFromUtf8(Split(below).second));
      }
      // The folder above the one watched, for its name.
      const auto [above, name] = Split(at);
      FolderId above_id;
      if (!above.empty()) {
        FolderReader* guard = Reader(above, armed, &above_id, &error);
        if (guard != nullptr) guard->awaited.insert(WideFromUtf8(name));
      }
      if (below.empty()) return Status::Ok();
      FolderId again;
      const HANDLE h = OpenFolder(below, &again, &error);
      if (h == INVALID_HANDLE_VALUE) return Status::Ok();
      ::CloseHandle(h);
    }
  }

  // Where each folder of the files is, for telling a move.
  std::vector<std::pair<bool, FolderId>> Places() const {
    std::vector<std::pair<bool, FolderId>> places;
    for (const WatchedFolder& f : folders) places.emplace_back(f.there, f.id);
    return places;
  }

  // Reads what the finished read of reader reports. *changed: a watched
  // file changed; *rearm: a watched folder may have moved.
  void TakeChanges(FolderReader& reader, bool* changed, bool* rearm) {
    DWORD n = 0;
    reader.reading = false;
    const bool read = ::GetOverlappedResult(reader.folder, &reader.overlapped,
                                            &n, FALSE) != 0;
    if (!read || n == 0) {
      // The folder failed (it went away), or changes were lost: anything
      // may have happened.
      *changed = read || *changed;
      *rearm = true;
    }
    for (DWORD at = 0; read && n > 0 && at < n;) {
      const auto* info =
          reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(reader.buffer + at);
      const std::wstring name(info->FileName,
                              info->FileNameLength / sizeof(WCHAR));
      if (reader.files.count(name) != 0) *changed = true;
      if (reader.awaited.count(name) != 0) *rearm = true;
      if (info->NextEntryOffset == 0) break;
      at += info->NextEntryOffset;
    }
    if (read && !reader.Start()) *rearm = true;
  }
};

FileWatch::FileWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}

FileWatch::~FileWatch() = default;

Status FileWatch::Open(const std::vector<std::string>& files,
                       std::unique_ptr<FileWatch>* watch) {
  auto state = std::make_unique<State>();
  if (StopEvent() == nullptr ||
      ::SetConsoleCtrlHandler(OnConsoleControl, TRUE) == 0) {
    return Status::Error("cannot watch files: " +
                         WindowsErrorText(::GetLastError()));
  }
  for (const std::string& file : files) {
    auto parts = Split(file);
    auto known = std::find_if(
        state->folders.begin(), state->folders.end(),
        [&](const WatchedFolder& f) { return f.path == parts.first; });
    if (known == state->folders.end()) {
      WatchedFolder added;
      added.path = std::move(parts.first);
      known = state->folders.insert(known, std::move(added));
    }
    known->names.insert(WideFromUtf8(parts.second));
  }
  const Status armed = state->Arm();
  if (!armed.ok()) return armed;
  // A folder missing from the start is more likely mistyped than on its
  // way: it is refused.
  for (const WatchedFolder& folder : state->folders) {
    if (!folder.there) return CannotWatch(folder.path, folder.gone_because);
  }
  watch->reset(new FileWatch(std::move(state)));
  return Status::Ok();
}

Status FileWatch::Wait(int timeout_ms, Event* event) {
  std::vector<HANDLE> handles = {StopEvent()};
  std::vector<FolderReader*> waited;
  for (auto& [id, reader] : state_->readers) {
    if (!reader->reading) continue;
    handles.push_back(reader->done);
    waited.push_back(reader.get());
  }
  *event = Event::kNothing;
  const DWORD ready = ::WaitForMultipleObjects(
      static_cast<DWORD>(handles.size()), handles.data(), FALSE,
      timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms));
  if (ready == WAIT_TIMEOUT) {
    *event = Event::kTimeout;
    return Status::Ok();
  }
  if (ready == WAIT_OBJECT_0) {
    *event = Event::kStop;
    return Status::Ok();
  }
  if (ready >= WAIT_OBJECT_0 + handles.size()) {
    return Status::Error(WindowsErrorText(::GetLastError()));
  }
  bool changed = false;
  bool rearm = false;
  state_->TakeChanges(*waited[ready - WAIT_OBJECT_0 - 1], &changed, &rearm);
  Status s = Status::Ok();
  if (rearm) {
    const auto before = state_->Places();
    s = state_->Arm();
    if (state_->Places() != before) changed = true;
  }
  if (changed) *event = Event::kChange;
  return s;
}

std::vector<std::string> FileWatch::MissingFolders() const {
  std::vector<std::string> missing;
  for (const WatchedFolder& folder : state_->folders) {
    if (!folder.there) missing.push_back(folder.path);
  }
  return missing;
}

}  // namespace scenario
