#ifndef SCENARIO_TOOLS_RECOVERED_TEXT_H_
#define SCENARIO_TOOLS_RECOVERED_TEXT_H_

// Recovered rows written as description files, laid out as export lays
// out the built-in pair: the section headers in their order ("[generale]",
// "[curve]", ... "[fine]"), each row under its kind's section with the
// spacing the built-in rows of that kind have, CR LF after every line, the
// texts' Windows-1252 bytes as they are. The file ends with the line
// "[fine]": the readers never interpret the last field of a file, so the
// last row is always followed by one.
//
// Order: the writer never reorders rows. The readers do not care which
// section a row stands in (only the line's general rows must stand before
// the first bracketed field), but they do care about the order of rows
// whose cells or slots meet: a later row overwrites an earlier one, and a
// train's stations and signals give their approach marks in the order they
// are read. So each row stands under its own kind's section unless a row
// given before it stands in a later section; it then follows that row
// under the same section. Rows given in section order (the usual case)
// are written exactly as export would lay them out. The line's general
// rows always stand under "[generale]", in the order given; a row of a
// kind the file has no section for follows the row before it.

#include <string>

#include "tools/recovered_rows.h"

namespace scenario {

// One row as it is written, without its line end: the keyword (the
// row's own, else the built-in one for its kind), then its values with the
// built-in spacing of its kind. A text that the field reader would not
// give back as it is (one with a comma, a line end, blanks at either end,
// or a leading double quote) is written between double quotes; a text
// holding a double quote as well cannot be written so that it reads back,
// and the compile of such a row differs.
std::string RecoveredRowLine(const RecoveredRow& row);

// The whole files, as the compile reads them.
std::string LineDescriptionText(const RecoveredDescription& line);
std::string TrainDescriptionText(const RecoveredDescription& train);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_RECOVERED_TEXT_H_
