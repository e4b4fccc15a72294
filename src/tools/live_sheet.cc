#include "tools/live_sheet.h"

#include <string_view>
#include <utility>

#include "plot/scenario_sheet.h"
#include "plot/sheet_live_page.h"
#include "plot/sheet_page.h"
#include "tools/scenario_files.h"

namespace scenario {

Status DrawLiveSheet(const std::string& param_file, FileSystem& fs,
                     LiveSheet* sheet) {
  PlotOptions plot;
  plot.inputs = {param_file};
  ScenarioFileSet files;
  Status s = FindScenarioFiles(plot, fs, &files);
  if (!s.ok()) return s;
  LoadedScenario loaded;
  s = LoadScenarioFiles(files, fs, &loaded);
  if (!s.ok()) return s;
  const SheetScenario scenario = SheetScenarioOf(files, loaded);
  SheetOptions options;
  options.width = plot.width;
  SheetGeometry geometry;
  const std::string svg = DrawScenarioSheet(scenario, options, &geometry);
  // An HTML page takes the <svg> element, not the XML declaration.
  const std::size_t start = svg.find("<svg");
  sheet->svg = start == std::string::npos ? svg : svg.substr(start);
  sheet->data = SheetPageData(scenario, geometry);
  const SheetPageLive live = LiveSheetPart();
  sheet->page = DrawSheetPage(scenario, options, &live);
  return Status::Ok();
}

}  // namespace scenario
