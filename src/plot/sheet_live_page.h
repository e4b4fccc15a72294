#ifndef SCENARIO_PLOT_SHEET_LIVE_PAGE_H_
#define SCENARIO_PLOT_SHEET_LIVE_PAGE_H_

// The sheet page as watch --serve serves it: the page of DrawSheetPage
// with a live part (sheet_live.js, sheet_live.css, built in) that follows
// the server's rounds, and the page served before any good compile.

#include <string>

#include "plot/sheet_page.h"

namespace scenario {

// The live part that DrawSheetPage takes.
SheetPageLive LiveSheetPart();

// The page served while no compile has drawn a sheet yet: a line that
// says so, the diagnostics, and the live part, which reloads the page
// once a sheet is there.
std::string DrawSheetWaitingPage();

}  // namespace scenario

#endif  // SCENARIO_PLOT_SHEET_LIVE_PAGE_H_
