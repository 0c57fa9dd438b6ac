#include "weapons/WeaponWorld.h"

#include "game/PLevel.h"
#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/ViewCamera.h"
#include "weapons/WeaponMath.h"

namespace {

// The level's answers; without a level nothing is hit or found.
class CPLevelWeaponWorld : public IPWeaponWorld {
public:
    bool CrossRay(SPRayQuery& query, bool enemies) override {
        if (CPLevel* level = GetLevel()) return level->CrossRay(query, enemies);
        return Miss(query);
    }

    bool CrossRayNoPlayer(SPRayQuery& query) override {
        if (CPLevel* level = GetLevel()) return level->CrossRayNoPlayer(query);
        return Miss(query);
    }

    void QueryObjects(const PVector3& centre, float radius, std::vector<TPtr<CPGameObject>>& found,
                      bool skipPlayer) override {
        if (const CPLevel* level = GetLevel()) level->QueryObjects(centre, radius, found, skipPlayer, false, false);
    }

    void CollectObjectsInWedge(const PVector3& line1, const PVector3& line2,
                               std::vector<TPtr<CPGameObject>>& found) override {
        if (const CPLevel* level = GetLevel()) level->CollectObjectsInWedge(line1, line2, found);
    }

    PVector3 GetEye() override { return GetViewCamera().GetEye(); }

    CPGameObject* GetPlayerCar() override {
        CPLevel* level = GetLevel();
        return level ? level->playerCar.Get() : nullptr;
    }

private:
    static bool Miss(SPRayQuery& query) {
        query.hitPoint = query.origin + query.direction * query.distance;
        return false;
    }
};

IPWeaponWorld* g_installedWorld = nullptr;

}  // namespace

IPWeaponWorld& GetWeaponWorld() {
    static CPLevelWeaponWorld levelWorld;
    return g_installedWorld ? *g_installedWorld : levelWorld;
}

void SetWeaponWorld(IPWeaponWorld* world) { g_installedWorld = world; }

void WedgeLines(const PVector3& position, const PVector3& heading, float angle, PVector3& line1, PVector3& line2) {
    // Each line's normal is its direction turned a quarter clockwise, so the heading lies on the
    // positive side of the line turned left and on the negative side of the line turned right.
    const auto lineAlong = [&position](float turn, const PVector3& direction) {
        const PVector3 along = TurnAboutZ(direction, turn);
        return PVector3{along.y, -along.x, -(along.y * position.x - along.x * position.y)};
    };
    line1 = lineAlong(angle, heading);
    line2 = lineAlong(-angle, heading);
}

CPGameObject* Nearest(const std::vector<TPtr<CPGameObject>>& objects, const PVector3& position, float bound) {
    CPGameObject* nearest = nullptr;
    for (const TPtr<CPGameObject>& object : objects) {
        const float distanceSq = Vec3LengthSq(object->GetPosition() - position);
        if (distanceSq < bound) {
            bound = distanceSq;
            nearest = object.Get();
        }
    }
    return nearest;
}
