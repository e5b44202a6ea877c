#pragma once
// Large zeroed blocks straight from the system, for the few big arrays of
// a run (the workspace, a plot's points, the plot-file blocks). They are
// mapped in whole 2 MiB runs and marked for huge pages, so the first
// touch of each run costs one fault instead of 512: on virtual machines a
// fault costs as much as formatting a few hundred numbers. Where huge
// pages are not to be had the block is still correct, only slower to
// touch the first time.
#include <cstddef>
#include <new>

namespace verto {

// A zeroed block of at least `bytes` bytes, aligned for any type; throws
// std::bad_alloc when the system refuses.
void* map_pages(std::size_t bytes);
// Gives back a block of map_pages(bytes) (the same `bytes`).
void unmap_pages(void* block, std::size_t bytes) noexcept;

// An allocator for vectors that grow large: blocks of kLarge bytes and
// more come from map_pages, smaller ones from operator new.
template <class T>
struct PageAllocator {
  using value_type = T;
  static constexpr std::size_t kLarge = std::size_t{1} << 18;

  PageAllocator() = default;
  template <class U>
  PageAllocator(const PageAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kLarge) return static_cast<T*>(map_pages(bytes));
    return static_cast<T*>(::operator new(bytes, std::align_val_t{alignof(T)}));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kLarge)
      unmap_pages(p, bytes);
    else
      ::operator delete(p, std::align_val_t{alignof(T)});
  }
  template <class U>
  bool operator==(const PageAllocator<U>&) const noexcept { return true; }
};

}  // namespace verto
