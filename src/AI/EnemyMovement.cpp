// Enemy movement: standing on the ground, righting a tilted body, the steering of each state
// and the turn of the model's visible parts to the vehicle's heading.
#include <algorithm>
#include <cmath>

#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "AI/Pursuit.h"
#include "AI/SteeringMath.h"
#include "Render/PGameObject.h"
#include "Render/PRayQuery.h"
#include "core/GeometryHelpers.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/Random.h"

namespace {

// Tilts below this (15 degrees) get the righting turn.
constexpr float kRightingTilt = 0.2617994f;
constexpr float kDegreesPerRadian = 57.295776f;
constexpr float kPushScale = 0.002f;
// The ground may lie this far below the standing height.
constexpr float kGroundSlack = 0.5f;
constexpr float kTinyCosine = 0.0001f;
// The wander walk's step per second of enemy time.
constexpr float kWanderRate = 12.0f;
// Every movement adds the avoidance force this many times over.
constexpr float kAvoidanceWeight = 10.0f;
// The avoidance looks ahead this share of the speed.
constexpr float kLookahead = 0.5f;
// A way-point counts as reached within this many grid units on both axes.
constexpr int32_t kWaypointTolerance = 3;
// The path steering integrates this many steps' worth at once.
constexpr float kPathStepScale = 5.0f;
// A path is planned again when the way-point index is here.
constexpr int32_t kRepathIndex = 5;
constexpr int32_t kRepathCalls = 5;

PMatrix RotationOf(const CPGameObject& object) { return MatrixRotationQuaternion(object.GetRotation()); }

// The steering force in the ground plane with the avoidance added.
PVector3 FlatWithAvoidance(const PVector3& force, const PVector3& avoidance)
{
    return {force.x + kAvoidanceWeight * avoidance.x, force.y + kAvoidanceWeight * avoidance.y, 0.0f};
}

}  // namespace

void AI_Entity::SetHold(bool hold) const
{
    if (CPPhysicData* data = model ? model->GetPhysicData().Get() : nullptr) data->hold = hold;
}

bool AI_Entity::ProbeGround()
{
    const PVector3 down = Vec3Normalize(Vec3TransformCoord({0.0f, 0.0f, -1.0f}, RotationOf(*model)));
    downAxis = down;
    const float c = -down.z;
    tilt = std::fabs(c) < kTinyCosine ? 0.0f : ClampedAcos(c);
    if (std::fabs(tilt) < kRightingTilt) RightModel();
    CPLevel* level = GetLevel();
    if (!level) return true;
    // Anything but the player's car counts, the enemy's own (taller) body included: near the car,
    // where the level tests enemies, an enemy always stands; far from it only what the level tree
    // holds below it carries it.
    SPRayQuery query;
    query.skip = level->playerCar.Get();
    query.origin = vehicle->Position();
    query.direction = down;
    query.distance = type->heightOffset + kGroundSlack;
    return level->CrossRay(query, true);
}

void AI_Entity::RightModel()
{
    const CPPhysicData* data = model->GetPhysicData().Get();
    if (!data || !data->rigidBody) return;
    const float k = tilt * kDegreesPerRadian * (type->pushFactor * kPushScale);
    const PVector3 lever = Vec3TransformCoord({0.0f, 0.0f, type->heightOffset}, RotationOf(*model));
    data->rigidBody->SetAngularMomentum(ToPhysics({k * lever.y, -k * lever.x, 0.0f}));
}

void AI_Entity::StepAirborne()
{
    if (model->GetPosition().z < 2.0f * type->heightOffset) SetHold(false);
    RightModel();
    const CPLevel* level = GetLevel();
    if (!level || !level->playerCar || removalAnnounced || deathAnnounced) return;
    if (Vec3Length(model->GetPosition() - level->playerCar->GetPosition()) > type->loseRange) VanishNow();
}

void AI_Entity::TurnModel(float angle)
{
    const PVector3 v = Vec3TransformCoord(forward, RotationOf(*model));
    const PVector3 flat = Vec3Normalize({v.x, v.y, 0.0f});
    const float c = Vec3Dot(flat, forward);
    float bodyHeading = std::fabs(c) < kTinyCosine ? 0.0f : ClampedAcos(c);
    if (Vec3Cross(forward, flat).z < 0.0f) bodyHeading = -bodyHeading;
    const PQuaternion turn = QuaternionRotationYawPitchRoll(0.0f, 0.0f, angle - bodyHeading);
    for (const TPtr<CPGameObject>& child : model->GetChildren()) {
        child->SetRotation(turn);
        child->UpdateTransform();
    }
}

void AI_Entity::Wander(float dt)
{
    const PVector3 avoidance = ObstacleForce();
    const float step = dt * kWanderRate;
    vehicle->wanderSide = std::clamp(vehicle->wanderSide + (2.0f * platform::RandUnit() - 1.0f) * step, -1.0f, 1.0f);
    vehicle->wanderUp = std::clamp(vehicle->wanderUp + (2.0f * platform::RandUnit() - 1.0f) * step, -1.0f, 1.0f);
    const PVector3 walk = vehicle->Side() * vehicle->wanderSide + vehicle->Up() * vehicle->wanderUp;
    vehicle->ApplySteering(FlatWithAvoidance(walk, avoidance), dt);
}

