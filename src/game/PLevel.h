#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <string>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "math/PMatrix.h"

class CPGameObject;

// Flattens a shadow caster onto the ground under the level light. The identity until a level
// builds it, so before any level a shadow adds nothing to an object's bounds.
extern PMatrix g_shadowProjection;

// One check point of the level, in file order.
struct SPCheckPoint {
    std::string numberText;  // what follows "chk" in the object's name: digits or "-"
    int32_t number = 0;      // numberText as a number
    TPtr<CPGameObject> object;
};

// The current level: exists while a level is loaded, GetLevel returns null between levels.
//
// Not done yet: loading the level file, the level tree, the per-frame run, the gates, barriers
// and glass walls of stages and check points, queries, the light and the camera. What stands
// is what the scene objects and the physics world need: the target lists that decide whether a
// destructible object can be damaged now, and their bookkeeping when one is destroyed; the
// player's car; the request for the "df" text that the per-frame run will show.
class CPLevel : public TSingleton<CPLevel> {
public:
    // Stages and check points a level can have, numbered from 0.
    static constexpr int32_t kListCount = 20;
    using ObjectList = std::list<TPtr<CPGameObject>>;

    CPLevel();
    virtual ~CPLevel();

    // The list of index, or null when the index is outside the lists.
    static const ObjectList* ListAt(const std::array<ObjectList, kListCount>& lists, int32_t index);

    // True when the object is a target of the current stage.
    bool IsStageTarget(const CPGameObject* object) const;
    // Takes a destroyed object off the target lists of the current stage and the current check
    // point; the stage opens when its list empties, the check point's barrier clears when its
    // list empties.
    void RemoveTarget(const CPGameObject* object);
    // Opens the current stage; false when it has no gates. Does nothing yet: there are no gates.
    bool OpenStage() { return false; }
    // Clears the barrier of the current check point. Does nothing yet: there are no barriers.
    void ClearCheckPointBarrier() {}
    // Asks the next level update to send "mission_text" with the text of the key "df" to the
    // script "gamemenu" (the player drove into a check point's barrier).
    void RequestDfText() { dfTextRequested = true; }

    // Targets of stage s, and of check point c.
    std::array<ObjectList, kListCount> stageTargetObjects;
    std::array<ObjectList, kListCount> checkPointTargetObjects;
    std::list<SPCheckPoint> checkPoints;
    // The check point shown or next to be shown; checkPoints.end() after the last one.
    std::list<SPCheckPoint>::iterator nextCheckPoint;
    // The shown check-point object; null when none.
    TPtr<CPGameObject> currentCheckPoint;
    // Check points reached since the start.
    int32_t checkPointIndex = 0;
    int32_t stageIndex = 0;
    // The player's car, a CPPlayerCar (kept as a scene object: code that only needs the scene
    // object, the physics world's benchmark for one, sets any object here).
    TPtr<CPGameObject> playerCar;
    // The player's heading about z, radians (0: along +y).
    float playerHeading = 0.0f;
    // Set by RequestDfText; the level update that shows the text clears it.
    bool dfTextRequested = false;

private:
    // Erases the object from the list; true when the list was emptied by it.
    static bool EraseTarget(ObjectList& list, const CPGameObject* object);
};

// The level, null between levels.
inline CPLevel* GetLevel() { return CPLevel::Instance(); }
