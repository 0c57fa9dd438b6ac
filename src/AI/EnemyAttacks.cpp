// Enemy attacks on the frames of their animations: melee blows that reach the player's car push
// and damage it; the fire animation launches the kind's weapon from its muzzle.
#include <cmath>
#include <cstring>

#include "AI/AI_Entity.h"
#include "AI/ShotAim.h"
#include "Render/PGameObject.h"
#include "Render/PRayQuery.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/Random.h"
#include "weapons/PWeaponsSystem.h"

namespace {

// The fixed world height of a melee blow's probe.
constexpr float kBlowHeight = 1.5f;
// A blow pushes the car this many times its push strength.
constexpr float kPushScale = 3.0f;
// Shots aim this high above the car's origin.
constexpr float kAimLift = 0.3f;

// What one fire frame of a weapon launches: count shots of the shot prototype, each within spread
// radians of the aim (0: along the aim). A weapon with a rocket threshold fires "srocket2" along
// the aim instead once that many frames have counted and an even draw comes.
struct SPEnemyWeapon {
    const char* name;
    const char* shot;
    int32_t count;
    float spread;
    int32_t rocketThreshold;
};

constexpr SPEnemyWeapon kWeapons[] = {
    {"hmgun", "trasser22", 1, 0.1f, 0},
    {"hmgun2", "trasser23_1", 2, 0.1f, 0},
    {"rocket", "trasser23_2", 2, 0.1f, 10},
    {"rocket1", "trasser23_3", 2, 0.1f, 10},
    {"rocket1_1", "trasser23_1", 2, 0.1f, 3},
    {"rocket2", "srocket2", 1, 0.0f, 0},
    {"plasma", "plazma_shot2", 1, 0.0f, 0},
    {"plasma2", "plazma_shot3", 1, 0.0f, 0},
    {"plasma3", "plazma_shot4", 1, 0.0f, 0},
    {"mgun", "trasser21", 1, 0.0f, 0},
    {"lgun", "trasser21", 1, 0.0f, 0},
    {"shotgun", "trasser23", 8, 0.4f, 0},
};

const SPEnemyWeapon* FindWeapon(const std::string& name)
{
    for (const SPEnemyWeapon& weapon : kWeapons) {
        if (name == weapon.name) return &weapon;
    }
    return nullptr;
}

void Launch(const char* name, const PVector3& position, const PVector3& direction)
{
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) weapons->Spawn(name, position, direction, -1.0f, nullptr, nullptr, false);
}

}  // namespace

void AI_Entity::OnAnimationReport(float /*frame*/) { OnAttackFrame(false); }

void AI_Entity::OnAnimationMark(float /*frame*/) { OnAttackFrame(true); }

void AI_Entity::OnAttackFrame(bool second)
{
    const CPLevel* level = GetLevel();
    if (!model || !level || !level->playerCar) return;
    const PVector3 origin = vehicle->Position();
    const PVector3 target = level->playerCar->GetPosition();
    const float yaw = VehicleYaw();
    if (animation.name == "melee1" || animation.name == "melee2") {
        StrikeMelee(animation.name == "melee1" ? 0 : 1, second, origin, yaw, Vec3Normalize(target - origin));
    } else if (animation.name == "fire") {
        FireWeapon(second, origin, yaw, target);
    }
}

void AI_Entity::StrikeMelee(int32_t record, bool second, const PVector3& origin, float yaw, const PVector3& aim)
{
    CPLevel* level = GetLevel();
    const CPAttackDef& attack = type->melee[record];
    const PVector3& point = second ? attack.secondHitPoint : attack.hitPoint;
    SPRayQuery query;
    query.skip = model.Get();
    query.origin = {origin.x, origin.y, kBlowHeight};
    query.direction = Vec3Normalize({aim.x, aim.y, 0.0f});
    query.distance = Vec3Length(point);
    const bool hitPlayer = level->CrossRay(query, true) && query.hitOwner.Get() == level->playerCar.Get();
    const PMatrix turn = MatrixRotationZ(yaw);
    const PVector3 blowPoint = Vec3TransformCoord(point, turn) + origin;
    if (record == 0 && type->weaponName == "explosion") {
        BlowUp(blowPoint, aim);
        return;
    }
    if (!hitPlayer) return;
    CPGameObject& car = *level->playerCar;
    const auto sound = type->animationSounds.find(record == 0 ? "hit1" : "hit2");
    CNAudio* audio = GetAudio();
    if (sound != type->animationSounds.end() && audio) {
        if (const TPtr<CNSound> hit = audio->GetSound(sound->second)) {
            if (hit->IsPlaying()) {
                hit->Stop();
                hit->Rewind();
            }
            hit->Play(0, 0);
        }
    }
    if (const CPPhysicData* data = car.GetPhysicData().Get(); data && data->rigidBody) {
        const PVector3 push = Vec3TransformCoord(attack.pushDirection, turn) * (kPushScale * attack.pushStrength);
        data->rigidBody->ApplyImpulse(ToPhysics(push), ToPhysics(blowPoint));
    }
    car.Damage(blowPoint, blowPoint, attack.damage, false, false, false);
    Launch("sparks", blowPoint, second ? PVector3{0.0f, 0.0f, 1.0f} : PVector3{0.0f, 0.0f, 10.0f});
}

void AI_Entity::BlowUp(const PVector3& blowPoint, const PVector3& aim)
{
    Launch("mine_exp1", blowPoint, aim);
    EnterState(kDeath);
    AnnounceDeath();
}

void AI_Entity::FireWeapon(bool second, const PVector3& origin, float yaw, const PVector3& target)
{
    const SPEnemyWeapon* weapon = FindWeapon(type->weaponName);
    // The heavy plasma fires once a run, on the first frame.
    if (!weapon || (second && type->weaponName == "plasma3")) return;
    const PVector3 muzzle = Vec3TransformCoord(second ? type->fire.secondHitPoint : type->fire.hitPoint, MatrixRotationZ(yaw)) + origin;
    const PVector3 aim = Vec3Normalize(target + PVector3{0.0f, 0.0f, kAimLift} - muzzle);
    if (weapon->rocketThreshold > 0 && ++rocketCounter >= weapon->rocketThreshold && platform::Rand() % 2 == 0) {
        Launch("srocket2", muzzle, aim);
        rocketCounter = 0;
        return;
    }
    if (weapon->spread == 0.0f) {
        Launch(weapon->shot, muzzle, aim);
        return;
    }
    const PMatrix toAim = RotationToAim(aim);
    for (int32_t i = 0; i < weapon->count; ++i) Launch(weapon->shot, muzzle, SpreadDirection(toAim, weapon->spread));
}
