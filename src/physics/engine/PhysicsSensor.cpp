#include "physics/engine/PhysicsSensor.h"

void PhysicsSensor::Init()
{
    start = line = direction = normal = contactPoint = PhysicsVector{};
    length = 0.0f;
    material = 0;
    ResetResult();
}

void PhysicsSensor::SetLine(const PhysicsVector& lineStart, const PhysicsVector& lineVector)
{
    start = lineStart;
    line = lineVector;
    direction = Normalized(lineVector);
    length = Length(lineVector);
}
