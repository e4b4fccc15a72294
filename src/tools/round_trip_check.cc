#include "tools/round_trip_check.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_system.h"
#include "compile/compile_stage.h"
#include "model/cell_file.h"
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

// The input's images, packed again from the decoded model: the decoders
// take every byte of a file into the model, so these are the file's bytes.
ScenarioImages InputImages(const LoadedScenario& loaded) {
  ScenarioImages images;
  images.param_file = EncodeParamFile(loaded.table);
  images.cell_file = CellImage(loaded.cells);
  images.has_grid = loaded.grid.exists();
  if (images.has_grid) images.grid_file = EncodeGridFile(loaded.grid);
  return images;
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
  const bool grid = loaded.grid.exists();
  const CompileResult result = memorizza_percorso(s, grid ? 1 : 0, fs, files);
  out->same_bytes = false;
  out->difference = RoundTripDifference{};
  if (result.end != CompileEnd::kWritten) {
    out->difference.what =
        "the descriptions do not compile: " + CompileEndMessage(result);
    return;
  }
  ScenarioImages compiled;
  compiled.param_file = EncodeParamFile(s.param_table);
  compiled.cell_file = EncodeCellFile(s.track_cells);
  compiled.has_grid = grid;
  if (grid) compiled.grid_file = EncodeGridFile(s.line_grid);
  const std::optional<RoundTripDifference> difference =
      FirstImageDifference(InputImages(loaded), compiled);
  out->same_bytes = !difference.has_value();
  if (difference) out->difference = *difference;
}

}  // namespace scenario
