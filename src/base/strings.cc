#include "base/strings.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "base/path_separator.h"

namespace scenario {

std::string_view Trim(std::string_view s, std::string_view chars) {
  const std::size_t first = s.find_first_not_of(chars);
  if (first == std::string_view::npos) return s.substr(s.size());
  const std::size_t last = s.find_last_not_of(chars);
  return s.substr(first, last - first + 1);
}

std::string_view BaseName(std::string_view path) {
  std::size_t start = path.size();
  while (start > 0 && !IsPathSeparator(path[start - 1])) --start;
  return path.substr(start);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += '/';
  joined += name;
  return joined;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  // One row of the table at a time: row[j] is the distance from a's first
  // i letters to b's first j.
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1,
                         diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string CountOf(std::int64_t n, std::string_view one,
                    std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string NearestName(std::string_view word,
                        const std::vector<std::string>& names) {
  if (word.empty()) return "";
  const std::size_t allowed = std::max<std::size_t>(2, word.size() / 3);
  const std::string* nearest = nullptr;
  std::size_t best = allowed + 1;
  for (const std::string& name : names) {
    const std::size_t d = EditDistance(word, name);
    if (d < best) best = d, nearest = &name;
  }
  if (nearest != nullptr) return *nearest;
  for (const std::string& name : names) {
    if (!name.starts_with(word)) continue;
    if (nearest != nullptr) return "";  // two names begin so: no guess
    nearest = &name;
  }
  return nearest != nullptr ? *nearest : "";
}

std::string ClockText(std::int64_t seconds) {
  // The magnitude as unsigned, so that the lowest int64 has one too.
  const bool negative = seconds < 0;
  const std::uint64_t t = negative ? 0 - static_cast<std::uint64_t>(seconds)
                                   : static_cast<std::uint64_t>(seconds);
  char text[48];
  std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu", negative ? "-" : "",
                static_cast<unsigned long long>(t / 3600),
                static_cast<unsigned long long>(t / 60 % 60),
                static_cast<unsigned long long>(t % 60));
  return text;
}

std::string StringPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (length > 0) {
    // vsnprintf writes the terminating zero too, over text's own.
    text.resize(static_cast<std::size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

std::string PrintableName(std::string_view name) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(name.size());
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == 0x7f) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    } else if (byte == 0xc2 && i + 1 < name.size() &&
               static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(name[i + 1]) <= 0x9f) {
      const auto c1 = static_cast<unsigned char>(name[++i]);
      out += "\\u00";
      out += kHex[c1 >> 4];
      out += kHex[c1 & 0xf];
    } else {
      out += name[i];
    }
  }
  return out;
}

std::string QuotedName(std::string_view name) {
  return "\"" + PrintableName(name) + "\"";
}

}  // namespace scenario
