#ifndef SCENARIO_TOOLS_INSPECT_H_
#define SCENARIO_TOOLS_INSPECT_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"

namespace scenario {

class FileSystem;

// The three binary files.
enum class BinaryKind { kCells, kParams, kGrid };

// The kind a file's name gives: "..._linea.dat" is a line grid, any other
// ".dat" a cell file, ".sim" a parameter file. Absent for other names.
std::optional<BinaryKind> BinaryKindFromName(std::string_view path);
// "cells", "params", "grid".
std::optional<BinaryKind> BinaryKindFromWord(std::string_view word);

class ParamTable;

struct InspectOptions {
  bool json = false;
  bool all = false;       // cells and slots that are all zero as well
  int grid_every = 1000;  // metres between grid samples; REQUIRES: > 0
  // The storage view: every stored field by its storage name, as the file
  // holds it. Otherwise cells and slots are shown in author units.
  bool raw = false;
  // The scenario's parameter table, for the author view of a cell file:
  // kilometre readings, station names, board texts. May be null.
  const ParamTable* params = nullptr;
};

// Decodes image as kind and renders it as a readable listing or as JSON,
// in author units unless options.raw.
// Returns false, with *error saying why, when the image does not fit the
// layout of that kind.
bool InspectImage(std::string_view image, BinaryKind kind,
                  const InspectOptions& options, std::string* out,
                  std::string* error);

// Reads the file at path through fs and renders it as InspectImage does.
// The author view of a cell file reads the parameter file beside it, named
// like it with ".sim", for kilometre readings, station names and board
// texts; without one it shows positions in metres only. Fails with a
// message naming the file when it cannot be read or does not fit the
// layout of kind.
Status InspectFile(const std::string& path, BinaryKind kind,
                   InspectOptions options, FileSystem& fs,
                   std::string* listing);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_INSPECT_H_
