#include "testing/allocation/failing_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_THREAD__)
#define ORVANE_OWN_ALLOCATOR 0
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORVANE_OWN_ALLOCATOR 0
#endif
#endif
#ifndef ORVANE_OWN_ALLOCATOR
#define ORVANE_OWN_ALLOCATOR 1
#endif

namespace orvane::testing {
namespace {

// Allocations still to succeed before one fails; negative: none fails.
thread_local int succeeding_before_failure = -1;
std::atomic<int> failed{0};

}  // namespace

bool AllocationsCanFail() { return ORVANE_OWN_ALLOCATOR != 0; }

void FailNextAllocation() { FailAllocationAfter(0); }

void FailAllocationAfter(int succeeding) {
  succeeding_before_failure = AllocationsCanFail() ? succeeding : -1;
}

int FailedAllocations() { return failed.load(); }

}  // namespace orvane::testing

#if ORVANE_OWN_ALLOCATOR
// The other forms of new and delete end up in these two.
void* operator new(std::size_t size) {
  using orvane::testing::failed;
  using orvane::testing::succeeding_before_failure;
  const bool fail = succeeding_before_failure == 0;
  if (succeeding_before_failure >= 0) --succeeding_before_failure;
  void* block = fail ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    ++failed;
    throw std::bad_alloc();
  }
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#endif
