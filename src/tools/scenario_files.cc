#include "tools/scenario_files.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "base/file_system.h"
#include "base/path_separator.h"
#include "base/strings.h"
#include "base/windows1252.h"
#include "model/cell_file.h"
#include "model/grid_file.h"
#include "model/grid_image_view.h"
#include "model/kilometre_axis.h"
#include "model/line_grid.h"
#include "model/param_file.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "plot/raster.h"
#include "plot/scenario_sheet.h"
#include "plot/sheet_page.h"

namespace scenario {
namespace {

constexpr std::string_view kParamEnding = ".sim";
constexpr std::string_view kCellEnding = ".dat";
constexpr std::string_view kGridEnding = "_linea.dat";

std::string Quoted(std::string_view s) { return QuotedName(s); }

// The folder a path's file lies in: "" for a bare name, "/" for a file in
// the root, and otherwise without a separator at its end.
std::string FolderOf(std::string_view path) {
  std::string_view folder = path.substr(0, path.size() - BaseName(path).size());
  while (folder.size() > 1 && IsPathSeparator(folder.back())) {
    folder.remove_suffix(1);
  }
  return std::string(folder);
}

// A file's name without its ending: "x" for "x.sim".
std::string Stem(std::string_view name) {
  return std::string(name.substr(0, name.size() - FileEnding(name).size()));
}

bool IsFolder(FileSystem& fs, const std::string& path) {
  return fs.Stat(path).kind == FileKind::kFolder;
}

Status ReadParamFile(FileSystem& fs, const std::string& path,
                     ParamTable* table) {
  std::string image;
  Status s = ReadNormalFile(fs, path, &image);
  if (!s.ok()) return s;
  if (!DecodeParamFile(image, table)) {
    return Status::Error(path +
                         ": not a parameter file (its 87 slots do not end "
                         "exactly at the end of its " +
                         std::to_string(image.size()) + " bytes)");
  }
  return Status::Ok();
}

// The normal files of a folder, by name.
Status ListNormalFiles(FileSystem& fs, const std::string& dir,
                       std::set<std::string>* names) {
  std::vector<FolderEntry> entries;
  Status s = fs.ListFolder(dir, &entries);
  if (!s.ok()) return s;
  for (const FolderEntry& entry : entries) {
    if (entry.kind == FileKind::kNormal) names->insert(entry.name);
  }
  return Status::Ok();
}

// Describes the scenario of the parameter file "<stem>.sim" in dir, whose
// table is read, with `present` telling which names the folder holds.
// The cell file is "<stem>.dat"; the grid "<line>_linea.dat". The line
// name comes from the table when the stem begins with it (names with
// underscores cannot be split otherwise), else from the longest
// "<prefix>_" of the stem with a grid beside it.
template <typename Present>
ScenarioFileSet Describe(const std::string& dir, const std::string& stem,
                         const ParamTable& table, Present present) {
  ScenarioFileSet f;
  f.param_file = JoinPath(dir, stem + std::string(kParamEnding));
  const std::string cell_name = stem + std::string(kCellEnding);
  f.cell_file = JoinPath(dir, cell_name);
  const std::string slot_line = Windows1252ToUtf8(table[kLineSlot].text);
  const std::string slot_train = Windows1252ToUtf8(table[kTrainSlot].text);
  std::string line;
  if (!slot_line.empty() && stem.starts_with(slot_line + "_")) {
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
      f.grid_file = JoinPath(dir, grid_name);
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
  return std::string(BaseName(f.param_file)) + " (line " + Quoted(f.line_name) +
         ", train " + Quoted(f.train_name) + ")";
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

std::string NoCellFile(const ScenarioFileSet& f) {
  return f.param_file + ": no cell file " + Quoted(BaseName(f.cell_file)) +
         " beside it";
}

// What the parameter files of a folder came to.
struct FolderSurvey {
  bool any_param_file = false;
  std::vector<ScenarioFileSet> found;  // complete and chosen by the names
  std::vector<std::string> others;     // complete, not chosen: their labels
  std::vector<std::string> problems;   // why a parameter file is no scenario
};

FolderSurvey SurveyFolder(const std::string& dir,
                          const std::set<std::string>& names,
                          const PlotOptions& options, FileSystem& fs) {
  const auto present = [&](const std::string& n) { return names.count(n) > 0; };
  FolderSurvey survey;
  for (const std::string& name : names) {
    if (!name.ends_with(kParamEnding) || name.size() == kParamEnding.size()) {
      continue;
    }
    survey.any_param_file = true;
    const std::string stem = name.substr(0, name.size() - kParamEnding.size());
    ParamTable table;
    const Status s = ReadParamFile(fs, JoinPath(dir, name), &table);
    if (!s.ok()) {
      survey.problems.push_back(s.message());
      continue;
    }
    ScenarioFileSet f = Describe(dir, stem, table, present);
    if (!present(stem + std::string(kCellEnding))) {
      survey.problems.push_back(NoCellFile(f));
    } else if (Matches(f, options)) {
      survey.found.push_back(std::move(f));
    } else {
      survey.others.push_back(Label(f));
    }
  }
  return survey;
}

Status FindInFolder(const std::string& dir, const PlotOptions& options,
                    FileSystem& fs, ScenarioFileSet* files) {
  std::set<std::string> names;
  const Status s = ListNormalFiles(fs, dir, &names);
  if (!s.ok()) return s;
  FolderSurvey survey = SurveyFolder(dir, names, options, fs);
  if (survey.found.size() == 1) {
    *files = std::move(survey.found.front());
    return Status::Ok();
  }
  if (survey.found.size() > 1) {
    std::string m = dir + ": holds " + std::to_string(survey.found.size()) +
                    " scenarios; choose one with --line-name and "
                    "--train-name:";
    for (const ScenarioFileSet& f : survey.found) m += "\n  " + Label(f);
    return Status::Error(m);
  }
  if (!survey.any_param_file) {
    return Status::Error(dir +
                         ": no parameter file (*.sim); plot needs the "
                         "files of a compiled scenario");
  }
  std::string m;
  if (!survey.others.empty()) {
    m = dir + ": no scenario with " + NameFilter(options) + "; it holds:";
    for (const std::string& o : survey.others) m += "\n  " + o;
  } else {
    m = dir + ": no complete scenario:";
  }
  for (const std::string& p : survey.problems) m += "\n  " + p;
  return Status::Error(m);
}

// The files named on the command line, sorted by their endings.
struct NamedFiles {
  std::vector<std::string> params, cells, grids;
};

// Sorts the inputs by their endings; each must be a normal file, and
// exactly one a parameter file.
Status SortNamedFiles(const PlotOptions& options, FileSystem& fs,
                      NamedFiles* named) {
  for (const std::string& in : options.inputs) {
    if (IsFolder(fs, in)) {
      return Status::Error(in +
                           ": a folder; give either one folder or the "
                           "scenario's files");
    }
    if (!fs.IsNormalFile(in)) {
      return Status::Error(in + ": no such file or folder");
    }
    const std::string_view name = BaseName(in);
    if (name.ends_with(kParamEnding)) {
      named->params.push_back(in);
    } else if (name.ends_with(kGridEnding)) {
      named->grids.push_back(in);
    } else if (name.ends_with(kCellEnding)) {
      named->cells.push_back(in);
    } else {
      return Status::Error(in +
                           ": not a scenario file (the names end in .sim, "
                           ".dat or _linea.dat)");
    }
  }
  if (named->params.size() == 1) return Status::Ok();
  return Status::Error(
      named->params.empty()
          ? std::string("the parameter file (.sim) is needed: it holds "
                        "the names, the stations and the kilometre records")
          : std::string("more than one parameter file (.sim) given"));
}

Status FindFromFiles(const PlotOptions& options, FileSystem& fs,
                     ScenarioFileSet* files) {
  NamedFiles named;
  Status s = SortNamedFiles(options, fs, &named);
  if (!s.ok()) return s;
  const std::string& param_file = named.params.front();
  ParamTable table;
  s = ReadParamFile(fs, param_file, &table);
  if (!s.ok()) return s;
  const std::string stem = Stem(BaseName(param_file));
  const std::string dir = FolderOf(param_file);

  if (options.inputs.size() == 1) {
    // The parameter file alone: its companions lie beside it.
    const auto present = [&](const std::string& n) {
      return fs.IsNormalFile(JoinPath(dir, n));
    };
    *files = Describe(dir, stem, table, present);
    if (!present(stem + std::string(kCellEnding))) {
      return Status::Error(NoCellFile(*files));
    }
    return Status::Ok();
  }

  // The cell file of a train named "linea" ends like a grid: the
  // parameter file's own name tells.
  std::vector<std::string>& cells = named.cells;
  std::vector<std::string>& grids = named.grids;
  const std::string own_cell_name = stem + std::string(kCellEnding);
  if (cells.empty()) {
    for (auto it = grids.begin(); it != grids.end(); ++it) {
      if (BaseName(*it) == own_cell_name) {
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
  files->param_file = param_file;
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

// Fails, naming the line's whole extent, when no part of the line has
// readings in the kilometres asked for.
Status CheckRange(const SheetScenario& scenario, const SheetOptions& sheet,
                  const ParamTable& table) {
  if (!sheet.from_km && !sheet.to_km) return Status::Ok();
  if (ResolveSheetRange(scenario, sheet)) return Status::Ok();
  const auto whole = ResolveSheetRange(scenario, SheetOptions{});
  const KilometreAxis km(table);
  return Status::Error(
      "no part of the line has kilometre readings from " +
      (sheet.from_km ? FormatKm(*sheet.from_km) : std::string("the start")) +
      " to " + (sheet.to_km ? FormatKm(*sheet.to_km) : std::string("the end")) +
      " km (the line runs from km " + FormatKilometre(km.Reading(whole->from)) +
      " to km " + FormatKilometre(km.Reading(whole->to)) + ")");
}

// --format, else the output's ending, else SVG.
PlotFormat ChosenFormat(const PlotOptions& options) {
  if (options.format) return *options.format;
  const std::string_view ending = FileEnding(options.output);
  if (ending.size() > 1) {
    return ParsePlotFormat(ending.substr(1)).value_or(PlotFormat::kSvg);
  }
  return PlotFormat::kSvg;
}

// The sheet's bytes in the format asked for.
Status DrawSheet(const SheetScenario& scenario, const SheetOptions& sheet,
                 PlotFormat format, const std::string& output,
                 std::string* bytes) {
  if (format == PlotFormat::kHtml) {
    *bytes = DrawSheetPage(scenario, sheet);
    return Status::Ok();
  }
  *bytes = DrawScenarioSheet(scenario, sheet);
  if (format == PlotFormat::kSvg) return Status::Ok();
  std::string raster;
  const Status s = RasterizeSvg(
      *bytes,
      format == PlotFormat::kPng ? RasterFormat::kPng : RasterFormat::kPdf,
      &raster);
  if (!s.ok()) return Status::Error(output + ": " + s.message());
  *bytes = std::move(raster);
  return Status::Ok();
}

}  // namespace

std::string_view FileEnding(std::string_view path) {
  const std::string_view name = BaseName(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || name == "..") return "";
  return name.substr(dot);
}

std::optional<PlotFormat> ParsePlotFormat(std::string_view text) {
  const std::string t = Lower(text);
  if (t == "svg") return PlotFormat::kSvg;
  if (t == "png") return PlotFormat::kPng;
  if (t == "pdf") return PlotFormat::kPdf;
  if (t == "html") return PlotFormat::kHtml;
  return std::nullopt;
}

std::string_view PlotFormatName(PlotFormat format) {
  switch (format) {
    case PlotFormat::kPng:
      return "png";
    case PlotFormat::kPdf:
      return "pdf";
    case PlotFormat::kHtml:
      return "html";
    case PlotFormat::kSvg:
      break;
  }
  return "svg";
}

std::string PlotOptionsProblem(const PlotOptions& options) {
  if (options.from_km && options.to_km && *options.from_km >= *options.to_km) {
    return "--from must lie below --to";
  }
  const std::string ending(FileEnding(options.output));
  if (ending.empty()) return "";
  const std::optional<PlotFormat> by_ending =
      ParsePlotFormat(std::string_view(ending).substr(1));
  const std::string start = "the output " + QuotedName(options.output) +
                            " ends in \"" + ending + "\"";
  if (!by_ending) {
    return start +
           ", which names no picture format (.svg, .png, .pdf or .html)";
  }
  if (options.format && options.format != by_ending) {
    return start + ", but --format asks for " +
           std::string(PlotFormatName(*options.format));
  }
  return "";
}

Status FindScenarioFiles(const PlotOptions& options, FileSystem& fs,
                         ScenarioFileSet* files) {
  if (options.inputs.empty()) {
    return Status::Error("no input: give a folder or the scenario's files");
  }
  if (options.inputs.size() == 1 && IsFolder(fs, options.inputs.front())) {
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

bool HasGrid(const LoadedScenario& loaded) {
  return loaded.grid.exists() || loaded.grid_image != nullptr;
}

std::string_view GridImageOf(const LoadedScenario& loaded,
                             std::string* scratch) {
  assert(HasGrid(loaded));
  if (loaded.grid_image) return *loaded.grid_image;
  *scratch = EncodeGridFile(loaded.grid);
  return *scratch;
}

GridImageView GridViewOf(const LoadedScenario& loaded, std::string* scratch) {
  if (loaded.grid_image) return loaded.grid_view;
  GridImageView view;
  // A grid packed by the encoder always decodes.
  [[maybe_unused]] const bool opens =
      GridImageView::Open(GridImageOf(loaded, scratch), &view);
  assert(opens);
  return view;
}

Status LoadScenarioFiles(const ScenarioFileSet& files, FileSystem& fs,
                         LoadedScenario* loaded, GridLoading grid_loading) {
  Status s = ReadParamFile(fs, files.param_file, &loaded->table);
  if (!s.ok()) return s;
  std::string image;
  s = ReadNormalFile(fs, files.cell_file, &image);
  if (!s.ok()) return s;
  if (!DecodeCellFile(image, &loaded->cells)) {
    return Status::Error(files.cell_file + ": not a cell file (" +
                         std::to_string(image.size()) +
                         " bytes, not a whole number of 15-byte cells)");
  }
  if (!files.grid_file.empty()) {
    image.clear();
    s = ReadNormalFile(fs, files.grid_file, &image);
    if (!s.ok()) return s;
    auto kept = std::make_shared<const std::string>(std::move(image));
    const bool decodes = grid_loading == GridLoading::kKeepImage
                             ? GridImageView::Open(*kept, &loaded->grid_view)
                             : DecodeGridFile(*kept, &loaded->grid);
    if (!decodes) {
      return Status::Error(files.grid_file +
                           ": not a line grid file (an unknown tag, a cut "
                           "element, bytes left over or x and y of "
                           "different types)");
    }
    if (grid_loading == GridLoading::kKeepImage) {
      loaded->grid_image = std::move(kept);
    }
  }
  return Status::Ok();
}

SheetScenario SheetScenarioOf(const ScenarioFileSet& files,
                              const LoadedScenario& loaded) {
  SheetScenario scenario;
  scenario.cells = &loaded.cells;
  scenario.table = &loaded.table;
  scenario.grid = files.grid_file.empty() ? nullptr : &loaded.grid;
  scenario.line_name = files.line_name;
  scenario.train_name = files.train_name;
  return scenario;
}

Status RunPlot(const PlotOptions& options, FileSystem& fs,
               PlotOutcome* outcome) {
  ScenarioFileSet files;
  Status s = FindScenarioFiles(options, fs, &files);
  if (!s.ok()) return s;
  LoadedScenario loaded;
  s = LoadScenarioFiles(files, fs, &loaded);
  if (!s.ok()) return s;

  const SheetScenario scenario = SheetScenarioOf(files, loaded);
  SheetOptions sheet;
  sheet.from_km = options.from_km;
  sheet.to_km = options.to_km;
  sheet.width = options.width;
  s = CheckRange(scenario, sheet, loaded.table);
  if (!s.ok()) return s;

  const PlotFormat format = ChosenFormat(options);
  std::string output = options.output;
  if (output.empty()) {
    output = Stem(BaseName(files.param_file)) + "." +
             std::string(PlotFormatName(format));
  }
  std::string bytes;
  s = DrawSheet(scenario, sheet, format, output, &bytes);
  if (!s.ok()) return s;
  s = fs.WriteFileReplacing(output, bytes);
  if (!s.ok()) return s;
  outcome->files = std::move(files);
  outcome->output = std::move(output);
  outcome->format = format;
  return Status::Ok();
}

}  // namespace scenario
