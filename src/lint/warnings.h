#ifndef SCENARIO_LINT_WARNINGS_H_
#define SCENARIO_LINT_WARNINGS_H_

#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/diagnostics.h"

namespace scenario {

// What the compiler lets through but an author almost certainly did not
// mean. A warning never changes what is compiled: the readers read as they
// always do, and the warnings are found beside them.
//
// The names are stable: authors silence a kind by its name (--no-warn) and
// tools match on it. Never rename one; add new kinds at the end.
enum class WarningKind : std::uint8_t {
  kPassedOverField,
  kKeywordCase,
  kMisplacedRow,
  kOtherFileRow,
  kNoGeneralSection,
  kDecimalComma,
  kDashFieldTested,
  kUnreadLastField,
  kDoubleKeyword,
  kRowsOutOfOrder,
  kCurveOverlap,
  kTimesNotRising,
  kTimeTooShort,
  kKilometreStone,
  kSpeedAboveBoard,
  kValueAltered,
  kDuplicatePosition,
  kItemOverwritten,
  kUtf8Text,
  kRowShape,
  kCommentMarker,
  kFieldSeparator,
  kFileEncoding,
  kNonPositiveLength,
  kBeyondLineEnd,
  kZeroSpeed,
  kImplausibleSpeed,
  kSteepGradient,
  kNoStation,
  kStationNameTwice,
};
inline constexpr int kWarningKindCount = 30;

// Everything said about one kind, in one place: its stable name, the
// one-line meaning, and the long explanation for authors that `explain`
// prints and the reference page is rendered from.
struct WarningKindInfo {
  WarningKind kind;
  std::string_view name;     // e.g. "decimal-comma"
  std::string_view summary;  // one line of English
  // What causes the warning; what to change.
  std::string_view cause;
  std::string_view fix;
  // Rows as an author writes them, one per line ('\n' between rows); a
  // line that starts with "# " says in words what stands around the row.
  // Both empty when no single row shows the warning.
  std::string_view wrong;
  std::string_view right;
};

// Every kind, in the order of the enum: the one table of warning kinds
// (lint/warning_table.cc, data only).
std::span<const WarningKindInfo> WarningKinds();
const WarningKindInfo& Describe(WarningKind kind);
std::string_view WarningName(WarningKind kind);
// The kind of a name as WarningName gives it; nullopt for an unknown name.
std::optional<WarningKind> FindWarningKind(std::string_view name);
// Every kind's name, in the table's order: what a mistyped name is
// matched against.
std::vector<std::string> WarningNames();

// One warning. where names the field at fault (file, line and column of
// its first character); other, when set, the other row involved (the row
// that overwrites, the row out of order with). position is in metres along
// the line where the warning has one. text is one line of English, UTF-8
// (file texts in it are converted from Windows-1252).
struct Warning {
  WarningKind kind = WarningKind::kPassedOverField;
  SourceSpot where;
  std::optional<std::int32_t> position;
  std::string text;
  std::optional<SourceSpot> other;
};

// A set of kinds, e.g. the kinds an author silenced.
using WarningKindSet = std::bitset<kWarningKindCount>;
inline std::size_t WarningBit(WarningKind kind) {
  return static_cast<std::size_t>(kind);
}

}  // namespace scenario

#endif  // SCENARIO_LINT_WARNINGS_H_
