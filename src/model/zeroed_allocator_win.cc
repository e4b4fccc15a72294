// Large blocks come from VirtualAlloc, as whole pages that the system hands
// out zeroed; large pages would need a privilege that authors' accounts do
// not hold, so they are plain pages.
#include "model/zeroed_allocator.h"

#include <windows.h>

#include <cstdlib>
#include <new>

namespace scenario {
namespace {

// The size from which a block is taken from the system on its own; below
// it calloc serves, from its own pool.
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
  if (bytes < kMappedFrom) {
    void* p = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  void* p =
      ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void FreeZeroed(void* p, std::size_t bytes) noexcept {
  if (p == nullptr) return;
  if (bytes < kMappedFrom) {
    std::free(p);
    return;
  }
  ::VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace scenario
