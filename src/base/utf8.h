#ifndef SCENARIO_BASE_UTF8_H_
#define SCENARIO_BASE_UTF8_H_

// Decoding UTF-8 one sequence at a time, for the places that convert,
// count or check characters. Well-formed means what the standard allows:
// the shortest form, no surrogate, nothing beyond U+10FFFF.

#include <cstddef>
#include <string_view>

namespace scenario {

// The length in bytes (1 to 4) of the well-formed sequence that starts at
// s[i], with its code point in *cp when cp is given; 0 when the sequence
// is malformed or cut off by the end of s. REQUIRES: i < s.size().
std::size_t DecodeUtf8(std::string_view s, std::size_t i,
                       char32_t* cp = nullptr);

}  // namespace scenario

#endif  // SCENARIO_BASE_UTF8_H_
