#include "lsp/file_uri.h"

#include <algorithm>

namespace scenario {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// part with its %XX escapes decoded; nullopt for a bad escape or a NUL.
std::optional<std::string> Decoded(std::string_view part) {
  std::string text;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (part[i] != '%') {
      text += part[i];
      continue;
    }
    if (i + 2 >= part.size()) return std::nullopt;
    const int hi = HexValue(part[i + 1]);
    const int lo = HexValue(part[i + 2]);
    if (hi < 0 || lo < 0 || (hi == 0 && lo == 0)) return std::nullopt;
    text += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return text;
}

// Appends text with every byte but the unreserved ones and "/" escaped.
void AppendEscaped(std::string_view text, std::string* uri) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c) || c == '/') {
      *uri += ch;
    } else {
      *uri += '%';
      *uri += kHex[c >> 4];
      *uri += kHex[c & 15];
    }
  }
}

// True when path begins with a drive ("C:"), alone or before a separator.
bool HasDrive(std::string_view path) {
  return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':' &&
         (path.size() == 2 || path[2] == '/' || path[2] == '\\');
}

}  // namespace

std::optional<std::string> FileUriToPath(std::string_view uri,
                                         PathStyle style) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  const std::size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view host = uri.substr(0, slash);
  if (host == "localhost") host = {};
  if (!host.empty() && style == PathStyle::kPosix) return std::nullopt;
  uri.remove_prefix(slash);
  // A query or fragment is not part of the path.
  std::optional<std::string> path =
      Decoded(uri.substr(0, uri.find_first_of("?#")));
  if (!path || style == PathStyle::kPosix) return path;
  if (!host.empty()) {
    const std::optional<std::string> server = Decoded(host);
    if (!server) return std::nullopt;
    *path = "//" + *server + *path;
  } else if (HasDrive(std::string_view(*path).substr(1))) {
    path->erase(0, 1);
    (*path)[0] = Upper((*path)[0]);
  }
  std::replace(path->begin(), path->end(), '/', '\\');
  return path;
}

std::string PathToFileUri(std::string_view path, PathStyle style) {
  std::string uri = "file://";
  if (style == PathStyle::kPosix) {
    AppendEscaped(path, &uri);
    return uri;
  }
  std::string forward(path);
  std::replace(forward.begin(), forward.end(), '\\', '/');
  std::string_view rest = forward;
  if (rest.starts_with("//")) {
    // A UNC path: its server is the URI's host.
    rest.remove_prefix(2);
    const std::string_view server = rest.substr(0, rest.find('/'));
    AppendEscaped(server, &uri);
    rest.remove_prefix(server.size());
  } else if (HasDrive(rest)) {
    uri += '/';
    uri += Upper(rest[0]);
    uri += ':';
    rest.remove_prefix(2);
  }
  AppendEscaped(rest, &uri);
  return uri;
}

}  // namespace scenario
