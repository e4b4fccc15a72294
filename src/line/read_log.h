#ifndef SCENARIO_LINE_READ_LOG_H_
#define SCENARIO_LINE_READ_LOG_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace scenario {

// The row kinds of both descriptions, in the order the readers test them:
// the line's general rows, the line's other rows, the train's rows.
enum class RowKind : std::uint8_t {
  kLength,
  kKilometreTre,
  kKilometreDue,
  kKilometreUno,
  kSelectorUno,
  kSelectorDue,
  kSelectorTre,
  kRepetition,
  kGradient,
  kCurve,
  kMountain,
  kSpeedBoard,
  kIndicatorBoard,
  kBrakedMass,
  kCoaches,
  kSpeedLimit,
  kAdhesion,
  kClock,
  kSand,
  kSignal,
  kSlowdown,
  kCodeChange,
  kStation,
};
inline constexpr int kRowKindCount = 23;

// A set of row kinds, one bit each: the tests a keyword field passes.
using RowKindSet = std::uint32_t;
inline constexpr RowKindSet RowBit(RowKind kind) {
  return RowKindSet{1} << static_cast<int>(kind);
}
inline constexpr bool Holds(RowKindSet set, RowKind kind) {
  return (set & RowBit(kind)) != 0;
}

// The row's name in an author's words, e.g. "gradient", "speed limit".
std::string_view RowKindName(RowKind kind);
// The keyword the built-in descriptions write for the row, e.g.
// "pendenza", "curvas1".
std::string_view RowKindKeyword(RowKind kind);
// The number of values the row's reader reads after its keyword when
// nothing stops it (a station: 17, its name the last). The readers' tests
// hold them to it.
std::size_t RowKindValueCount(RowKind kind);

// How much of a field that failed its reading the log keeps: enough for
// what a warning quotes or looks for in it.
inline constexpr std::size_t kFailedFieldBytes = 80;

// One field as the field reader read it.
struct LoggedField {
  int line = 0;    // of its first character, from 1
  int column = 0;  // of its first character, from 1
  // Byte offsets in the file: the first character (after the blanks) and
  // the byte after the field's value (before trailing blanks and the
  // separator).
  std::size_t begin = 0;
  std::size_t value_end = 0;
  // What ended the field: ',' a comma, '\n' a line end, ' ' blanks with
  // no separator after them (a number), '\0' the end of the file. A number
  // takes a separator that follows its blanks.
  char separator = '\0';
  bool number = false;
  std::int64_t value = 0;  // numbers only, as read
  std::string text;        // as read: the text, or a number's characters
};

// Where a field in keyword position stood and what became of it.
enum class KeywordUse : std::uint8_t {
  kPreamble,     // before "[generale]": passed over unless it is that header
  kDashSkipped,  // held a dash and was passed over before the tests
  kTested,       // tested against the row keywords (matches says which)
  kUnread,       // the file's last field: never tested
};

// Which part of which file a keyword field was read in.
enum class ReadPart : std::uint8_t {
  kLineGeneral,  // the line's general part (exact-case tests)
  kLineMain,     // the line after its general part
  kTrain,        // the train description
};

struct LoggedKeyword {
  std::size_t field = 0;  // index into ReadLog::fields
  KeywordUse use = KeywordUse::kPreamble;
  ReadPart part = ReadPart::kLineGeneral;
  RowKindSet matches = 0;  // kTested only; the tests the field passed
};

// One row a reader handled: its keyword and the fields its handler read
// (fields[first_field, end_field)). A keyword that passes several tests
// gives one row per kind.
struct LoggedRow {
  RowKind kind = RowKind::kLength;
  std::size_t keyword_field = 0;
  std::size_t first_field = 0;
  std::size_t end_field = 0;
};

// What a reader read from one description file, field by field: the
// readers record into it as they go, and never look at it. The warnings
// are found from it and the compiled model afterwards, so the readers'
// behaviour stays the same with or without a log.
class ReadLog {
 public:
  explicit ReadLog(std::string file = "") : file_(std::move(file)) {}

  const std::string& file() const { return file_; }
  void set_file(std::string file) { file_ = std::move(file); }

  // The field reader's record of every field, in file order.
  void AddField(LoggedField field);
  // The readers' records. Keyword and BeginRow refer to the field read last.
  void Keyword(KeywordUse use, ReadPart part, RowKindSet matches = 0);
  void BeginRow(RowKind kind);
  // Closes the row being read, if any, after the field read last. The
  // next keyword closes it before its own field; a reader that stops (at
  // a code or a fault) leaves it open, so whoever reads the log calls this
  // first.
  void EndRow();

  const std::vector<LoggedField>& fields() const { return fields_; }
  const std::vector<LoggedKeyword>& keywords() const { return keywords_; }
  const std::vector<LoggedRow>& rows() const { return rows_; }
  // True when the reader found "[generale]" (the train reader reads
  // nothing without it).
  bool found_general() const { return found_general_; }
  void set_found_general() { found_general_ = true; }
  // The field at which the field reader gave up (a fault), when it did:
  // where it starts, whether a number was due, and its characters up to
  // the next comma or line end (at most kFailedFieldBytes). Not among
  // fields().
  void set_failed_field(LoggedField field) { failed_field_ = std::move(field); }
  const std::optional<LoggedField>& failed_field() const {
    return failed_field_;
  }

 private:
  std::string file_;
  std::vector<LoggedField> fields_;
  std::vector<LoggedKeyword> keywords_;
  std::vector<LoggedRow> rows_;
  bool row_open_ = false;
  bool found_general_ = false;
  std::optional<LoggedField> failed_field_;
};

}  // namespace scenario

#endif  // SCENARIO_LINE_READ_LOG_H_
