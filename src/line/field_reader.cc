#include "line/field_reader.h"

#include <algorithm>
#include <utility>

#include "line/read_log.h"
#include "model/errors.h"

namespace scenario {

namespace {

constexpr std::size_t kMaxTextBytes = 65535;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

FieldReader::FieldReader(std::string_view bytes, std::string file_name)
    : bytes_(bytes), file_name_(std::move(file_name)) {
  last_field_.file = file_name_;
}

void FieldReader::SkipBlanks() {
  while (pos_ < bytes_.size() && IsBlank(bytes_[pos_])) ++pos_;
}

bool FieldReader::TakeLineEnd() {
  if (pos_ >= bytes_.size()) return false;
  if (bytes_[pos_] == '\r') {
    ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  } else if (bytes_[pos_] == '\n') {
    ++pos_;
  } else {
    return false;
  }
  ++line_;
  line_start_ = pos_;
  return true;
}

void FieldReader::StartField() {
  if (AtEnd()) {
    last_field_.line = line_;
    last_field_.column = static_cast<int>(pos_ - line_start_) + 1;
    field_begin_ = pos_;
    Fail(bytes_.empty()
             ? "the file is empty: a description starts with \"[generale]\" "
               "and its rows"
             : "a field is read, but the file has no byte left");
  }
  SkipBlanks();
  last_field_.line = line_;
  last_field_.column = static_cast<int>(pos_ - line_start_) + 1;
  field_begin_ = pos_;
}

void FieldReader::LogField(std::size_t value_end, bool number,
                           std::int64_t value, std::string_view text) {
  LoggedField field;
  field.line = last_field_.line;
  field.column = last_field_.column;
  field.begin = field_begin_;
  field.value_end = value_end;
  // What ended the field: the comma or line end taken with it, blanks
  // alone, or the end of the file.
  if (pos_ > value_end) {
    const char taken = bytes_[pos_ - 1];
    field.separator = taken == ',' ? ',' : IsLineEnd(taken) ? '\n' : ' ';
  }
  field.number = number;
  field.value = value;
  field.text = std::string(text);
  log_->AddField(std::move(field));
}

void FieldReader::Fail(const std::string& what, bool number) const {
  if (log_ != nullptr) {
    LoggedField field;
    field.line = last_field_.line;
    field.column = last_field_.column;
    field.begin = std::min(field_begin_, bytes_.size());
    std::size_t end = field.begin;
    while (end < bytes_.size() && end - field.begin < kFailedFieldBytes &&
           bytes_[end] != ',' && !IsLineEnd(bytes_[end])) {
      ++end;
    }
    field.value_end = end;
    field.number = number;
    field.text = std::string(bytes_.substr(field.begin, end - field.begin));
    log_->set_failed_field(std::move(field));
  }
  throw Fault(what, last_field_);
}

void FieldReader::TakeSeparator() {
  if (pos_ < bytes_.size() && bytes_[pos_] == ',') {
    ++pos_;
  } else {
    TakeLineEnd();
  }
}

std::string FieldReader::TakeText(std::size_t* value_end) {
  std::string text;
  if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
    ++pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != '"') {
      // Line ends inside quotes belong to the text but still count lines.
      const char c = bytes_[pos_];
      if (IsLineEnd(c)) {
        const std::size_t before = pos_;
        TakeLineEnd();
        text.append(bytes_.substr(before, pos_ - before));
      } else {
        text.push_back(c);
        ++pos_;
      }
    }
    if (pos_ < bytes_.size()) ++pos_;  // the closing quote
    *value_end = pos_;
    // Whatever follows the closing quote, up to the separator, is dropped.
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' &&
           !IsLineEnd(bytes_[pos_])) {
      ++pos_;
    }
  } else {
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' &&
           !IsLineEnd(bytes_[pos_])) {
      text.push_back(bytes_[pos_]);
      ++pos_;
    }
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    *value_end = field_begin_ + text.size();
  }
  TakeSeparator();
  return text;
}

std::string FieldReader::ReadText() {
  StartField();
  std::size_t value_end = pos_;
  std::string text = TakeText(&value_end);
  if (text.size() > kMaxTextBytes) {
    Fail("a text field is longer than 65535 bytes");
  }
  if (log_ != nullptr) LogField(value_end, false, 0, text);
  return text;
}

std::string FieldReader::CutText() {
  StartField();
  std::size_t value_end = pos_;
  return TakeText(&value_end);
}

std::string FieldReader::CutNumber() {
  StartField();
  const std::size_t begin = pos_;
  while (pos_ < bytes_.size() && !IsBlank(bytes_[pos_]) &&
         bytes_[pos_] != ',' && !IsLineEnd(bytes_[pos_])) {
    ++pos_;
  }
  std::string text(bytes_.substr(begin, pos_ - begin));
  // As after a number: the blanks, and a separator right after them.
  SkipBlanks();
  TakeSeparator();
  return text;
}

std::int64_t FieldReader::ReadNumber(std::int64_t min, std::int64_t max,
                                     const char* width_name) {
  StartField();
  // An empty field: nothing but blanks before the separator or the end.
  const std::size_t begin = pos_;
  if (pos_ >= bytes_.size() || bytes_[pos_] == ',' || IsLineEnd(bytes_[pos_])) {
    TakeSeparator();
    if (log_ != nullptr) LogField(begin, true, 0, "");
    return 0;
  }

  bool negative = false;
  if (bytes_[pos_] == '+' || bytes_[pos_] == '-') {
    negative = bytes_[pos_] == '-';
    ++pos_;
  }
  if (pos_ >= bytes_.size() || !IsDigit(bytes_[pos_])) {
    Fail("a number is expected here (a sign or digits, nothing else)", true);
  }
  // Accumulate with a cap far above every width, so that a long run of
  // digits can neither overflow nor pass as a small value.
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  std::int64_t magnitude = 0;
  while (pos_ < bytes_.size() && IsDigit(bytes_[pos_])) {
    if (magnitude < kCap) magnitude = magnitude * 10 + (bytes_[pos_] - '0');
    ++pos_;
  }
  const std::size_t value_end = pos_;
  if (pos_ < bytes_.size()) {
    const char c = bytes_[pos_];
    if (!IsBlank(c) && c != ',' && !IsLineEnd(c)) {
      Fail("a number is expected here (a sign or digits, nothing else)", true);
    }
  }
  // The blanks after a number, and a separator right after them, are taken
  // with it; anything else starts the next field.
  SkipBlanks();
  TakeSeparator();
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < min || value > max) {
    Fail(std::string("the number does not fit a ") + width_name + " (" +
         std::to_string(min) + " to " + std::to_string(max) + ")");
  }
  if (log_ != nullptr) {
    LogField(value_end, true, value, bytes_.substr(begin, value_end - begin));
  }
  return value;
}

std::int32_t FieldReader::ReadLong() {
  return static_cast<std::int32_t>(ReadNumber(INT32_MIN, INT32_MAX, "long"));
}

std::int16_t FieldReader::ReadInteger() {
  return static_cast<std::int16_t>(ReadNumber(INT16_MIN, INT16_MAX, "integer"));
}

std::uint8_t FieldReader::ReadByte() {
  return static_cast<std::uint8_t>(ReadNumber(0, 255, "byte"));
}

}  // namespace scenario
