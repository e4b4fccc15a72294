// Warnings about how the fields were read: what the readers passed over,
// keywords read twice, dash fields, decimal commas, the file's last field
// and texts that look like UTF-8.

#include <algorithm>
#include <bit>
#include <string>
#include <string_view>
#include <vector>

#include "base/strings.h"
#include "base/utf8.h"
#include "base/windows1252.h"
#include "line/line_keywords.h"
#include "lint/lint_context.h"
#include "train/train_keywords.h"

namespace scenario {

namespace {

// Dash fields passed over before the keyword tests, by part.
constexpr int kGeneralDashSkips = 10;
constexpr int kOtherDashSkips = 2;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// A field in keyword position that reads like a number: a sign and
// digits.
bool IsNumberText(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    text.remove_prefix(1);
  }
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsHeader(std::string_view text) {
  return Has(text, "[") && Has(text, "]");
}

// Every row test of both files that the field passes, ignoring case.
RowKindSet AnyRowKinds(std::string_view text) {
  return LineGeneralRowKinds(text, true) | LineMainRowKinds(text) |
         TrainRowKinds(text);
}

RowKind FirstKind(RowKindSet set) {
  return static_cast<RowKind>(std::countr_zero(set));
}

// "a gradient row", "a gradient row and a curve row".
std::string RowNames(RowKindSet set) {
  std::string text;
  for (int k = 0; k < kRowKindCount; ++k) {
    if (!Holds(set, static_cast<RowKind>(k))) continue;
    if (!text.empty()) text += " and ";
    text += "a " + std::string(RowKindName(static_cast<RowKind>(k))) + " row";
  }
  return text;
}

// Levenshtein distance of two short texts, ASCII letters folded.
int EditDistance(std::string_view a, std::string_view b) {
  auto fold = [](char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
  };
  std::vector<int> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int up = row[j];
      const int cost = fold(a[i - 1]) == fold(b[j - 1]) ? 0 : 1;
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
      diagonal = up;
    }
  }
  return row[b.size()];
}

// The row keyword of the file that a passed-over text most likely
// misspells, or "" when none is close.
std::string Suggest(std::string_view text, bool line_file) {
  text = Trim(text);
  constexpr std::size_t kLongest = 40;  // longer texts are no keyword
  if (text.empty() || text.size() > kLongest) return "";
  std::vector<std::string> candidates;
  const int first = line_file ? 0 : static_cast<int>(RowKind::kBrakedMass);
  const int last = line_file ? static_cast<int>(RowKind::kIndicatorBoard)
                             : kRowKindCount - 1;
  for (int k = first; k <= last; ++k) {
    const auto kind = static_cast<RowKind>(k);
    if (kind == RowKind::kCurve) {
      for (char side : {'s', 'd'}) {
        for (char digit = '1'; digit <= '6'; ++digit) {
          candidates.push_back(std::string("curva") + side + digit);
        }
      }
    } else {
      candidates.emplace_back(RowKindKeyword(kind));
    }
  }
  std::string best;
  int best_distance = 0;
  for (const std::string& candidate : candidates) {
    const int d = EditDistance(text, candidate);
    const int allowed = std::max<int>(1, candidate.size() / 4);
    if (d <= allowed && (best.empty() || d < best_distance)) {
      best = candidate;
      best_distance = d;
    }
  }
  return best;
}

// Valid UTF-8 with at least one sequence of two or more bytes.
bool LooksLikeUtf8(std::string_view text) {
  bool multibyte = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = DecodeUtf8(text, i);
    if (n == 0) return false;
    multibyte = multibyte || n > 1;
    i += n;
  }
  return multibyte;
}

// Field a directly followed by a comma and field b: "-4,5".
bool Attached(const LoggedField& a, const LoggedField& b) {
  return a.separator == ',' && b.begin == a.value_end + 1;
}

