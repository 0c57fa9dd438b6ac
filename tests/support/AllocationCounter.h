#pragma once

namespace testsupport {

// Counts the heap allocations of the whole process while counting is on: through the
// sanitizer's allocation hooks in sanitized builds (so its checks stay on), through a replaced
// global operator new otherwise (linked into every test program that uses this counter).
void SetCountingAllocations(bool on);
bool IsCountingAllocations();
void ResetCountedAllocations();
int CountedAllocations();

}  // namespace testsupport
