#include "line/row_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace scenario {
namespace {

// The table is what hover, inspect and the format reference name the
// fields by: it must hold the fields the readers read, in their number.
TEST(RowFields, NamesEveryFieldTheReadersRead) {
  for (int k = 0; k < kRowKindCount; ++k) {
    const RowKind kind = static_cast<RowKind>(k);
    SCOPED_TRACE(std::string(RowKindName(kind)));
    const auto fields = RowFields(kind);
    EXPECT_EQ(fields.size(), RowKindValueCount(kind));
    std::set<std::string_view> names;
    int texts = 0;
    for (const FieldGuide& f : fields) {
      EXPECT_FALSE(f.name.empty());
      EXPECT_FALSE(f.meaning.empty()) << f.name;
      EXPECT_FALSE(f.compile.empty()) << f.name;
      EXPECT_TRUE(names.insert(f.name).second) << f.name << " twice";
      if (f.width == FieldWidth::kText) ++texts;
    }
    EXPECT_LE(texts, 1);
  }
}

// The station's fields whose use the compiler does not know are named
// after where they are stored, the names the storage view shows.
TEST(RowFields, StationFieldsCarryTheirStorageNames) {
  const auto fields = RowFields(RowKind::kStation);
  const char* const kNames[] = {
      "position", "kind",  "length",  "byte2",   "byte6", "end flag",
      "int1",     "int2",  "byte3",   "int3",    "int4",  "int5",
      "byte4",    "hours", "minutes", "seconds", "name"};
  ASSERT_EQ(fields.size(), std::size(kNames));
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(fields[i].name, kNames[i]) << "field " << i + 1;
  }
  EXPECT_EQ(fields[16].width, FieldWidth::kText);
}

TEST(RowFields, LabelCarriesTheUnit) {
  EXPECT_EQ(FieldLabel(RowFields(RowKind::kGradient)[0]), "position (m)");
  EXPECT_EQ(FieldLabel(RowFields(RowKind::kStation)[1]), "kind");
}

}  // namespace
}  // namespace scenario
