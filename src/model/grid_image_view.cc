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

}  // namespace

bool GridImageView::Open(std::string_view image, GridImageView* view) {
  // x and y of each metre share a tag, so the two halves of an image that
  // decodes are of one size: the y half starts in the middle. One walk of
  // both halves side by side checks each element and holds each x tag
  // against its y tag; both halves must end together, at their ends.
  if (image.empty() || image.size() % 2 != 0) return false;
  const std::size_t half = image.size() / 2;
  const char* x = image.data();
  const char* y = x + half;
  const char* const x_end = y;
  std::size_t metres = 0;
  while (x != x_end) {
    const auto left = static_cast<std::size_t>(x_end - x);
    if (left < kGridTagSize) return false;
    const std::uint16_t tag = DecodeFixed16(x);
    const std::size_t size = ElementSize(tag);
    if (size == 0 || left < size || DecodeFixed16(y) != tag) return false;
    x += size;
    y += size;
    ++metres;
  }
  if (metres - 1 > static_cast<std::size_t>(INT32_MAX)) return false;
  view->xs_ = image.substr(0, half);
  view->ys_ = image.substr(half);
  view->metres_ = static_cast<std::int64_t>(metres);
  return true;
}

}  // namespace scenario
