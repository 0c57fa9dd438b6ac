#include "physics/engine/PhysicsBody.h"

#include <cmath>

#include "physics/engine/PhysicsSimulator.h"

void PhysicsBody::InitCommon(PhysicsSimulator* simulator, int32_t bodyKind, int32_t bodyIndex)
{
    owner = simulator;
    kind = bodyKind;
    index = bodyIndex;
    userData = nullptr;
    collisionClass = 0;
    active = 1;
    collisionBox.Init();
    geometries.Clear();
    sensors.Clear();
    sensorCursor = nullptr;
    controllers.Clear();
    transform = PhysicsTransform{};
    worldMin = worldMax = PhysicsVector{};
    for (PhysicsVector& axis : halfAxes) axis = PhysicsVector{};
    for (auto& axis : endpoints) axis[0] = axis[1] = nullptr;
    member = nullptr;
    inRegion = 0;
    waitingForAddition = 0;
    jointGroup = nullptr;
    collideWithinGroup = 0;
    collideWithJointed = 0;
    joints = nullptr;
}

PhysicsGeometry* PhysicsBody::AddGeometry()
{
    PhysicsGeometry* geometry = owner->GeometryPool().Take();
    if (!geometry) {
        owner->Message("Run out of Geometries. Increase 'geometriesCount'.\n");
        owner->LogOutput(1);
        return nullptr;
    }
    geometry->Init();
    geometries.Append(geometry);
    // An active body enters the broad phase with its first shape.
    if (active && !inRegion) owner->Region().AddBody(this, nullptr);
    return geometry;
}

PhysicsSensor* PhysicsBody::AddSensor()
{
    PhysicsSensor* sensor = owner->SensorPool().Take();
    if (!sensor) {
        owner->Message("Run out of Sensors. Increase 'sensorsCount'.\n");
        owner->LogOutput(1);
        return nullptr;
    }
    sensor->Init();
    sensors.Append(sensor);
    return sensor;
}

PhysicsSensor* PhysicsBody::NextSensor()
{
    PhysicsSensor* sensor = sensorCursor;
    if (sensor) sensorCursor = sensor->next;
    return sensor;
}

bool PhysicsBody::SetCollisionClass(int32_t value)
{
    if (!PhysicsCollisionTable::IsValidClass(value)) return false;
    collisionClass = value;
    return true;
}

void PhysicsBody::SetActive(bool activate, PhysicsBody* hint)
{
    if ((active != 0) == activate) return;
    const int32_t listKind = PhysicsSimulator::ListKindOf(*this);
    if (!activate) {
        owner->ActiveList(listKind).Unlink(this);
        owner->InactiveList(listKind).Append(this);
        if (inRegion) owner->Region().RemoveBody(this);
        active = 0;
        return;
    }
    owner->InactiveList(listKind).Unlink(this);
    owner->ActiveList(listKind).Append(this);
    if (geometries.count > 0) owner->Region().AddBody(this, hint);
    active = 1;
}

void PhysicsBody::FitCollisionBox()
{
    if (geometries.count == 0) return;
    if (geometries.count == 1 && geometries.head->type == PhysicsGeometry::kBox) {
        const PhysicsGeometry& box = *geometries.head;
        collisionBox.shape = box.shape;
        collisionBox.localTransform = box.localTransform;
        collisionBox.boundingRadius = box.boundingRadius;
        collisionBox.type = box.type;
        collisionBox.materialIndex = box.materialIndex;
        collisionBox.vertices = box.vertices;
        return;
    }
    PhysicsVector minimum{1000000.0f, 1000000.0f, 1000000.0f, 0.0f};
    PhysicsVector maximum{-1000000.0f, -1000000.0f, -1000000.0f, 0.0f};
    for (PhysicsGeometry* geometry = geometries.head; geometry; geometry = geometry->next) {
        PhysicsVector low = minimum, high = maximum;
        geometry->GetLocalBounds(low, high);
        for (int i = 0; i < 3; ++i) {
            At(minimum, i) = std::fmin(At(minimum, i), At(low, i));
            At(maximum, i) = std::fmax(At(maximum, i), At(high, i));
        }
    }
    const PhysicsVector half = (maximum - minimum) * 0.5f;
    collisionBox.type = PhysicsGeometry::kBox;
    collisionBox.shape = half;
    collisionBox.localTransform = PhysicsTransform{};
    collisionBox.localTransform.position = minimum + half;
    collisionBox.localTransform.position.w = 1.0f;
}

void PhysicsBody::UpdateBoundingInfo()
{
    FitCollisionBox();
    PhysicsVector minimum, maximum;
    collisionBox.GetLocalBounds(minimum, maximum);
    for (PhysicsSensor* sensor = sensors.head; sensor; sensor = sensor->next) {
        const PhysicsVector end = sensor->start + sensor->line;
        for (int i = 0; i < 3; ++i) {
            At(minimum, i) = std::fmin(At(minimum, i), std::fmin(At(sensor->start, i), At(end, i)));
            At(maximum, i) = std::fmax(At(maximum, i), std::fmax(At(sensor->start, i), At(end, i)));
        }
    }
    // The collision box becomes the axis-aligned box of those bounds in the body frame.
    const PhysicsVector half = (maximum - minimum) * 0.5f;
    collisionBox.shape = half;
    collisionBox.localTransform.axes = Identity3();
    collisionBox.localTransform.position = minimum + half;
    collisionBox.localTransform.position.w = 1.0f;
    collisionBox.boundingRadius = Length(half);
}

void PhysicsBody::UpdateWorldBox()
{
    if (geometries.count == 0) return;
    const PhysicsTransform box = Compose(transform, collisionBox.localTransform);
    halfAxes[0] = box.axes.row[0] * collisionBox.shape.x;
    halfAxes[1] = box.axes.row[1] * collisionBox.shape.y;
    halfAxes[2] = box.axes.row[2] * collisionBox.shape.z;
    for (int i = 0; i < 3; ++i) {
        const float extent = std::fabs(At(halfAxes[0], i)) + std::fabs(At(halfAxes[1], i)) + std::fabs(At(halfAxes[2], i));
        At(worldMin, i) = At(box.position, i) - extent;
        At(worldMax, i) = At(box.position, i) + extent;
        if (endpoints[i][0]) {
            endpoints[i][0]->value = At(worldMin, i);
            endpoints[i][1]->value = At(worldMax, i);
        }
    }
}

void PhysicsBody::ResetSensors()
{
    for (PhysicsSensor* sensor = sensors.head; sensor; sensor = sensor->next) sensor->ResetResult();
}

void PhysicsBody::ReleaseAll()
{
    while (PhysicsSensor* sensor = sensors.head) {
        sensors.Unlink(sensor);
        owner->SensorPool().Return(sensor);
    }
    sensorCursor = nullptr;
    while (PhysicsGeometry* geometry = geometries.head) {
        geometries.Unlink(geometry);
        owner->GeometryPool().Return(geometry);
    }
    while (PhysicsController* controller = controllers.head) {
        controllers.Unlink(controller);
        owner->ControllerPool().Return(controller);
    }
    jointGroup = nullptr;
    joints = nullptr;
    if (IsRigid()) static_cast<PhysicsRigidBody*>(this)->ReleaseRestContacts();
}
