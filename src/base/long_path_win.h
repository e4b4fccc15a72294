#ifndef SCENARIO_BASE_LONG_PATH_WIN_H_
#define SCENARIO_BASE_LONG_PATH_WIN_H_

// Windows only. A Win32 call takes a path of at most MAX_PATH (260)
// characters in its plain form (248 to make a folder) unless the
// installation has turned long paths on. The "\\?\" form of an absolute
// path has no such limit, up to 32767 characters, so the file system
// hands every path that is, or becomes once made absolute, too long for
// the plain form over in that form. The plain form is kept where it fits:
// the system tidies it ("/" as "\", "." and ".." taken out), which the
// "\\?\" form does not, so that form is only ever made from the tidied
// absolute path.

#include <string>
#include <string_view>

namespace scenario {

// The UTF-16 path to hand to Win32 for the UTF-8 path: the plain one when
// its absolute form is shorter than 248 characters, else "\\?\" before the
// absolute form ("\\?\UNC\server\share\..." for a share). A path already in
// a "\\?\" or "\\.\" form is kept as it is.
std::wstring Win32Path(std::string_view utf8);

}  // namespace scenario

#endif  // SCENARIO_BASE_LONG_PATH_WIN_H_
