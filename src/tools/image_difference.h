#ifndef SCENARIO_TOOLS_IMAGE_DIFFERENCE_H_
#define SCENARIO_TOOLS_IMAGE_DIFFERENCE_H_

// The first byte where two sets of a scenario's file images differ, said
// in author terms: which file, the byte's offset, and what it is (a cell's
// field, a slot's field, a grid metre's coordinate) with both values.

#include <optional>
#include <string>

#include "tools/decompile.h"

namespace scenario {

// The bytes of a compiled scenario's files. has_grid: the scenario has a
// line grid file (grid_file then holds its bytes, possibly none).
struct ScenarioImages {
  std::string param_file;
  std::string cell_file;
  std::string grid_file;
  bool has_grid = false;
};

// The roles RoundTripDifference::file names when no path is known.
inline constexpr const char* kParamFileRole = ".sim";
inline constexpr const char* kCellFileRole = ".dat";
inline constexpr const char* kGridFileRole = "_linea.dat";

// The first difference of compiled from input, the files taken in the
// order parameter file, cell file, grid (the grid only when input has
// one); nullopt when they are byte for byte the same. A file of another
// length that agrees up to the shorter one differs at that length. what
// reads, e.g., "cell 345 (metre 17250), speed limit step: 19 (95 km/h) in
// the file, 20 (100 km/h) compiled": a cell's item fields by its item and
// storage name (kind, w2 ... b10), its line properties by name; a slot's
// fields as diff names them for what the slot holds; a grid metre's x or
// y.
std::optional<RoundTripDifference> FirstImageDifference(
    const ScenarioImages& input, const ScenarioImages& compiled);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_IMAGE_DIFFERENCE_H_
