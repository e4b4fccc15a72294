#include "tools/scenario_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "base/file_system.h"
#include "base/windows1252.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/kilometre_axis.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "plot/raster.h"
#include "plot/scenario_sheet.h"

namespace scenario {
namespace {

namespace fs_lib = std::filesystem;

constexpr std::string_view kParamEnding = ".sim";
constexpr std::string_view kCellEnding = ".dat";
constexpr std::string_view kGridEnding = "_linea.dat";

// Far above the largest scenario (a 1000 km grid is about 20 MB): a
// bigger file is not read into memory at all.
constexpr std::uintmax_t kMaxInputBytes = 256u << 20;

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

bool StartsWith(std::string_view s, std::string_view start) {
  return s.substr(0, start.size()) == start;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string Join(const fs_lib::path& dir, std::string_view name) {
  return (dir / fs_lib::path(std::string(name))).string();
}

std::string FileName(const std::string& path) {
  return fs_lib::path(path).filename().string();
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs_lib::is_directory(path, ec);
}

// Reads a whole input file, refusing one too large to be a scenario's.
Status ReadInput(FileSystem& fs, const std::string& path,
                 std::string* contents) {
  std::error_code ec;
  const std::uintmax_t size = fs_lib::file_size(path, ec);
  if (!ec && size > kMaxInputBytes) {
    return Status::Error(path + ": " + std::to_string(size) +
                         " bytes, far larger than any scenario file");
  }
  return fs.ReadFile(path, contents);
}

Status ReadParamFile(FileSystem& fs, const std::string& path,
                     ParamTable* table) {
  std::string image;
  Status s = ReadInput(fs, path, &image);
  if (!s.ok()) return s;
  if (!DecodeParamFile(image, table)) {
    return Status::Error(path +
                         ": not a parameter file (its 87 slots do not end "
                         "exactly at the end of its " +
                         std::to_string(image.size()) + " bytes)");
  }
  return Status::Ok();
}

// The regular files of a folder, by name.
Status ListFolder(const std::string& dir, std::set<std::string>* names) {
  std::error_code ec;
  fs_lib::directory_iterator it(dir, ec);
  if (ec)
    return Status::Error(dir + ": cannot list the folder: " + ec.message());
  for (; it != fs_lib::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) {
      names->insert(it->path().filename().string());
    }
  }
  if (ec)
    return Status::Error(dir + ": cannot list the folder: " + ec.message());
  return Status::Ok();
}

// Describes the scenario of the parameter file "<stem>.sim" in dir, whose
// table is read, with `present` telling which names the folder holds.
// The cell file is "<stem>.dat"; the grid "<line>_linea.dat". The line
// name comes from the table when the stem begins with it (names with
// underscores cannot be split otherwise), else from the longest
// "<prefix>_" of the stem with a grid beside it.
template <typename Present>
ScenarioFileSet Describe(const fs_lib::path& dir, const std::string& stem,
                         const ParamTable& table, Present present) {
  ScenarioFileSet f;
  f.param_file = Join(dir, stem + std::string(kParamEnding));
  const std::string cell_name = stem + std::string(kCellEnding);
  f.cell_file = Join(dir, cell_name);
  const std::string slot_line = Windows1252ToUtf8(table[kLineSlot].text);
  const std::string slot_train = Windows1252ToUtf8(table[kTrainSlot].text);
  std::string line;
  if (!slot_line.empty() && StartsWith(stem, slot_line + "_")) {
    line = slot_line;
  } else {
    for (std::size_t i = stem.size(); i-- > 0;) {
      if (stem[i] != '_') continue;
      const std::string prefix = stem.substr(0, i);
      if (present(prefix + std::string(kGridEnding))) {
        line = prefix;
        break;
      }
    }
  }
  std::string grid_name;
  if (!line.empty()) {
    grid_name = line + std::string(kGridEnding);
    // A train named "linea" would give its cell file the grid's name; the
    // file is then the cell file and no grid can be told apart.
    if (grid_name != cell_name && present(grid_name)) {
      f.grid_file = Join(dir, grid_name);
    }
  }
  f.line_name = !slot_line.empty() ? slot_line : (line.empty() ? stem : line);
  if (!slot_train.empty()) {
    f.train_name = slot_train;
  } else if (!line.empty() && stem.size() > line.size()) {
    f.train_name = stem.substr(line.size() + 1);
  }
  return f;
}

bool Matches(const ScenarioFileSet& f, const PlotOptions& o) {
  return (o.line_name.empty() || o.line_name == f.line_name) &&
         (o.train_name.empty() || o.train_name == f.train_name);
}

std::string Label(const ScenarioFileSet& f) {
  return FileName(f.param_file) + " (line " + Quoted(f.line_name) + ", train " +
         Quoted(f.train_name) + ")";
}

std::string NameFilter(const PlotOptions& o) {
  std::string s;
  if (!o.line_name.empty()) s += "line name " + Quoted(o.line_name);
  if (!o.train_name.empty()) {
    if (!s.empty()) s += " and ";
    s += "train name " + Quoted(o.train_name);
  }
  return s;
}

Status FindInFolder(const std::string& dir, const PlotOptions& options,
                    FileSystem& fs, ScenarioFileSet* files) {
  std::set<std::string> names;
  Status s = ListFolder(dir, &names);
  if (!s.ok()) return s;
  const auto present = [&](const std::string& n) { return names.count(n) > 0; };

  std::vector<ScenarioFileSet> found;
  std::vector<std::string> problems;
  std::vector<std::string> others;  // scenarios the names did not choose
  bool any_param_file = false;
  for (const std::string& name : names) {
    if (!EndsWith(name, kParamEnding) || name.size() == kParamEnding.size()) {
      continue;
    }
    any_param_file = true;
    const std::string stem = name.substr(0, name.size() - kParamEnding.size());
    ParamTable table;
    s = ReadParamFile(fs, Join(dir, name), &table);
    if (!s.ok()) {
      problems.push_back(s.message());
      continue;
    }
    ScenarioFileSet f = Describe(dir, stem, table, present);
    if (!present(stem + std::string(kCellEnding))) {
      problems.push_back(f.param_file + ": no cell file " +
                         Quoted(FileName(f.cell_file)) + " beside it");
      continue;
    }
    if (Matches(f, options)) {
      found.push_back(std::move(f));
    } else {
      others.push_back(Label(f));
    }
  }

  if (found.size() == 1) {
    *files = std::move(found.front());
    return Status::Ok();
  }
  if (found.size() > 1) {
    std::string m = dir + ": holds " + std::to_string(found.size()) +
                    " scenarios; choose one with --line-name and "
                    "--train-name:";
    for (const ScenarioFileSet& f : found) m += "\n  " + Label(f);
    return Status::Error(m);
  }
  if (!any_param_file) {
    return Status::Error(dir +
                         ": no parameter file (*.sim); plot needs the "
                         "files of a compiled scenario");
  }
  std::string m;
  if (!others.empty()) {
    m = dir + ": no scenario with " + NameFilter(options) + "; it holds:";
    for (const std::string& o : others) m += "\n  " + o;
  } else {
    m = dir + ": no complete scenario:";
  }
  for (const std::string& p : problems) m += "\n  " + p;
  return Status::Error(m);
}

Status FindFromFiles(const PlotOptions& options, FileSystem& fs,
                     ScenarioFileSet* files) {
  std::vector<std::string> params, cells, grids;
  for (const std::string& in : options.inputs) {
    if (IsFolder(in)) {
      return Status::Error(in +
                           ": a folder; give either one folder or the "
                           "scenario's files");
    }
    if (!fs.IsNormalFile(in)) {
      return Status::Error(in + ": no such file or folder");
    }
    const std::string name = FileName(in);
    if (EndsWith(name, kParamEnding)) {
      params.push_back(in);
    } else if (EndsWith(name, kGridEnding)) {
      grids.push_back(in);
    } else if (EndsWith(name, kCellEnding)) {
      cells.push_back(in);
    } else {
      return Status::Error(in +
                           ": not a scenario file (the names end in .sim, "
                           ".dat or _linea.dat)");
    }
  }
  if (params.size() != 1) {
    return Status::Error(
        params.empty()
            ? std::string("the parameter file (.sim) is needed: it holds "
                          "the names, the stations and the kilometre records")
            : std::string("more than one parameter file (.sim) given"));
  }
  ParamTable table;
  Status s = ReadParamFile(fs, params.front(), &table);
  if (!s.ok()) return s;
  const fs_lib::path param_path(params.front());
  const std::string stem = param_path.stem().string();
  const fs_lib::path dir = param_path.parent_path();

  if (options.inputs.size() == 1) {
    // The parameter file alone: its companions lie beside it.
    const auto present = [&](const std::string& n) {
      return fs.IsNormalFile(Join(dir, n));
    };
    *files = Describe(dir, stem, table, present);
    if (!present(stem + std::string(kCellEnding))) {
      return Status::Error(files->param_file + ": no cell file " +
                           Quoted(FileName(files->cell_file)) + " beside it");
    }
    return Status::Ok();
  }

  // The cell file of a train named "linea" ends like a grid: the
  // parameter file's own name tells.
  const std::string own_cell_name = stem + std::string(kCellEnding);
  if (cells.empty()) {
    for (auto it = grids.begin(); it != grids.end(); ++it) {
      if (FileName(*it) == own_cell_name) {
        cells.push_back(*it);
        grids.erase(it);
        break;
      }
    }
  }
  if (cells.size() != 1) {
    return Status::Error(cells.empty()
                             ? std::string("the cell file (.dat) is needed")
                             : std::string("more than one cell file given"));
  }
  if (grids.size() > 1) {
    return Status::Error("more than one line grid file (_linea.dat) given");
  }
  *files = Describe(dir, stem, table, [](const std::string&) { return false; });
  files->param_file = params.front();
  files->cell_file = cells.front();
  files->grid_file = grids.empty() ? "" : grids.front();
  return Status::Ok();
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

std::string FormatKm(double km) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", km);
  return buf;
}

}  // namespace

std::optional<PlotFormat> ParsePlotFormat(std::string_view text) {
  const std::string t = Lower(text);
  if (t == "svg") return PlotFormat::kSvg;
  if (t == "png") return PlotFormat::kPng;
  if (t == "pdf") return PlotFormat::kPdf;
  return std::nullopt;
}

std::string_view PlotFormatName(PlotFormat format) {
  switch (format) {
    case PlotFormat::kPng:
      return "png";
    case PlotFormat::kPdf:
      return "pdf";
    case PlotFormat::kSvg:
      break;
  }
  return "svg";
}

Status FindScenarioFiles(const PlotOptions& options, FileSystem& fs,
                         ScenarioFileSet* files) {
  if (options.inputs.empty()) {
    return Status::Error("no input: give a folder or the scenario's files");
  }
  if (options.inputs.size() == 1 && IsFolder(options.inputs.front())) {
    return FindInFolder(options.inputs.front(), options, fs, files);
  }
  Status s = FindFromFiles(options, fs, files);
  if (!s.ok()) return s;
  if (!Matches(*files, options)) {
    return Status::Error(files->param_file + ": its scenario is " +
                         Label(*files) + ", not the one with " +
                         NameFilter(options));
  }
  return Status::Ok();
}

Status LoadScenarioFiles(const ScenarioFileSet& files, FileSystem& fs,
                         LoadedScenario* loaded) {
  Status s = ReadParamFile(fs, files.param_file, &loaded->table);
  if (!s.ok()) return s;
  std::string image;
  s = ReadInput(fs, files.cell_file, &image);
  if (!s.ok()) return s;
  if (!DecodeCellFile(image, &loaded->cells)) {
    return Status::Error(files.cell_file + ": not a cell file (" +
                         std::to_string(image.size()) +
                         " bytes, not a whole number of 15-byte cells)");
  }
  if (!files.grid_file.empty()) {
    image.clear();
    s = ReadInput(fs, files.grid_file, &image);
    if (!s.ok()) return s;
    if (!DecodeGridFile(image, &loaded->grid)) {
      return Status::Error(files.grid_file +
                           ": not a line grid file (an unknown tag, a cut "
                           "element, bytes left over or x and y of "
                           "different types)");
    }
  }
  return Status::Ok();
}

Status RunPlot(const PlotOptions& options, FileSystem& fs,
               PlotOutcome* outcome) {
  ScenarioFileSet files;
  Status s = FindScenarioFiles(options, fs, &files);
  if (!s.ok()) return s;

  LoadedScenario loaded;
  s = LoadScenarioFiles(files, fs, &loaded);
  if (!s.ok()) return s;
  const ParamTable& table = loaded.table;
  const std::vector<TrackCell>& cells = loaded.cells;
  const LineGrid& grid = loaded.grid;

  SheetScenario scenario;
  scenario.cells = &cells;
  scenario.table = &table;
  scenario.grid = files.grid_file.empty() ? nullptr : &grid;
  scenario.line_name = files.line_name;
  scenario.train_name = files.train_name;
  SheetOptions sheet;
  sheet.from_km = options.from_km;
  sheet.to_km = options.to_km;
  sheet.width = options.width;
  if ((options.from_km || options.to_km) &&
      !ResolveSheetRange(scenario, sheet)) {
    const auto whole = ResolveSheetRange(scenario, SheetOptions{});
    const KilometreAxis km(table);
    return Status::Error(
        "no part of the line has kilometre readings from " +
        (options.from_km ? FormatKm(*options.from_km)
                         : std::string("the start")) +
        " to " +
        (options.to_km ? FormatKm(*options.to_km) : std::string("the end")) +
        " km (the line runs from km " +
        FormatKilometre(km.Reading(whole->from)) + " to km " +
        FormatKilometre(km.Reading(whole->to)) + ")");
  }

  PlotFormat format = PlotFormat::kSvg;
  if (options.format) {
    format = *options.format;
  } else if (!options.output.empty()) {
    const std::string ext = fs_lib::path(options.output).extension().string();
    if (ext.size() > 1)
      format = ParsePlotFormat(ext.substr(1)).value_or(format);
  }
  std::string output = options.output;
  if (output.empty()) {
    output = fs_lib::path(files.param_file).stem().string() + "." +
             std::string(PlotFormatName(format));
  }

  std::string bytes = DrawScenarioSheet(scenario, sheet);
  if (format != PlotFormat::kSvg) {
    std::string raster;
    s = RasterizeSvg(
        bytes,
        format == PlotFormat::kPng ? RasterFormat::kPng : RasterFormat::kPdf,
        &raster);
    if (!s.ok()) return Status::Error(output + ": " + s.message());
    bytes = std::move(raster);
  }
  s = fs.WriteFileReplacing(output, bytes);
  if (!s.ok()) return s;
  outcome->files = std::move(files);
  outcome->output = std::move(output);
  outcome->format = format;
  return Status::Ok();
}

}  // namespace scenario
