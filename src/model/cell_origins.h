#ifndef SCENARIO_MODEL_CELL_ORIGINS_H_
#define SCENARIO_MODEL_CELL_ORIGINS_H_

// Which row put the item that stands in a cell, so that a diagnostic about
// a taken cell (a collision, or a header place taken before stamping) can
// say what holds it and where that came from. Kept beside the cells for
// the author tools only; it never reaches a file.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "model/diagnostics.h"

namespace scenario {

struct CellOrigin {
  std::string what;  // "the signal at 4450 m"
  SourceSpot where;  // the row that placed it; no file for none
};

class CellOrigins {
 public:
  // Records that the row at `where` put `item` ("the signal"), standing at
  // `position` metres, into cell i, replacing what was recorded for it: an
  // item only enters a free cell (or, a stop mark, overwrites it), so the
  // last record is what holds the cell, and the first item of a cell is the
  // one that wrote its words.
  void Note(std::int64_t cell, std::string_view item, std::int64_t position,
            const SourceSpot& where);
  // A code mark placed on account of the item in cause_cell: it takes that
  // item's row.
  void NoteMarkFor(std::int64_t cell, std::int64_t cause_cell);
  // nullptr when nothing is recorded for the cell.
  const CellOrigin* Find(std::int64_t cell) const;
  // " by the signal at 4450 m (FILE:LINE:COLUMN)" for a diagnostic about
  // the taken cell; "" when nothing is recorded.
  std::string TakenBy(std::int64_t cell) const;
  void Clear() { origins_.clear(); }

 private:
  std::map<std::int64_t, CellOrigin> origins_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELL_ORIGINS_H_
