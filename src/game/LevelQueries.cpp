// The level's segment tests and sphere and wedge queries. Static objects are reached through the
// level tree; the car, the active and parked dynamic objects and the enemies only near the car.
// Parked objects count under the streaming's rule: those within kPlayerRange of the car.
#include <cmath>

#include "Render/ISceneEntity.h"
#include "Render/PGameObject.h"
#include "Render/PRayQuery.h"
#include "game/PLevel.h"
#include "game/PLevelBranch.h"
#include "game/PPlayerCar.h"

namespace {

bool Touches(const CPGameObject& object, const PVector3& centre, float radius)
{
    return object.GetPartBounds().IntersectsSphere(centre, radius);
}

}  // namespace

// The separating-axis test, in the ground plane, of the segment against the square of half side
// kPlayerRange around the car. Heights play no part.
bool CPLevel::IsNearPlayer(const SPRayQuery& query) const
{
    if (!playerCar) return false;
    const float h = query.distance * 0.5f;
    const PVector3& dir = query.direction;
    const PVector3 middle = query.origin + dir * h;
    const PVector3 d = playerCar->GetPosition() - middle;
    const float ax = std::fabs(dir.x);
    const float ay = std::fabs(dir.y);
    return std::fabs(d.x) <= ax * h + kPlayerRange && std::fabs(d.y) <= ay * h + kPlayerRange &&
           std::fabs(d.x * dir.y - d.y * dir.x) <= (ax + ay) * kPlayerRange;
}

bool CPLevel::CrossNearObjects(SPRayQuery& query, bool withPlayer, bool withEnemies)
{
    if (!IsNearPlayer(query)) return false;
    bool hit = withPlayer && playerCar->RayHit(query);
    for (const TPtr<CPGameObject>& object : activeObjects) {
        if (object->RayHit(query)) hit = true;
    }
    if (withEnemies) {
        for (const TPtr<CPGameObject>& object : enemyObjects) {
            if (object->RayHit(query)) hit = true;
        }
    }
    return hit;
}

bool CPLevel::CrossRay(SPRayQuery& query, bool withEnemies)
{
    bool hit = tree && tree->CrossRay(query);
    if (CrossNearObjects(query, true, withEnemies)) hit = true;
    query.hitPoint = query.origin + query.direction * query.distance;
    return hit;
}

bool CPLevel::CrossRayNoPlayer(SPRayQuery& query)
{
    bool hit = tree && tree->CrossRay(query);
    if (CrossNearObjects(query, false, true)) hit = true;
    query.hitPoint = query.origin + query.direction * query.distance;
    return hit;
}

void CPLevel::QueryObjects(const PVector3& centre, float radius, Objects& out, bool skipPlayer, bool skipEnemies,
                           bool skipParked) const
{
    if (tree) {
        if (skipPlayer && skipEnemies && skipParked) {
            tree->QuerySphereExceptLand(centre, radius, out);
        } else {
            tree->QuerySphere(centre, radius, out);
        }
    }
    if (playerCar) {
        if (!skipPlayer && Touches(*playerCar, centre, radius)) out.push_back(playerCar);
        const PVector3& car = playerCar->GetPosition();
        if (std::fabs(car.x - centre.x) < radius + kPlayerRange && std::fabs(car.y - centre.y) < radius + kPlayerRange) {
            for (const TPtr<CPGameObject>& object : activeObjects) {
                if (Touches(*object, centre, radius)) out.push_back(object);
            }
        }
        if (!skipParked) {
            const SPCellWindow window = CellWindowAround(car.x, car.y);
            for (int32_t column = window.firstColumn; column <= window.lastColumn; ++column) {
                for (int32_t row = window.firstRow; row <= window.lastRow; ++row) {
                    for (const TPtr<CPGameObject>& object : parkedCells[static_cast<size_t>(column * cellsY + row)]) {
                        if (WithinRange(object->GetPosition(), car) && Touches(*object, centre, radius)) {
                            out.push_back(object);
                        }
                    }
                }
            }
        }
    }
    if (!skipEnemies) {
        for (const TPtr<CPGameObject>& object : enemyObjects) {
            if (Touches(*object, centre, radius)) out.push_back(object);
        }
    }
}

void CPLevel::CollectObjectsInWedge(const PVector3& line1, const PVector3& line2, Objects& out) const
{
    // Room for every enemy at once: a list its caller reuses stops growing once it has held them all.
    out.reserve(out.size() + enemyObjects.size());
    for (const TPtr<CPGameObject>& object : enemyObjects) {
        const ISceneEntity* entity = object->GetEntity();
        if (!entity || entity->IsDead()) continue;
        const PVector3& p = object->GetPosition();
        if (line1.x * p.x + line1.y * p.y + line1.z > 0.0f && line2.x * p.x + line2.y * p.y + line2.z < 0.0f) {
            out.push_back(object);
        }
    }
}

void CPLevel::SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target)
{
    if (CPPlayerCar* car = GetPlayerCar()) car->SetWeaponPos(aim, target);
}
