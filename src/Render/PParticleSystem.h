#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PEmitterInfo.h"
#include "Render/PParticleSpawnInfo.h"
#include "core/PTask.h"

class CPGameObject;

// An emitter task: every interval it asks the particle manager for one particle of its first
// emitter, carrying the particle of the next emitter as the record to emit at half life, and so
// on down the list. Attached to a scene object (kind 4) it shoots from the object's position in
// the object's frame; a flame burns on a wreck.
//
// Directions: each emitter shoots inside a cone about its direction (spread is the cone's full
// opening, whole degrees; a spread below 2 shoots straight along it, as does every particle of a
// direction of zero length along +z), turned by the owner's rotation.
//
// Ageing: a system with a lifetime (above 0) stops once its age passes it. While the owner's root
// is a standing destructible object (damage class 3, health above 0) the system does not age;
// once its burn-out flag is set (the object was destroyed) it shakes the wreck with at most three
// bursts (SecondaryExplosion and Sink on the root), 0.1 to 0.2 seconds apart.
//
// Randomness comes from the game's generator, in this order per emitted particle: jitter x, y, z,
// the azimuth, the tilt (only for a spread of 2 or more); per frame in burn-out, the burst delay
// and, when it has passed, the burst limit.
class CPParticleSystem : public IPTask {
public:
    // The most emissions one update makes, however small the interval.
    static constexpr int32_t kMaxEmissionsPerFrame = 1000;

    // Copies the named emitters from the particle manager, in order; unknown names are skipped.
    CPParticleSystem(CPGameObject* owner, std::vector<std::string> emitterNames);
    CPParticleSystem(CPGameObject* owner, const std::string& emitterName);

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPParticleSystem"; }
    int32_t GetType() const override { return 1; }

    // Restarts the clocks and the bursts, then starts the task.
    bool Start() override;
    void Update() override;
    // A new system with the same owner, emitters, interval, lifetime and extra, at age 0, not
    // burning out and not running.
    TPtr<IPTask> Clone() const override;
    TPtr<CPParticleSystem> CloneSystem() const;

    // One emission: one particle of the first emitter, the others chained behind it.
    void Emit();

    CPGameObject* GetOwner() const { return m_owner; }
    void SetOwner(CPGameObject* owner) { m_owner = owner; }
    const std::vector<std::string>& GetEmitterNames() const { return m_emitterNames; }
    const std::vector<SPEmitterInfo>& GetEmitters() const { return m_emitters; }
    // Seconds between emissions (0.5 at first).
    void SetInterval(float interval) { m_interval = interval; }
    float GetInterval() const { return m_interval; }
    // Seconds of life; 0 or less is endless (the default).
    void SetLifetime(float lifetime) { m_lifetime = lifetime; }
    float GetLifetime() const { return m_lifetime; }
    // The flame line's fourth number, kept with the system.
    void SetExtra(float extra) { m_extra = extra; }
    float GetExtra() const { return m_extra; }
    void SetBurnOut(bool burnOut) { m_burnOut = burnOut; }
    bool IsBurningOut() const { return m_burnOut; }
    float GetAge() const { return m_age; }
    int32_t GetBurstCount() const { return m_burstCount; }

private:
    // Whether the system ages now: not while it burns on a standing destructible object.
    bool IsCounting() const;
    void Burst();
    // Fills the request for one particle of the emitter.
    void BuildRequest(const SPEmitterInfo& emitter, bool first, CPParticleSpawnInfo& request) const;

    std::vector<SPEmitterInfo> m_emitters;
    std::vector<std::string> m_emitterNames;
    float m_accumulator = 0.0f;
    float m_interval = 0.5f;
    float m_lifetime = -1.0f;
    float m_age = 0.0f;
    float m_extra = 0.0f;
    int32_t m_burstCount = 0;
    float m_burstTimer = 0.0f;
    bool m_burnOut = false;
    CPGameObject* m_owner;
    // The first request of each emission, kept so that emitting does not allocate.
    CPParticleSpawnInfo m_request;
};
