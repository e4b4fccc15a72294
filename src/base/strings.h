#ifndef SCENARIO_BASE_STRINGS_H_
#define SCENARIO_BASE_STRINGS_H_

// Small text helpers that every layer needs and none owns. They know no
// scenario: paths here are plain strings whose parts the platform's
// separators part (path_separator.h); joined, they get "/".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The dialect that printf's format checks follow: C99's, which MinGW's
// own printf (the build's __USE_MINGW_ANSI_STDIO) implements on Windows
// too, where "printf" alone would mean the system's older one.
#ifdef __MINGW_PRINTF_FORMAT
#define SCENARIO_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define SCENARIO_PRINTF_FORMAT printf
#endif

namespace scenario {

// s without the characters of chars at either end.
std::string_view Trim(std::string_view s, std::string_view chars = " \t");

// What follows the last separator of path; all of path when it has none.
std::string_view BaseName(std::string_view path);

// folder and name joined by one "/": none is added when folder is "" or
// already ends in a separator ("/" and "out/" keep theirs).
std::string JoinPath(std::string_view folder, std::string_view name);

// The number of single-letter insertions, deletions and replacements that
// turn a into b: how far a mistyped word lies from the one meant.
std::size_t EditDistance(std::string_view a, std::string_view b);

// The one of names that word most likely mistypes, or "" when none is
// near: the nearest within a few single-letter changes (two, or a third
// of word's length when that is more; the first listed on a tie), else
// the only name that word begins (a word cut short). word itself being
// one of names gives word.
std::string NearestName(std::string_view word,
                        const std::vector<std::string>& names);

// n and the noun that goes with it: "1 file", "3 files", "0 codes".
std::string CountOf(std::int64_t n, std::string_view one,
                    std::string_view many);

// printf's text for format and the values, never cut whatever its length
// (a double of 1e300 prints with 300 digits).
std::string StringPrintf(const char* format, ...)
    __attribute__((format(SCENARIO_PRINTF_FORMAT, 1, 2)));

// name as it may be shown on a terminal: every control character (C0,
// DEL, and C1 written in UTF-8) escaped as \xNN or \u00NN, so that a file
// named with an escape sequence cannot change the terminal's state or
// break the layout of a listing. Everything else is kept as it is.
std::string PrintableName(std::string_view name);

// PrintableName(name) between double quotes: how messages name a file.
std::string QuotedName(std::string_view name);

// A time in seconds as [-]h:mm:ss; the hours may pass 23 and any value,
// negative ones too, keeps its own text.
std::string ClockText(std::int64_t seconds);

}  // namespace scenario

#endif  // SCENARIO_BASE_STRINGS_H_
