#pragma once
#include <memory>
#include <string>

#include "core/PSmartPointer.h"
#include "math/PVector3.h"

struct SPParticle;

// Called at every update of a living particle, after its age has grown, with the request's user
// object (the particle's owner) and the particle. It reads the particle's position, its position
// before this update and its size, and may set its age: past its life ends it at the next update.
using ParticleCallback = void (*)(IPMMObject* owner, SPParticle& particle);

// One request to create one particle or spot, handed to CPParticlesManager::SpawnEffect, which
// copies it. For a particle effect every field means what its name says (size is half the quad's
// edge, growth its change per second, life in seconds). A spot reads the record differently:
// position x and y are its centre, velocity x its texture frame, velocity z its turn about the
// vertical axis (radians), and fade makes it fade over the last 40% of its life.
//
// A request owns its next record: the particle emits it once, when it passes half its life, at
// the particle's position plus the record's own position. Copies are deep. A chain is as long as
// an emitter line has names, so it is copied and freed record by record, never recursively.
class CPParticleSpawnInfo {
public:
    CPParticleSpawnInfo() = default;
    CPParticleSpawnInfo(const CPParticleSpawnInfo& other);
    CPParticleSpawnInfo& operator=(const CPParticleSpawnInfo& other);
    CPParticleSpawnInfo(CPParticleSpawnInfo&&) noexcept = default;
    CPParticleSpawnInfo& operator=(CPParticleSpawnInfo&&) noexcept = default;
    ~CPParticleSpawnInfo();

    std::string name;
    PVector3 position{0.0f, 0.0f, 0.0f};
    PVector3 velocity{0.0f, 0.0f, 0.0f};
    PVector3 acceleration{0.0f, 0.0f, 0.0f};
    float size = 0.0f;
    float growth = 0.0f;
    float life = 0.0f;
    bool fade = false;
    std::unique_ptr<CPParticleSpawnInfo> next;
    ParticleCallback callback = nullptr;
    CPSmartPointer user;

private:
    // Every field but next.
    void CopyRecord(const CPParticleSpawnInfo& other);
};
