#ifndef SCENARIO_LSP_FILE_URI_H_
#define SCENARIO_LSP_FILE_URI_H_

// "file:" URIs, as editors name documents, and the paths they stand for.

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// The path of a "file://" URI (empty or "localhost" authority), with its
// %XX escapes decoded. nullopt for another scheme, another host, a bad
// escape or a decoded NUL.
std::optional<std::string> FileUriToPath(std::string_view uri);

// The "file://" URI of an absolute path: every byte but the unreserved
// characters and "/" is escaped.
std::string PathToFileUri(std::string_view path);

}  // namespace scenario

#endif  // SCENARIO_LSP_FILE_URI_H_
