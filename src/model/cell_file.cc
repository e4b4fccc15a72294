#include "model/cell_file.h"

#include <cstdint>

#include "model/block_writer.h"
#include "model/coding.h"

namespace scenario {

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

void EncodeCellFile(const TrackCells& cells, const PieceWriter& write) {
  BlockWriter out(write);
  for (const TrackCell& cell : cells.cells()) {
    EncodeCell(cell, out.Room(kCellSize));
    out.Advance(kCellSize);
  }
  out.Flush();
}

std::string EncodeCellFile(const TrackCells& cells) {
  std::string image;
  image.reserve(cells.cells().size() * kCellSize);
  EncodeCellFile(cells,
                 [&image](std::string_view piece) { image.append(piece); });
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
