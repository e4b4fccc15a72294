#ifndef SCENARIO_TOOLS_RECOVERED_ROWS_H_
#define SCENARIO_TOOLS_RECOVERED_ROWS_H_

// The rows of a description as decompile recovers them from compiled
// files: what an author would have written, in the reader's terms. The
// line half and the train half are recovered apart (each from its own
// footprint in the files) and written as export lays the built-in
// descriptions out.

#include <cstdint>
#include <string>
#include <vector>

#include "line/read_log.h"

namespace scenario {

// One row. numbers holds the values after the keyword in the order the
// row's reader reads them, the text field left out; text is the row's one
// text field (an indicator board's text, a station's name), empty for the
// other kinds.
// Invariants: numbers.size() is RowKindValueCount(kind), less one for a
// row with a text field; keyword passes the reader's test for kind and no
// other test of its part (so the row reads back as exactly this row).
struct RecoveredRow {
  RowKind kind = RowKind::kLength;
  std::string keyword;  // as written: "pendenza", "curvad3", ...
  std::vector<std::int64_t> numbers;
  std::string text;  // Windows-1252 bytes
};

// A choice decompile made where the files cannot tell what the author
// wrote (a position inside a 50 m cell, a row another overwrote, a row
// that leaves no trace), said once per kind of choice or per row.
struct RecoveryNote {
  RowKind kind = RowKind::kLength;
  // The metre of the row the note is about; -1 when it is about the
  // kind as a whole.
  std::int64_t position = -1;
  std::string text;  // one sentence for an author
};

// One description file's rows, in the order they are to be written (rows
// of one kind in the order the reader must meet them), and the notes.
struct RecoveredDescription {
  std::vector<RecoveredRow> rows;
  std::vector<RecoveryNote> notes;
};

}  // namespace scenario

#endif  // SCENARIO_TOOLS_RECOVERED_ROWS_H_
