#include "model/narrowing.h"

#include <cstdint>
#include <string>

#include "model/errors.h"

namespace scenario {

std::int32_t FitLong(std::int64_t value, const std::string& what,
                     const SourceSpot& where) {
  if (value < INT32_MIN || value > INT32_MAX) {
    throw Fault(what + " does not fit a long", where);
  }
  return static_cast<std::int32_t>(value);
}

std::int16_t FitWord(std::int64_t value, const std::string& what,
                     const SourceSpot& where) {
  if (value < INT16_MIN || value > INT16_MAX) {
    throw Fault(what + " does not fit -32768 to 32767", where);
  }
  return static_cast<std::int16_t>(value);
}

}  // namespace scenario
