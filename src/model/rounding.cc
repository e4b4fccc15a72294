#include "model/rounding.h"

#include <cassert>
#include <cmath>

namespace scenario {

std::int64_t RoundRatio(std::int64_t numerator, std::int64_t denominator) {
  assert(denominator > 0);
  // Floor division, then compare twice the remainder with the divisor.
  std::int64_t q = numerator / denominator;
  std::int64_t r = numerator % denominator;
  if (r < 0) {
    r += denominator;
    --q;
  }
  const std::int64_t twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q % 2 != 0))) ++q;
  return q;
}

std::int64_t RoundHalfEven(double value) {
  // nearbyint follows the default rounding mode, which is to nearest with
  // ties to even.
  return static_cast<std::int64_t>(std::nearbyint(value));
}

}  // namespace scenario
