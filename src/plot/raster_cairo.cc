// The rasteriser module: librsvg and cairo turn the SVG into PNG or PDF.
// Built as a shared module of its own (raster_module.h).
#include <cairo-pdf.h>
#include <cairo.h>
#include <librsvg/rsvg.h>

#include <cmath>
#include <memory>
#include <string>
#include <string_view>

#include "plot/raster.h"
#include "plot/raster_module.h"

namespace scenario {
namespace {

// Text goes through fontconfig, whose caches live until the process ends;
// the sanitizer build's leak checker is told so once, beside the waiting
// window (run/waiting_window.cc), which every binary that draws links too.

constexpr double kPointsPerPixel = 0.75;

struct HandleUnref {
  void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct SurfaceDestroy {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroy {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using HandlePtr = std::unique_ptr<RsvgHandle, HandleUnref>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDestroy>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDestroy>;

// Takes ownership of a GError and returns its message.
std::string TakeMessage(GError* error) {
  if (error == nullptr) return "unknown error";
  std::string m = error->message != nullptr ? error->message : "unknown error";
  g_error_free(error);
  return m;
}

cairo_status_t AppendToString(void* closure, const unsigned char* data,
                              unsigned int length) {
  static_cast<std::string*>(closure)->append(
      reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

std::string CairoMessage(cairo_status_t status) {
  return cairo_status_to_string(status);
}

// Draws the SVG onto the surface: white under a PNG, scaled to points for
// a PDF.
Status RenderOnto(RsvgHandle* handle, cairo_surface_t* surface,
                  RasterFormat format, double width, double height) {
  GError* error = nullptr;
  ContextPtr cr(cairo_create(surface));
  if (format == RasterFormat::kPdf) {
    cairo_scale(cr.get(), kPointsPerPixel, kPointsPerPixel);
  } else {
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
  }
  const RsvgRectangle viewport{0, 0, width, height};
  if (!rsvg_handle_render_document(handle, cr.get(), &viewport, &error)) {
    return Status::Error("cannot render the SVG drawing: " +
                         TakeMessage(error));
  }
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
    return Status::Error("cannot render the SVG drawing: " +
                         CairoMessage(cairo_status(cr.get())));
  }
  return Status::Ok();
}

Status Rasterize(std::string_view svg, RasterFormat format, std::string* out) {
  out->clear();
  GError* error = nullptr;
  HandlePtr handle(rsvg_handle_new_from_data(
      reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error));
  if (!handle) {
    return Status::Error("the SVG drawing does not parse: " +
                         TakeMessage(error));
  }
  rsvg_handle_set_dpi(handle.get(), 96);
  double width = 0;
  double height = 0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(handle.get(), &width,
                                                &height) ||
      !(width >= 1) || !(height >= 1)) {
    return Status::Error("the SVG drawing has no size in pixels");
  }
  if (width * height > kMaxRasterPixels) {
    return Status::Error("the drawing is too large to rasterise (" +
                         std::to_string(std::lround(width)) + " x " +
                         std::to_string(std::lround(height)) + " pixels)");
  }

  std::string bytes;
  SurfacePtr surface(
      format == RasterFormat::kPng
          ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                       static_cast<int>(std::ceil(width)),
                                       static_cast<int>(std::ceil(height)))
          : cairo_pdf_surface_create_for_stream(AppendToString, &bytes,
                                                width * kPointsPerPixel,
                                                height * kPointsPerPixel));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    return Status::Error("cannot create the drawing surface: " +
                         CairoMessage(cairo_surface_status(surface.get())));
  }
  Status rendered =
      RenderOnto(handle.get(), surface.get(), format, width, height);
  if (!rendered.ok()) return rendered;
  if (format == RasterFormat::kPng) {
    const cairo_status_t s = cairo_surface_write_to_png_stream(
        surface.get(), AppendToString, &bytes);
    if (s != CAIRO_STATUS_SUCCESS) {
      return Status::Error("cannot encode the PNG picture: " + CairoMessage(s));
    }
  } else {
    // Finishing the surface writes the rest of the PDF to the stream.
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
      return Status::Error("cannot write the PDF document: " +
                           CairoMessage(cairo_surface_status(surface.get())));
    }
  }
  *out = std::move(bytes);
  return Status::Ok();
}

}  // namespace
}  // namespace scenario

// The entry point named by kRasterModuleEntry.
extern "C" scenario::Status ScenarioRasterizeSvg(std::string_view svg,
                                                 scenario::RasterFormat format,
                                                 std::string* out) {
  return scenario::Rasterize(svg, format, out);
}
