#include "model/block_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace scenario {
namespace {

constexpr std::size_t kBlock = BlockWriter::kBlockSize;

// One step: pack n bytes through Room (room) or Append them (!room).
struct Step {
  bool room;
  std::size_t n;
};

TEST(BlockWriter, PiecesAreWholeFieldsInOrderAndNeverOverABlock) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const Case kCases[] = {
      {"nothing", {}},
      {"one small field", {{true, 15}}},
      {"fields up to exactly one block", {{true, kBlock - 10}, {true, 10}}},
      {"a field that does not fit starts the next block",
       {{true, kBlock - 5}, {true, 10}}},
      {"a whole block after a small field", {{true, 1}, {true, kBlock}}},
      {"appended bytes fill blocks up",
       {{true, 3}, {false, 3 * kBlock + 7}, {true, 18}}},
      {"appending nothing", {{false, 0}, {true, 2}, {false, 0}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> pieces;
    const PieceWriter write = [&pieces](std::string_view piece) {
      pieces.emplace_back(piece);
    };
    std::string want;
    BlockWriter out(write);
    char next = 0;
    for (const Step& step : c.steps) {
      std::string bytes(step.n, '\0');
      for (char& b : bytes) b = ++next;
      want += bytes;
      if (step.room) {
        std::memcpy(out.Room(step.n), bytes.data(), step.n);
        out.Advance(step.n);
      } else {
        out.Append(bytes);
      }
    }
    out.Flush();
    out.Flush();  // nothing more to hand over
    std::string got;
    for (const std::string& piece : pieces) {
      EXPECT_FALSE(piece.empty());
      EXPECT_LE(piece.size(), kBlock);
      got += piece;
    }
    EXPECT_TRUE(got == want);
  }
}

TEST(BlockWriter, AFieldIsNeverSplitBetweenPieces) {
  std::vector<std::size_t> sizes;
  const PieceWriter write = [&sizes](std::string_view piece) {
    sizes.push_back(piece.size());
  };
  BlockWriter out(write);
  // Ten-byte fields: a block of 256 KiB holds 26214 of them and 6 bytes
  // over, which stay unused.
  for (int i = 0; i < 30000; ++i) {
    std::memset(out.Room(10), 'g', 10);
    out.Advance(10);
  }
  out.Flush();
  ASSERT_EQ(sizes.size(), 2u);
  EXPECT_EQ(sizes[0], kBlock / 10 * 10);
  EXPECT_EQ(sizes[0] + sizes[1], 300000u);
}

}  // namespace
}  // namespace scenario
