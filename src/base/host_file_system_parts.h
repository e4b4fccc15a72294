#ifndef SCENARIO_BASE_HOST_FILE_SYSTEM_PARTS_H_
#define SCENARIO_BASE_HOST_FILE_SYSTEM_PARTS_H_

// What the host's file systems (file_system_posix.cc, file_system_win.cc)
// share: the texts of their refusals and failures, and the names of their
// temporaries. Only they include it.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "base/status.h"

namespace scenario {

// "cannot WHAT "PATH": REASON".
Status FileFailure(const char* what, const std::string& path,
                   const std::string& reason);

// What is said of a path that names something other than a normal file.
Status NotANormalFile(const std::string& path, FileKind kind);

// What is said of an input larger than kMaxInputBytes.
Status TooLarge(const std::string& path, std::uint64_t size);

// What is said of a name longer than the file system takes: its length
// and the limit, in units (bytes, UTF-16 units) that unit names.
Status NameTooLong(const std::string& path, std::size_t length,
                   std::size_t limit, const char* unit);

// The name of this process's temporary number n for a file of folder
// (which is "" or ends in a separator): kTemporaryPrefix, the process id,
// "-", n and ".tmp".
std::string TemporaryFileName(std::string_view folder, unsigned long n);

// The folder part of path, with its separator: "" for a bare name.
std::string_view FolderPart(std::string_view path);

}  // namespace scenario

#endif  // SCENARIO_BASE_HOST_FILE_SYSTEM_PARTS_H_
