#ifndef SCENARIO_LSP_DESCRIPTION_ROWS_H_
#define SCENARIO_LSP_DESCRIPTION_ROWS_H_

// The row kinds of the two description files as an author sees them: the
// keyword, the fields by name, and how the row's position meets the cells.
// For the editor's help (hover, outline, completion), which looks at one
// line of text at a time; what the compiler makes of the whole file is the
// readers' business, and their diagnostics say where the two differ.

#include <string>
#include <string_view>
#include <vector>

#include "lsp/description_check.h"

namespace scenario {

// How a row's position field meets the cell array.
enum class CellRule {
  kNone,     // no position
  kFill,     // a profile from position / 50 on (gradient, speed, code)
  kItem,     // an item in cell position / 50 + 1 (board, signal, slowdown)
  kStretch,  // cells from the first position / 50 to the second / 50 - 1
  kStation,  // a station: its stop mark lies at the stretch end / 50 - 1
  kPlan,     // plan metres (a curve)
};

struct RowGuide {
  std::string_view keyword;              // as the built-in files write it
  std::string_view title;                // what the row is, in a few words
  std::string_view summary;              // what it does, in one sentence
  std::vector<std::string_view> fields;  // after the keyword, in order
  CellRule rule = CellRule::kNone;
  // The field that holds the text to the end of the row (a station's
  // name, a board's text), or -1.
  int text_field = -1;
  // The keyword test: the field holds both words ("" is always held),
  // in exact case or ignoring the case of ASCII letters.
  std::string_view word_a;
  std::string_view word_b;
  bool exact_case = false;
};

// The row kinds of a description file, in the readers' order.
const std::vector<RowGuide>& RowGuides(DescriptionKind file);
// The section headers of a description file, in their usual order.
const std::vector<std::string_view>& SectionHeaders(DescriptionKind file);

// One line of a description file as written, cut into its keyword and its
// fields (as the field syntax cuts them: at commas, and numbers also at
// blanks). kind is null when the keyword matches no row.
struct WrittenRow {
  const RowGuide* kind = nullptr;
  std::string keyword;
  std::vector<std::string> values;
};

// The row kind whose keyword test a keyword field passes (the first one in
// the readers' order), or null. Bytes are Windows-1252.
const RowGuide* RecognizeRow(DescriptionKind file, std::string_view keyword);
WrittenRow ReadWrittenRow(DescriptionKind file, std::string_view line);

// A line that holds only a section header ("[stazioni]"), trimmed; "" for
// any other line.
std::string_view SectionHeaderOf(std::string_view line);

}  // namespace scenario

#endif  // SCENARIO_LSP_DESCRIPTION_ROWS_H_
