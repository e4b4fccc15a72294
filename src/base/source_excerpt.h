#ifndef SCENARIO_BASE_SOURCE_EXCERPT_H_
#define SCENARIO_BASE_SOURCE_EXCERPT_H_

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// Line `line` (counted from 1) of a description file's bytes, without its
// line end. Lines end as the field reader ends them: CR LF, a lone LF or a
// lone CR. nullopt when the file has no such line.
std::optional<std::string_view> SourceLine(std::string_view bytes, int line);

// The row under a diagnostic, for a terminal: the row converted from
// Windows-1252 to UTF-8, and below it a caret under column `column`
// (counted from 1 in bytes of the row, as diagnostics count). Every byte
// before the column is one character on the terminal, so the caret line
// holds one blank per byte, keeping tabs as tabs so that both lines expand
// them alike. A column beyond the row's end puts the caret just after it.
// Both lines start with indent and end with a line end.
std::string CaretExcerpt(std::string_view row, int column,
                         std::string_view indent = "  ");

}  // namespace scenario

#endif  // SCENARIO_BASE_SOURCE_EXCERPT_H_
