#ifndef SCENARIO_TOOLS_LINE_ROWS_TEXT_TESTING_H_
#define SCENARIO_TOOLS_LINE_ROWS_TEXT_TESTING_H_

// Test support: recovered line rows as a line description, in the plainest
// layout the reader takes ("[generale]", the general rows, one header, the
// other rows in the order given, "[fine]"; each row its keyword, then its
// numbers and its text separated by ", "; CR LF line ends). A text that
// holds a comma is written between double quotes. It stands in for the
// description writer in the line rows' tests, which must not depend on it.

#include <string>

#include "tools/recovered_rows.h"

namespace scenario {

std::string LineTextOfRows(const RecoveredDescription& line);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_LINE_ROWS_TEXT_TESTING_H_
