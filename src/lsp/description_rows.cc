#include "lsp/description_rows.h"

#include <cassert>
#include <cstddef>

#include "base/strings.h"
#include "line/field_reader.h"
#include "line/line_keywords.h"
#include "train/train_keywords.h"

namespace scenario {

namespace {

// In the order of RowKind.
const std::vector<RowGuide> kGuides = {
    {RowKind::kLength,
     "Sizes the cell array and the plan: the line's length plus 7000 m of "
     "run-out.",
     {"length (m)"},
     CellRule::kNone,
     -1},
    {RowKind::kKilometreTre,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1},
    {RowKind::kKilometreDue,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1},
    {RowKind::kKilometreUno,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     {"start (m)", "offset (m)", "flag"},
     CellRule::kNone,
     -1},
    {RowKind::kSelectorUno,
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1},
    {RowKind::kSelectorDue,
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1},
    {RowKind::kSelectorTre,
     "Passed on to the simulator.",
     {"value"},
     CellRule::kNone,
     -1},
    {RowKind::kRepetition,
     "The stretch equipped with signal repetition (4 or 9 codes, from the "
     "keyword); an end of 0 means none.",
     {"start (m)", "end (m)"},
     CellRule::kNone,
     -1},
    {RowKind::kGradient,
     "From position on, the gradient in per mille, until the next gradient "
     "row.",
     {"position (m)", "gradient (per mille)"},
     CellRule::kFill,
     -1},
    {RowKind::kCurve,
     "A curve of class 1 to 6 (from the keyword), turning left with \"s\", "
     "right with \"d\".",
     {"start (m)", "length (m)"},
     CellRule::kPlan,
     -1},
    {RowKind::kMountain,
     "A mountain-side stretch of type tipo (above 10: type tipo - 10 with a "
     "mark on every fourth cell).",
     {"inizio (m)", "fine (m)", "tipo"},
     CellRule::kStretch,
     -1},
    {RowKind::kSpeedBoard,
     "A board with the speeds of its s and d sets, in km/h, and their "
     "stripes.",
     {"posizione (m)", "vas (km/h)", "vbs (km/h)", "vcs (km/h)", "strisces",
      "vad (km/h)", "vbd (km/h)", "vcd (km/h)", "strisced"},
     CellRule::kItem,
     -1},
    {RowKind::kIndicatorBoard,
     "A board showing its text, such as a kilometre stone.",
     {"position (m)", "text"},
     CellRule::kItem,
     1},
    {RowKind::kBrakedMass,
     "The train's braked-mass "
     "percentage.",
     {"percent"},
     CellRule::kNone,
     -1},
    {RowKind::kCoaches,
     "The number of coaches of the train.",
     {"count"},
     CellRule::kNone,
     -1},
    {RowKind::kSpeedLimit,
     "From position on, the speed limit in km/h (stored in steps of 5 km/h), "
     "until the next speed-limit row.",
     {"position (m)", "speed (km/h)"},
     CellRule::kFill,
     -1},
    {RowKind::kAdhesion,
     "From position on, the adhesion value (0 to 255), until the next "
     "adhesion row.",
     {"position (m)", "value"},
     CellRule::kFill,
     -1},
    {RowKind::kClock,
     "The scenario's clock at the start.",
     {"hours", "minutes", "seconds"},
     CellRule::kNone,
     -1},
    {RowKind::kSand, "The train's sand.", {"amount"}, CellRule::kNone, -1},
    {RowKind::kSignal,
     "A signal with its s and d sets; it marks the four look-back cells "
     "2, 4, 6 and 8 cells before its own.",
     {"posizione (m)", "sx", "s1", "s2", "s3", "rapp", "dx", "d1", "d2", "d3",
      "tempo"},
     CellRule::kItem,
     -1},
    {RowKind::kSlowdown,
     "A temporary slowdown from x for l metres at speed v; after 1500 m also "
     "a warning point 1200 m before it.",
     {"x (m)", "v", "l (m)", "f_tt", "f_ta", "d_v"},
     CellRule::kItem,
     -1},
    {RowKind::kCodeChange,
     "From position on, the signal code changes (a code of 0 or below: no "
     "code).",
     {"position (m)", "code"},
     CellRule::kFill,
     -1},
    {RowKind::kStation,
     "A station: its stretch around the position, its slot and, below kind "
     "25, its stop mark.",
     {"position (m)", "kind", "length (m)", "byte 4", "byte 5 (needs 600 m)",
      "end flag (+50 m)", "integer 7", "integer 8", "byte 9", "integer 10",
      "integer 11", "integer 12", "byte 13", "hours", "minutes", "seconds",
      "name"},
     CellRule::kStation,
     16},
};

const std::vector<std::string_view> kLineSections = {
    "[generale]", "[curve]",       "[pendenze]", "[montagne]",
    "[cartelli]", "[indicazioni]", "[fine]"};
const std::vector<std::string_view> kTrainSections = {
    "[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
    "[rallentamenti]", "[segnali]",  "[codici]",     "[fine]"};
const std::vector<std::string_view> kNoSections;

// The line's rows come first in RowKind, the train's after them.
constexpr RowKind kFirstLineRow = RowKind::kLength;
constexpr RowKind kLastLineRow = RowKind::kIndicatorBoard;
constexpr RowKind kFirstTrainRow = RowKind::kBrakedMass;
constexpr RowKind kLastTrainRow = RowKind::kStation;

std::vector<RowKind> KindsFromTo(RowKind first, RowKind last) {
  std::vector<RowKind> kinds;
  for (int k = static_cast<int>(first); k <= static_cast<int>(last); ++k) {
    kinds.push_back(static_cast<RowKind>(k));
  }
  return kinds;
}

// A text that an unclosed quote ran to the added line end ends before it.
std::string WithoutLineEnd(std::string text) {
  if (text.ends_with('\n')) text.pop_back();
  return text;
}

}  // namespace

const RowGuide& GuideOf(RowKind kind) {
  const std::size_t i = static_cast<std::size_t>(kind);
  assert(kGuides.size() == kRowKindCount && kGuides[i].kind == kind);
  return kGuides[i];
}

std::vector<RowKind> RowKindsOf(DescriptionKind file) {
  switch (file) {
    case DescriptionKind::kLine:
      return KindsFromTo(kFirstLineRow, kLastLineRow);
    case DescriptionKind::kTrain:
      return KindsFromTo(kFirstTrainRow, kLastTrainRow);
    case DescriptionKind::kNone:
      break;
  }
  return {};
}

const std::vector<std::string_view>& SectionHeaders(DescriptionKind file) {
  switch (file) {
    case DescriptionKind::kLine:
      return kLineSections;
    case DescriptionKind::kTrain:
      return kTrainSections;
    case DescriptionKind::kNone:
      break;
  }
  return kNoSections;
}

RowScanner::RowScanner(DescriptionKind file) : file_(file) {}

RowKindSet RowScanner::TestKeyword(std::string_view keyword) {
  const bool line = file_ == DescriptionKind::kLine;
  if (part_ == Part::kPreamble) {
    if (line ? IsLineGeneralHeader(keyword) : IsTrainGeneralHeader(keyword)) {
      part_ = line ? Part::kGeneral : Part::kRows;
    }
    return 0;
  }
  const int dash_skips = !line                     ? kTrainDashSkips
                         : part_ == Part::kGeneral ? kLineGeneralDashSkips
                                                   : kLineMainDashSkips;
  if (IsDashField(keyword) && dashes_in_a_row_ < dash_skips) {
    ++dashes_in_a_row_;
    return 0;
  }
  dashes_in_a_row_ = 0;
  if (!line) return TrainRowKinds(keyword);
  if (part_ == Part::kRows) return LineMainRowKinds(keyword);
  const RowKindSet kinds = LineGeneralRowKinds(keyword);
  // The field that ends the general part is tested in it first.
  if (EndsGeneralPart(keyword)) part_ = Part::kRows;
  return kinds;
}

WrittenRow RowScanner::Next(std::string_view line) {
  // The field reader ends a row's last field at its line end: with one
  // added, an empty last field ("0,") reads as it does in the file.
  const std::string bytes = std::string(line) + "\n";
  FieldReader fields(bytes, "");
  WrittenRow row;
  row.keyword = WithoutLineEnd(fields.CutText());
  if (file_ != DescriptionKind::kNone) row.kinds = TestKeyword(row.keyword);
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    if (!Holds(row.kinds, kind)) continue;
    if (!row.kind) row.kind = kind;
    const RowGuide& guide = GuideOf(kind);
    for (int i = 0; i < static_cast<int>(guide.fields.size()); ++i) {
      if (fields.AtEnd()) return row;
      row.values.push_back(WithoutLineEnd(
          i == guide.text_field ? fields.CutText() : fields.CutNumber()));
    }
  }
  while (!fields.AtEnd()) row.values.push_back(fields.CutNumber());
  return row;
}

std::string_view SectionHeaderOf(std::string_view line) {
  line = Trim(line);
  if (line.size() >= 2 && line.front() == '[' && line.back() == ']' &&
      line.find(',') == std::string_view::npos) {
    return line;
  }
  return {};
}

}  // namespace scenario
