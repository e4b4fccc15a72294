#include "model/cell_file.h"

#include <cstdint>

#include "model/coding.h"

namespace scenario {

void EncodeCell(const TrackCell& cell, char* dst) {
  dst[kCellKindAt] = static_cast<char>(cell.kind);
  EncodeFixed16(dst + kCellW2At, static_cast<std::uint16_t>(cell.w2));
  EncodeFixed16(dst + kCellW4At, static_cast<std::uint16_t>(cell.w4));
  EncodeFixed16(dst + kCellW6At, static_cast<std::uint16_t>(cell.w6));
  EncodeFixed16(dst + kCellW8At, static_cast<std::uint16_t>(cell.w8));
  dst[kCellB10At] = static_cast<char>(cell.b10);
  dst[kCellB11At] = static_cast<char>(cell.b11);
  dst[kCellMountainAt] = static_cast<char>(cell.mountain);
  dst[kCellSpeedStepAt] = static_cast<char>(cell.speed_step);
  dst[kCellGradientAt] = static_cast<char>(cell.gradient);
  dst[kCellAdhesionAt] = static_cast<char>(cell.adhesion);
}

TrackCell DecodeCell(const char* src) {
  auto byte = [src](std::size_t at) {
    return static_cast<std::uint8_t>(src[at]);
  };
  auto word = [src](std::size_t at) {
    return static_cast<std::int16_t>(DecodeFixed16(src + at));
  };
  TrackCell cell;
  cell.kind = byte(kCellKindAt);
  cell.w2 = word(kCellW2At);
  cell.w4 = word(kCellW4At);
  cell.w6 = word(kCellW6At);
  cell.w8 = word(kCellW8At);
  cell.b10 = byte(kCellB10At);
  cell.b11 = byte(kCellB11At);
  cell.mountain = byte(kCellMountainAt);
  cell.speed_step = byte(kCellSpeedStepAt);
  cell.gradient = byte(kCellGradientAt);
  cell.adhesion = byte(kCellAdhesionAt);
  return cell;
}

std::string EncodeCellFile(const TrackCells& cells) {
  const std::vector<TrackCell>& all = cells.cells();
  std::string image(all.size() * kCellSize, '\0');
  for (std::size_t i = 0; i < all.size(); ++i) {
    EncodeCell(all[i], image.data() + i * kCellSize);
  }
  return image;
}

bool DecodeCellFile(std::string_view image, std::vector<TrackCell>* cells) {
  if (image.empty() || image.size() % kCellSize != 0) return false;
  cells->clear();
  cells->reserve(image.size() / kCellSize);
  for (std::size_t at = 0; at < image.size(); at += kCellSize) {
    cells->push_back(DecodeCell(image.data() + at));
  }
  return true;
}

}  // namespace scenario
