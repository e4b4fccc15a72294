#include "plot/sheet_live_page.h"

#include <string>

namespace scenario {

// Built in from sheet_live.js and sheet_live.css.
extern const char kSheetLiveScript[];
extern const char kSheetLiveStyle[];

SheetPageLive LiveSheetPart() { return {kSheetLiveScript, kSheetLiveStyle}; }

std::string DrawSheetWaitingPage() {
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
      "'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
      "connect-src 'self'\">\n<title>No sheet yet</title>\n</head>\n<body>\n"
      "<p id=\"waiting\">No sheet yet: the page shows it after the first "
      "compile without codes.</p>\n"
      "<div id=\"diagnostics\" hidden></div>\n<style>\n";
  page += kSheetLiveStyle;
  page += "</style>\n<script>\n";
  page += kSheetLiveScript;
  page += "</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace scenario
