#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "core/PSmartPointer.h"
#include "math/PMath.h"
#include "physics/engine/PhysicsController.h"

class CPGameObject;
class PhysicsAnimatedBody;
class PhysicsBody;
class PhysicsGeometry;
class PhysicsRigidBody;

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

// What binds a scene object to the physics world: its mass, main box and collision shapes as the
// object loader reads them from the model file, and once the object is in the world its body:
// animated for a negative mass, else a rigid body (or rigid particle). It can hold the rigid
// body's velocity and angular momentum at fixed values every second step.
//
// A binding destroyed while it has a body takes the body out of the world first. So does the
// destruction of its owner: a binding that outlives its object keeps no body and gets none again.
class CPPhysicData : public IPMMObject, public PhysicsControllerCallback {
public:
    explicit CPPhysicData(CPGameObject* owner) : m_owner(owner) {}
    ~CPPhysicData() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPhysicData"; }

    // A new binding for the owner with this one's body parameters and shapes, without a body
    // (a copied scene object's).
    TPtr<CPPhysicData> CopyFor(CPGameObject* owner) const;

    // Null once the owner is destroyed.
    CPGameObject* GetOwner() const { return m_owner; }
    // Called by the owner being destroyed: its body leaves the world, told of no owner any more.
    void DetachOwner();
    // The animated body when there is one, else the rigid body, else null.
    PhysicsBody* GetBody() const;

    // The class an animated body gets when it is created.
    void SetCollisionClass(int32_t collisionClass) { animatedCollisionClass = collisionClass; }
    // Sets the class of the existing body and refits it; nothing without a body.
    void SetBodyCollisionClass(int32_t collisionClass);
    // Damping, inertia, mass and pose of the rigid body from this binding and its owner; the hold
    // controller when requested. Nothing without a rigid body or an owner.
    void SetupBody();
    // Without a body and with an owner: adds the owner to the world (active) and sets the body up.
    void AddToWorld();
    // With a body: hands it to the world to be parked and freed.
    void RemoveFromWorld();
    // Passed on to an animated body; nothing otherwise.
    void SetAnimatedBodyPosition(const PVector3& position);
    void SetRotation(const PQuaternion& rotation);
    // The hold: while the hold flag is set, forces the held angular momentum and velocity.
    void ControllerStep(PhysicsController& controller, float stepLength) override;

    int32_t animatedCollisionClass = 0;
    PhysicsController* controller = nullptr;
    PhysicsAnimatedBody* animatedBody = nullptr;
    std::vector<CPPhysicShape> shapes;
    // When set, SetupBody adds the hold controller.
    bool controllerRequest = false;
    PVector3 heldAngularMomentum{0.0f, 0.0f, 0.0f};
    PVector3 heldVelocity{0.0f, 0.0f, 0.0f};
    bool hold = false;
    // The body's wanted activity.
    bool active = false;
    PhysicsRigidBody* rigidBody = nullptr;
    // 0 box, 1 cylinder.
    int32_t mainShapeType = CPPhysicShape::Box;
    PVector3 mainSizes{0.0f, 0.0f, 0.0f};
    float mainDiameter = 0.0f;
    // Below 0 the body is animated (moved by the game, not by forces).
    float mass = 0.0f;
    // When set the body is made a rigid particle.
    bool particle = false;

private:
    CPGameObject* m_owner;
};