// Whether the digits after a comma read like a decimal or a thousands
// part: a leading zero, or exactly three digits.
bool LooksLikeFraction(const LoggedField& f) {
  std::string_view t = Trim(f.text);
  if (t.empty() || !std::all_of(t.begin(), t.end(), IsDigit)) return false;
  return t.front() == '0' || t.size() == 3;
}

class ReadingScan {
 public:
  ReadingScan(LintContext& c, const ReadLog& log, bool line_file)
      : c_(c), log_(log), fields_(log.fields()), line_file_(line_file) {}

  void Run();

 private:
  // What the field in keyword position before this one was.
  enum class Before {
    kNothing,  // the start, a header, an empty field
    kRow,      // the last field of a row (last_row_)
    kDropped,  // a passed-over keyword: the numbers after it go with it
  };

  void Dash(const LoggedKeyword& k);
  void Unread(const LoggedKeyword& k);
  void Tested(const LoggedKeyword& k, const LoggedRow* row);
  void PassedOver(const LoggedKeyword& k);
  void Stray(const LoggedKeyword& k);
  void PassedOverText(const LoggedKeyword& k);
  bool CommaInRowText(const LoggedKeyword& k);
  std::string Field(std::size_t i) const { return Quoted(fields_[i].text); }
  // A comment at its line's start, or a line of other separators: the
  // shape warnings speak for the field.
  bool ShapeExplains(std::size_t i) const {
    const bool starts_line = i == 0 || fields_[i - 1].line < fields_[i].line;
    return (starts_line && !CommentMarker(fields_[i].text).empty()) ||
           InnerSeparator(fields_[i].text) != '\0';
  }
  // The field at i was passed over with its row: what follows on its line
  // (and numbers after it) goes with it.
  void Drop(std::size_t i) {
    before_ = Before::kDropped;
    dropped_line_ = fields_[i].line;
  }

  LintContext& c_;
  const ReadLog& log_;
  const std::vector<LoggedField>& fields_;
  const bool line_file_;
  Before before_ = Before::kNothing;
  const LoggedRow* last_row_ = nullptr;
  int dash_run_ = 0;
  int dropped_line_ = 0;
};

void ReadingScan::Run() {
  const std::vector<LoggedRow>& rows = log_.rows();
  std::size_t next_row = 0;
  for (const LoggedKeyword& k : log_.keywords()) {
    // The last row read from this keyword, if any.
    const LoggedRow* row = nullptr;
    while (next_row < rows.size() && rows[next_row].keyword_field <= k.field) {
      if (rows[next_row].keyword_field == k.field) row = &rows[next_row];
      ++next_row;
    }
    switch (k.use) {
      case KeywordUse::kPreamble:
        // Text before "[generale]" is free, but a row there is lost. A
        // train description without the header gets one warning of its
        // own instead.
        before_ = Before::kNothing;
        if (!log_.found_general()) break;
        if (!IsHeader(fields_[k.field].text) &&
            AnyRowKinds(fields_[k.field].text) != 0) {
          c_.Add(WarningKind::kPassedOverField, log_, k.field, std::nullopt,
                 Field(k.field) +
                     " stands before \"[generale]\", where nothing is read; "
                     "it is passed over with its numbers");
          Drop(k.field);
        }
        break;
      case KeywordUse::kDashSkipped:
        Dash(k);
        break;
      case KeywordUse::kUnread:
        Unread(k);
        break;
      case KeywordUse::kTested:
        Tested(k, row);
        break;
    }
  }
}

void ReadingScan::Dash(const LoggedKeyword& k) {
  ++dash_run_;
  const std::string& text = fields_[k.field].text;
  const RowKindSet kinds = AnyRowKinds(text);
  if (kinds != 0 && !IsHeader(text) && !ShapeExplains(k.field)) {
    c_.Add(WarningKind::kPassedOverField, log_, k.field, std::nullopt,
           Field(k.field) +
               " holds a dash, so it is passed over as a "
               "separator before the keyword tests: " +
               RowNames(RowBit(FirstKind(kinds))) +
               " is lost, and its numbers are passed over");
    Drop(k.field);
  } else if (before_ != Before::kDropped) {
    before_ = Before::kNothing;
  }
}

