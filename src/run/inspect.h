#ifndef SCENARIO_RUN_INSPECT_H_
#define SCENARIO_RUN_INSPECT_H_

#include <optional>
#include <string>
#include <string_view>

namespace scenario {

// The three binary files.
enum class BinaryKind { kCells, kParams, kGrid };

// The kind a file's name gives: "..._linea.dat" is a line grid, any other
// ".dat" a cell file, ".sim" a parameter file. Absent for other names.
std::optional<BinaryKind> BinaryKindFromName(std::string_view path);
// "cells", "params", "grid".
std::optional<BinaryKind> BinaryKindFromWord(std::string_view word);

struct InspectOptions {
  bool json = false;
  bool all = false;       // cells and slots that are all zero as well
  int grid_every = 1000;  // metres between grid samples; REQUIRES: > 0
};

// Decodes image as kind and renders it as a readable listing or as JSON.
// Returns false, with *error saying why, when the image does not fit the
// layout of that kind.
bool InspectImage(std::string_view image, BinaryKind kind,
                  const InspectOptions& options, std::string* out,
                  std::string* error);

}  // namespace scenario

#endif  // SCENARIO_RUN_INSPECT_H_
