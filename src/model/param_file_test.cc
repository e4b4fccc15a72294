#include "model/param_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "model/coding.h"
#include "model/hex_testing.h"

namespace scenario {
namespace {

ParamSlot Sample() {
  ParamSlot s;
  s.byte1 = 0xaa;
  s.long1 = 0x01020304;
  s.long2 = -1;
  s.long3 = 185700;
  s.byte2 = 7;
  s.text = "Cl\xe8s";  // Windows-1252 bytes: one byte a letter
  s.int1 = 610;
  s.int2 = -2;
  s.int3 = 1;
  s.int4 = 2;
  s.int5 = 3;
  s.byte3 = 4;
  s.byte4 = 5;
  s.byte5 = 6;
  s.byte6 = 0xff;
  s.long4 = 32107;
  return s;
}

TEST(ParamFile, SlotIsPackedFieldByField) {
  ParamTable table;
  table[0] = Sample();
  const std::string image = EncodeParamFile(table);
  ASSERT_EQ(image.size(), 87u * 34 + 4);
  EXPECT_EQ(Hex(image.substr(0, 34 + 4)),
            "aa 04 03 02 01 ff ff ff ff 64 d5 02 00 07 04 00 43 6c e8 73 "
            "62 02 fe ff 01 00 02 00 03 00 04 05 06 ff 6b 7d 00 00");
  // The next slot starts right after the text's slot: no fixed stride.
  EXPECT_EQ(image.substr(38), std::string(86 * 34, '\0'));
}

TEST(ParamFile, SizeIs87Times34PlusTextLengths) {
  ParamTable table;
  EXPECT_EQ(EncodeParamFile(table).size(), 87u * 34);
  table[kLineSlot].text = "Tarvo_Cembrio";
  table[kTrainSlot].text = "Exp 5147";
  table[80].text = "";
  table[3].text = std::string(300, 'x');
  EXPECT_EQ(EncodeParamFile(table).size(), 87u * 34 + 13 + 8 + 300);
}

TEST(ParamFile, StampsOfSlot85StandAfterItsText) {
  ParamTable table;
  table[kLineSlot].text = "Tarvo_Cembrio";
  table[kLineSlot].int1 = 610;
  table[kLineSlot].long4 = 32107;
  const std::string image = EncodeParamFile(table);
  const std::size_t slot85 = 85 * 34;
  EXPECT_EQ(Hex(image.substr(slot85 + kSlotTextLengthAt, 2)), "0d 00");
  EXPECT_EQ(image.substr(slot85 + kSlotHeadSize, 13), "Tarvo_Cembrio");
  const std::size_t tail = slot85 + kSlotHeadSize + 13;
  EXPECT_EQ(Hex(image.substr(tail + kTailInt1At, 2)), "62 02");
  EXPECT_EQ(Hex(image.substr(tail + kTailLong4At, 4)), "6b 7d 00 00");
}

TEST(ParamFile, RoundTrips) {
  ParamTable table;
  for (int i = 0; i < kParamSlotCount; ++i) {
    table[i] = Sample();
    table[i].long1 = i * 1000;
    table[i].text = std::string(static_cast<std::size_t>(i % 5), 'a' + i % 26);
  }
  ParamTable back;
  ASSERT_TRUE(DecodeParamFile(EncodeParamFile(table), &back));
  EXPECT_EQ(EncodeParamFile(back), EncodeParamFile(table));
  EXPECT_EQ(back[86].long1, 86000);
  EXPECT_EQ(back[0].text, "");
  EXPECT_EQ(back[4].text, "eeee");
}

TEST(ParamFile, OverlongTextIsCutSoTheImageStaysWalkable) {
  ParamTable table;
  table[kTrainSlot].text = std::string(kMaxSlotTextLength + 10, 'x');
  const std::string image = EncodeParamFile(table);
  EXPECT_EQ(image.size(), 87u * 34 + kMaxSlotTextLength);
  ParamTable back;
  ASSERT_TRUE(DecodeParamFile(image, &back));
  EXPECT_EQ(back[kTrainSlot].text.size(), kMaxSlotTextLength);
}

TEST(ParamFile, LongTextsAcrossManyPiecesRoundTrip) {
  // 87 texts of the longest length: texts and slot fields straddle the
  // writer's blocks everywhere.
  ParamTable table;
  for (int i = 0; i < kParamSlotCount; ++i) {
    table[i].text =
        std::string(kMaxSlotTextLength, static_cast<char>('a' + i % 26));
    table[i].long4 = -i;
  }
  std::string image;
  EncodeParamFile(table, [&image](std::string_view piece) { image += piece; });
  ASSERT_EQ(image.size(), 87u * (34 + kMaxSlotTextLength));
  ParamTable back;
  ASSERT_TRUE(DecodeParamFile(image, &back));
  for (int i = 0; i < kParamSlotCount; ++i) {
    EXPECT_EQ(back[i].text, table[i].text) << i;
    EXPECT_EQ(back[i].long4, -i);
  }
}

TEST(ParamFile, DecoderRefusesAWalkThatDoesNotEndAtTheEnd) {
  ParamTable table;
  table[10].text = "abc";
  const std::string good = EncodeParamFile(table);
  std::string long_text = good;
  long_text[10 * 34 + kSlotTextLengthAt] = 4;  // claims one byte more
  std::string short_text = good;
  short_text[10 * 34 + kSlotTextLengthAt] = 2;
  std::string huge_text = good;
  huge_text[10 * 34 + kSlotTextLengthAt + 1] = '\x7f';
  const std::string cases[] = {"",
                               good.substr(0, good.size() - 1),
                               good + '\0',
                               long_text,
                               short_text,
                               huge_text,
                               std::string(87 * 34 - 1, '\0')};
  ParamTable back;
  back[1].text = "kept";
  for (const std::string& image : cases) {
    SCOPED_TRACE(image.size());
    EXPECT_FALSE(DecodeParamFile(image, &back));
    EXPECT_EQ(back[1].text, "kept");
  }
}

}  // namespace
}  // namespace scenario
