#pragma once
#include <cstdint>
#include <string>

#include "math/PVector3.h"

// One emitter of Data\particlesystems.dat: which effect it shoots, how, and where from.
struct SPEmitterInfo {
    float life = 0.0f;
    float growth = 0.0f;
    // The axis of the emission cone.
    PVector3 direction{0.0f, 0.0f, 1.0f};
    float speed = 0.0f;
    PVector3 acceleration{0.0f, 0.0f, 0.0f};
    float size = 1.0f;
    bool fade = true;
    // The particle-effect or spot template.
    std::string effect;
    // Full opening angle of the cone, whole degrees.
    int32_t spread = 0;
    // Half extents of the box the start position is drawn in.
    PVector3 jitter{0.0f, 0.0f, 0.0f};
};
