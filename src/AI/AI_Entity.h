#pragma once
#include <cstdint>
#include <string>

#include "AI/AI_Task.h"
#include "Render/ISceneEntity.h"
#include "math/PVector3.h"

// One enemy: its scene object (its model) reports hits and the events of its vertex animation
// here (CPGameObject::SetEntity links them; the model does not own its entity).
//
// Not done yet: the state machine, movement, attacks, death and spawning; the reactions below
// do nothing for now.
class AI_Entity : public ISceneEntity {
public:
    virtual ~AI_Entity() = default;

    // A hit on the model; amount already includes the damage multiplier. Does nothing yet.
    void OnDamage(const PVector3& position, const PVector3& direction, float amount, bool flagA, bool silent,
                  bool flagB) override {}
    // The model's animation with a loop limit has stopped. Does nothing yet.
    void OnAnimationStopped() override {}
    // The model's animation passed its report frame; value is the model's scale. Does nothing yet.
    void OnAnimationReport(float value) override {}
    // The model's animation passed its mark frame; value is the model's scale. Does nothing yet.
    void OnAnimationMark(float value) override {}

    void SetGibOnDeath(bool gib) override { gibOnDeath = gib; }
    bool IsLiveEnemy() const override {
        const AI_Task* ai = GetAITask();
        return ai && ai->IsEnemy(this);
    }
    bool IsDead() const override { return dead; }
    const std::string& GetKindName() const override { return kindName; }

    // The enemy kind's name ("walker" and the like), set by the enemy's creator.
    std::string kindName;
    // Whether the model breaks into debris when the enemy dies.
    bool gibOnDeath = false;
    // Set when the enemy dies; homing shots pass over it.
    bool dead = false;
};
