// The level's collision rules for the player's car: what it hits stops its hold, an enemy hit
// fast enough is damaged, and a barrier hit near the current check point asks the level for its
// "df" text.
#include <cmath>

#include "Render/PGameObject.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsCollisionInfo.h"
#include "physics/engine/PhysicsRigidBody.h"

namespace {

constexpr float kFastSpeed = 15.0f;
constexpr float kRamSpeed = 5.0f;
constexpr float kRamDamage = 6.0f;
constexpr int32_t kBarrierClass = 3;
// Squared distance from the current check point within which a barrier hit counts.
constexpr float kCheckPointReachSq = 200.0f;

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

void CheckBarrier(CPLevel& level, const CPGameObject& player, const PhysicsBody& other) {
    if (other.GetCollisionClass() != kBarrierClass || !level.currentCheckPoint) return;
    if (Vec3LengthSq(player.GetPosition() - level.currentCheckPoint->GetPosition()) <= kCheckPointReachSq) {
        level.RequestDfText();
    }
}

}  // namespace

void CPLevel::OnCollision(const PhysicsCollisionInfo& info) {
    if (!playerCar) return;
    CPGameObject* player = playerCar.Get();
    PhysicsBody* otherBody = nullptr;
    if (info.bodyA && info.bodyA->GetUserData() == player) {
        otherBody = info.bodyB;
    } else if (info.bodyB && info.bodyB->GetUserData() == player) {
        otherBody = info.bodyA;
    }
    if (!otherBody) return;
    if (otherBody->GetUserData()) {
        TPtr<CPGameObject> other(static_cast<CPGameObject*>(otherBody->GetUserData()));
        if (other->GetPhysicData()) other->GetPhysicData()->controllerRequest = false;
        const TPtr<CPPhysicData>& playerData = player->GetPhysicData();
        if (playerData && playerData->rigidBody && other->GetEntity()) {
            DamageEnemy(*player, *playerData->rigidBody, *other);
        }
    }
    CheckBarrier(*this, *player, *otherBody);
}
