#include "tools/recovered_text.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "line/description_layout.h"

namespace scenario {
namespace {

// What stands before a value (its separator and blanks) and the width it
// is right-aligned to (0: as it is). The clock's values are separated by
// blanks alone, as the built-in row writes them; a number ends at a blank,
// so they read back the same.
struct Column {
  std::string_view before;
  int width = 0;
};

// How the built-in descriptions write a row kind. The last column of a
// kind with a text field is the text's.
struct RowLayout {
  RowKind kind;
  std::vector<Column> columns;
};

const std::vector<RowLayout>& Layouts() {
  static const std::vector<RowLayout> kLayouts = {
      {RowKind::kLength, {{",    "}}},
      {RowKind::kKilometreTre, {{",    "}, {",    "}, {",    "}}},
      {RowKind::kKilometreDue, {{",    "}, {",    "}, {",    "}}},
      {RowKind::kKilometreUno, {{",    "}, {",    "}, {",    "}}},
      {RowKind::kSelectorUno, {{",    "}}},
      {RowKind::kSelectorDue, {{",    "}}},
      {RowKind::kSelectorTre, {{",    "}}},
      {RowKind::kRepetition, {{",    "}, {",    "}}},
      {RowKind::kGradient, {{",  "}, {",   "}}},
      {RowKind::kCurve, {{",  "}, {",  "}}},
      {RowKind::kMountain, {{",   "}, {",  "}, {",  "}}},
      {RowKind::kSpeedBoard,
       {{",  "},
        {",  "},
        {",  "},
        {",  "},
        {",  "},
        {",  "},
        {",  "},
        {",  "},
        {",  "}}},
      {RowKind::kIndicatorBoard, {{",  "}, {",   "}}},
      {RowKind::kBrakedMass, {{",    "}}},
      {RowKind::kCoaches, {{",    "}}},
      {RowKind::kSpeedLimit, {{",", 8}, {",", 6}}},
      {RowKind::kAdhesion, {{",", 8}, {",", 6}}},
      {RowKind::kClock, {{",    "}, {"              "}, {"            "}}},
      {RowKind::kSand, {{",    "}}},
      {RowKind::kSignal,
       {{",", 8},
        {",", 4},
        {",", 2},
        {",", 2},
        {",", 3},
        {",", 2},
        {",", 5},
        {",", 3},
        {",", 1},
        {",", 1},
        {", "}}},
      {RowKind::kSlowdown,
       {{",", 8}, {",    "}, {",    "}, {",    "}, {",    "}, {",    "}}},
      {RowKind::kCodeChange, {{",", 8}, {",", 6}}},
      {RowKind::kStation,
       {{",", 8},
        {",", 3},
        {",", 5},
        {",", 3},
        {",", 2},
        {",", 2},
        {",", 3},
        {",", 1},
        {",", 1},
        {",", 3},
        {",", 1},
        {",", 1},
        {",", 5},
        {",", 4},
        {",", 2},
        {",", 2},
        {", "}}},
  };
  return kLayouts;
}

const RowLayout* LayoutOf(RowKind kind) {
  for (const RowLayout& layout : Layouts()) {
    if (layout.kind == kind) return &layout;
  }
  return nullptr;
}

bool HasTextField(RowKind kind) {
  return kind == RowKind::kIndicatorBoard || kind == RowKind::kStation;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether the field reader would give the text back only from between
// double quotes: it cuts an unquoted text at a comma or a line end, skips
// the blanks before it, drops those after it, and takes a leading quote
// for the start of a quoted text.
bool NeedsQuotes(std::string_view text) {
  if (text.empty()) return false;
  if (IsBlank(text.front()) || IsBlank(text.back()) || text.front() == '"') {
    return true;
  }
  return text.find_first_of(",\r\n") != std::string_view::npos;
}

void AppendValue(const Column& column, const std::string& value,
                 std::string* out) {
  out->append(column.before);
  const auto width = static_cast<std::size_t>(column.width);
  if (value.size() < width) out->append(width - value.size(), ' ');
  out->append(value);
}

// The d set of a maximum-speed board (its values 6 to 8) left empty when
// it is all zero: the built-in rows write a board for one track so, and an
// empty number field reads as 0.
bool EmptyDSet(const RecoveredRow& row, std::size_t i) {
  if (row.kind != RowKind::kSpeedBoard || row.numbers.size() < 8) {
    return false;
  }
  if (i < 5 || i > 7) return false;
  return row.numbers[5] == 0 && row.numbers[6] == 0 && row.numbers[7] == 0;
}

// The index of the row kind's section among the file's headers;
// sections.size() for a kind the file has none for.
std::size_t SectionOf(std::span<const std::string_view> sections,
                      RowKind kind) {
  const auto at =
      std::find(sections.begin(), sections.end(), RowKindSection(kind));
  return static_cast<std::size_t>(at - sections.begin());
}

// The rows in the given order, each under the later of its own section and
// the section of the row before it; pinned_first: section 0's rows are
// read only before any other section, so they stay there whatever comes
// before them. The file's last header ("[fine]") holds no row.
std::string DescriptionText(DescriptionFile file,
                            const RecoveredDescription& description,
                            bool pinned_first) {
  const std::span<const std::string_view> sections = DescriptionSections(file);
  std::vector<std::vector<const RecoveredRow*>> placed(sections.size());
  std::size_t current = 0;
  for (const RecoveredRow& row : description.rows) {
    const std::size_t own = SectionOf(sections, row.kind);
    if (pinned_first && own == 0) {
      placed[0].push_back(&row);
      continue;
    }
    if (own < sections.size()) current = std::max(current, own);
    placed[current].push_back(&row);
  }
  std::string text;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    text.append(sections[i]);
    text.append("\r\n");
    for (const RecoveredRow* row : placed[i]) {
      text.append(RecoveredRowLine(*row));
      text.append("\r\n");
    }
  }
  return text;
}

}  // namespace

std::string RecoveredRowLine(const RecoveredRow& row) {
  std::string line =
      row.keyword.empty() ? std::string(RowKindKeyword(row.kind)) : row.keyword;
  const RowLayout* layout = LayoutOf(row.kind);
  const std::vector<Column> none;
  const std::vector<Column>& columns = layout ? layout->columns : none;
  const bool text = HasTextField(row.kind);
  const std::size_t number_columns =
      text && !columns.empty() ? columns.size() - 1 : columns.size();
  // Values past the layout's columns (none for a row that keeps its
  // invariant) still go out, so that nothing given is lost.
  static constexpr Column kExtra = {",  "};
  for (std::size_t i = 0; i < row.numbers.size(); ++i) {
    const Column& column = i < number_columns ? columns[i] : kExtra;
    AppendValue(column, EmptyDSet(row, i) ? "" : std::to_string(row.numbers[i]),
                &line);
  }
  if (text) {
    const Column column = columns.empty() ? kExtra : columns.back();
    line.append(column.before);
    if (NeedsQuotes(row.text)) {
      line += '"' + row.text + '"';
    } else {
      line += row.text;
    }
  }
  return line;
}

std::string LineDescriptionText(const RecoveredDescription& line) {
  return DescriptionText(DescriptionFile::kLine, line, /*pinned_first=*/true);
}

std::string TrainDescriptionText(const RecoveredDescription& train) {
  return DescriptionText(DescriptionFile::kTrain, train,
                         /*pinned_first=*/false);
}

}  // namespace scenario
