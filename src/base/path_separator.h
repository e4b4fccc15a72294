#ifndef SCENARIO_BASE_PATH_SEPARATOR_H_
#define SCENARIO_BASE_PATH_SEPARATOR_H_

// Which characters part a path: "/" on every platform, and on Windows "\"
// too, so that a path an author types there with either splits where the
// system splits it. The program itself joins parts with "/", which
// Windows takes as well.

#include <string_view>

namespace scenario {

// True when c parts a path on this platform.
bool IsPathSeparator(char c);

// The separators as a message names them: "\"/\"" (and "\"\\\"" on
// Windows).
std::string_view PathSeparatorsText();

// How a platform writes an absolute path.
enum class PathStyle {
  kPosix,    // "/home/a/Valle_linea.txt"
  kWindows,  // "C:\Users\a\Valle_linea.txt", "\\server\share\a.txt"
};

// This platform's.
PathStyle HostPathStyle();

}  // namespace scenario

#endif  // SCENARIO_BASE_PATH_SEPARATOR_H_
