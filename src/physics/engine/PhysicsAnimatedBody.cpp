#include "physics/engine/PhysicsAnimatedBody.h"

#include "physics/engine/PhysicsSimulator.h"

void PhysicsAnimatedBody::Init(PhysicsSimulator* simulator, int32_t bodyIndex)
{
    InitCommon(simulator, kAnimated, bodyIndex);
    changed = 0;
}

void PhysicsAnimatedBody::SetPos(const PhysicsVector& value)
{
    transform.position = {value.x, value.y, value.z, 1.0f};
    UpdateWorldBox();
    changed = 1;
}

void PhysicsAnimatedBody::SetRotation(const PhysicsQuaternion& value)
{
    transform.axes = AxesFromQuaternion(value);
    changed = 1;
}
