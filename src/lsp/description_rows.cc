#include "lsp/description_rows.h"

#include <cassert>
#include <cstddef>
#include <span>

#include "base/strings.h"
#include "line/description_layout.h"
#include "line/field_reader.h"
#include "line/line_keywords.h"
#include "line/row_fields.h"
#include "train/train_keywords.h"

namespace scenario {

namespace {

// What the editor says of each row beside its fields; in the order of
// RowKind.
struct GuideText {
  RowKind kind;
  std::string_view summary;
  CellRule rule;
};

constexpr GuideText kGuideTexts[] = {
    {RowKind::kLength,
     "Sizes the cell array and the plan: the line's length plus 7000 m of "
     "run-out.",
     CellRule::kNone},
    {RowKind::kKilometreTre,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     CellRule::kNone},
    {RowKind::kKilometreDue,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     CellRule::kNone},
    {RowKind::kKilometreUno,
     "From start on, a position's kilometre reading is the position plus "
     "offset (plus 100 m with flag 1).",
     CellRule::kNone},
    {RowKind::kSelectorUno, "Passed on to the simulator.", CellRule::kNone},
    {RowKind::kSelectorDue, "Passed on to the simulator.", CellRule::kNone},
    {RowKind::kSelectorTre, "Passed on to the simulator.", CellRule::kNone},
    {RowKind::kRepetition,
     "The stretch equipped with signal repetition (4 or 9 codes, from the "
     "keyword); an end of 0 means none.",
     CellRule::kNone},
    {RowKind::kGradient,
     "From position on, the gradient in per mille, until the next gradient "
     "row.",
     CellRule::kFill},
    {RowKind::kCurve,
     "A curve of class 1 to 6 (from the keyword), turning left with \"s\", "
     "right with \"d\".",
     CellRule::kPlan},
    {RowKind::kMountain,
     "A mountain-side stretch of type tipo (above 10: type tipo - 10 with a "
     "mark on every fourth cell).",
     CellRule::kStretch},
    {RowKind::kSpeedBoard,
     "A board with the speeds of its s and d sets, in km/h, and their "
     "stripes.",
     CellRule::kItem},
    {RowKind::kIndicatorBoard,
     "A board showing its text, such as a kilometre stone.", CellRule::kItem},
    {RowKind::kBrakedMass,
     "The train's braked-mass "
     "percentage.",
     CellRule::kNone},
    {RowKind::kCoaches, "The number of coaches of the train.", CellRule::kNone},
    {RowKind::kSpeedLimit,
     "From position on, the speed limit in km/h (stored in steps of 5 km/h), "
     "until the next speed-limit row.",
     CellRule::kFill},
    {RowKind::kAdhesion,
     "From position on, the adhesion value (0 to 255), until the next "
     "adhesion row.",
     CellRule::kFill},
    {RowKind::kClock, "The scenario's clock at the start.", CellRule::kNone},
    {RowKind::kSand, "The train's sand.", CellRule::kNone},
    {RowKind::kSignal,
     "A signal with its s and d sets; it marks the four look-back cells "
     "2, 4, 6 and 8 cells before its own.",
     CellRule::kItem},
    {RowKind::kSlowdown,
     "A temporary slowdown from x for l metres at speed v; after 1500 m also "
     "a warning point 1200 m before it.",
     CellRule::kItem},
    {RowKind::kCodeChange,
     "From position on, the signal code changes (a code of 0 or below: no "
     "code).",
     CellRule::kFill},
    {RowKind::kStation,
     "A station: its stretch around the position, its slot and, below kind "
     "25, its stop mark.",
     CellRule::kStation},
};

// The fields come from the row field table, the one place that names
// them.
std::vector<RowGuide> MakeGuides() {
  std::vector<RowGuide> guides;
  for (const GuideText& g : kGuideTexts) {
    RowGuide guide{g.kind, g.summary, {}, g.rule, -1};
    for (const FieldGuide& f : RowFields(g.kind)) {
      if (f.width == FieldWidth::kText) {
        guide.text_field = static_cast<int>(guide.fields.size());
      }
      guide.fields.push_back(&f);
    }
    guides.push_back(std::move(guide));
  }
  return guides;
}

const std::vector<RowGuide> kGuides = MakeGuides();

std::vector<std::string_view> SectionList(DescriptionFile file) {
  const std::span<const std::string_view> sections = DescriptionSections(file);
  return {sections.begin(), sections.end()};
}

const std::vector<std::string_view> kLineSections =
    SectionList(DescriptionFile::kLine);
const std::vector<std::string_view> kTrainSections =
    SectionList(DescriptionFile::kTrain);
const std::vector<std::string_view> kNoSections;

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
      return RowKindsOfFile(DescriptionFile::kLine);
    case DescriptionKind::kTrain:
      return RowKindsOfFile(DescriptionFile::kTrain);
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
