#ifndef SCENARIO_PLOT_RASTER_H_
#define SCENARIO_PLOT_RASTER_H_

#include <string>
#include <string_view>

#include "base/status.h"

namespace scenario {

enum class RasterFormat { kPng, kPdf };

// Largest picture RasterizeSvg draws, in pixels (width x height); a
// bigger one is refused rather than allocated.
inline constexpr double kMaxRasterPixels = 64e6;

// Renders an SVG document into *out: a PNG of the document's size in
// pixels on a white ground, or a one-page PDF of the same drawing with
// 1 px = 0.75 pt (96 px to the inch), text kept as text. Fails with a
// message when the document does not parse, has no size in pixels, is too
// large, or the renderer reports an error; *out is then left empty. The
// renderer is the rasteriser module (raster_module.h), loaded on the first
// call; a module that cannot be loaded fails the call with a message that
// names it.
Status RasterizeSvg(std::string_view svg, RasterFormat format,
                    std::string* out);

}  // namespace scenario

#endif  // SCENARIO_PLOT_RASTER_H_
