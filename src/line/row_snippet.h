#ifndef SCENARIO_LINE_ROW_SNIPPET_H_
#define SCENARIO_LINE_ROW_SNIPPET_H_

// A whole row as an editor inserts it for an author to fill in: the
// keyword, then each field of the row field table (line/row_fields.h) in
// the order the reader reads them, as "keyword,  position (m),  gradient
// (per mille)". The language server's completion and the editors' snippet
// files both insert this text, so they never tell two stories.

#include <cstdint>
#include <string>
#include <string_view>

#include "line/read_log.h"

namespace scenario {

// How the fields are written after the keyword.
enum class SnippetForm : std::uint8_t {
  kPlainText,     // the fields' labels as text, for the author to type over
  kPlaceholders,  // tab stops "${1:label}" in the editors' snippet syntax
};

// The row of the given kind with the keyword as given (a curve's may be
// any of its forms). With placeholders, "$", "}" and "\" of the keyword
// and the labels are escaped so that they stand for themselves.
std::string RowSnippet(std::string_view keyword, RowKind kind,
                       SnippetForm form);

}  // namespace scenario

#endif  // SCENARIO_LINE_ROW_SNIPPET_H_
