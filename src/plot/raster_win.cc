// On Windows there is no rasteriser yet (librsvg and cairo have no build
// there): the sheet is drawn as SVG or as the HTML page only.
#include "plot/raster.h"

namespace scenario {

Status RasterizeSvg(std::string_view, RasterFormat format, std::string* out) {
  out->clear();
  return Status::Error(
      std::string(format == RasterFormat::kPng ? "PNG" : "PDF") +
      " pictures are not available on Windows: write the sheet as SVG (an "
      "output ending in .svg, or --format svg) or as the interactive HTML "
      "page (.html, or --format html), which every browser opens");
}

}  // namespace scenario
