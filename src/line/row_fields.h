#ifndef SCENARIO_LINE_ROW_FIELDS_H_
#define SCENARIO_LINE_ROW_FIELDS_H_

// Every field of every row of the two description files, named once: the
// editor's hover, inspect's listings and the format reference all take
// their names and explanations from here, so that a field is called the
// same wherever an author meets it.
//
// Invariants (held by row_fields_test): each row kind has exactly
// RowKindValueCount fields, in the order its reader reads them; at most
// one of them is a text; names are unique within a row. A field whose use
// nobody but the simulator knows is named after the place the compiler
// stores it (a station's "byte2", "int1"), never after a guessed meaning.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "line/read_log.h"

namespace scenario {

// How the field reader reads a field (its width bounds the number; a value
// outside it stops the reading with code 25).
enum class FieldWidth : std::uint8_t {
  kLong,     // -2147483648 to 2147483647
  kInteger,  // -32768 to 32767
  kByte,     // 0 to 255
  kText,     // to the next comma or line end
};

// "long", "integer", "byte", "text".
std::string_view FieldWidthName(FieldWidth width);

struct FieldGuide {
  std::string_view name;  // as authors and every listing call it
  std::string_view unit;  // "m", "km/h", "per mille", ... or ""
  FieldWidth width = FieldWidth::kLong;
  std::string_view range;    // the values that make sense, and why
  std::string_view meaning;  // what the author says with it
  std::string_view compile;  // what the compiler does with it
  // What the simulator does with it, where that is known; empty where
  // the files' own definition says nothing of it (compile then says
  // where the compiler copies it), never a guess.
  std::string_view simulator = {};
};

// The fields after the row's keyword, in the order its reader reads them.
std::span<const FieldGuide> RowFields(RowKind kind);

// The field's label with its unit: "position (m)", "kind".
std::string FieldLabel(const FieldGuide& field);

}  // namespace scenario

#endif  // SCENARIO_LINE_ROW_FIELDS_H_
