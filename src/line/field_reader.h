#ifndef SCENARIO_LINE_FIELD_READER_H_
#define SCENARIO_LINE_FIELD_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/diagnostics.h"

namespace scenario {

class ReadLog;

// Reads a description file as a stream of comma-separated fields. It knows
// the syntax only (commas, line ends, blanks, quotes, numbers and their
// widths, the end of the file), never a keyword.
//
// Syntax:
// - A field ends at a comma or a line end (CR LF, lone LF or lone CR).
// - Blanks (space, tab) before a field are skipped.
// - A text field runs to the next comma or line end and loses its trailing
//   blanks. When its first character is a double quote it runs to the next
//   double quote instead, commas and line ends included; the quotes are not
//   part of the text and whatever follows the closing quote up to the next
//   comma or line end is dropped. A quote that never closes runs to the end
//   of the file.
// - A number is an optional sign and decimal digits. It also ends at a
//   blank: the blanks after it are skipped, and a comma or line end right
//   after them is taken with it. Nothing but blanks before the separator
//   reads as 0.
// - Reading any field when no byte is left, a malformed number, a value
//   outside the field's width and a text over 65535 bytes throw Fault.
//   A field that meets the end of the file ends there.
//
// Every field remembers the line and column where it starts (its first
// character after the blanks), so a reader can say where a row came from.
class FieldReader {
 public:
  // bytes must outlive the reader; file_name is used in SourceSpots.
  FieldReader(std::string_view bytes, std::string file_name);

  // True when every byte has been consumed.
  bool AtEnd() const { return pos_ >= bytes_.size(); }

  // A text field (keyword, board text, station name).
  std::string ReadText();
  // Numbers by width: long (32-bit signed), integer (16-bit signed),
  // byte (8-bit unsigned).
  std::int32_t ReadLong();
  std::int16_t ReadInteger();
  std::uint8_t ReadByte();

  // The same cuts without checking a value, for showing a row as it is
  // written: the characters ReadText would return, and those of a number
  // field, which run to the next blank, comma or line end whatever they
  // are ("" for an empty field). Nothing is recorded in the log; reading
  // when no byte is left still throws Fault.
  std::string CutText();
  std::string CutNumber();

  // Where the field read last starts.
  const SourceSpot& last_field() const { return last_field_; }
  const std::string& file_name() const { return file_name_; }

  // Optional: every field read from here on is also recorded in *log
  // (null: none). Reading is the same either way. log must outlive the
  // reader.
  void set_log(ReadLog* log) { log_ = log; }
  ReadLog* log() const { return log_; }

 private:
  std::int64_t ReadNumber(std::int64_t min, std::int64_t max,
                          const char* width_name);
  void SkipBlanks();
  // Consumes one line end at pos_ if there is one; returns whether it did.
  bool TakeLineEnd();
  // Consumes the comma or the line end at pos_, if there is one.
  void TakeSeparator();
  // A text field's characters from pos_ on, its separator consumed;
  // *value_end is the byte after its value.
  std::string TakeText(std::size_t* value_end);
  void StartField();
  // Records the field read last in the log; value_end is the byte after
  // its value. The separator is the byte before pos_ when it was taken.
  void LogField(std::size_t value_end, bool number, std::int64_t value,
                std::string_view text);
  // Throws Fault at the field read last, which the log (when there is
  // one) keeps as its failed field; number tells that a number was due.
  [[noreturn]] void Fail(const std::string& what, bool number = false) const;

  std::string_view bytes_;
  std::string file_name_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t line_start_ = 0;
  SourceSpot last_field_;
  std::size_t field_begin_ = 0;
  ReadLog* log_ = nullptr;
};

}  // namespace scenario

#endif  // SCENARIO_LINE_FIELD_READER_H_
