#ifndef SCENARIO_MODEL_KILOMETRE_AXIS_H_
#define SCENARIO_MODEL_KILOMETRE_AXIS_H_

#include <optional>
#include <string>
#include <vector>

namespace scenario {

class ParamTable;

// The kilometre readings along a compiled line, from the three kilometre
// reference records (slots 81 to 83: start, offset, flag). From a
// record's start on, a position's reading is the position plus the
// record's offset (the flag's 100 m are already in the offset); before
// the first start the reading is the position itself. Positions and
// readings are in metres.
class KilometreAxis {
 public:
  // A stretch where one offset holds: from start up to the next
  // segment's start.
  struct Segment {
    double start;
    double offset;
  };
  struct Tick {
    double position;
    double reading;
  };

  // An all-zero record is unused. Of two records with the same start the
  // one in the lower slot holds.
  explicit KilometreAxis(const ParamTable& table);

  double Reading(double position) const;

  // The segments in increasing order of start; the first one, from minus
  // infinity with offset 0, is always there.
  const std::vector<Segment>& segments() const { return segments_; }

  // The positions in [lo, hi] from the first one whose reading is at
  // least from_reading to the last one whose reading is at most
  // to_reading (an absent bound is open). nullopt when that leaves no
  // stretch of positive length.
  struct Range {
    double from;
    double to;
  };
  std::optional<Range> PositionsFor(double lo, double hi,
                                    std::optional<double> from_reading,
                                    std::optional<double> to_reading) const;

  // The positions in [lo, hi] whose reading is a multiple of step, in
  // increasing order of position. REQUIRES: step > 0.
  std::vector<Tick> Ticks(double lo, double hi, double step) const;

 private:
  std::vector<Segment> segments_;
};

// A reading as a kilometre post shows it: "60+000", "-0+250". Rounded to
// the metre.
std::string FormatKilometre(double reading);

// The tick step, in metres, from 1, 2 and 5 times a power of ten, that
// gives at most max_ticks ticks over span metres; at least 100 m.
double NiceStep(double span, int max_ticks);

}  // namespace scenario

#endif  // SCENARIO_MODEL_KILOMETRE_AXIS_H_
