#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PTask.h"

class CPGameObject;

// An emitter of a scene object: the particle emitters it names and the seconds between
// emissions; a task while its object is in the world.
//
// Not done yet: emitting (the task's update does nothing).
class CPParticleSystem : public IPTask {
public:
    CPParticleSystem(CPGameObject* owner, std::vector<std::string> emitterNames)
        : m_owner(owner), m_emitterNames(std::move(emitterNames)) {}

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPParticleSystem"; }
    void Update() override {}
    int32_t GetType() const override { return 1; }

    CPGameObject* GetOwner() const { return m_owner; }
    const std::vector<std::string>& GetEmitterNames() const { return m_emitterNames; }
    float emissionInterval = 0.0f;

private:
    CPGameObject* m_owner;
    std::vector<std::string> m_emitterNames;
};
