#ifndef SCENARIO_LSP_DESCRIPTION_ROWS_H_
#define SCENARIO_LSP_DESCRIPTION_ROWS_H_

// The rows of the two description files as an author sees them, for the
// editor's help (hover, outline, completion), which looks at the text line
// by line. Which row a keyword makes is the readers' own decision: the
// keyword tests are theirs (line_keywords, train_keywords), and so is the
// cutting of a line into fields (FieldReader). What is added here is what
// an author needs to be told: what each row does and what its fields are.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line/read_log.h"
#include "line/row_fields.h"
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

// What the editor says about a row kind beside its name (RowKindName) and
// its keyword (RowKindKeyword).
struct RowGuide {
  RowKind kind = RowKind::kLength;
  std::string_view summary;  // what the row does, in one sentence
  // The fields after the keyword, in the order the reader reads them:
  // entries of the row field table (line/row_fields.h).
  std::vector<const FieldGuide*> fields;
  CellRule rule = CellRule::kNone;
  // The one field read as text to its comma or line end (a station's
  // name, a board's text), or -1; the others are numbers.
  int text_field = -1;
};

const RowGuide& GuideOf(RowKind kind);

// The row kinds of a description file, in the readers' order (that of
// RowKind); none for kNone.
std::vector<RowKind> RowKindsOf(DescriptionKind file);
// The section headers of a description file, in their usual order.
const std::vector<std::string_view>& SectionHeaders(DescriptionKind file);

// One line of a description file as written: its keyword and its fields,
// cut as the field reader cuts them. kinds holds every row the readers
// read from the keyword there, kind the first of them; none when the
// keyword passes no test in its part of the file, is passed over as a
// dash field, or stands where nothing is read.
struct WrittenRow {
  std::optional<RowKind> kind;
  RowKindSet kinds = 0;
  std::string keyword;
  // The fields after the keyword up to the line end: those of each row of
  // kinds in turn, then any others, cut as numbers.
  std::vector<std::string> values;
};

// Reads a description file line by line as the readers walk it: nothing
// before the "[generale]" header; in a line file, the general part's tests
// up to its first section header, the other rows' tests after it; dash
// fields passed over as the readers pass them. Each line is taken to begin
// with a keyword field, as in a file written one row to a line; the fields
// past a row's own are shown, and the lint tells where the readers take
// them for keywords. Bytes are Windows-1252.
class RowScanner {
 public:
  explicit RowScanner(DescriptionKind file);

  // The next line of the file, without its line end.
  WrittenRow Next(std::string_view line);

 private:
  enum class Part {
    kPreamble,  // before "[generale]": passed over
    kGeneral,   // the line's general part
    kRows,      // the line after its general part, or the train's rows
  };

  RowKindSet TestKeyword(std::string_view keyword);

  DescriptionKind file_;
  Part part_ = Part::kPreamble;
  int dashes_in_a_row_ = 0;
};

// A line that holds only a section header ("[stazioni]"), trimmed; "" for
// any other line.
std::string_view SectionHeaderOf(std::string_view line);

}  // namespace scenario

#endif  // SCENARIO_LSP_DESCRIPTION_ROWS_H_
