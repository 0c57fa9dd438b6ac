#pragma once
#include <vector>

#include "core/PSmartPointer.h"
#include "math/PVector3.h"
#include "Render/PRayQuery.h"

class CPGameObject;

// What the weapon objects ask of the world around them: segment tests, the objects that touch a
// sphere, the living enemies in a wedge ahead of a homing shot, the eye that camera-facing
// streaks turn to, and the player's car. The level answers by default; a scene without a level
// (a test, a benchmark) installs its own.
class IPWeaponWorld {
public:
    virtual ~IPWeaponWorld() = default;
    // The full segment test; enemies says whether the enemies are tested.
    virtual bool CrossRay(SPRayQuery& query, bool enemies) = 0;
    // The segment test without the player's car, always with the enemies.
    virtual bool CrossRayNoPlayer(SPRayQuery& query) = 0;
    // Appends every object that touches the sphere.
    virtual void QueryObjects(const PVector3& centre, float radius, std::vector<TPtr<CPGameObject>>& found,
                              bool skipPlayer) = 0;
    // Appends the living enemies strictly between the two ground lines (a, b, c of a·x + b·y + c):
    // in front of the first and behind the second.
    virtual void CollectObjectsInWedge(const PVector3& line1, const PVector3& line2,
                                       std::vector<TPtr<CPGameObject>>& found) = 0;
    // The eye of the camera the player looks through.
    virtual PVector3 GetEye() = 0;
    // The player's car, null when none.
    virtual CPGameObject* GetPlayerCar() = 0;
};

// The world the weapons use: the installed one, else the level's.
IPWeaponWorld& GetWeaponWorld();
// Installs a world (not owned); null goes back to the level's.
void SetWeaponWorld(IPWeaponWorld* world);
// The two ground lines through position along the heading turned by +angle and by -angle about
// the vertical, oriented so that CollectObjectsInWedge finds what lies within angle of the heading.
void WedgeLines(const PVector3& position, const PVector3& heading, float angle, PVector3& line1, PVector3& line2);
// The nearest of the objects to position by squared distance, strictly nearer than the bound;
// null when none is.
CPGameObject* Nearest(const std::vector<TPtr<CPGameObject>>& objects, const PVector3& position, float bound);
