#include "line/row_reading.h"

#include <cstddef>
#include <string_view>

namespace scenario {
namespace {

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool Has(std::string_view field, std::string_view word) {
  return field.find(word) != std::string_view::npos;
}

bool HasAnyCase(std::string_view field, std::string_view word) {
  if (word.size() > field.size()) return false;
  for (std::size_t at = 0; at + word.size() <= field.size(); ++at) {
    std::size_t k = 0;
    while (k < word.size() && FoldAscii(field[at + k]) == word[k]) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace scenario
