#pragma once
#include <cstdint>

#include "physics/engine/PhysicsBody.h"

// A body moved only by the program; forces never move it.
class PhysicsAnimatedBody : public PhysicsBody {
public:
    void Init(PhysicsSimulator* simulator, int32_t bodyIndex);

    // Stores the position, refreshes the world box and sets the changed flag.
    void SetPos(const PhysicsVector& value);
    const PhysicsVector& GetPos() const { return transform.position; }
    // Rebuilds the rotation axes from the quaternion and sets the changed flag.
    void SetRotation(const PhysicsQuaternion& value);

    int32_t changed = 0;
};
