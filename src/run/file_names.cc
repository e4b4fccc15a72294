#include "run/file_names.h"

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

ScenarioFileNames MakeFileNames(std::string_view folder,
                                std::string_view line_name,
                                std::string_view train_name) {
  const std::string line = std::string(folder) + std::string(kPathSeparator) +
                           std::string(line_name);
  const std::string line_train = line + "_" + std::string(train_name);
  ScenarioFileNames names;
  names.line_description = line + "_linea.txt";
  names.train_description = line_train + "-.txt";
  names.notes = line_train + "_note.txt";
  names.slowdown_form = line_train + "_rallentamenti.txt";
  names.train_card = line_train + "_scheda_treno.txt";
  names.line_grid = line + "_linea.dat";
  names.param_file = line_train + ".sim";
  names.cell_file = line_train + ".dat";
  return names;
}

}  // namespace scenario
