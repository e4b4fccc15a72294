#include "documents/text_writer.h"

#include <cassert>

#include "base/windows1252.h"

namespace scenario {

std::optional<std::string> EncodeTextFile(
    const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    if (line == kEndMarker) break;
    std::optional<std::string> bytes = Utf8ToWindows1252(line);
    if (!bytes) return std::nullopt;
    out += *bytes;
    out += "\r\n";
  }
  return out;
}

Status WriteTextFile(FileSystem& fs, const std::string& path,
                     const std::vector<std::string>& lines, TextLife life) {
  const std::optional<std::string> bytes = EncodeTextFile(lines);
  assert(bytes &&
         "a built-in text holds a character with no Windows-1252 byte");
  if (!bytes) {
    // Never reached with the fixed texts; refuse rather than write a
    // mangled file if a text is ever changed carelessly.
    return Status::Error("cannot write \"" + path +
                         "\": a line holds a character with no Windows-1252 "
                         "byte");
  }
  return life == TextLife::kTransient ? fs.WriteTransientFile(path, *bytes)
                                      : fs.WriteFileReplacing(path, *bytes);
}

}  // namespace scenario
