#include "lint/warnings.h"

#include <array>

namespace scenario {

namespace {

constexpr std::array<WarningKindInfo, kWarningKindCount> kKinds = {{
    {WarningKind::kPassedOverField, "passed-over-field",
     "a field where a row keyword is expected matches no keyword and is "
     "passed over, with whatever follows it"},
    {WarningKind::kKeywordCase, "keyword-case",
     "a general-part keyword of the line differs only in letter case; "
     "those keywords are matched exactly, so the row is not read"},
    {WarningKind::kMisplacedRow, "misplaced-row",
     "a general row of the line after its general part, or another row of "
     "the line inside it, is not read there"},
    {WarningKind::kOtherFileRow, "other-file-row",
     "a row that belongs to the other description file is not read"},
    {WarningKind::kNoGeneralSection, "no-general-section",
     "the train description has no \"[generale]\" header, so nothing of it "
     "is read"},
    {WarningKind::kDecimalComma, "decimal-comma",
     "a number written with a decimal comma (or a thousands comma): the "
     "comma splits it into two fields, and the second half is a stray "
     "field or shifts the row"},
    {WarningKind::kDashFieldTested, "dash-field-tested",
     "more dash fields in a row than are passed over: the next one is "
     "tested as a row keyword"},
    {WarningKind::kUnreadLastField, "unread-last-field",
     "the file's last field is a row keyword, but the last field of a "
     "description is never read"},
    {WarningKind::kDoubleKeyword, "double-keyword",
     "a keyword passes the tests of two row kinds and is read as both rows, "
     "one after the other"},
    {WarningKind::kRowsOutOfOrder, "rows-out-of-order",
     "rows of one kind stand out of position order; profiles fill forward "
     "only, so the out-of-order row shifts the profile"},
    {WarningKind::kCurveOverlap, "curve-overlap",
     "a curve starts before the plan has reached it (inside or behind the "
     "previous curve): it is shortened or ignored"},
    {WarningKind::kTimesNotRising, "times-not-rising",
     "a station's time is not later than the time of the station with a "
     "time before it"},
    {WarningKind::kTimeTooShort, "time-too-short",
     "the time between two stations is shorter than the distance takes at "
     "the train's speed limits in force over it"},
    {WarningKind::kKilometreStone, "kilometre-stone",
     "an indicator board reads as a kilometre stone, but the line's "
     "kilometre records give its position another reading"},
    {WarningKind::kSpeedAboveBoard, "speed-above-board",
     "a train speed limit is above every speed of the maximum-speed board "
     "in force at its position"},
    {WarningKind::kValueAltered, "value-altered",
     "a value does not fit the field it is stored in: it is wrapped, "
     "rounded or raised, and the stored value differs from the written one"},
    {WarningKind::kDuplicatePosition, "duplicate-position",
     "two rows of one kind at one position: the last one wins"},
    {WarningKind::kItemOverwritten, "item-overwritten",
     "an item placed in a cell is overwritten by a later row that takes "
     "the same cell"},
    {WarningKind::kUtf8Text, "utf8-text",
     "a text looks like UTF-8, but descriptions are read as Windows-1252: "
     "the simulator shows other characters"},
}};

constexpr bool KindsInEnumOrder() {
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(KindsInEnumOrder());

}  // namespace

std::span<const WarningKindInfo> WarningKinds() { return kKinds; }

const WarningKindInfo& Describe(WarningKind kind) {
  return kKinds[static_cast<std::size_t>(kind)];
}

std::string_view WarningName(WarningKind kind) { return Describe(kind).name; }

std::optional<WarningKind> FindWarningKind(std::string_view name) {
  for (const WarningKindInfo& info : kKinds) {
    if (info.name == name) return info.kind;
  }
  return std::nullopt;
}

}  // namespace scenario
