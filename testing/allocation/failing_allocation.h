#pragma once

// Out of memory on request, for the paths that must survive it. A program that links
// failing_allocation.cpp gets a global allocator that otherwise behaves as the default one.
namespace orvane::testing {

// False where ThreadSanitizer owns the allocator: FailNextAllocation changes nothing there.
bool AllocationsCanFail();
// The calling thread's next allocation throws std::bad_alloc.
void FailNextAllocation();
// The calling thread's allocation after the next `succeeding` ones throws std::bad_alloc.
void FailAllocationAfter(int succeeding);
// Allocations that have failed so far, on every thread.
int FailedAllocations();

}  // namespace orvane::testing
