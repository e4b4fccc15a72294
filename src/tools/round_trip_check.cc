#include "tools/round_trip_check.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "compile/compile_stage.h"
#include "model/cell_file.h"
#include "model/diagnostics.h"
#include "model/grid_file.h"
#include "model/param_file.h"
#include "model/scenario.h"
#include "tools/image_difference.h"
#include "tools/scenario_files.h"

namespace scenario {
namespace {

// The paths the in-memory compile reads the two descriptions under; no
// byte of the compiled files depends on them.
constexpr const char* kLinePath = "decompiled_linea.txt";
constexpr const char* kTrainPath = "decompiled-.txt";

// Serves the two written descriptions to the compile and nothing else:
// the self-check writes no file and deletes none.
class DescriptionsInMemory : public FileSystem {
 public:
  DescriptionsInMemory(const std::string& line, const std::string& train)
      : files_{{kLinePath, line}, {kTrainPath, train}} {}

  bool IsNormalFile(const std::string& path) override {
    return files_.count(path) != 0;
  }
  Status ReadFile(const std::string& path, std::string* contents) override {
    const auto it = files_.find(path);
    if (it == files_.end()) return Refuse("read", path);
    *contents = it->second;
    return Status::Ok();
  }
  Status WriteFileReplacing(const std::string& path,
                            std::string_view) override {
    return Refuse("write", path);
  }
  Status DeleteFile(const std::string& path) override {
    return Refuse("delete", path);
  }
  FileInfo Stat(const std::string& path) override {
    FileInfo info;
    if (const auto it = files_.find(path); it != files_.end()) {
      info.kind = FileKind::kNormal;
      info.size = it->second.size();
    }
    return info;
  }
  Status CreateFolders(const std::string& path) override {
    return Refuse("create", path);
  }
  Status ListFolder(const std::string& path,
                    std::vector<FolderEntry>*) override {
    return Refuse("list", path);
  }

 private:
  static Status Refuse(const char* what, const std::string& path) {
    return Status::Error(std::string("the self-check cannot ") + what + " \"" +
                         path + "\"");
  }

  std::map<std::string, std::string> files_;
};

std::string CellImage(const std::vector<TrackCell>& cells) {
  std::string image(cells.size() * kCellSize, '\0');
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EncodeCell(cells[i], image.data() + i * kCellSize);
  }
  return image;
}

// The input's images: the parameter and cell files packed again from the
// decoded model (the decoders take every byte of a file into the model, so
// these are the files' bytes; both are small), the grid as kept by the
// load or packed likewise (grid_scratch holds it then).
struct InputImages {
  std::string param_file;
  std::string cell_file;
  std::optional<std::string_view> grid_file;
  std::string grid_scratch;

  explicit InputImages(const LoadedScenario& loaded)
      : param_file(EncodeParamFile(loaded.table)),
        cell_file(CellImage(loaded.cells)) {
    if (HasGrid(loaded)) grid_file = GridImageOf(loaded, &grid_scratch);
  }
  InputImages(const InputImages&) = delete;
  InputImages& operator=(const InputImages&) = delete;

  // A whole copy, for naming a difference.
  ScenarioImages Copy() const {
    ScenarioImages images;
    images.param_file = param_file;
    images.cell_file = cell_file;
    images.has_grid = grid_file.has_value();
    if (grid_file) images.grid_file = std::string(*grid_file);
    return images;
  }
};

// Holds the pieces of a compiled image against the input's bytes as the
// encoder hands them over, so that a long line's compiled grid is never
// held whole: equal() once every piece has come.
class PieceComparer {
 public:
  explicit PieceComparer(std::string_view input) : input_(input) {}

  void Compare(std::uint64_t offset, std::string_view piece) {
    end_ = std::max(end_, offset + piece.size());
    if (!same_ || offset > input_.size() ||
        piece.size() > input_.size() - offset) {
      same_ = false;
      return;
    }
    same_ =
        std::memcmp(input_.data() + offset, piece.data(), piece.size()) == 0;
  }
  PieceWriter Sequential() {
    return [this](std::string_view piece) {
      Compare(next_, piece);
      next_ += piece.size();
    };
  }
  PlacedPieceWriter Placed() {
    return [this](std::uint64_t offset, std::string_view piece) {
      Compare(offset, piece);
    };
  }
  // REQUIRES: the pieces covered the image, each byte once.
  bool equal() const { return same_ && end_ == input_.size(); }

 private:
  std::string_view input_;
  std::uint64_t next_ = 0;
  std::uint64_t end_ = 0;
  bool same_ = true;
};

// Whether the compiled model packs into the input's images.
bool CompilesToInput(const Scenario& s, const InputImages& input) {
  PieceComparer params(input.param_file);
  EncodeParamFile(s.param_table, params.Sequential());
  if (!params.equal()) return false;
  PieceComparer cells(input.cell_file);
  EncodeCellFile(s.track_cells, cells.Sequential());
  if (!cells.equal()) return false;
  if (!input.grid_file) return true;
  PieceComparer grid(*input.grid_file);
  EncodeGridFile(s.line_grid, grid.Placed());
  return grid.equal();
}

// A recorded code for the report: "code 16 at 2250 m: <message>".
std::string CodeText(const Diagnostic& d) {
  std::string text = "code " + std::to_string(d.code);
  if (d.position) text += " at " + std::to_string(*d.position) + " m";
  return text + ": " + d.message;
}

}  // namespace

void CheckRoundTrip(const LoadedScenario& loaded, Decompiled* out) {
  Scenario s;
  s.line_name = loaded.table[kLineSlot].text;
  s.train_name = loaded.table[kTrainSlot].text;
  DescriptionsInMemory fs(out->line_text, out->train_text);
  CompileFiles files;
  files.line_description = kLinePath;
  files.train_description = kTrainPath;
  files.delete_descriptions = false;
  files.write_outputs = false;
  const CompileResult result =
      memorizza_percorso(s, HasGrid(loaded) ? 1 : 0, fs, files);
  out->same_bytes = false;
  out->difference = RoundTripDifference{};
  if (result.end != CompileEnd::kWritten) {
    out->difference.what =
        "the descriptions do not compile: " + CompileEndMessage(result);
    return;
  }
  const InputImages input(loaded);
  if (CompilesToInput(s, input)) {
    out->same_bytes = true;
    return;
  }
  // Only now are the compiled images held whole, to name what differs.
  ScenarioImages compiled;
  compiled.param_file = EncodeParamFile(s.param_table);
  compiled.cell_file = EncodeCellFile(s.track_cells);
  compiled.has_grid = input.grid_file.has_value();
  if (compiled.has_grid) compiled.grid_file = EncodeGridFile(s.line_grid);
  const std::optional<RoundTripDifference> difference =
      FirstImageDifference(input.Copy(), compiled);
  out->same_bytes = !difference.has_value();
  if (difference) out->difference = *difference;
  if (!out->same_bytes && !s.errors.diagnostics.empty()) {
    out->difference.compile_code = CodeText(s.errors.diagnostics.front());
  }
}

}  // namespace scenario
