#pragma once
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/PSmartPointer.h"
#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PMath.h"
#include "physics/engine/PhysicsTriangleMesh.h"

class CPGameObject;
class CPPhysicData;
class CPRenderObject;
class PhysicsAnimatedBody;
class PhysicsRigidBody;
class PhysicsSimulator;
struct PhysicsCollisionInfo;

// The physics world: a level task created at start-up and held by the application; a level start
// gives it priority 400 and adds it to the kernel, the level stop stops it. It owns the level's
// simulator, advances it in fixed steps, makes and frees the bodies of scene objects, copies the
// motion of tracked rigid bodies back into their objects and builds the terrain from the level's
// terrain meshes.
//
// A frame runs at most kMaxStepsPerUpdate steps (0.1 s of simulation); the rest of a long frame
// is dropped so that a slow frame never makes the next one slower.
class CPPhysics : public IPTask, public TSingleton<CPPhysics> {
public:
    static constexpr float kTimeFactor = 1.5f;
    static constexpr float kStepLength = 0.006666667f;
    static constexpr int32_t kMaxStepsPerUpdate = 15;
    static constexpr float kInitialParkHeight = -1000.0f;
    static constexpr float kParkStep = 500.0f;
    static constexpr float kParkFloor = -100000.0f;
    static constexpr int32_t kRemovalCountdown = 4;
    static constexpr int32_t kTerrainMaterial = 2;

    CPPhysics() = default;
    ~CPPhysics() override;

    void Update() override;
    // Destroys the world, then stops the task.
    void Stop() override;
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPPhysics"; }

    // A terrain mesh of the level, collected before Init and built into the terrain by it. The
    // list holds the mesh and the scene object that places it until then.
    void AddTerrainObject(TPtr<CPRenderObject> object);
    // Creates the simulator, its materials and collision classes, and the terrain from the
    // meshes collected since the last Init.
    void Init();
    // Destroys the simulator; every binding loses its body. The collected terrain meshes stay
    // for the next Init.
    void Clear();
    // The terrain from the collected terrain objects, in world space; the list is emptied.
    void BuildTerrain();

    // The body of an object with physics data that has none yet, user data set to the object.
    void AddObject(TPtr<CPGameObject> object, bool active);
    // The body and its geometries; mass, inertia and pose come from CPPhysicData::SetupBody.
    void CreateBody(TPtr<CPPhysicData> data, const PVector3& position, const PQuaternion& rotation, bool active);
    // The object's rigid body drives it from now on.
    void TrackObject(TPtr<CPGameObject> object);
    // No longer driven; its body goes inactive.
    void DeactivateObject(TPtr<CPGameObject> object);
    // Parks the body far below the world and frees it a few updates later.
    void RemoveObject(TPtr<CPPhysicData> data);
    // Makes the object (which has its rigid body) a driven car, replacing an earlier one.
    void CreateCar(TPtr<CPGameObject> object);
    // Throttle and steering angle (radians) of the object's car; nothing without a car.
    void SetCarControl(TPtr<CPGameObject> object, float throttle, float steeringAngle);
    // Copies the rigid bodies' positions and rotations into their tracked objects.
    void SyncObjects();
    // Called by a binding that is being destroyed or whose owner is: the owner is no longer
    // tracked and its body, told of no owner any more, is removed.
    void ForgetBinding(CPPhysicData& data);

    PhysicsSimulator* GetSimulator() const { return m_simulator; }
    float GetParkHeight() const { return m_parkHeight; }
    float GetStepAccumulator() const { return m_stepAccumulator; }
    size_t GetPendingRemovalCount() const { return m_pendingRemovals.size(); }
    bool IsTracked(CPGameObject* object) const { return m_trackedObjects.count(object) != 0; }

private:
    struct PendingRemoval {
        PhysicsRigidBody* rigidBody = nullptr;
        PhysicsAnimatedBody* animatedBody = nullptr;
        int32_t countdown = kRemovalCountdown;
    };

    // The simulator's contact callback: hands the contact to the installed collision handler.
    static void OnCollision(PhysicsCollisionInfo* info);
    static bool IsTimerStopped();
    void FillCollisionTable();
    void RunSteps();
    void FreeRemovedBodies();
    void ParkBodies(CPPhysicData& data);

    // A collected terrain mesh and its owner, which its plain owner pointer does not keep alive.
    struct TerrainPiece {
        TPtr<CPRenderObject> mesh;
        TPtr<CPGameObject> owner;
    };

    float m_parkHeight = kInitialParkHeight;
    std::vector<PendingRemoval> m_pendingRemovals;
    std::vector<TerrainPiece> m_terrainPieces;
    std::unordered_set<CPGameObject*> m_trackedObjects{100};
    PhysicsSimulator* m_simulator = nullptr;
    float m_stepAccumulator = 0.0f;
    // Bindings that hold a body of the simulator, so that Clear can take the bodies from them.
    std::unordered_set<CPPhysicData*> m_boundData;
    // The terrain arrays, kept for the simulator until it is destroyed.
    std::vector<PhysicsVector> m_terrainVertices;
    std::vector<PhysicsMeshTriangle> m_terrainTriangles;
};

// The physics world, null before its construction and after its destruction.
inline CPPhysics* GetPhysics() { return CPPhysics::Instance(); }
