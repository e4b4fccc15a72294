#include "line/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line/read_log.h"
#include "model/errors.h"

namespace scenario {
namespace {

// Reads every field of input as text and returns them.
std::vector<std::string> AllTexts(std::string_view input) {
  FieldReader r(input, "f.txt");
  std::vector<std::string> out;
  while (!r.AtEnd()) out.push_back(r.ReadText());
  return out;
}

TEST(FieldReader, TextFieldsSplitAtCommasAndLineEnds) {
  struct Case {
    const char* input;
    std::vector<std::string> fields;
  };
  const Case kCases[] = {
      {"a,b\r\nc\r\n", {"a", "b", "c"}},
      {"a,b\nc\n", {"a", "b", "c"}},
      {"a,b\rc\r", {"a", "b", "c"}},
      {"  \t a  \t,b", {"a", "b"}},  // leading and trailing blanks go
      {"a,,b\r\n", {"a", "", "b"}},
      {"---------\r\n[curve]\r\n", {"---------", "[curve]"}},
      {"x, \"q,1\r\n2\" tail,y", {"x", "q,1\r\n2", "y"}},
      {"\"open to the end", {"open to the end"}},
      {"(  Cippo  )(Km 28+000)\r\n", {"(  Cippo  )(Km 28+000)"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.input);
    EXPECT_EQ(AllTexts(c.input), c.fields);
  }
}

TEST(FieldReader, NumbersByWidth) {
  struct Case {
    const char* input;
    bool ok;
    std::int64_t value;
    const char* rest;  // the next text field after the number, if any
  };
  const Case kCases[] = {
      {"12,x", true, 12, "x"},
      {"-4,5", true, -4, "5"},
      {"+7\r\nx", true, 7, "x"},
      {"  ,x", true, 0, "x"},         // empty reads 0
      {"   \r\nx", true, 0, "x"},     // empty before a line end
      {"   ", true, 0, nullptr},      // blanks then the end of the file
      {"17     15", true, 17, "15"},  // a blank ends a number
      {"30 \r\nx", true, 30, "x"},    // blanks and the line end go with it
      {"1.5,", false, 0, nullptr},
      {"12a,", false, 0, nullptr},
      {"-,", false, 0, nullptr},
      {"\"3\",", false, 0, nullptr},
      {"2147483647,", true, 2147483647, nullptr},
      {"2147483648,", false, 0, nullptr},
      {"-2147483648,", true, -2147483648LL, nullptr},
      {"99999999999999999999999,", false, 0, nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.input);
    FieldReader r(c.input, "f.txt");
    if (!c.ok) {
      EXPECT_THROW(r.ReadLong(), Fault);
      continue;
    }
    EXPECT_EQ(r.ReadLong(), c.value);
    if (c.rest != nullptr) {
      EXPECT_EQ(r.ReadText(), c.rest);
    }
  }
}

TEST(FieldReader, WidthsOfIntegerAndByte) {
  {
    FieldReader r("32767,-32768,32768", "f");
    EXPECT_EQ(r.ReadInteger(), 32767);
    EXPECT_EQ(r.ReadInteger(), -32768);
    EXPECT_THROW(r.ReadInteger(), Fault);
  }
  {
    FieldReader r("255,0,256", "f");
    EXPECT_EQ(r.ReadByte(), 255);
    EXPECT_EQ(r.ReadByte(), 0);
    EXPECT_THROW(r.ReadByte(), Fault);
  }
  {
    FieldReader r("-1", "f");
    EXPECT_THROW(r.ReadByte(), Fault);
  }
}

TEST(FieldReader, ReadingWithNoByteLeftIsAFault) {
  FieldReader empty("", "f");
  EXPECT_TRUE(empty.AtEnd());
  EXPECT_THROW(empty.ReadText(), Fault);
  EXPECT_THROW(empty.ReadLong(), Fault);

  FieldReader r("a\r\n", "f");
  EXPECT_EQ(r.ReadText(), "a");
  EXPECT_TRUE(r.AtEnd());
  EXPECT_THROW(r.ReadLong(), Fault);
}

TEST(FieldReader, ClockRowWithBlankSeparatedNumbers) {
  FieldReader r(
      "orologio,    17              15            30 \r\n[aderenze]\r\n", "f");
  EXPECT_EQ(r.ReadText(), "orologio");
  EXPECT_EQ(r.ReadInteger(), 17);
  EXPECT_EQ(r.ReadInteger(), 15);
  EXPECT_EQ(r.ReadInteger(), 30);
  EXPECT_EQ(r.ReadText(), "[aderenze]");
  EXPECT_TRUE(r.AtEnd());
}

TEST(FieldReader, RemembersWhereEachFieldStarts) {
  FieldReader r("a,  b\r\n\r\n   c,\"x\ny\",d", "line.txt");
  r.ReadText();
  EXPECT_EQ(r.last_field().line, 1);
  EXPECT_EQ(r.last_field().column, 1);
  r.ReadText();
  EXPECT_EQ(r.last_field().line, 1);
  EXPECT_EQ(r.last_field().column, 5);
  EXPECT_EQ(r.ReadText(), "");  // the empty second line
  EXPECT_EQ(r.last_field().line, 2);
  r.ReadText();
  EXPECT_EQ(r.last_field().line, 3);
  EXPECT_EQ(r.last_field().column, 4);
  EXPECT_EQ(r.ReadText(), "x\ny");
  EXPECT_EQ(r.ReadText(), "d");
  EXPECT_EQ(r.last_field().line, 4);  // the quoted line end counts
  EXPECT_EQ(r.last_field().file, "line.txt");

  FieldReader bad("1,\r\n  x1", "t.txt");
  bad.ReadLong();
  bad.ReadLong();  // the empty field before the line end
  try {
    bad.ReadLong();
    FAIL() << "expected a fault";
  } catch (const Fault& f) {
    EXPECT_EQ(f.where().line, 2);
    EXPECT_EQ(f.where().column, 3);
  }
}

TEST(FieldReader, OverlongTextIsAFault) {
  std::string big(65536, 'a');
  FieldReader r(big, "f");
  EXPECT_THROW(r.ReadText(), Fault);
  std::string ok(65535, 'a');
  FieldReader r2(ok, "f");
  EXPECT_EQ(r2.ReadText().size(), 65535u);
}

// The log keeps the field a fault stopped at, as far as its separator and
// no farther than kFailedFieldBytes, so that a warning can say what in it
// was wrong.
TEST(FieldReader, TheLogKeepsTheFieldAFaultStoppedAt) {
  struct Case {
    std::string input;
    bool number;  // read a number (else a text)
    int column;
    std::string text;
  };
  const Case kCases[] = {
      {"1,  12;5, 7\r\n", true, 5, "12;5"},
      {"1,  120;\r\nx", true, 5, "120;"},
      {"1,  600 ;-11\r\n", true, 9, ";-11"},
      {"1,  " + std::string(200, '9') + "x", true, 5,
       std::string(kFailedFieldBytes, '9')},
      {"1,  " + std::string(65536, 'a'), false, 5,
       std::string(kFailedFieldBytes, 'a')},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    ReadLog log("f.txt");
    FieldReader r(c.input, "f.txt");
    r.set_log(&log);
    EXPECT_EQ(r.ReadLong(), 1);
    EXPECT_FALSE(log.failed_field().has_value());
    if (c.number) {
      if (c.column == 9) r.ReadLong();  // 600, ended by its blank
      EXPECT_THROW(r.ReadLong(), Fault);
    } else {
      EXPECT_THROW(r.ReadText(), Fault);
    }
    ASSERT_TRUE(log.failed_field().has_value());
    const LoggedField& f = *log.failed_field();
    EXPECT_EQ(f.line, 1);
    EXPECT_EQ(f.column, c.column);
    EXPECT_EQ(f.number, c.number);
    EXPECT_EQ(f.text, c.text);
  }
}

// Cutting takes the same fields as reading, and shows a bad number as
// written instead of faulting.
TEST(FieldReader, CutsAFieldAsReadingWouldWithoutCheckingIt) {
  struct Case {
    const char* input;
    const char* plan;  // 't' a text field, 'n' a number field, per cut
    std::vector<std::string> cuts;
  };
  const Case kCases[] = {
      {"orologio,    17   15  30 \r\nx",
       "tnnnt",
       {"orologio", "17", "15", "30", "x"}},
      {"p,  1000,  ,  , 0\r\n", "tnnnn", {"p", "1000", "", "", "0"}},
      {"p,  12x, 3", "tnn", {"p", "12x", "3"}},
      {"p, -4,5\r\n", "tnt", {"p", "-4", "5"}},
      {"s, 3100, San-Rocco Alto  \r\n", "tnt", {"s", "3100", "San-Rocco Alto"}},
      {"c, 1,\"a, b\" x, 7", "tntn", {"c", "1", "a, b", "7"}},
      {"p, 0,\r\n", "tnn", {"p", "0", ""}},  // an empty field at the end
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.input);
    FieldReader r(c.input, "f");
    std::vector<std::string> cuts;
    for (const char* p = c.plan; *p != '\0'; ++p) {
      cuts.push_back(*p == 't' ? r.CutText() : r.CutNumber());
    }
    EXPECT_EQ(cuts, c.cuts);
    EXPECT_TRUE(r.AtEnd());
  }
  FieldReader done("a\r\n", "f");
  EXPECT_EQ(done.CutText(), "a");
  EXPECT_THROW(done.CutNumber(), Fault);
}

}  // namespace
}  // namespace scenario
