#include "AI/AI_Entity.h"

#include <cmath>

#include "AI/AI_Task.h"
#include "AI/SimpleVehicle.h"
#include "Render/PGameObject.h"
#include "Render/PParticleSystem.h"
#include "Render/PRayQuery.h"
#include "Sound/NAudio.h"
#include "core/GeometryHelpers.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "platform/Random.h"

namespace {

// The fixed world height of the melee reach probe.
constexpr float kProbeHeight = 1.5f;
// A melee blow reaches when 5/6 of the probe's length to the car is within the attack's reach.
constexpr float kReachFactor = 0.8333333f;
// Fire opens only this much inside the fire range.
constexpr float kFireMargin = 2.0f;
// A pursuer that moved less than this in one progress window gives up and wanders.
constexpr float kProgressWindow = 0.75f;
constexpr float kMinimumProgress = 0.5f;
// The model stands upright within about 11.5 degrees when its down axis has z below this.
constexpr float kUprightDownZ = -0.98f;
// Cosines smaller than this give an angle of 0.
constexpr float kTinyCosine = 0.0001f;

// The definition of an enemy not yet given a kind: nothing, its animations at normal speed.
const CPEnemyType& NoKind()
{
    static const CPEnemyType none = [] {
        CPEnemyType kind;
        kind.animationSpeed = 1.0f;
        return kind;
    }();
    return none;
}

}  // namespace

AI_Entity::AI_Entity(const std::string& kind, const PVector3& startPosition, const PVector3& heading)
    : kindName(kind), forward(Vec3Normalize(heading)), position(startPosition), type(&NoKind()),
      vehicle(new SimpleVehicle)
{
    AddState(kWander, 3.0f);
    AddState(kPursuit, 0.25f);
    AddState(kEvasion, 0.25f);
    AddState(kFire, 3.0f);
    AddState(kMelee, 3.0f);
    AddState(kDeath, 4.0f);
    repathCounter = platform::Rand() % 5;
}

AI_Entity::~AI_Entity()
{
    if (model && model->GetEntity() == this) model->SetEntity(nullptr);
}

bool AI_Entity::IsLiveEnemy() const
{
    const AI_Task* ai = GetAITask();
    return ai && ai->IsEnemy(this);
}

void AI_Entity::Update(float dt)
{
    updateToggle = !updateToggle;
    if (!updateToggle) return;
    if (!currentState) {
        Think();
        return;
    }
    Step(dt);
    if (stateTimer >= currentState->interval) {
        Think();
    } else {
        stateTimer += dt;
    }
}

void AI_Entity::Think()
{
    if (health <= 0.0f) return;
    if (!currentState) {
        EnterState(kPursuit);
        return;
    }
    const CPLevel* level = GetLevel();
    if (!level || !level->playerCar || !model) return;
    const PVector3 offset = level->playerCar->GetPosition() - model->GetPosition();
    const float distance = Vec3Length(offset);
    // Standing on the car's origin there is no direction to judge by: the state stays.
    if (distance == 0.0f) return;
    const PVector3 direction = offset / distance;
    const bool inReach = type->isMelee && IsInMeleeReach(model->GetPosition(), direction, distance);
    const bool inSight = CanSee(model->GetPosition(), direction, distance);
    const int32_t current = currentState->id;
    const int32_t next = NextState(current, distance, inReach, inSight);
    if (next != current) {
        vehicle->SetSpeed(0.0f);
        animationSoundStarted = false;
    }
    EnterState(next);
}

bool AI_Entity::IsInMeleeReach(const PVector3& from, const PVector3& direction, float distance) const
{
    const CPLevel* level = GetLevel();
    SPRayQuery query;
    query.skip = model.Get();
    query.origin = {from.x, from.y, kProbeHeight};
    query.direction = Vec3Normalize({direction.x, direction.y, 0.0f});
    query.distance = 2.0f * distance;
    level->playerCar->RayHit(query);
    float reach = Vec3Length(type->melee[0].hitPoint);
    if (MeleeAttackCount(type->meleeCount) > 1) reach = std::min(reach, Vec3Length(type->melee[1].hitPoint));
    return kReachFactor * query.distance <= reach;
}

bool AI_Entity::CanSee(const PVector3& from, const PVector3& direction, float distance) const
{
    CPLevel* level = GetLevel();
    SPRayQuery query;
    query.skip = model.Get();
    query.origin = from;
    query.direction = direction;
    query.distance = distance;
    return level->CrossRay(query, true) && query.hitOwner.Get() == level->playerCar.Get();
}

int32_t AI_Entity::NextState(int32_t current, float distance, bool inReach, bool inSight)
{
    switch (current) {
    case kWander:
    case kEvasion:
        if (distance > type->loseRange) {
            vanishing = true;
            return kDeath;
        }
        return kPursuit;
    case kPursuit:
        if (distance > type->loseRange) {
            vanishing = true;
            return kDeath;
        }
        if (!type->isMelee && distance < type->keepAwayRange) return kEvasion;
        if (type->isMelee && inReach) return kMelee;
        if (type->canFire && distance + kFireMargin < type->fireRange && inSight) {
            stateClock = 0.0f;
            return kFire;
        }
        return kPursuit;
    case kFire:
        if (!type->isMelee && distance < type->keepAwayRange) return kEvasion;
        if (type->isMelee && inReach) return kMelee;
        if (distance <= type->fireRange && inSight) return kFire;
        return kPursuit;
    case kMelee:
        if (inReach) return kMelee;
        return type->canFire ? kFire : kPursuit;
    default:
        return kDeath;
    }
}

