#pragma once
#include <memory>

#include "Render/PParticleSpawnInfo.h"
#include "core/PSmartPointer.h"
#include "math/PVector3.h"

// One live particle or spot, built by CPParticlesManager::SpawnEffect from a spawn request. A spot
// reads the record as its request does (CPParticleSpawnInfo).
struct SPParticle {
    PVector3 position{0.0f, 0.0f, 0.0f};
    // Where the last update found it.
    PVector3 previousPosition{0.0f, 0.0f, 0.0f};
    PVector3 velocity{0.0f, 0.0f, 0.0f};
    PVector3 acceleration{0.0f, 0.0f, 0.0f};
    float growth = 0.0f;
    float size = 0.0f;
    float age = 0.0f;
    float life = 0.0f;
    bool fade = false;
    // Texture frames per second, so that an animated texture plays once over the life.
    float frameRate = 0.0f;
    // The emission still pending at half life.
    std::unique_ptr<CPParticleSpawnInfo> next;
    ParticleCallback callback = nullptr;
    CPSmartPointer user;
};
