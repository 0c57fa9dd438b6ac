#pragma once
#include <string>

#include "math/PVector3.h"

// What a scene object needs of the enemy it is the model of. The AI layer implements it
// (AI_Entity); the scene object holds a plain pointer and owns nothing of it.
class ISceneEntity {
public:
    // A hit on the model; amount already includes the damage factor.
    virtual void OnDamage(const PVector3& position, const PVector3& direction, float amount, bool flagA, bool silent,
                          bool flagB) = 0;
    // The model's animation with a loop limit has stopped.
    virtual void OnAnimationStopped() = 0;
    // The model's animation passed its report frame; value is the model's scale.
    virtual void OnAnimationReport(float value) = 0;
    // The model's animation passed its mark frame; value is the model's scale.
    virtual void OnAnimationMark(float value) = 0;
    // Whether the model breaks into debris when the enemy dies.
    virtual void SetGibOnDeath(bool gib) = 0;
    // Whether the AI counts the entity among its live enemies.
    virtual bool IsLiveEnemy() const = 0;
    // Set when the enemy dies.
    virtual bool IsDead() const = 0;
    // The enemy kind's name ("walker" and the like).
    virtual const std::string& GetKindName() const = 0;

protected:
    ~ISceneEntity() = default;
};
