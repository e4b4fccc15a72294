#ifndef SCENARIO_MODEL_ZEROED_ALLOCATOR_H_
#define SCENARIO_MODEL_ZEROED_ALLOCATOR_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace scenario {

// Memory of `bytes` bytes that reads as zero, and its release (given the
// same size). Large blocks are whole pages from the system, asked to be
// backed by huge pages where the system offers them: the 17 MiB of a long
// line's grid read back from its file then costs a few faults instead of
// four thousand, and its release is as cheap. Throws std::bad_alloc when
// there is no memory.
void* AllocateZeroed(std::size_t bytes);
void FreeZeroed(void* p, std::size_t bytes) noexcept;

// An allocator for vectors of plain values that start at zero. The memory
// comes from AllocateZeroed, which takes a large block straight from the
// system as pages that are zero already, and a new element is not written
// again: a large vector costs nothing until its pages are first written.
template <typename T>
class ZeroedAllocator {
  // All-zero bytes are the value 0 (or the enumerator 0) of such a type,
  // and calloc's memory holds objects of it with that value.
  static_assert(std::is_trivially_default_constructible_v<T> &&
                std::is_trivially_copyable_v<T>);

 public:
  using value_type = T;

  ZeroedAllocator() = default;
  template <typename U>
  ZeroedAllocator(const ZeroedAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateZeroed(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    FreeZeroed(p, n * sizeof(T));
  }

  // A new element keeps the zero it was allocated with.
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) {
    return true;
  }
};

}  // namespace scenario

#endif  // SCENARIO_MODEL_ZEROED_ALLOCATOR_H_
