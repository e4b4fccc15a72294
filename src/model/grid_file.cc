#include "model/grid_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/block_writer.h"
#include "model/coding.h"
#include "model/grid_image_view.h"

namespace scenario {
namespace {

// Packs one element: its tag, then its value.
inline void PutElement(BlockWriter& out, GridTag tag, double value) {
  switch (tag) {
    case GridTag::kEmpty:
      EncodeFixed16(out.Room(kGridEmptySize), static_cast<std::uint16_t>(tag));
      out.Advance(kGridEmptySize);
      break;
    case GridTag::kInt16: {
      char* p = out.Room(kGridInt16Size);
      EncodeFixed16(p, static_cast<std::uint16_t>(tag));
      // Exact: the grid only holds int16 values under this tag.
      EncodeFixed16(p + kGridTagSize, static_cast<std::uint16_t>(
                                          static_cast<std::int16_t>(value)));
      out.Advance(kGridInt16Size);
      break;
    }
    case GridTag::kDouble: {
      char* p = out.Room(kGridDoubleSize);
      EncodeFixed16(p, static_cast<std::uint16_t>(tag));
      EncodeDouble(p + kGridTagSize, value);
      out.Advance(kGridDoubleSize);
      break;
    }
  }
}

// Lays a run of a grid that keeps its runs, from *p, and packs its
// metres into both halves. The metres go in stretches that fit both blocks,
// so that no flush can come between two metres of a stretch and the walk's
// sums stay in registers.
void PackRun(const PlanRun& run, PlanPoints* p, BlockWriter& xs,
             BlockWriter& ys) {
  for (std::int64_t m = run.first; m <= run.last;) {
    char* x_at = xs.Room(kGridDoubleSize);
    char* y_at = ys.Room(kGridDoubleSize);
    const auto fit = static_cast<std::int64_t>(
        std::min(xs.Available(), ys.Available()) / kGridDoubleSize);
    const std::int64_t last = std::min(run.last, m + fit - 1);
    WalkPlanRun(PlanRun{m, last, run.turn}, p,
                [&x_at, &y_at](std::int64_t, double x, double y) {
                  constexpr auto kTag =
                      static_cast<std::uint16_t>(GridTag::kDouble);
                  EncodeFixed16(x_at, kTag);
                  EncodeDouble(x_at + kGridTagSize, x);
                  x_at += kGridDoubleSize;
                  EncodeFixed16(y_at, kTag);
                  EncodeDouble(y_at + kGridTagSize, y);
                  y_at += kGridDoubleSize;
                });
    const auto packed =
        static_cast<std::size_t>(last - m + 1) * kGridDoubleSize;
    xs.Advance(packed);
    ys.Advance(packed);
    m = last + 1;
  }
}

std::size_t ElementSize(GridTag tag) {
  switch (tag) {
    case GridTag::kEmpty:
      return kGridEmptySize;
    case GridTag::kInt16:
      return kGridInt16Size;
    case GridTag::kDouble:
      return kGridDoubleSize;
  }
  return kGridEmptySize;
}

// The size in bytes of each half of the file (x and y have equal tags).
std::size_t HalfSize(const LineGrid& grid) {
  std::size_t size = 0;
  for (std::int64_t m = 0; m < grid.held(); ++m) {
    size += ElementSize(grid.tag(m));
  }
  if (grid.kept_runs()) {
    size += static_cast<std::size_t>(grid.laid_end() - grid.held()) *
                kGridDoubleSize +
            static_cast<std::size_t>(grid.size() - grid.laid_end()) *
                kGridEmptySize;
  }
  return size;
}

}  // namespace

void EncodeGridFile(const LineGrid& grid, const PlacedPieceWriter& write) {
  // One walk makes both halves: each goes to its place through a block of
  // its own, and neither waits in memory for the other.
  BlockWriter xs(write, 0);
  BlockWriter ys(write, HalfSize(grid));
  const std::int64_t held = grid.held();
  for (std::int64_t m = 0; m < held; ++m) {
    PutElement(xs, grid.tag(m), grid.x(m));
    PutElement(ys, grid.tag(m), grid.y(m));
  }
  if (grid.kept_runs()) {
    // The runs follow one another from metre 2, laid from metres 0 and 1;
    // the metres after the last one are empty.
    PlanPoints p;
    if (held == 2) p = {grid.x(0), grid.y(0), grid.x(1), grid.y(1)};
    for (const PlanRun& run : grid.runs()) PackRun(run, &p, xs, ys);
    for (std::int64_t m = grid.laid_end(); m < grid.size(); ++m) {
      PutElement(xs, GridTag::kEmpty, 0.0);
      PutElement(ys, GridTag::kEmpty, 0.0);
    }
  }
  xs.Flush();
  ys.Flush();
}

std::size_t GridFileSize(const LineGrid& grid) { return 2 * HalfSize(grid); }

std::string EncodeGridFile(const LineGrid& grid) {
  std::string image(GridFileSize(grid), '\0');
  EncodeGridFile(grid, [&image](std::uint64_t offset, std::string_view piece) {
    image.replace(static_cast<std::size_t>(offset), piece.size(), piece);
  });
  return image;
}

bool DecodeGridFile(std::string_view image, LineGrid* grid) {
  // The view checks the image; its cursor then reads each metre in place.
  GridImageView view;
  if (!GridImageView::Open(image, &view)) return false;
  LineGrid decoded;
  decoded.Create(static_cast<std::int32_t>(view.size() - 1));
  GridMetreCursor cursor = view.Begin();
  for (std::int64_t m = 0; m < view.size(); ++m) {
    const GridMetre metre = cursor.Next();
    switch (metre.tag) {
      case GridTag::kEmpty:
        break;
      case GridTag::kInt16:
        decoded.SetInt16(m, static_cast<std::int16_t>(metre.x),
                         static_cast<std::int16_t>(metre.y));
        break;
      case GridTag::kDouble:
        decoded.SetDouble(m, metre.x, metre.y);
        break;
    }
  }
  *grid = std::move(decoded);
  return true;
}

}  // namespace scenario
