#include "base/strings.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace scenario {

std::string_view Trim(std::string_view s, std::string_view chars) {
  const std::size_t first = s.find_first_not_of(chars);
  if (first == std::string_view::npos) return s.substr(s.size());
  const std::size_t last = s.find_last_not_of(chars);
  return s.substr(first, last - first + 1);
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != '/') joined += '/';
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

}  // namespace scenario
