#pragma once

namespace platform {

// The original runtime's generator; all randomness of play comes from it, in the order the code draws.
constexpr int kRandMax = 32767;
void Srand(unsigned int seed);
int Rand();
// The generator's state: what the next draws follow from (Srand(RandState()) continues them).
unsigned int RandState();
// One draw as a number in [0, 1]: Rand() / kRandMax.
inline float RandUnit() { return static_cast<float>(Rand()) / static_cast<float>(kRandMax); }

}  // namespace platform
