#ifndef SCENARIO_MODEL_NARROWING_H_
#define SCENARIO_MODEL_NARROWING_H_

// Every store of an exact (64-bit) result into one of the model's narrower
// fields goes through one of these, so that each is visibly either a
// deliberate wrap or a checked narrowing.

#include <cstdint>
#include <string>

#include "model/diagnostics.h"

namespace scenario {

// Deliberate wraps: stores into 8- and 16-bit fields keep the low bits of
// the exact value (two's complement), with no overflow check. Stored files
// depend on the wrapped values.
inline std::uint8_t LowByte(std::int64_t v) {
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(v));
}
inline std::int16_t LowWord(std::int64_t v) {
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(static_cast<std::uint64_t>(v)));
}

// Checked narrowings: a value that must fit its field, or the row that
// produced it is at fault. Each throws Fault at `where` when value does
// not fit; the message names `what`.
//
// "<what> does not fit a long".
std::int32_t FitLong(std::int64_t value, const std::string& what,
                     const SourceSpot& where = {});
// "<what> does not fit -32768 to 32767".
std::int16_t FitWord(std::int64_t value, const std::string& what,
                     const SourceSpot& where = {});

}  // namespace scenario

#endif  // SCENARIO_MODEL_NARROWING_H_
