// Collisions of the player's car: what it hits stops its hold, and an enemy hit fast enough is
// damaged.
#include <cmath>

#include "Render/PGameObject.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsCollisionInfo.h"
#include "physics/engine/PhysicsRigidBody.h"

namespace {

constexpr float kFastSpeed = 15.0f;
constexpr float kRamSpeed = 5.0f;
constexpr float kRamDamage = 6.0f;

// Speed of the player's car, 0 when the squared speed is below 1e-6.
float SpeedOf(const PhysicsRigidBody& body) {
    const float squared = LengthSq(body.GetVelocity());
    return std::fabs(squared) >= kPhysicsEpsilon ? std::sqrt(squared) : 0.0f;
}

void DamageEnemy(CPGameObject& player, const PhysicsRigidBody& playerBody, CPGameObject& other) {
    const float speed = SpeedOf(playerBody);
    float amount = 0.0f;
    bool flagB = false;
    if (speed > kFastSpeed) {
        amount = speed / kFastSpeed;
    } else if (speed > kRamSpeed) {
        amount = kRamDamage;
        flagB = true;
    } else {
        return;
    }
    other.Damage(other.GetPosition(), player.GetPosition() - other.GetPosition(), amount, false, false, flagB);
}

}  // namespace

void CPPhysics::OnCollision(PhysicsCollisionInfo* info) {
    CPLevel* level = GetLevel();
    if (!info || !level || !level->playerCar) return;
    CPGameObject* player = level->playerCar.Get();
    PhysicsBody* otherBody = nullptr;
    if (info->bodyA && info->bodyA->GetUserData() == player) {
        otherBody = info->bodyB;
    } else if (info->bodyB && info->bodyB->GetUserData() == player) {
        otherBody = info->bodyA;
    }
    if (!otherBody || !otherBody->GetUserData()) return;
    TPtr<CPGameObject> other(static_cast<CPGameObject*>(otherBody->GetUserData()));
    if (other->GetPhysicData()) other->GetPhysicData()->controllerRequest = false;
    const TPtr<CPPhysicData>& playerData = player->GetPhysicData();
    if (playerData && playerData->rigidBody && other->GetEntity()) DamageEnemy(*player, *playerData->rigidBody, *other);
}
