#ifndef SCENARIO_BASE_WINDOWS1252_H_
#define SCENARIO_BASE_WINDOWS1252_H_

// Conversions between UTF-8 (the program's own texts) and Windows-1252 (the
// single-byte code page of every file it writes and reads).
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no letter in Windows-1252;
// like the system's own conversion they map to the C1 controls U+0081,
// U+008D, U+008F, U+0090 and U+009D and back, so that every byte survives a
// round trip.

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// The Windows-1252 bytes of utf8, one byte a character. nullopt when utf8
// is malformed (a bad or truncated sequence, an overlong form, a surrogate,
// a value beyond U+10FFFF) or holds a character with no Windows-1252 byte.
std::optional<std::string> Utf8ToWindows1252(std::string_view utf8);

// The UTF-8 form of Windows-1252 bytes; every byte has one. For display.
std::string Windows1252ToUtf8(std::string_view bytes);

// Lower case as Windows-1252 defines it: A-Z, the accented capitals
// 0xC0-0xDE except the multiplication sign 0xD7, and 0x8A, 0x8C, 0x8E,
// 0x9F (S, OE, Z with caron, Y with diaeresis) to 0x9A, 0x9C, 0x9E, 0xFF.
// Every other byte is unchanged.
char LowerWindows1252(char c);
std::string LowerWindows1252(std::string_view bytes);

}  // namespace scenario

#endif  // SCENARIO_BASE_WINDOWS1252_H_
