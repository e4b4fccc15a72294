#ifndef SCENARIO_TOOLS_SCENARIO_FILES_H_
#define SCENARIO_TOOLS_SCENARIO_FILES_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "model/grid_image_view.h"
#include "model/line_grid.h"
#include "model/param_table.h"
#include "model/track_cells.h"
#include "plot/scenario_sheet.h"

namespace scenario {

class FileSystem;

// kHtml: the sheet as an interactive page (plot/sheet_page.h).
enum class PlotFormat { kSvg, kPng, kPdf, kHtml };

// The ending of a path's file name from its last ".": ".svg" for
// "out/pic.svg", "" when the name has no dot but a leading one (".svg"
// alone is a hidden file's name, not an ending).
std::string_view FileEnding(std::string_view path);

// "svg", "png", "pdf" or "html" (any case); nullopt otherwise.
std::optional<PlotFormat> ParsePlotFormat(std::string_view text);
// "svg", "png", "pdf" or "html".
std::string_view PlotFormatName(PlotFormat format);

// What `scenario-compiler plot` was asked to do.
struct PlotOptions {
  // One folder that holds a compiled scenario, or the scenario's files:
  // the parameter file (.sim) and the cell file (.dat), with the line grid
  // file (_linea.dat) if the plan is wanted. A parameter file given alone
  // stands for its scenario: the cell file and the grid are looked for
  // beside it.
  std::vector<std::string> inputs;
  // The picture's path; "" gives "<line>_<train>.<format>" in the current
  // folder.
  std::string output;
  // Absent: from output's ending (.svg, .png, .pdf, .html), else SVG.
  std::optional<PlotFormat> format;
  // Kilometre readings (km) that bound the profiles.
  std::optional<double> from_km;
  std::optional<double> to_km;
  // Choose among the scenarios of a folder (UTF-8); "" accepts any.
  std::string line_name;
  std::string train_name;
  // Sheet width in pixels.
  double width = 1600;
};

// What the options ask that no single option can check, as a message
// without the command's name; "" when they agree. --from must lie below
// --to, and a picture's ending must name a format plot writes and agree
// with --format, since other programs go by the ending (a path without an
// ending takes the format from --format, else SVG).
std::string PlotOptionsProblem(const PlotOptions& options);

// The files one scenario consists of; grid is "" when there is none.
struct ScenarioFileSet {
  std::string param_file;
  std::string cell_file;
  std::string grid_file;
  // UTF-8, from the parameter file's names or else from the file names.
  std::string line_name;
  std::string train_name;
};

// Finds the files of the one scenario that options.inputs name. In a
// folder, each parameter file "<line>_<train>.sim" is a scenario whose
// cell file is "<line>_<train>.dat" beside it; its grid is
// "<line>_linea.dat", with the line name taken from the parameter file
// (the grid's name ends in .dat as well, so only the names tell it from a
// cell file). Fails with a message naming what is missing, or listing the
// scenarios when the names do not single out one.
Status FindScenarioFiles(const PlotOptions& options, FileSystem& fs,
                         ScenarioFileSet* files);

// A scenario's files, decoded. Its grid, when the set names a grid file,
// is either decoded into grid or kept as the file's bytes in grid_image
// (see GridLoading); never both.
struct LoadedScenario {
  ParamTable table;
  std::vector<TrackCell> cells;
  LineGrid grid;
  // The grid file's bytes, checked as DecodeGridFile checks them, and the
  // view over them. Invariant: grid_view views *grid_image when that is
  // set; the bytes are shared and never move, so copies of a loaded
  // scenario keep a valid view.
  std::shared_ptr<const std::string> grid_image;
  GridImageView grid_view;
};

// Whether the scenario has a line grid, decoded or kept.
bool HasGrid(const LoadedScenario& loaded);
// The grid file's bytes: the kept image, or the decoded grid packed again
// into *scratch (the decoder takes every byte into the grid, so these are
// the file's bytes). REQUIRES: HasGrid(loaded); the result lives as long
// as loaded and *scratch.
std::string_view GridImageOf(const LoadedScenario& loaded,
                             std::string* scratch);
// The view over those bytes. REQUIRES as for GridImageOf.
GridImageView GridViewOf(const LoadedScenario& loaded, std::string* scratch);

// How a load hands over the grid. kKeepImage suits a reader that walks the
// grid once in order (decompile): a 1,000,000 m grid then costs its 20 MB
// of bytes rather than those and two million doubles.
enum class GridLoading { kDecode, kKeepImage };

// Reads and decodes the files of the set. Fails with a message naming the
// file that cannot be read or does not decode.
Status LoadScenarioFiles(const ScenarioFileSet& files, FileSystem& fs,
                         LoadedScenario* loaded,
                         GridLoading grid_loading = GridLoading::kDecode);

// The sheet's view of a loaded scenario, named as its files are.
// REQUIRES: loaded outlives the result, which points into it.
SheetScenario SheetScenarioOf(const ScenarioFileSet& files,
                              const LoadedScenario& loaded);

struct PlotOutcome {
  ScenarioFileSet files;
  std::string output;  // the path written
  PlotFormat format = PlotFormat::kSvg;
};

// Finds, reads and decodes the scenario's files, draws the sheet and
// writes it in the chosen format, replacing an existing file. Fails with
// a message that names the file and the reason; nothing is written then.
Status RunPlot(const PlotOptions& options, FileSystem& fs,
               PlotOutcome* outcome);

}  // namespace scenario

#endif  // SCENARIO_TOOLS_SCENARIO_FILES_H_
