// An enemy's life: its spawn from the prototype, its model, the hits it takes, its death, the
// corpse's sinking and leaving play.
#include <algorithm>
#include <cstdio>

#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PObb.h"
#include "Render/PParticleSystem.h"
#include "core/PLog.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "math/PMathConstants.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "platform/Random.h"
#include "script/PScriptManager.h"
#include "weapons/PWeaponsSystem.h"

namespace {

// A slow ramming hurts only enemies this weak.
constexpr float kRamHealth = 5.0f;
// Spawned models answer segment tests up to this many times their modelled height.
constexpr float kTallerBounds = 4.0f;
// The body class of a dying enemy's physics body.
constexpr int32_t kDyingCollisionClass = 4;
constexpr float kCorpseTime = 1.5f;
constexpr float kBigCorpseTime = 1.5f * 1.3f;
constexpr float kSinkSpeed = 10.2f;
constexpr float kSinkTime = 5.0f;

TPtr<SimpleVehicle> MakeVehicle(float speed, const PVector3& position, const PVector3& forward)
{
    TPtr<SimpleVehicle> vehicle(new SimpleVehicle);
    vehicle->SetMaxSpeed(speed);
    vehicle->SetMaxForce(speed);
    vehicle->SetPosition(position);
    vehicle->SetForward(forward);
    return vehicle;
}

// Makes every part box of the subtree taller by the factor (about its centre).
void MakeTaller(CPGameObject& object)
{
    for (CPObb& box : object.GetParts()) {
        PVector4 half = box.GetHalfSize();
        half.z *= kTallerBounds;
        CPObb taller(box.GetCentre(), half);
        taller.SetLocal(box.GetLocal());
        box = taller;
    }
    for (const TPtr<CPGameObject>& child : object.GetChildren()) MakeTaller(*child);
}

bool HasBigCorpse(const std::string& kind) { return AI_Task::IsWalkerKind(kind) || kind == "tankjr"; }

// The level draws an object's second pass (its shadow on the ground) only while it casts one: a
// corpse sinking into the ground leaves no shadow on it.
void CastNoShadow(CPGameObject& object)
{
    object.SetShadow(false);
    for (const TPtr<CPGameObject>& child : object.GetChildren()) CastNoShadow(*child);
}

void SpawnEffect(const std::string& name, const PVector3& position, const PVector3& direction)
{
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) weapons->Spawn(name, position, direction, -1.0f, nullptr, nullptr, false);
}

}  // namespace

void AI_Entity::ApplyType(const CPEnemyType& kind)
{
    SetType(kind);
    health = kind.health;
    maxHealth = kind.health;
    pursuitMode = kind.isMelee && platform::Rand() % 2 == 0 ? 1.0f : 0.0f;
    vehicle = MakeVehicle(kind.speed, position, forward);
}

TPtr<AI_Entity> AI_Entity::Spawn(float x, float y) const
{
    if (!model) {
        GetLog()->Print(0, "AddEnemy: the enemy kind \"%s\" has no model (its mission does not name it)\n",
                        kindName.c_str());
        return nullptr;
    }
    TPtr<AI_Entity> enemy(new AI_Entity(kindName, position, forward));
    const CPGameData* data = GetGameData();
    enemy->SetType(*type);
    enemy->health = health * (data ? data->enemyHealthFactor : 1.0f);
    enemy->maxHealth = enemy->health;
    enemy->pursuitMode = pursuitMode;
    enemy->vehicle = MakeVehicle(type->speed, position, forward);

    TPtr<CPGameObject> body(new CPGameObject(kindName));
    body->CopyFrom(model);
    body->SetPosition({x, y, type->heightOffset});
    MakeTaller(*body);
    body->UpdateTransform();
    if (CPPhysics* physics = GetPhysics()) {
        physics->TrackObject(body);
        physics->AddObject(body, true);
    }
    if (CPLevel* level = GetLevel()) level->AddEnemyObject(body);
    enemy->SetModel(body);
    return enemy;
}

void AI_Entity::SetModel(const TPtr<CPGameObject>& newModel)
{
    if (model && model->GetEntity() == this) model->SetEntity(nullptr);
    model = newModel;
    if (!model) return;
    model->SetEntity(this);
    if (CPPhysicData* data = model->GetPhysicData().Get()) {
        data->controllerRequest = true;
        if (data->rigidBody) data->heldAngularMomentum = {0.0f, 0.0f, 0.0f};
        data->SetupBody();
    }
    const PVector3 half = model->GetPartBounds().HalfExtentsOrZero();
    const float radius = std::max({half.x, half.y, half.z});
    if (radius > 0.0f) vehicle->SetRadius(radius);
    smoke = new CPParticleSystem(model.Get(), "smoke");
}