void ReadingScan::Unread(const LoggedKeyword& k) {
  const std::string& text = fields_[k.field].text;
  if (IsHeader(text)) return;
  const RowKindSet kinds = AnyRowKinds(text);
  if (kinds == 0) return;
  c_.Add(WarningKind::kUnreadLastField, log_, k.field, std::nullopt,
         Field(k.field) +
             " is the file's last field, and the last field is never read: " +
             RowNames(RowBit(FirstKind(kinds))) +
             " is lost (end the file with a line such as \"[fine]\")");
}

void ReadingScan::Tested(const LoggedKeyword& k, const LoggedRow* row) {
  const std::string& text = fields_[k.field].text;
  const int skips =
      k.part == ReadPart::kLineGeneral ? kGeneralDashSkips : kOtherDashSkips;
  const bool tested_dash = dash_run_ >= skips && Has(text, "-");
  dash_run_ = 0;
  if (tested_dash) {
    c_.Add(WarningKind::kDashFieldTested, log_, k.field, std::nullopt,
           Field(k.field) + " follows " + std::to_string(skips) +
               " dash fields, the most that are passed over, so it is "
               "tested as a row keyword" +
               (k.matches != 0 ? " and read as " + RowNames(k.matches)
                               : std::string(" (it matches none and is "
                                             "passed over)")));
  }
  if (k.matches == 0) {
    if (tested_dash) {
      Drop(k.field);
    } else {
      PassedOver(k);
    }
    return;
  }
  if (std::popcount(k.matches) >= 2) {
    c_.Add(WarningKind::kDoubleKeyword, log_, k.field, std::nullopt,
           Field(k.field) + " passes the tests of " + RowNames(k.matches) +
               ", and is read as each of them in turn, each taking its own "
               "numbers");
  }
  if (row != nullptr) {
    before_ = Before::kRow;
    last_row_ = row;
  } else {
    Drop(k.field);
  }
}

void ReadingScan::PassedOver(const LoggedKeyword& k) {
  const std::string& text = fields_[k.field].text;
  if (Trim(text).empty()) return;  // an empty field: nothing is lost
  if (ShapeExplains(k.field)) {
    Drop(k.field);
    return;
  }
  // The rest of a row already warned about.
  if (before_ == Before::kDropped && fields_[k.field].line == dropped_line_) {
    return;
  }
  if (IsHeader(text)) {
    before_ = Before::kNothing;
    return;
  }
  if (k.part == ReadPart::kLineMain && LineMainRowKinds(text) != 0) {
    // A curve while no grid is built: passed over on purpose.
    Drop(k.field);
    return;
  }
  if (IsNumberText(text)) {
    if (before_ == Before::kRow && last_row_ != nullptr) {
      Stray(k);
    } else if (before_ != Before::kDropped) {
      c_.Add(WarningKind::kPassedOverField, log_, k.field, std::nullopt,
             "the number " + Field(k.field) +
                 " stands where a row keyword is expected and is passed "
                 "over");
    }
    Drop(k.field);
    return;
  }
  PassedOverText(k);
  Drop(k.field);
}

