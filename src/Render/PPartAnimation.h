#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PTask.h"
#include "math/PMath.h"

class CPGameObject;

// A part animation: the key transforms of one part of a model, from a part-animation file of
// Data\Animations, with the seconds from each key to the next.
//
// Not done yet: playing the keys (the task's update does nothing).
class CPPartAnimation : public IPTask {
public:
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPartAnimation"; }
    void Update() override {}
    int32_t GetType() const override { return 1; }

    void SetKeys(std::vector<PMatrix> keys, std::vector<float> durations) {
        m_keys = std::move(keys);
        m_durations = std::move(durations);
    }
    const std::vector<PMatrix>& GetKeys() const { return m_keys; }
    const std::vector<float>& GetDurations() const { return m_durations; }

    // The part the animation moves; not counted.
    void SetTarget(CPGameObject* target) { m_target = target; }
    CPGameObject* GetTarget() const { return m_target; }

private:
    std::vector<PMatrix> m_keys;
    std::vector<float> m_durations;
    CPGameObject* m_target = nullptr;
};
