#ifndef SCENARIO_MODEL_ROUNDING_H_
#define SCENARIO_MODEL_ROUNDING_H_

#include <cstdint>

namespace scenario {

// Every conversion of a real value to an integer rounds to the nearest
// integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).

// numerator / denominator rounded, computed exactly.
// REQUIRES: denominator > 0.
std::int64_t RoundRatio(std::int64_t numerator, std::int64_t denominator);

// value rounded. REQUIRES: value is finite and within the int64 range
// (callers check the width they store into).
std::int64_t RoundHalfEven(double value);

// Cell of an item at metre p: p / 50 + 1, rounded as a whole (425 -> 10).
inline std::int64_t ItemCell(std::int64_t p) { return RoundRatio(p + 50, 50); }
// Cell where a profile fill or a code change from metre p starts: p / 50.
inline std::int64_t FillCell(std::int64_t p) { return RoundRatio(p, 50); }

}  // namespace scenario

#endif  // SCENARIO_MODEL_ROUNDING_H_
