#include "base/windows1252.h"

#include <cstddef>
#include <cstdint>

#include "base/utf8.h"

namespace scenario {
namespace {

// The code points of bytes 0x80 to 0x9F; the bytes 0xA0 to 0xFF are the
// code points of the same value, and 0x00 to 0x7F are ASCII.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
  return byte;
}

// The byte of a code point, or -1 when Windows-1252 has none.
int FromCodePoint(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == cp) return 0x80 + i;
  }
  return -1;
}

void AppendUtf8(char32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    // Windows-1252 needs nothing beyond the basic plane.
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::optional<std::string> Utf8ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t cp;
    const std::size_t n = DecodeUtf8(utf8, pos, &cp);
    if (n == 0) return std::nullopt;
    const int byte = FromCodePoint(cp);
    if (byte < 0) return std::nullopt;
    out.push_back(static_cast<char>(byte));
    pos += n;
  }
  return out;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes)
    AppendUtf8(ToCodePoint(static_cast<unsigned char>(c)), &out);
  return out;
}

char LowerWindows1252(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<char>(b + 0x20);
  switch (b) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return static_cast<char>(b + 0x10);
    case 0x9F:
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

std::string LowerWindows1252(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = LowerWindows1252(c);
  return out;
}

}  // namespace scenario
