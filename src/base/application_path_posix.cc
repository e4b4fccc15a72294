#include "base/application_path.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace scenario {

Status ApplicationPath(std::string* folder) {
  // The link's target can be any length; grow the buffer until it fits.
  std::vector<char> buf(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) {
      return Status::Error(std::string("cannot find the program's folder from "
                                       "\"/proc/self/exe\": ") +
                           std::strerror(errno));
    }
    if (static_cast<std::size_t>(n) < buf.size()) {
      const std::string exe(buf.data(), static_cast<std::size_t>(n));
      const std::size_t slash = exe.rfind('/');
      if (slash == std::string::npos) {
        return Status::Error("the program's path \"" + exe +
                             "\" names no folder");
      }
      *folder = exe.substr(0, slash);
      return Status::Ok();
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace scenario
