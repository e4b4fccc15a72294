#include "model/block_writer.h"

#include <algorithm>
#include <cstring>

namespace scenario {

BlockWriter::BlockWriter(const PieceWriter& write)
    : write_(&write),
      block_(new char[kBlockSize]),
      next_(block_.get()),
      end_(block_.get() + kBlockSize) {}

BlockWriter::BlockWriter(const PlacedPieceWriter& write, std::uint64_t offset)
    : placed_(&write),
      offset_(offset),
      block_(new char[kBlockSize]),
      next_(block_.get()),
      end_(block_.get() + kBlockSize) {}

void BlockWriter::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t n =
        std::min(bytes.size(), static_cast<std::size_t>(end_ - next_));
    std::memcpy(next_, bytes.data(), n);
    next_ += n;
    bytes.remove_prefix(n);
    if (next_ == end_) Flush();
  }
}

void BlockWriter::Flush() {
  if (next_ == block_.get()) return;
  const std::string_view piece(block_.get(),
                               static_cast<std::size_t>(next_ - block_.get()));
  if (placed_ != nullptr) {
    (*placed_)(offset_, piece);
    offset_ += piece.size();
  } else {
    (*write_)(piece);
  }
  next_ = block_.get();
}

}  // namespace scenario
