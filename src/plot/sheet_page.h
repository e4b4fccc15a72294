#ifndef SCENARIO_PLOT_SHEET_PAGE_H_
#define SCENARIO_PLOT_SHEET_PAGE_H_

// The scenario sheet as one self-contained HTML page: the very SVG drawing
// that DrawScenarioSheet makes, inline, with a small script and style
// (sheet_page.js, sheet_page.css, built in) and the data that script needs
// as embedded JSON. The page zooms and pans the profiles along the
// kilometre axis, shows what lies under the pointer in author terms and
// finds stations, signals and kilometre readings. It loads nothing: no
// network request, no external script, style or font (its content
// security policy forbids them).

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "plot/scenario_sheet.h"

namespace scenario {

// The data behind the page's script, from the same drawing's geometry:
//   "title": the page's title;
//   "geometry": the sheet's size and the profiles' axis (metres and
//     pixels), as SheetGeometry;
//   "km": the kilometre records as [start, offset] pairs (from each start
//     on, reading = position + offset; before the first, the position);
//   "cells": the number of cells; each cell covers 50 m;
//   "profile": [cell, gradient per mille, speed limit km/h, speed in force
//     with the slowdowns km/h, adhesion, mountain-side type] where any of
//     them changes, from cell 0 on;
//   "items": every cell's content as inspect --json lists it
//     (CellItemJson), but with "fields" in row order and with their
//     units, as inspect's listing shows them: [[name, value, unit], ...];
//   "stations": {"name", "position", "km"} in slot order;
//   "plan": [position, x, y] points of the plan's line.
nlohmann::json SheetPageData(const SheetScenario& scenario,
                             const SheetGeometry& geometry);

// What a page served live adds to the sheet: a script and a style of its
// own, run after the sheet's script, an empty element with id
// "diagnostics" for it to fill, and leave to fetch from the page's own
// origin (and nowhere else).
struct SheetPageLive {
  std::string_view script;
  std::string_view style;
};

// The whole page, UTF-8; live, when given, makes it the served page.
std::string DrawSheetPage(const SheetScenario& scenario,
                          const SheetOptions& options,
                          const SheetPageLive* live = nullptr);

}  // namespace scenario

#endif  // SCENARIO_PLOT_SHEET_PAGE_H_
