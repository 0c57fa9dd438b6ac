#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "math/PMath.h"

class CPGameObject;
struct PhysicsGeometry;

// One collision shape of a scene object, in the object's space.
struct CPPhysicShape {
    enum Type : int32_t { Box = 0, Cylinder = 1 };

    int32_t type = Box;
    PhysicsGeometry* geometry = nullptr;  // set when the body is made
    PVector3 position{0.0f, 0.0f, 0.0f};
    PQuaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    // A box has the sides (s0, s2, s1); a cylinder the diameter s3 and the height s1.
    float s0 = 0.0f;
    float s1 = 0.0f;
    float s2 = 0.0f;
    float s3 = 0.0f;
    float mass = 0.0f;  // the shape's own mass, kept with it
};

// What binds a scene object to the physics world: its mass, main box and collision shapes, as the
// object loader reads them from the model file.
//
// Not done yet: the bodies, adding to and removing from the world, and the hold controller.
class CPPhysicData : public IPMMObject {
public:
    explicit CPPhysicData(CPGameObject* owner) : m_owner(owner) {}

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPhysicData"; }

    CPGameObject* GetOwner() const { return m_owner; }

    // 0 box, 1 cylinder.
    int32_t mainShapeType = CPPhysicShape::Box;
    PVector3 mainSizes{0.0f, 0.0f, 0.0f};
    float mainDiameter = 0.0f;
    // Below 0 the body is animated (moved by the game, not by forces).
    float mass = 0.0f;
    std::vector<CPPhysicShape> shapes;

private:
    CPGameObject* m_owner;
};
