// On Windows there is no rasteriser yet (librsvg and cairo have no build
// there): the sheet is drawn as SVG only.
#include "plot/raster.h"

namespace scenario {

Status RasterizeSvg(std::string_view, RasterFormat format, std::string* out) {
  out->clear();
  return Status::Error(
      std::string(format == RasterFormat::kPng ? "PNG" : "PDF") +
      " pictures are not available on Windows, only SVG: write the sheet "
      "as SVG (an output ending in .svg, or --format svg), which every "
      "browser opens");
}

}  // namespace scenario
