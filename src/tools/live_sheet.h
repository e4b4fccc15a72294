#ifndef SCENARIO_TOOLS_LIVE_SHEET_H_
#define SCENARIO_TOOLS_LIVE_SHEET_H_

// The sheet of a compiled scenario as watch --serve serves it: the whole
// page, and its drawing and data apart for a page already open.

#include <nlohmann/json.hpp>
#include <string>

#include "base/status.h"

namespace scenario {

class FileSystem;

struct LiveSheet {
  std::string page;     // the HTML page with its live part, UTF-8
  std::string svg;      // the <svg> element the page holds
  nlohmann::json data;  // as SheetPageData
};

// Reads the scenario that the parameter file param_file stands for (its
// cell file and grid beside it) and draws its live sheet at plot's default
// size. Fails with a message naming the file and the reason.
Status DrawLiveSheet(const std::string& param_file, FileSystem& fs,
                     LiveSheet* sheet);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_LIVE_SHEET_H_