// A number passed over right after a row: the row was written with more
// numbers than it takes, most often by a decimal or thousands comma.
void ReadingScan::Stray(const LoggedKeyword& k) {
  const LoggedRow& row = *last_row_;
  const std::string row_name = std::string(RowKindName(row.kind)) + " row";
  const LoggedField& stray = fields_[k.field];
  const std::optional<std::int32_t> position =
      row.end_field > row.first_field && fields_[row.first_field].number
          ? std::optional<std::int32_t>(
                static_cast<std::int32_t>(fields_[row.first_field].value))
          : std::nullopt;
  // The stray half of the row's last number: "-4,5".
  if (row.end_field > row.first_field && k.field == row.end_field) {
    const LoggedField& last = fields_[k.field - 1];
    if (last.number && Attached(last, stray)) {
      c_.Add(WarningKind::kDecimalComma, log_, k.field - 1, position,
             Quoted(last.text + "," + stray.text) + " is read as " +
                 (last.text.empty() ? "0" : last.text) +
                 ", the last number "
                 "of the " +
                 row_name + ", and a stray field " + Field(k.field) +
                 " that is passed over: numbers are whole, and the comma "
                 "always separates fields");
      return;
    }
  }
  // A comma inside one of the row's numbers: "9,000". Only when it is the
  // row's one comma with a digit right after it: a row written "0,0,0"
  // throughout has its shape, and a value too many is no decimal.
  int attached = 0;
  for (std::size_t i = row.first_field + 1; i < row.end_field; ++i) {
    if (fields_[i - 1].number && fields_[i].number &&
        Attached(fields_[i - 1], fields_[i])) {
      ++attached;
    }
  }
  for (std::size_t i = row.end_field;
       attached == 1 && i-- > row.first_field + 1;) {
    const LoggedField& a = fields_[i - 1];
    const LoggedField& b = fields_[i];
    if (a.number && b.number && Attached(a, b) && LooksLikeFraction(b)) {
      c_.Add(WarningKind::kDecimalComma, log_, i - 1, position,
             Quoted(a.text + "," + b.text) + " is read as two numbers, " +
                 a.text + " and " + b.text +
                 ": the comma always separates "
                 "fields, so the " +
                 row_name +
                 "'s later numbers shift by "
                 "one and " +
                 Field(k.field) + " is left over");
      return;
    }
  }
  c_.Add(WarningKind::kPassedOverField, log_, k.field, position,
         "the stray number " + Field(k.field) + " after the " + row_name +
             " at " + At(fields_[row.keyword_field]) +
             " is passed over: the row takes " +
             std::to_string(row.end_field - row.first_field) + " fields");
}

// A comma inside the last text of a row (a station name, a board text):
// the text after it is passed over. Warns and returns true when so.
bool ReadingScan::CommaInRowText(const LoggedKeyword& k) {
  if (before_ != Before::kRow || last_row_ == nullptr ||
      last_row_->end_field != k.field || k.field == 0 ||
      fields_[k.field - 1].number || fields_[k.field - 1].separator != ',') {
    return false;
  }
  c_.Add(WarningKind::kPassedOverField, log_, k.field, std::nullopt,
         Field(k.field) + " after the " +
             std::string(RowKindName(last_row_->kind)) + " row at " +
             At(fields_[last_row_->keyword_field]) +
             " is passed over: a text cannot hold a comma, so the row's "
             "text ends at " +
             Quoted(fields_[k.field - 1].text));
  return true;
}

