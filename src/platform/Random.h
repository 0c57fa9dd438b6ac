#pragma once

namespace platform {

// The original runtime's generator; all randomness of play comes from it, in the order the code draws.
constexpr int kRandMax = 32767;
void Srand(unsigned int seed);
int Rand();

}  // namespace platform