void AI_Entity::Step(float dt)
{
    if (!model) return;
    if (finished) {
        StepAfterLife(dt);
        return;
    }
    if (model->GetPosition().z < 0.0f) {
        VanishNow();
        return;
    }
    distanceMoved += Vec3Length(position - model->GetPosition());
    position = model->GetPosition();
    vehicle->SetPosition(position);
    if (!ProbeGround()) {
        StepAirborne();
        return;
    }
    SetHold(true);
    switch (CurrentStateId()) {
    case kEvasion:
        Evade(dt);
        SetAnimation("run", false, false, -1, -1);
        SwitchAnimationSound("run");
        break;
    case kWander:
        Wander(dt);
        SetAnimation("run", false, false, -1, -1);
        SwitchAnimationSound("run");
        break;
    case kFire:
        TurnVehicleToTarget();
        SetAnimation("fire", true, true, type->fire.hitFrame, type->fire.secondHitFrame);
        SwitchAnimationSound("fire");
        break;
    case kPursuit:
        RunPursuit(dt);
        break;
    case kMelee: {
        TurnVehicleToTarget();
        const CPAttackDef& attack = type->melee[meleeAnimation == "melee1" ? 0 : 1];
        SetAnimation(meleeAnimation, true, true, attack.hitFrame, attack.secondHitFrame);
        SwitchAnimationSound(meleeAnimation);
        break;
    }
    case kDeath:
        StepDying();
        break;
    default:
        break;
    }
    FaceAndDrive();
}

void AI_Entity::RunPursuit(float dt)
{
    SetAnimation("run", false, false, -1, -1);
    SwitchAnimationSound("run");
    MoveAlongPath(dt);
    stateClock += dt;
    if (stateClock <= kProgressWindow) return;
    if (distanceMoved < kMinimumProgress) {
        EnterState(kWander);
        animationSoundStarted = false;
    }
    stateClock = 0.0f;
    distanceMoved = 0.0f;
}

void AI_Entity::TurnVehicleToTarget()
{
    const AI_Task* ai = GetAITask();
    if (!ai) return;
    const PVector3 d = ai->TargetVehicle()->Position() - vehicle->Position();
    const float length = Vec3Length(d);
    vehicle->SetForward(length > 0.0f ? d / length : d);
}

float AI_Entity::VehicleYaw() const
{
    const PVector3 f = Vec3Normalize({vehicle->Forward().x, vehicle->Forward().y, 0.0f});
    const float c = Vec3Dot(f, forward);
    float angle = std::fabs(c) < kTinyCosine ? 0.0f : ClampedAcos(c);
    if (Vec3Cross(forward, f).z < 0.0f) angle = -angle;
    return angle;
}

void AI_Entity::FaceAndDrive()
{
    const CPPhysicData* data = model->GetPhysicData().Get();
    if (downAxis.z < kUprightDownZ && !finished) {
        TurnModel(VehicleYaw());
        if (data && data->rigidBody) {
            const PVector3 f = Vec3Normalize({vehicle->Forward().x, vehicle->Forward().y, 0.0f});
            model->GetPhysicData()->heldVelocity = f * vehicle->Speed();
        }
    } else {
        SetHold(false);
    }
}

void AI_Entity::SetAnimation(const std::string& name, bool once, bool force, int32_t reportFrame, int32_t markFrame)
{
    if (name == animation.name && !force) return;
    animation.name = name;
    animation.speed = type->animationSpeed;
    animation.loops = once ? 1 : 0;
    animation.listener.Reset();
    animation.reportFrame = once ? reportFrame : -1;
    animation.markFrame = once ? markFrame : -1;
    animation.startOffset = 0.0f;
    if (model) model->PlayAnimation(animation, false);
}

void AI_Entity::SwitchAnimationSound(const std::string& key)
{
    CNAudio* audio = GetAudio();
    if (animationSoundKey != key) {
        StopAnimationSound();
        animationSoundKey = key;
    }
    const auto sound = type->animationSounds.find(key);
    if (animationSoundStarted || sound == type->animationSounds.end()) return;
    animationSoundStarted = true;
    if (audio && model) audio->PlaySoundAt(sound->second, model->GetPosition(), key == "run");
}

void AI_Entity::StopAnimationSound()
{
    const auto sound = type->animationSounds.find(animationSoundKey);
    CNAudio* audio = GetAudio();
    if (sound != type->animationSounds.end() && audio) audio->StopSoundByName(sound->second);
}

void AI_Entity::OnAnimationStopped()
{
    const std::string& name = animation.name;
    if (name == "melee1" || name == "melee2") {
        const int32_t b = platform::Rand() % MeleeAttackCount(type->meleeCount) + 1;
        meleeAnimation = b == 1 ? "melee1" : "melee2";
        const CPAttackDef& attack = type->melee[b - 1];
        SetAnimation(meleeAnimation, true, true, attack.hitFrame, attack.secondHitFrame);
        Think();
    } else if (name == "fire") {
        SetAnimation("fire", true, true, type->fire.hitFrame, type->fire.secondHitFrame);
        Think();
    } else if (name == "death1" || name == "death2") {
        if (model) model->SetCollision(false);
        stateClock = 0.0f;
    }
    animationSoundStarted = false;
}

const char* AI_Entity::StateName() const
{
    switch (CurrentStateId()) {
    case kWander: return "wander";
    case kPursuit: return "pursuit";
    case kFire: return "fire";
    case kMelee: return "melee";
    case kDeath: return "death";
    case kEvasion: return "evasion";
    default: return "";
    }
}