// A text passed over in keyword position: a row of another part or file,
// a keyword in the wrong case, or a misspelt one.
void ReadingScan::PassedOverText(const LoggedKeyword& k) {
  if (CommaInRowText(k)) return;
  const std::string& text = fields_[k.field].text;
  const std::string field = Field(k.field);
  const RowKindSet folded = LineGeneralRowKinds(text, true);
  const RowKindSet line_main = LineMainRowKinds(text);
  const RowKindSet train = TrainRowKinds(text);
  const std::string numbers = ", and its numbers are passed over";
  if (k.part == ReadPart::kLineGeneral && folded != 0) {
    c_.Add(WarningKind::kKeywordCase, log_, k.field, std::nullopt,
           field +
               " is not read: the keywords of the general part are "
               "matched with their exact letter case (" +
               Quoted(RowKindKeyword(FirstKind(folded))) + ")" + numbers);
  } else if (k.part == ReadPart::kLineGeneral && line_main != 0) {
    c_.Add(WarningKind::kMisplacedRow, log_, k.field, std::nullopt,
           field + " stands inside the general part, where " +
               RowNames(RowBit(FirstKind(line_main))) +
               " is not read (the general part ends at the first section "
               "header after \"[generale]\")" +
               numbers);
  } else if (k.part == ReadPart::kLineMain && folded != 0) {
    c_.Add(WarningKind::kMisplacedRow, log_, k.field, std::nullopt,
           field + " stands after the general part, where " +
               RowNames(RowBit(FirstKind(folded))) + " is not read" + numbers);
  } else if (line_file_ && train != 0) {
    c_.Add(WarningKind::kOtherFileRow, log_, k.field, std::nullopt,
           field + " is " + RowNames(RowBit(FirstKind(train))) +
               " of the train description; the line description does not "
               "read it" +
               numbers);
  } else if (!line_file_ && (folded | line_main) != 0) {
    c_.Add(WarningKind::kOtherFileRow, log_, k.field, std::nullopt,
           field + " is " + RowNames(RowBit(FirstKind(folded | line_main))) +
               " of the line description; the train description does not "
               "read it" +
               numbers);
  } else {
    const std::string suggestion = Suggest(text, line_file_);
    c_.Add(WarningKind::kPassedOverField, log_, k.field, std::nullopt,
           field +
               " matches no row keyword and is passed over, with the "
               "numbers after it" +
               (suggestion.empty()
                    ? std::string()
                    : " (did you mean " + Quoted(suggestion) + "?)"));
  }
}

// A train description without "[generale]": one warning, at the field
// that most looks like a misspelt header, else at the first field.
void NoGeneralSection(LintContext& c, const ReadLog& log) {
  if (log.file().empty() || log.found_general() || log.fields().empty()) {
    return;
  }
  // A file in UTF-16 holds no keyword at all: file-encoding says why.
  if (LooksUtf16(log)) return;
  std::size_t at = 0;
  std::string note;
  for (std::size_t i = 0; i < log.fields().size(); ++i) {
    const std::string& text = log.fields()[i].text;
    if (IsHeader(text) && EditDistance(Trim(text), "[generale]") <= 3) {
      at = i;
      note = " (" + Quoted(text) + " is not it)";
      break;
    }
  }
  // The header as the file's last field: it is there, but never read.
  if (IsTrainGeneralHeader(log.fields()[at].text) &&
      at + 1 == log.fields().size()) {
    c.Add(WarningKind::kNoGeneralSection, log, at, std::nullopt,
          Quoted(log.fields()[at].text) +
              " is the file's last field, and the last field is never read: "
              "nothing of the train description is read (write the rows "
              "after it and end the file with a line such as \"[fine]\")");
    return;
  }
  c.Add(WarningKind::kNoGeneralSection, log, at, std::nullopt,
        "no field holds \"[generale]\", so nothing of the train description "
        "is read" +
            note);
}

// Texts the simulator shows: station names and indicator board texts.
void Utf8Texts(LintContext& c) {
  struct Text {
    RowKind kind;
    std::size_t field;
    const char* what;
  };
  constexpr Text kTexts[] = {{RowKind::kIndicatorBoard, 1, "board text"},
                             {RowKind::kStation, 16, "station name"}};
  for (const Text& t : kTexts) {
    for (const RowView& row : c.Rows(t.kind)) {
      if (!row.has(t.field)) continue;
      const LoggedField& f = row.field(t.field);
      if (!LooksLikeUtf8(f.text)) continue;
      c.Add(WarningKind::kUtf8Text, row.log(), row.index(t.field),
            static_cast<std::int32_t>(row.value(0)),
            std::string("the ") + t.what + " \"" + f.text +
                "\" is written in UTF-8, but descriptions are read as "
                "Windows-1252: the simulator shows " +
                Quoted(f.text));
    }
  }
}

}  // namespace

void FindReadingWarnings(LintContext& c) {
  ReadingScan(c, c.line(), true).Run();
  ReadingScan(c, c.train(), false).Run();
  NoGeneralSection(c, c.train());
  Utf8Texts(c);
}

}  // namespace scenario
