#include "base/utf8.h"

#include <cassert>

namespace scenario {

std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t* cp) {
  assert(i < s.size());
  const auto byte = [&](std::size_t k) {
    return static_cast<unsigned char>(s[k]);
  };
  const unsigned char lead = byte(i);
  std::size_t n;
  char32_t value;
  char32_t min;
  if (lead < 0x80) {
    n = 1, value = lead, min = 0;
  } else if ((lead & 0xE0) == 0xC0) {
    n = 2, value = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    n = 3, value = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    n = 4, value = lead & 0x07, min = 0x10000;
  } else {
    return 0;  // a continuation byte, or 0xF8 to 0xFF
  }
  if (s.size() - i < n) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  if (value < min || value > 0x10FFFF) return 0;
  if (value >= 0xD800 && value <= 0xDFFF) return 0;
  if (cp != nullptr) *cp = value;
  return n;
}

}  // namespace scenario
