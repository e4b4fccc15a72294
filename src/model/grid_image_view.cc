#include "model/grid_image_view.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/coding.h"
#include "model/grid_file.h"

namespace scenario {
namespace {

// The size of the element whose tag is tag, or 0 for an unknown tag.
std::size_t ElementSize(std::uint16_t tag) {
  switch (tag) {
    case static_cast<std::uint16_t>(GridTag::kEmpty):
      return kGridEmptySize;
    case static_cast<std::uint16_t>(GridTag::kInt16):
      return kGridInt16Size;
    case static_cast<std::uint16_t>(GridTag::kDouble):
      return kGridDoubleSize;
    default:
      return 0;
  }
}

// Passes over one element; false on an unknown tag or a cut element.
// *tag is the element's tag.
bool SkipElement(std::string_view* input, std::uint16_t* tag) {
  if (input->size() < kGridTagSize) return false;
  *tag = DecodeFixed16(input->data());
  const std::size_t size = ElementSize(*tag);
  if (size == 0 || input->size() < size) return false;
  input->remove_prefix(size);
  return true;
}

// Reads one element of a checked half.
void ReadElement(std::string_view* half, GridTag* tag, double* value) {
  const char* p = half->data();
  *tag = static_cast<GridTag>(DecodeFixed16(p));
  switch (*tag) {
    case GridTag::kEmpty:
      *value = 0;
      break;
    case GridTag::kInt16:
      *value = static_cast<std::int16_t>(DecodeFixed16(p + kGridTagSize));
      break;
    case GridTag::kDouble:
      *value = DecodeDouble(p + kGridTagSize);
      break;
  }
  half->remove_prefix(ElementSize(static_cast<std::uint16_t>(*tag)));
}

}  // namespace

GridMetre GridMetreCursor::Next() {
  GridMetre metre;
  GridTag y_tag;
  ReadElement(&xs_, &metre.tag, &metre.x);
  ReadElement(&ys_, &y_tag, &metre.y);
  return metre;
}

bool GridImageView::Open(std::string_view image, GridImageView* view) {
  // Two walks over the tags, no value decoded: the first counts the
  // elements to find where y(0) starts, the second holds each x tag
  // against its y tag.
  std::size_t elements = 0;
  std::uint16_t tag = 0;
  for (std::string_view rest = image; !rest.empty(); ++elements) {
    if (!SkipElement(&rest, &tag)) return false;
  }
  if (elements == 0 || elements % 2 != 0) return false;
  const std::size_t metres = elements / 2;
  if (metres - 1 > static_cast<std::size_t>(INT32_MAX)) return false;
  std::string_view xs = image;
  for (std::size_t m = 0; m < metres; ++m) SkipElement(&xs, &tag);
  const std::size_t half = image.size() - xs.size();
  std::string_view ys = xs;
  xs = image.substr(0, half);
  for (std::size_t m = 0; m < metres; ++m) {
    std::uint16_t x_tag = 0;
    std::uint16_t y_tag = 0;
    SkipElement(&xs, &x_tag);
    SkipElement(&ys, &y_tag);
    if (x_tag != y_tag) return false;
  }
  view->xs_ = image.substr(0, half);
  view->ys_ = image.substr(half);
  view->metres_ = static_cast<std::int64_t>(metres);
  return true;
}

}  // namespace scenario
