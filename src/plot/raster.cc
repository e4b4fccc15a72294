#include "plot/raster.h"

#include "base/shared_module.h"
#include "plot/raster_module.h"

namespace scenario {

Status RasterizeSvg(std::string_view svg, RasterFormat format,
                    std::string* out) {
  out->clear();
  void* entry = nullptr;
  Status status =
      LoadSharedModule(kRasterModuleFile, kRasterModuleEntry, &entry);
  if (!status.ok()) {
    return Status::Error("PNG and PDF pictures need the rasteriser: " +
                         status.message());
  }
  return reinterpret_cast<RasterModuleEntry>(entry)(svg, format, out);
}

}  // namespace scenario
