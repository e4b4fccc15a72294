#ifndef SCENARIO_MODEL_GRID_FILE_H_
#define SCENARIO_MODEL_GRID_FILE_H_

// The line grid file: the elements x(0), x(1), ..., x(E), then y(0), ...,
// y(E), with E = extended_length (the metre varies fastest), with no header
// and no padding. Each element is a 2-byte type tag followed by its value:
//
//   tag 0  empty                     no value bytes
//   tag 2  16-bit integer            2 bytes, two's complement
//   tag 5  double (IEEE 754 binary64) 8 bytes
//
// Filled normally (metres 0 and 1 integers, 2 to E - 2 doubles, the last two
// empty) each component takes 4 + 4 + 10 x (E - 3) + 2 + 2 bytes and the
// file 20 x E - 36 bytes.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "model/line_grid.h"

namespace scenario {

// In files: never change.
inline constexpr std::size_t kGridTagSize = 2;
inline constexpr std::size_t kGridInt16ValueSize = 2;
inline constexpr std::size_t kGridDoubleValueSize = 8;
inline constexpr std::size_t kGridEmptySize = kGridTagSize;
inline constexpr std::size_t kGridInt16Size =
    kGridTagSize + kGridInt16ValueSize;
inline constexpr std::size_t kGridDoubleSize =
    kGridTagSize + kGridDoubleValueSize;
static_assert(kGridEmptySize == 2 && kGridInt16Size == 4 &&
              kGridDoubleSize == 10);

// The image of the line grid file, made in one pass over the grid (laying
// the runs of a grid that keeps them): its x half and its y half are
// handed to write in large pieces, each at its place in the file.
// Nothing when the grid does not exist.
void EncodeGridFile(const LineGrid& grid, const PlacedPieceWriter& write);
// The same image whole, and its size in bytes.
std::string EncodeGridFile(const LineGrid& grid);
std::size_t GridFileSize(const LineGrid& grid);

// False on an unknown tag, a truncated element, bytes left over, or a metre
// whose x and y tags differ. On success *grid exists with E+1 metres.
bool DecodeGridFile(std::string_view image, LineGrid* grid);

}  // namespace scenario

#endif  // SCENARIO_MODEL_GRID_FILE_H_
