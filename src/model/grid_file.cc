#include "model/grid_file.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "model/block_writer.h"
#include "model/coding.h"

namespace scenario {
namespace {

// Packs the elements of one component, metres 0 to n - 1, in one pass.
template <typename Value>
void EncodeComponent(const LineGrid& grid, std::int64_t n, Value value,
                     BlockWriter& out) {
  for (std::int64_t m = 0; m < n; ++m) {
    const GridTag tag = grid.tag(m);
    switch (tag) {
      case GridTag::kEmpty:
        EncodeFixed16(out.Room(kGridEmptySize),
                      static_cast<std::uint16_t>(tag));
        out.Advance(kGridEmptySize);
        break;
      case GridTag::kInt16: {
        char* p = out.Room(kGridInt16Size);
        EncodeFixed16(p, static_cast<std::uint16_t>(tag));
        // Exact: the grid only holds int16 values under this tag.
        EncodeFixed16(p + kGridTagSize,
                      static_cast<std::uint16_t>(
                          static_cast<std::int16_t>(value(grid, m))));
        out.Advance(kGridInt16Size);
        break;
      }
      case GridTag::kDouble: {
        char* p = out.Room(kGridDoubleSize);
        EncodeFixed16(p, static_cast<std::uint16_t>(tag));
        EncodeDouble(p + kGridTagSize, value(grid, m));
        out.Advance(kGridDoubleSize);
        break;
      }
    }
  }
}

struct Element {
  GridTag tag;
  double value;
};

bool GetElement(std::string_view* input, Element* e) {
  std::uint16_t tag;
  if (!GetFixed16(input, &tag)) return false;
  switch (tag) {
    case static_cast<std::uint16_t>(GridTag::kEmpty):
      *e = {GridTag::kEmpty, 0.0};
      return true;
    case static_cast<std::uint16_t>(GridTag::kInt16): {
      std::uint16_t v;
      if (!GetFixed16(input, &v)) return false;
      *e = {GridTag::kInt16, static_cast<double>(static_cast<std::int16_t>(v))};
      return true;
    }
    case static_cast<std::uint16_t>(GridTag::kDouble): {
      double v;
      if (!GetDouble(input, &v)) return false;
      *e = {GridTag::kDouble, v};
      return true;
    }
    default:
      return false;
  }
}

// Passes over one element; false on an unknown tag or a cut element.
bool SkipElement(std::string_view* input) {
  std::uint16_t tag;
  if (!GetFixed16(input, &tag)) return false;
  std::size_t size = 0;
  switch (tag) {
    case static_cast<std::uint16_t>(GridTag::kEmpty):
      break;
    case static_cast<std::uint16_t>(GridTag::kInt16):
      size = kGridInt16ValueSize;
      break;
    case static_cast<std::uint16_t>(GridTag::kDouble):
      size = kGridDoubleValueSize;
      break;
    default:
      return false;
  }
  if (input->size() < size) return false;
  input->remove_prefix(size);
  return true;
}

}  // namespace

void EncodeGridFile(const LineGrid& grid, const PieceWriter& write) {
  BlockWriter out(write);
  const std::int64_t n = grid.size();
  EncodeComponent(
      grid, n, [](const LineGrid& g, std::int64_t m) { return g.x(m); }, out);
  EncodeComponent(
      grid, n, [](const LineGrid& g, std::int64_t m) { return g.y(m); }, out);
  out.Flush();
}

std::size_t GridFileSize(const LineGrid& grid) {
  std::size_t size = 0;
  for (std::int64_t m = 0; m < grid.size(); ++m) {
    switch (grid.tag(m)) {
      case GridTag::kEmpty:
        size += kGridEmptySize;
        break;
      case GridTag::kInt16:
        size += kGridInt16Size;
        break;
      case GridTag::kDouble:
        size += kGridDoubleSize;
        break;
    }
  }
  return 2 * size;
}

std::string EncodeGridFile(const LineGrid& grid) {
  std::string image;
  image.reserve(GridFileSize(grid));
  EncodeGridFile(grid,
                 [&image](std::string_view piece) { image.append(piece); });
  return image;
}

bool DecodeGridFile(std::string_view image, LineGrid* grid) {
  // Walked three times rather than collected: a 1000 km grid has two
  // million elements, and the walks touch only the image.
  std::size_t elements = 0;
  for (std::string_view rest = image; !rest.empty(); ++elements) {
    if (!SkipElement(&rest)) return false;
  }
  // x(0..E) then y(0..E): an even count of at least one metre.
  if (elements == 0 || elements % 2 != 0) return false;
  const std::size_t metres = elements / 2;
  if (metres - 1 > static_cast<std::size_t>(INT32_MAX)) return false;
  std::string_view xs = image;
  std::string_view ys = image;
  for (std::size_t m = 0; m < metres; ++m) SkipElement(&ys);
  LineGrid decoded;
  decoded.Create(static_cast<std::int32_t>(metres - 1));
  for (std::size_t m = 0; m < metres; ++m) {
    Element x;
    Element y;
    // The first walk has checked every element.
    GetElement(&xs, &x);
    GetElement(&ys, &y);
    if (x.tag != y.tag) return false;
    const auto metre = static_cast<std::int64_t>(m);
    switch (x.tag) {
      case GridTag::kEmpty:
        break;
      case GridTag::kInt16:
        decoded.SetInt16(metre, static_cast<std::int16_t>(x.value),
                         static_cast<std::int16_t>(y.value));
        break;
      case GridTag::kDouble:
        decoded.SetDouble(metre, x.value, y.value);
        break;
    }
  }
  *grid = std::move(decoded);
  return true;
}

}  // namespace scenario
