#ifndef SCENARIO_PLOT_SCENARIO_SHEET_H_
#define SCENARIO_PLOT_SCENARIO_SHEET_H_

#include <optional>
#include <string>
#include <vector>

#include "model/track_cells.h"

namespace scenario {

class LineGrid;
class ParamTable;

// A compiled scenario as the sheet draws it: the decoded binary files.
struct SheetScenario {
  const std::vector<TrackCell>* cells = nullptr;  // REQUIRES: not null
  const ParamTable* table = nullptr;              // REQUIRES: not null
  const LineGrid* grid = nullptr;                 // null: no line grid file
  // For the title, in UTF-8.
  std::string line_name;
  std::string train_name;
};

struct SheetOptions {
  // Kilometre readings (as the posts show them, in km) that bound the
  // profiles; absent: the line's start or end.
  std::optional<double> from_km;
  std::optional<double> to_km;
  // Width of the sheet in pixels; the height follows from the content.
  // Clamped to kMinSheetWidth .. kMaxSheetWidth.
  double width = 1600;
};

inline constexpr double kMinSheetWidth = 480;
inline constexpr double kMaxSheetWidth = 8000;

// The stretch of line, in metres from the start, that the profiles show.
struct SheetRange {
  double from;
  double to;
};

// The whole line (0 to the line length of slot 84, or to the last cell
// when that length is missing or beyond the cells), or its part whose
// kilometre readings lie between options.from_km and options.to_km.
// nullopt when that part is empty.
std::optional<SheetRange> ResolveSheetRange(const SheetScenario& scenario,
                                            const SheetOptions& options);

// Draws one sheet as an SVG document (UTF-8): the title with the names
// and the race codes; the plan of the line from the grid (equal scales,
// turned to run from its start on the left to its end on the right, in a
// band as high as that shape and its labels need, with a north arrow, a
// scale bar, stations, signals, start and end), or a note that there is no
// grid; then, along one axis of kilometre readings, the gradient, the
// speed limit with the boards' speeds, the adhesion, and rows of stations,
// signals, slowdowns, indicator boards and code marks. No two labels
// overlap, and none covers a mark of the plan.
// Each part is a <g> with its own id. Texts from the files (Windows-1252)
// appear as real <text> elements. Any decoded content draws: values that
// point nowhere are shown as such, not trusted. When the range of options
// is empty the whole line is drawn.
std::string DrawScenarioSheet(const SheetScenario& scenario,
                              const SheetOptions& options);

// A point of the plan's line: where the grid's point at `position` metres
// lies on the sheet, in pixels.
struct PlanSample {
  double position;
  double x;
  double y;
};

// Where a drawn sheet put things, in the sheet's pixels, for a page that
// zooms and points into the same drawing.
struct SheetGeometry {
  double width = 0;
  double height = 0;
  // The profiles' common axis: metres axis_from .. axis_to drawn from
  // pixel axis_left over axis_width.
  double axis_from = 0;
  double axis_to = 0;
  double axis_left = 0;
  double axis_width = 0;
  double plan_top = 0;
  // The band of the profiles; the kilometre axis lies below it, from
  // profiles_bottom to height.
  double profiles_top = 0;
  double profiles_bottom = 0;
  // The plan's line, one point every plan_step metres and at each end of
  // a run of usable points; empty without a plan.
  std::vector<PlanSample> plan;
};

// The same drawing as above, byte for byte, and where its parts lie.
// REQUIRES: geometry is not null.
std::string DrawScenarioSheet(const SheetScenario& scenario,
                              const SheetOptions& options,
                              SheetGeometry* geometry);

}  // namespace scenario

#endif  // SCENARIO_PLOT_SCENARIO_SHEET_H_
