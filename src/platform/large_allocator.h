#pragma once

#ifdef _WIN32
#include <malloc.h>
#else
#include <sys/mman.h>
#endif

#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

/// An allocator for the large arrays of the compiler (the plan trace of a long line is tens of MB).
/// Blocks of 2 MB and more are aligned to 2 MB and offered to the system for transparent huge pages,
/// which cuts the page faults of first touching them by a factor of 512 where the system allows it
/// (Linux; on Windows the blocks are only aligned).
template <typename T>
struct LargeAllocator {
  using value_type = T;
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;

  /// A block of `bytes` (a multiple of `alignment` when that is above the usual alignment), or null.
  static void* aligned_block(std::size_t alignment, std::size_t bytes) {
#ifdef _WIN32
    return _aligned_malloc(bytes, alignment);  // the C runtime of Windows has no aligned_alloc
#else
    return alignment > alignof(std::max_align_t) ? std::aligned_alloc(alignment, bytes) : std::malloc(bytes);
#endif
  }

  LargeAllocator() = default;
  template <typename U>
  LargeAllocator(const LargeAllocator<U>&) {}

  T* allocate(std::size_t count) {
    const std::size_t bytes = count * sizeof(T);
    void* memory = nullptr;
    if (bytes >= kHugePage) {
      const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
      memory = aligned_block(kHugePage, rounded);
#ifndef _WIN32
      if (memory != nullptr) madvise(memory, rounded, MADV_HUGEPAGE);  // a hint: its failure changes nothing
#endif
    } else {
      memory = aligned_block(alignof(std::max_align_t), bytes == 0 ? 1 : bytes);
    }
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<T*>(memory);
  }
  void deallocate(T* memory, std::size_t) {
#ifdef _WIN32
    _aligned_free(memory);
#else
    std::free(memory);
#endif
  }

  /// An element made without a value is left as the memory holds it, not zeroed: a large array that
  /// is filled anyway is not written twice. An element made from a value gets it.
  template <typename U>
  void construct(U* element) noexcept {
    ::new (static_cast<void*>(element)) U;
  }
  template <typename U, typename... Args>
  void construct(U* element, Args&&... args) {
    ::new (static_cast<void*>(element)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const LargeAllocator<U>&) const {
    return true;
  }
};
