#ifndef SCENARIO_MODEL_BLOCK_WRITER_H_
#define SCENARIO_MODEL_BLOCK_WRITER_H_

// Gathers an image's bytes in one block of memory and hands the block to a
// piece writer each time it fills up (or to a placed piece writer, for one
// stream of an image that starts at a given offset). An encoder packs its
// fields straight into the block, which stays in the cache, and a large image
// is never held whole: the block is all the memory an image takes.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "base/file_system.h"

namespace scenario {

class BlockWriter {
 public:
  // Large enough that the writes of a big image are few, small enough to
  // stay in the cache.
  static constexpr std::size_t kBlockSize = 256 * 1024;

  // REQUIRES: write outlives this writer.
  explicit BlockWriter(const PieceWriter& write);
  // The bytes go to write at offset, offset + the first block's size, ...
  // REQUIRES: write outlives this writer.
  BlockWriter(const PlacedPieceWriter& write, std::uint64_t offset);
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Room for n bytes: the caller packs exactly n bytes at the returned
  // address and then calls Advance(n). REQUIRES: n <= kBlockSize.
  char* Room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - next_) < n) Flush();
    return next_;
  }
  void Advance(std::size_t n) { next_ += n; }
  // The bytes that fit in the block before it must be handed over.
  std::size_t Available() const {
    return static_cast<std::size_t>(end_ - next_);
  }

  // Any number of bytes.
  void Append(std::string_view bytes);

  // Hands the bytes gathered so far to the piece writer. An encoder calls
  // it once at its end; nothing is handed over by the destructor.
  void Flush();

 private:
  // One of the two is set.
  const PieceWriter* write_ = nullptr;
  const PlacedPieceWriter* placed_ = nullptr;
  std::uint64_t offset_ = 0;  // of the block's first byte, when placed
  // Not initialised: every byte is packed before it is handed over.
  std::unique_ptr<char[]> block_;
  char* next_;
  char* end_;
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_BLOCK_WRITER_H_
