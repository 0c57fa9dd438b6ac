#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PTask.h"
#include "math/PMath.h"

class CPGameObject;

// A part animation: the key transforms of one part of a model, from a part-animation file of
// Data\Animations, with the seconds from each key to the next. As a kernel task it advances by
// the frame delta, blends the two neighbouring key matrices linearly and gives the blend to its
// target as the target's animation matrix. A pass plays the segments from key 0 to key n − 2;
// at its end the target hears OnAnimationEnd, and the animation starts again (loop) or blends
// towards the last key with the time left over and stops. Fewer than three keys make no pass:
// the loader refuses such parts, and such an animation stops at its first update.
class CPPartAnimation : public IPTask {
public:
    // The fewest keys that make a pass.
    static constexpr size_t kMinKeys = 3;
    // Passes ended in one update before the rest of the time is wrapped in one step.
    static constexpr int32_t kMaxPassesPerUpdate = 16;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPartAnimation"; }
    // Goes on where it was; an animation whose pass ended without loop starts from key 0.
    bool Start() override;
    void Update() override;
    int32_t GetType() const override { return 1; }

    // Durations below zero (or not numbers) count as zero.
    void SetKeys(std::vector<PMatrix> keys, std::vector<float> durations);
    const std::vector<PMatrix>& GetKeys() const { return m_keys; }
    const std::vector<float>& GetDurations() const { return m_durations; }
    // Copies the keys, the durations and the loop flag; target and progress stay.
    void CopyFrom(const CPPartAnimation* source);

    // The part the animation moves; not counted.
    void SetTarget(CPGameObject* target) { m_target = target; }
    CPGameObject* GetTarget() const { return m_target; }
    void SetLoop(bool loop) { m_loop = loop; }
    bool IsLooping() const { return m_loop; }
    int32_t GetKeyIndex() const { return m_keyIndex; }
    float GetElapsed() const { return m_elapsed; }

private:
    // Steps through the keys the elapsed time covers; false when a pass ended without loop.
    bool AdvanceKeys();
    void EndPass();
    PMatrix Blend() const;

    std::vector<PMatrix> m_keys;
    std::vector<float> m_durations;
    CPGameObject* m_target = nullptr;
    float m_elapsed = 0.0f;
    int32_t m_keyIndex = 0;
    bool m_loop = false;
    float m_passLength = 0.0f;
};
