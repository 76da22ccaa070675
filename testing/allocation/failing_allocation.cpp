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

thread_local bool fail_next = false;
std::atomic<int> failed{0};

}  // namespace

bool AllocationsCanFail() { return ORVANE_OWN_ALLOCATOR != 0; }

void FailNextAllocation() { fail_next = AllocationsCanFail(); }

int FailedAllocations() { return failed.load(); }

}  // namespace orvane::testing

#if ORVANE_OWN_ALLOCATOR
// The other forms of new and delete end up in these two.
void* operator new(std::size_t size) {
  using orvane::testing::fail_next;
  using orvane::testing::failed;
  void* block = fail_next ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    fail_next = false;
    ++failed;
    throw std::bad_alloc();
  }
  return block;
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
#endif
