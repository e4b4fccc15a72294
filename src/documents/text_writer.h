#ifndef SCENARIO_DOCUMENTS_TEXT_WRITER_H_
#define SCENARIO_DOCUMENTS_TEXT_WRITER_H_

// The one writer of every plain-text file: a line list closed by the end
// marker, written in Windows-1252 with CR LF after every line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "base/status.h"

namespace scenario {

// Closes a line list. It is never written: the file ends with the CR LF of
// the line before it. Compared whole and case-sensitively.
inline constexpr std::string_view kEndMarker = "riferimento fine del file";

// The file's bytes: the lines up to, not including, the first one that
// equals kEndMarker (all of them when none does), each converted from UTF-8
// to Windows-1252 and followed by CR LF. No byte-order mark, no end-of-file
// character. nullopt when a written line is not valid UTF-8 or holds a
// character with no Windows-1252 byte.
std::optional<std::string> EncodeTextFile(
    const std::vector<std::string>& lines);

// How long a written text lives.
enum class TextLife {
  kKept,       // a document the run leaves behind
  kTransient,  // read back and deleted by the same run: not flushed
};

// Replaces the file at path with the encoded lines.
// REQUIRES: every written line converts (the built-in texts are fixed, so a
// line that does not is a programming error).
Status WriteTextFile(FileSystem& fs, const std::string& path,
                     const std::vector<std::string>& lines,
                     TextLife life = TextLife::kKept);

}  // namespace scenario

#endif  // SCENARIO_DOCUMENTS_TEXT_WRITER_H_
