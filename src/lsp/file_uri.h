#ifndef SCENARIO_LSP_FILE_URI_H_
#define SCENARIO_LSP_FILE_URI_H_

// "file:" URIs, as editors name documents, and the paths they stand for.
// The mapping is pure: style says how the paths are written, so that both
// platforms' mappings can be checked anywhere; the server uses its own
// platform's.
//
// On Windows a URI's path "/C:/a/b" is the path "C:\a\b", whether the
// drive's colon comes escaped ("/c%3A/a/b", as one editor sends it) or
// not; the drive letter is upper case in the path whatever its case in the
// URI, so that one file named by two editors' spellings is one path. A URI
// with a host ("file://server/share/a") is the UNC path
// "\\server\share\a" there.

#include <optional>
#include <string>
#include <string_view>

#include "base/path_separator.h"

namespace scenario {

// The path of a "file://" URI, with its %XX escapes decoded. The
// authority is empty or "localhost" (or, on Windows, a server's name).
// nullopt for another scheme, another host, a bad escape or a decoded NUL.
std::optional<std::string> FileUriToPath(std::string_view uri,
                                         PathStyle style = HostPathStyle());

// The "file://" URI of an absolute path: every byte but the unreserved
// characters and the separators is escaped (on Windows the drive's colon
// is kept, as "file:///C:/a").
std::string PathToFileUri(std::string_view path,
                          PathStyle style = HostPathStyle());

}  // namespace scenario

#endif  // SCENARIO_LSP_FILE_URI_H_
