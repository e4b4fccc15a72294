#ifndef SCENARIO_MODEL_CELL_FILE_H_
#define SCENARIO_MODEL_CELL_FILE_H_

// The cell file: cells 0 to last_cell in index order, 15 bytes each, with
// no header, no descriptor and no padding, so the file is
// 15 x (last_cell + 1) bytes. Each cell is packed field by field in the
// order of TrackCell; the words are little-endian two's complement.
//
// Cell 1 is the file's header cell: its w2 (file offsets 16-17) holds 5121
// and its w4 (offsets 18-19) the plain race code.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "model/coding.h"
#include "model/track_cells.h"

namespace scenario {

// On-disk TrackCell: 15 bytes, packed, little-endian. In files: never
// change.
inline constexpr std::size_t kCellKindAt = 0;        // u8
inline constexpr std::size_t kCellW2At = 1;          // i16
inline constexpr std::size_t kCellW4At = 3;          // i16
inline constexpr std::size_t kCellW6At = 5;          // i16
inline constexpr std::size_t kCellW8At = 7;          // i16
inline constexpr std::size_t kCellB10At = 9;         // u8
inline constexpr std::size_t kCellB11At = 10;        // u8
inline constexpr std::size_t kCellMountainAt = 11;   // u8
inline constexpr std::size_t kCellSpeedStepAt = 12;  // u8
inline constexpr std::size_t kCellGradientAt = 13;   // u8
inline constexpr std::size_t kCellAdhesionAt = 14;   // u8
inline constexpr std::size_t kCellSize = 15;
static_assert(kCellW2At == kCellKindAt + 1 && kCellW4At == kCellW2At + 2 &&
              kCellW6At == kCellW4At + 2 && kCellW8At == kCellW6At + 2 &&
              kCellB10At == kCellW8At + 2);
static_assert(kCellB11At == kCellB10At + 1 &&
              kCellMountainAt == kCellB11At + 1 &&
              kCellSpeedStepAt == kCellMountainAt + 1 &&
              kCellGradientAt == kCellSpeedStepAt + 1 &&
              kCellAdhesionAt == kCellGradientAt + 1);
static_assert(kCellAdhesionAt + 1 == kCellSize);

// The cell that carries the file's header words in w2 and w4 (with kind
// 0), and the mark stamped into its w2. In files: never change.
inline constexpr std::int64_t kHeaderCell = 1;
inline constexpr std::int16_t kCellHeaderMark = 5121;

// Where the header words of cell 1 stand in the file.
inline constexpr std::size_t kHeaderMarkOffset = kCellSize + kCellW2At;
inline constexpr std::size_t kHeaderCodeOffset = kCellSize + kCellW4At;
static_assert(kHeaderMarkOffset == 16 && kHeaderCodeOffset == 18);

// Packs one cell into dst[0..kCellSize).
inline void EncodeCell(const TrackCell& cell, char* dst) {
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
// Unpacks one cell from src[0..kCellSize).
TrackCell DecodeCell(const char* src);

// The image of the cell file, 15 bytes a cell, handed to write in large
// pieces in one pass. Nothing when the array does not exist.
void EncodeCellFile(const TrackCells& cells, const PieceWriter& write);
// The same image whole.
std::string EncodeCellFile(const TrackCells& cells);

// False when the image is empty or its size is not a multiple of 15.
bool DecodeCellFile(std::string_view image, std::vector<TrackCell>* cells);

}  // namespace scenario

#endif  // SCENARIO_MODEL_CELL_FILE_H_
