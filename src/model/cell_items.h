#ifndef SCENARIO_MODEL_CELL_ITEMS_H_
#define SCENARIO_MODEL_CELL_ITEMS_H_

// What stands in a cell, in the terms of the description rows that put it
// there: the item's name, where the row placed it, and its stored words
// unpacked into the row's fields ("vas", "s1", "tempo") with their units.
//
// The unpacking follows how the placement routines pack the words. It is
// exact for what they store: a maximum-speed board keeps its speeds in
// steps of 5 km/h, a signal's s and d values as the tens and units of one
// word. Any word a kind does not use is listed under its storage name
// (w2, w4, w6, w8, b10) when it is not zero, so two cells whose fields
// compare equal hold the same item bytes.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/cell_file.h"
#include "model/track_cells.h"

namespace scenario {

class ParamTable;

// A field's value: a number, or a text (UTF-8).
using FieldValue = std::variant<std::int64_t, std::string>;

struct ItemField {
  std::string name;
  FieldValue value;
  std::string unit;  // "km/h", "m", ... or "" for a bare number or text

  bool operator==(const ItemField&) const = default;
};

// True when something stands in cell `cell`: a kind, or any item word
// (cell 1 carries the header words with kind 0). The approach mark (b11)
// and the line's properties do not count: they are not items.
bool HasItem(const TrackCell& c);

// The name of an item kind, the one word for it in every listing:
// "signal", "slowdown warning board", ...; "none" for kind 0 and
// "kind N" for a code no placement writes.
std::string KindName(std::uint8_t kind);

// The item's name: its kind's name, but "header" for the header words of
// cell 1 and "values without a kind" for item words under kind 0
// elsewhere.
std::string ItemName(const TrackCell& c, std::int64_t cell);

// Where the row that placed the item put it, in metres from the start of
// the line. Items placed at position / 50 + 1 stand at (cell - 1) x 50;
// code marks, code-off marks and mountain-side marks, placed at
// position / 50, and the pre-warning cells below a warning board stand at
// cell x 50.
double ItemPosition(const TrackCell& c, std::int64_t cell);

// The one convention by which every listing (inspect, inspect --raw,
// diff) places what stands in a cell:
// - an item whose kind tells the rule that placed it stands at its row's
//   position rounded to the cell (ItemPosition): the position the author
//   wrote, for a row on the 50 m grid;
// - anything else (an approach mark, a stop mark, whose cell comes from
//   a stretch's end, words under kind 0, a kind no placement writes) is
//   shown by the cell's own span, metres (cell - 1) x 50 to cell x 50:
//   whatever filled the cell came from a row within 25 m of it (items at
//   about (cell - 1) x 50, marks and profile fills at about cell x 50).
// The line's properties are a profile, not an item: a cell's gradient,
// speed limit and adhesion hold from ProfilePosition(cell) on.
bool ItemRowIsKnown(const TrackCell& c);

struct CellSpan {
  std::int64_t from = 0;  // metres
  std::int64_t to = 0;
};
CellSpan SpanOfCell(std::int64_t cell);
// "950-1000 m".
std::string SpanText(const CellSpan& span);

// The position text of what stands in a cell: "1000 m" when
// ItemRowIsKnown, else the cell's span, "950-1000 m".
std::string ItemPositionText(const TrackCell& c, std::int64_t cell);

// The text of parameter slot `slot`, in UTF-8: the station's name a stop
// mark refers to, the text of an indicator board. False for a slot number
// outside the table.
bool SlotText(const ParamTable& table, std::int64_t slot, std::string* text);

// A maximum-speed board's words unpacked. Each of w2, w4, w6 (speed A, B,
// C) is vs / 5 + vd / 5 rounded, plus vs x 20: with speeds in steps of
// 5 km/h its hundreds carry the s set and the rest the d set; w8 is the s
// set's stripes x 10 plus the d set's. Exact for any word (a negative
// word gives speeds of 0 or below), so nothing stored is lost.
struct SpeedBoardValues {
  int s_kmh[3] = {};
  int d_kmh[3] = {};
  int s_stripes = 0;
  int d_stripes = 0;
};
SpeedBoardValues DecodeSpeedBoard(const TrackCell& c);

// The item's fields in row order. table, when given, supplies the texts a
// cell refers to: the station's name of a stop mark, the text of an
// indicator board (slot numbers outside the table give no text).
std::vector<ItemField> ItemFields(const TrackCell& c, std::int64_t cell,
                                  const ParamTable* table);

// The line's properties at a cell, in author units. The step fills cover
// cell k from metre k x 50 up to (k + 1) x 50: a row at position p starts
// filling at cell p / 50.
inline double ProfilePosition(std::int64_t cell) {
  return static_cast<double>(cell) * 50;
}
inline int GradientPerMille(const TrackCell& c) { return c.gradient - 100; }
inline int SpeedLimitKmh(const TrackCell& c) { return c.speed_step * 5; }

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELL_ITEMS_H_
