#ifndef SCENARIO_PLOT_RASTER_MODULE_H_
#define SCENARIO_PLOT_RASTER_MODULE_H_

// The rasteriser module: a shared module beside the executable that holds
// librsvg and cairo. Only RasterizeSvg loads it. The module and the program
// are built together from these sources; a module of another build is not
// supported.

#include <string>
#include <string_view>

#include "base/status.h"
#include "plot/raster.h"

namespace scenario {

inline constexpr char kRasterModuleFile[] = "scenario-raster.so";
inline constexpr char kRasterModuleEntry[] = "ScenarioRasterizeSvg";

// The module's entry point, kRasterModuleEntry: RasterizeSvg itself.
using RasterModuleEntry = Status (*)(std::string_view svg, RasterFormat format,
                                     std::string* out);

}  // namespace scenario

#endif  // SCENARIO_PLOT_RASTER_MODULE_H_
