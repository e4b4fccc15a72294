#include "model/zeroed_allocator.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace scenario {
namespace {

// The size of a huge page on the machines this runs on, and the size from
// which a block is mapped on its own. Below it calloc serves, from its own
// pool; from it on a block is rounded up to whole huge pages, less than one
// huge page more than asked for.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMappedFrom = kHugePage;

std::size_t MappedSize(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
  if (bytes < kMappedFrom) {
    void* p = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const std::size_t size = MappedSize(bytes);
  // One huge page more than needed, so that a start on a huge-page
  // boundary lies inside; the parts before and after it are given back.
  const std::size_t reserved = size + kHugePage;
  void* raw = mmap(nullptr, reserved, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned =
      (start + kHugePage - 1) / kHugePage * kHugePage;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + reserved;
  if (end > aligned + size) {
    munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  }
  void* p = reinterpret_cast<void*>(aligned);
  // Advice only: where huge pages are off, the block is ordinary pages.
  (void)madvise(p, size, MADV_HUGEPAGE);
  return p;
}

void FreeZeroed(void* p, std::size_t bytes) noexcept {
  if (p == nullptr) return;
  if (bytes < kMappedFrom) {
    std::free(p);
    return;
  }
  munmap(p, MappedSize(bytes));
}

}  // namespace scenario
