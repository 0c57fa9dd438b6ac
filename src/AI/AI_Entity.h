#pragma once
#include <cstdint>
#include <string>

#include "AI/EnemyType.h"
#include "AI/NavPath.h"
#include "AI/SimpleVehicle.h"
#include "AI/StateMachine.h"
#include "Render/ISceneEntity.h"
#include "Render/PAnimationRequest.h"
#include "core/PMMObject.h"
#include "core/PSmartPointer.h"
#include "math/PVector3.h"

class CPGameObject;
class CPParticleSystem;
class CPPhysicData;

// One enemy in play: a scene object (its model, which links back here) steered by a vehicle and
// driven by a state machine. Think picks the state from distances and sight lines to the player's
// car; Step carries the state out each time the enemy acts, every second frame. The prototype of
// each kind is an AI_Entity too (AI_Task::LoadTypes); Spawn copies it into a live enemy, which
// shares the kind's definition and owns only what changes in play.
//
// AI_Entity.cpp: the update, decisions, states and animations; EnemyMovement.cpp: standing,
// righting, steering and paths; EnemyAttacks.cpp: melee blows and shots on animation frames;
// EnemyLife.cpp: spawning, hits, death and leaving play.
class AI_Entity : public IPMMObject, public CPStateMachine, public ISceneEntity {
public:
    enum State : int32_t { kWander = 0, kPursuit = 1, kFire = 2, kMelee = 3, kDeath = 4, kEvasion = 8 };

    // An enemy of the kind at the position, its reference heading the given one normalised.
    explicit AI_Entity(const std::string& kind = std::string(), const PVector3& position = {0.0f, 0.0f, 0.0f},
                       const PVector3& forward = {0.0f, 0.0f, 0.0f});
    ~AI_Entity() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "AI_Entity"; }

    // Prototype set-up from the kind, which must outlive the prototype and its spawns: the
    // definition shared, the health, the pursuit rule and a fresh vehicle.
    void ApplyType(const CPEnemyType& kind);
    // A new live enemy copied from this prototype at the ground point (x, y): its own vehicle,
    // its own copy of the prototype's model in the physics world and the level. Null, logged,
    // when the prototype has no model.
    TPtr<AI_Entity> Spawn(float x, float y) const;
    // Binds the scene object as the enemy's model (a controlled physics body).
    void SetModel(const TPtr<CPGameObject>& newModel);
    const TPtr<CPGameObject>& Model() const { return model; }
    const TPtr<SimpleVehicle>& Vehicle() const { return vehicle; }

    // Once per frame from the AI manager; the enemy acts on every second call.
    void Update(float dt);
    void Think() override;
    void Step(float dt) override;

    // Asks the model for an animation; nothing when it is the current one and force is clear.
    void SetAnimation(const std::string& name, bool once, bool force, int32_t reportFrame, int32_t markFrame);
    // The model's events.
    void OnAnimationStopped() override;
    void OnAnimationReport(float frame) override;
    void OnAnimationMark(float frame) override;

    // A hit on the model; amount already includes the damage multiplier. fromSource: the hit
    // has a source (no gore then); silent: the hit is not announced; ram: the player's car ran
    // into the enemy.
    void OnDamage(const PVector3& position, const PVector3& direction, float amount, bool fromSource, bool silent,
                  bool ram) override;
    void SetGibOnDeath(bool gib) override { gibOnDeath = gib; }
    // Whether the AI task counts it among the live enemies.
    bool IsLiveEnemy() const override;
    bool IsDead() const override { return dead; }
    const std::string& GetKindName() const override { return kindName; }
    // The enemy leaves play at once without dying (the level stops): its animation sound stops
    // and, unless already done, its kind's count is lowered. Its model leaves physics and the level.
    void LeaveAtLevelStop();
    // The name of the current state ("" for none), for DumpAIInfo.
    const char* StateName() const;

    // The kind's definition, shared by its prototype and every enemy of the kind; AI_Task owns it.
    const CPEnemyType& Type() const { return *type; }
    // Points the enemy at a kind's definition, which must outlive it.
    void SetType(const CPEnemyType& kind) { type = &kind; }

    std::string kindName;
    // The enemy's own: its health (scaled at spawn) and that health at full.
    float health = 0.0f;
    float maxHealth = 0.0f;
    // 0 or 1, drawn per prototype: the pursuit rule (0 straight at the car, 1 predicting).
    float pursuitMode = 0.0f;

    // Pose and steering.
    PVector3 forward{0.0f, 0.0f, 0.0f};
    PVector3 downAxis{0.0f, 0.0f, -1.0f};
    PVector3 position{0.0f, 0.0f, 0.0f};
    PVector3 steerTarget{0.0f, 0.0f, 0.0f};
    float tilt = 0.0f;
    SPNavPath path;
    int32_t repathCounter = 0;

    // Clocks (enemy time, which runs at half of game time).
    float stateClock = 0.0f;
    float sinkClock = 0.0f;
    float distanceMoved = 0.0f;

    // Animation and its sound.
    SPAnimationRequest animation;
    std::string meleeAnimation = "melee1";
    bool animationSoundStarted = false;
    std::string animationSoundKey;
    int32_t rocketCounter = 0;

    // Life.
    bool updateToggle = false;
    // Set by a rocket's hit: the body bursts into debris when it dies.
    bool gibOnDeath = false;
    // No longer acting: dying, sinking or leaving.
    bool finished = false;
    // The manager removes the enemy at its next update; homing shots pass over it.
    bool dead = false;
    // Leaving play without dying.
    bool vanishing = false;
    // Paid and counted out of its kind (once).
    bool rewarded = false;
    // "enemy_invisible" sent and counted out of its kind (once).
    bool removalAnnounced = false;
    // "enemy_death" sent (once).
    bool deathAnnounced = false;
    // Taken off its kind's live count (once, whichever way it leaves).
    bool countedOut = false;

private:
    // AI_Entity.cpp
    void SwitchAnimationSound(const std::string& key);
    void StopAnimationSound();
    void FaceAndDrive();
    void TurnVehicleToTarget();
    // The heading of the vehicle's flat forward from the reference heading, radians about z.
    float VehicleYaw() const;
    void RunPursuit(float dt);
    // The melee blow's reach test and the sight test of Think.
    bool IsInMeleeReach(const PVector3& target, const PVector3& direction, float distance) const;
    bool CanSee(const PVector3& target, const PVector3& direction, float distance) const;
    int32_t NextState(int32_t current, float distance, bool inReach, bool inSight);

    // EnemyMovement.cpp
    bool ProbeGround();
    void RightModel();
    void StepAirborne();
    void TurnModel(float angle);
    void Wander(float dt);
    void MoveAlongPath(float dt);
    void Pursue(float dt);
    void Evade(float dt);
    PVector3 ObstacleForce() const;
    void SetHold(bool hold) const;

    // EnemyAttacks.cpp
    void OnAttackFrame(bool second);
    void StrikeMelee(int32_t record, bool second, const PVector3& origin, float yaw, const PVector3& aim);
    void FireWeapon(bool second, const PVector3& origin, float yaw, const PVector3& target);
    void BlowUp(const PVector3& blowPoint, const PVector3& aim);

    // EnemyLife.cpp
    void StepDying();
    void StepAfterLife(float dt);
    void VanishNow();
    void AnnounceRemoval();
    void AnnounceDeath();
    void CountOut();
    void PayKill();
    void BurstIntoGibs() const;
    void LeavePhysics();

    const CPEnemyType* type;
    TPtr<SimpleVehicle> vehicle;
    TPtr<CPGameObject> model;
    TPtr<CPParticleSystem> smoke;
};
