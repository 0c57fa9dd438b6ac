#include "platform/Random.h"

#include <cstdint>

namespace platform {
namespace {

uint32_t state = 1;  // the runtime's generator starts as if seeded with 1

}  // namespace

void Srand(unsigned int seed) { state = seed; }

unsigned int RandState() { return state; }

int Rand() {
    state = state * 214013u + 2531011u;
    return int((state >> 16) & 0x7FFF);
}

}  // namespace platform
