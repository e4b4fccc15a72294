#ifndef SCENARIO_MODEL_KILOMETRE_RECORDS_H_
#define SCENARIO_MODEL_KILOMETRE_RECORDS_H_

#include <cstdint>
#include <optional>
#include <string>

#include "model/param_table.h"

namespace scenario {

// The kilometre reading of a position, from the three reference records in
// slots 81 to 83 (start, offset, flag), ordered greatest start first: the
// record with the greatest start at or below the position applies, and the
// reading is the position plus its offset. Absent when all three records
// are zero (the line gives no reading) or when no record starts at or below
// the position.
std::optional<std::int64_t> KilometreReading(const ParamTable& table,
                                             std::int64_t position);

// A reading in metres as a kilometre post text: 60000 -> "60+000",
// -250 -> "-0+250".
std::string FormatKilometre(std::int64_t metres);

}  // namespace scenario

#endif  // SCENARIO_MODEL_KILOMETRE_RECORDS_H_
