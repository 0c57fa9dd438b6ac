#pragma once
#include <cstdint>

#include "physics/engine/PhysicsController.h"
#include "physics/engine/PhysicsGeometry.h"
#include "physics/engine/PhysicsList.h"
#include "physics/engine/PhysicsSensor.h"
#include "physics/engine/PhysicsVector.h"

class PhysicsSimulator;
struct PhysicsEndpoint;
struct PhysicsRegionMember;
struct PhysicsJoint;
struct PhysicsJointGroup;

// What rigid and animated bodies share: shapes, sensors, controllers, the world box, the broad
// phase entries and the activation.
class PhysicsBody {
public:
    enum Kind : int32_t { kAnimated = 0, kRigid = 1 };

    bool IsRigid() const { return kind == kRigid; }
    bool IsAnimated() const { return kind == kAnimated; }

    // A geometry from the simulator's pool (a 1 × 1 × 1 box at the origin, material 0) appended
    // to the body's shapes; null when the pool is exhausted.
    PhysicsGeometry* AddGeometry();
    // A sensor from the simulator's pool appended to the body's sensors; null when exhausted.
    PhysicsSensor* AddSensor();
    void FirstSensor() { sensorCursor = sensors.head; }
    // The sensor under the cursor, moving the cursor on; null at the end.
    PhysicsSensor* NextSensor();

    // Classes outside 0..63 are refused with false; the class stays as it was.
    bool SetCollisionClass(int32_t value);
    int32_t GetCollisionClass() const { return collisionClass; }
    void SetUserData(void* data) { userData = data; }
    void* GetUserData() const { return userData; }

    // Moves the body between its kind's active and inactive lists and in or out of the broad
    // phase (with the hint body as the place to start looking).
    void SetActive(bool active, PhysicsBody* hint);
    bool IsActive() const { return active != 0; }

    // Refits the collision box around the geometries and sensor lines.
    void UpdateBoundingInfo();
    // The collision box around the geometries (a single box geometry is copied).
    void FitCollisionBox();
    // World box of the collision box at the current transform, written into the broad phase.
    void UpdateWorldBox();
    void ResetSensors();
    // Gives the sensors, geometries and controllers back to their pools and leaves the joint
    // group.
    void ReleaseAll();

    const PhysicsTransform& GetTransform() const { return transform; }

    PhysicsSimulator* owner = nullptr;
    int32_t kind = kRigid;
    int32_t index = 0;
    void* userData = nullptr;
    int32_t collisionClass = 0;
    int32_t active = 0;

    PhysicsGeometry collisionBox;
    PhysicsList<PhysicsGeometry> geometries;
    PhysicsList<PhysicsSensor> sensors;
    PhysicsSensor* sensorCursor = nullptr;
    PhysicsList<PhysicsController> controllers;

    // Rotation axes and position (rigid bodies keep them in step with their quaternion).
    PhysicsTransform transform;

    PhysicsVector worldMin;
    PhysicsVector worldMax;
    PhysicsVector halfAxes[3];

    // Broad phase: the endpoints per axis (minimum, maximum), the member node, and whether the
    // body takes part and still waits for its endpoints.
    PhysicsEndpoint* endpoints[3][2] = {};
    PhysicsRegionMember* member = nullptr;
    int32_t inRegion = 0;
    int32_t waitingForAddition = 0;

    PhysicsJointGroup* jointGroup = nullptr;
    int32_t collideWithinGroup = 0;
    int32_t collideWithJointed = 0;
    PhysicsJoint* joints = nullptr;

    PhysicsBody* next = nullptr;
    PhysicsBody* prev = nullptr;
    uint8_t inUse = 0;

protected:
    void InitCommon(PhysicsSimulator* simulator, int32_t bodyKind, int32_t bodyIndex);
};