void AI_Entity::MoveAlongPath(float dt)
{
    AI_Task* ai = GetAITask();
    if (!ai) return;
    CPNavGrid& grid = ai->NavGrid();
    const PVector3& own = vehicle->Position();
    const PVector3& target = ai->TargetVehicle()->Position();
    ++repathCounter;
    if ((path.status == SPNavPath::kIdle || path.index == kRepathIndex) && repathCounter >= kRepathCalls) {
        repathCounter = 0;
        path.status = grid.FindPath(path, grid.LocalX(own.x), grid.LocalY(own.y), grid.LocalX(target.x),
                                    grid.LocalY(target.y));
    }
    if (path.status != SPNavPath::kFollowing) {
        Pursue(dt);
        return;
    }
    grid.AdvanceWaypoint(path, grid.LocalX(own.x), grid.LocalY(own.y), kWaypointTolerance);
    const PVector3 avoidance = ObstacleForce();
    steerTarget = {grid.WorldX(path.waypointX), grid.WorldY(path.waypointY), 0.0f};
    const PVector3 desired = ClampLength(steerTarget - vehicle->Position(), vehicle->MaxSpeed());
    const PVector3 seek = desired - vehicle->Velocity();
    vehicle->ApplySteering({seek.x, seek.y, 0.0f}, kPathStepScale * dt);
    vehicle->ApplySteering(FlatWithAvoidance({0.0f, 0.0f, 0.0f}, avoidance), dt);
}

void AI_Entity::Pursue(float dt)
{
    const AI_Task* ai = GetAITask();
    if (!ai) return;
    const PVector3 avoidance = ObstacleForce();
    // Mode 0 steers at the target's current place, mode 1 up to a second ahead of it.
    const float maxTime = pursuitMode == 0.0f ? 0.0f : 1.0f;
    const PVector3 force = PursuitForce(*vehicle, *ai->TargetVehicle(), maxTime);
    vehicle->ApplySteering(FlatWithAvoidance(force, avoidance), dt);
}

void AI_Entity::Evade(float dt)
{
    const AI_Task* ai = GetAITask();
    if (!ai) return;
    const PVector3 avoidance = ObstacleForce();
    const PVector3 force = EvasionForce(*vehicle, *ai->TargetVehicle());
    vehicle->ApplySteering(FlatWithAvoidance(force, avoidance), dt);
}

PVector3 AI_Entity::ObstacleForce() const
{
    const PVector3 none{0.0f, 0.0f, 0.0f};
    const float range = vehicle->Speed() * kLookahead;
    AI_Task* ai = GetAITask();
    CPLevel* level = GetLevel();
    // A standing enemy avoids nothing.
    if (!(range > 0.0f) || !ai || !level) return none;
    const PVector3 own = vehicle->Position();
    const PVector3 origin{own.x, own.y, type->heightOffset};
    std::vector<TPtr<CPGameObject>>& objects = ai->ScratchObjects();
    objects.clear();
    level->QueryObjects(origin, range, objects, false, false, false);
    const CPGameObject* obstacle = nullptr;
    float nearest = 0.0f;
    PVector3 hitPoint{};
    PVector3 normal{};
    for (const TPtr<CPGameObject>& object : objects) {
        if (object == model || !object->HasCollision() || object->GetName() == "land" || object == level->playerCar) {
            continue;
        }
        const PVector3 d = object->GetPosition() - origin;
        const PVector3 n = Vec3Normalize(d);
        SPRayQuery query;
        query.skip = level->playerCar.Get();
        query.origin = origin;
        query.direction = n;
        query.distance = range;
        const bool hit = object->RayHit(query);
        if (!(Vec3Length(d) < range && hit && query.distance > 0.0f)) continue;
        if (obstacle && !(query.distance < nearest)) continue;
        obstacle = object.Get();
        nearest = query.distance;
        hitPoint = origin + n * query.distance;
        normal = {query.hitPlane.a, query.hitPlane.b, query.hitPlane.c};
    }
    objects.clear();
    if (!obstacle || !(nearest < range)) return none;
    const float strength = vehicle->MaxForce() + vehicle->Radius();
    const PVector3 toTarget = ai->TargetVehicle()->Position() - own;
    SPRayQuery line;
    line.skip = model.Get();
    line.origin = own;
    line.direction = Vec3Normalize(toTarget);
    line.distance = Vec3Length(toTarget);
    if (level->CrossRay(line, true) && line.hitOwner.Get() == obstacle) {
        // The obstacle stands on the line to the target: step sideways, away from it.
        const PVector3 fromOwn = hitPoint - own;
        const PVector3 across = -(fromOwn - ProjectOnto(fromOwn, line.direction));
        return Vec3Normalize(across) * strength;
    }
    PVector3 away = Vec3Normalize(own - hitPoint) + normal;
    away.z = 0.0f;
    return Vec3Normalize(away) * strength;
}