void AI_Entity::OnDamage(const PVector3& hitPosition, const PVector3& direction, float amount, bool fromSource,
                         bool silent, bool ram)
{
    if (finished) return;
    if (ram) {
        if (health > kRamHealth) return;
        health -= amount;
    }
    SetHold(false);
    // A silent hit hurts only oily machines.
    if (!silent || type->goreName == "oil1") {
        health -= amount;
        if (!fromSource) SpawnEffect(type->goreName, hitPosition, -direction * amount);
    }
    if (health > 0.0f) return;
    if (!rewarded) PayKill();
    EnterState(kDeath);
    if (CPPhysicData* data = model ? model->GetPhysicData().Get() : nullptr) data->SetBodyCollisionClass(kDyingCollisionClass);
}

void AI_Entity::PayKill()
{
    CountOut();
    if (CPGameData* data = GetGameData()) data->Earn(static_cast<float>(type->reward), type->reward);
    if (gibOnDeath && type->goreName == "blood1" && model) {
        model->SetEnabled(false);
        BurstIntoGibs();
    }
    AnnounceDeath();
    rewarded = true;
}

void AI_Entity::BurstIntoGibs() const
{
    const PVector3 centre = model->GetPosition() + PVector3{0.0f, 0.0f, type->heightOffset};
    const int32_t pieces = platform::Rand() % 5 + 5;
    for (int32_t i = 0; i < pieces; ++i) {
        const float roll = kTwoPi * platform::RandUnit();
        const float pitch = kTwoPi * platform::RandUnit();
        const float yaw = kTwoPi * platform::RandUnit();
        const PVector3 direction = Vec3TransformCoord({0.0f, 0.0f, 1.0f}, MatrixRotationYawPitchRoll(yaw, pitch, roll));
        SpawnEffect(platform::Rand() % 2 == 1 ? "gib1" : "gib2", centre, direction);
    }
}

void AI_Entity::AnnounceDeath()
{
    if (deathAnnounced || removalAnnounced || !model) return;
    const PVector3& at = model->GetPosition();
    char text[160];
    std::snprintf(text, sizeof(text), ",%f,%f,%f", static_cast<double>(at.x), static_cast<double>(at.y),
                  static_cast<double>(at.z));
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("level", "enemy_death", kindName + text);
    deathAnnounced = true;
}

void AI_Entity::AnnounceRemoval()
{
    if (!vanishing || removalAnnounced || deathAnnounced) return;
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("level", "enemy_invisible", kindName);
    CountOut();
    removalAnnounced = true;
}

void AI_Entity::CountOut()
{
    if (countedOut) return;
    countedOut = true;
    if (AI_Task* ai = GetAITask()) ai->OnEnemyRemoved(kindName);
}

void AI_Entity::StepDying()
{
    health = 0.0f;
    AnnounceRemoval();
    if (!finished && !vanishing) {
        const std::string name = platform::Rand() % 2 == 0 ? "death1" : "death2";
        SetAnimation(name, true, false, -1, -1);
        SwitchAnimationSound(name);
    }
    LeavePhysics();
    // An enemy that blew itself up without its blast killing it leaves its kind here.
    CountOut();
}

void AI_Entity::StepAfterLife(float dt)
{
    if (vanishing) {
        if (dead) return;
        health = 0.0f;
        AnnounceRemoval();
        LeavePhysics();
        dead = true;
        return;
    }
    stateClock += dt;
    if (stateClock <= (HasBigCorpse(kindName) ? kBigCorpseTime : kCorpseTime)) return;
    if (sinkClock == 0.0f) CastNoShadow(*model);
    sinkClock += dt;
    const PVector3& at = model->GetPosition();
    model->SetPosition({at.x, at.y, at.z - kSinkSpeed * dt});
    model->UpdateTransform();
    if (sinkClock > kSinkTime) dead = true;
}

void AI_Entity::VanishNow()
{
    vanishing = true;
    health = 0.0f;
    AnnounceRemoval();
    LeavePhysics();
    dead = true;
}

void AI_Entity::LeaveAtLevelStop()
{
    StopAnimationSound();
    LeavePhysics();
    CountOut();
    dead = true;
}

void AI_Entity::LeavePhysics()
{
    SetHold(false);
    finished = true;
    if (!model) return;
    if (CPPhysicData* data = model->GetPhysicData().Get()) data->RemoveFromWorld();
    if (CPPhysics* physics = GetPhysics()) physics->DeactivateObject(model);
    // Segment tests and the obstacle search pass over it from now on.
    model->SetCollision(false);
}
