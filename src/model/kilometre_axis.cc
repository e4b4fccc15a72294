#include "model/kilometre_axis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "model/param_table.h"

namespace scenario {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

KilometreAxis::KilometreAxis(const ParamTable& table) {
  segments_.push_back({-kInfinity, 0.0});
  for (int slot = kKilometreSlotFirst; slot <= kKilometreSlotLast; ++slot) {
    const ParamSlot& r = table[slot];
    if (r.long1 == 0 && r.long2 == 0) continue;
    const double start = r.long1;
    const bool taken =
        std::any_of(segments_.begin() + 1, segments_.end(),
                    [&](const Segment& s) { return s.start == start; });
    if (!taken) segments_.push_back({start, static_cast<double>(r.long2)});
  }
  std::stable_sort(
      segments_.begin(), segments_.end(),
      [](const Segment& a, const Segment& b) { return a.start < b.start; });
}

double KilometreAxis::Reading(double position) const {
  double offset = 0;
  for (const Segment& s : segments_) {
    if (s.start <= position) offset = s.offset;
  }
  return position + offset;
}

std::optional<KilometreAxis::Range> KilometreAxis::PositionsFor(
    double lo, double hi, std::optional<double> from_reading,
    std::optional<double> to_reading) const {
  double from = kInfinity;
  double to = -kInfinity;
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    // This segment's part of [lo, hi]; readings grow with the position
    // inside it.
    const double a = std::max(lo, segments_[i].start);
    const double b =
        i + 1 < segments_.size() ? std::min(hi, segments_[i + 1].start) : hi;
    if (a > b) continue;
    const double o = segments_[i].offset;
    const double first = from_reading ? std::max(a, *from_reading - o) : a;
    if (first <= b) from = std::min(from, first);
    const double last = to_reading ? std::min(b, *to_reading - o) : b;
    if (last >= a) to = std::max(to, last);
  }
  if (!(from < to)) return std::nullopt;
  return Range{from, to};
}

std::vector<KilometreAxis::Tick> KilometreAxis::Ticks(double lo, double hi,
                                                      double step) const {
  std::vector<Tick> ticks;
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const double a = std::max(lo, segments_[i].start);
    const bool last_segment = i + 1 == segments_.size();
    const double b = last_segment ? hi : std::min(hi, segments_[i + 1].start);
    if (a > b) continue;
    const double o = segments_[i].offset;
    for (double r = std::ceil((a + o) / step) * step; r - o <= b; r += step) {
      const double p = r - o;
      // The next segment's start belongs to the next segment.
      if (!last_segment && p >= segments_[i + 1].start) break;
      ticks.push_back({p, r});
    }
  }
  return ticks;
}

std::string FormatKilometre(double reading) {
  // Readings come from 32-bit positions and offsets; the clamp only keeps
  // a corrupt value printable.
  const double clamped = std::clamp(reading, -1e15, 1e15);
  const auto metres = static_cast<std::int64_t>(std::llround(clamped));
  const std::int64_t magnitude = metres < 0 ? -metres : metres;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%lld+%03lld", metres < 0 ? "-" : "",
                static_cast<long long>(magnitude / 1000),
                static_cast<long long>(magnitude % 1000));
  return buf;
}

double NiceStep(double span, int max_ticks) {
  double step = 100;
  if (!(span > 0) || max_ticks < 1) return step;
  const double wanted = span / max_ticks;
  for (double power = 100; power < 1e16; power *= 10) {
    for (const double f : {1.0, 2.0, 5.0}) {
      if (f * power >= wanted) return f * power;
    }
  }
  return 1e16;
}

}  // namespace scenario
