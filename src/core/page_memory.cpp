#include "core/page_memory.h"

#include <cstdint>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VERTO_PAGES_FROM_HEAP 1
#else
#include <sys/mman.h>
#endif

namespace verto {

namespace {
constexpr std::size_t kRun = std::size_t{1} << 21;  // one huge page
std::size_t whole_runs(std::size_t bytes) { return (bytes + kRun - 1) / kRun * kRun; }
}  // namespace

#ifdef VERTO_PAGES_FROM_HEAP
// Sanitizer builds take the blocks from the heap, where the sanitizers
// see every access.
void* map_pages(std::size_t bytes) {
  void* p = ::operator new(bytes == 0 ? 1 : bytes);
  std::memset(p, 0, bytes);
  return p;
}
void unmap_pages(void* block, std::size_t) noexcept { ::operator delete(block); }
#else
void* map_pages(std::size_t bytes) {
  const std::size_t size = whole_runs(bytes == 0 ? 1 : bytes);
  // Mapped one run larger, then trimmed to a run boundary at both ends:
  // huge pages need runs aligned on their size.
  void* raw = mmap(nullptr, size + kRun, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kRun - 1) & ~(kRun - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + size + kRun, used_end = aligned + size;
  if (end > used_end) munmap(reinterpret_cast<void*>(used_end), end - used_end);
  void* block = reinterpret_cast<void*>(aligned);
  madvise(block, size, MADV_HUGEPAGE);  // a hint: refused, the block is still good
  return block;
}

void unmap_pages(void* block, std::size_t bytes) noexcept {
  if (block) munmap(block, whole_runs(bytes == 0 ? 1 : bytes));
}
#endif

}  // namespace verto
