#include "model/kilometre_records.h"

#include <cstdio>

namespace scenario {

std::optional<std::int64_t> KilometreReading(const ParamTable& table,
                                             std::int64_t position) {
  bool any = false;
  for (int slot = kKilometreSlotFirst; slot <= kKilometreSlotLast; ++slot) {
    const ParamSlot& r = table[slot];
    if (r.long1 != 0 || r.long2 != 0 || r.long3 != 0) any = true;
  }
  if (!any) return std::nullopt;
  // The slots are ordered by start, greatest first, so the first record
  // that starts at or below the position is the one in force there.
  for (int slot = kKilometreSlotFirst; slot <= kKilometreSlotLast; ++slot) {
    const ParamSlot& r = table[slot];
    if (r.long1 <= position) return position + r.long2;
  }
  return std::nullopt;
}

std::string FormatKilometre(std::int64_t metres) {
  const bool negative = metres < 0;
  const std::int64_t m = negative ? -metres : metres;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%lld+%03lld", negative ? "-" : "",
                static_cast<long long>(m / 1000),
                static_cast<long long>(m % 1000));
  return buf;
}

}  // namespace scenario
