// Stages, gates, check-point barriers and glass walls: the objects a mission opens, shows and
// hides as its targets die and its check points are reached.
#include "Render/PGameObject.h"
#include "core/PKernel.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PMiniMap.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "script/PScriptManager.h"
#include "weapons/PWeaponsSystem.h"

namespace {

constexpr int32_t kBarrierClass = 3;

void SendMissionText(const char* key)
{
    CPScriptManager* scripts = GetScriptManager();
    CPGameData* data = GetGameData();
    if (scripts && data) scripts->SendCommandByName("gamemenu", "mission_text", data->GetText(key));
}

// Shows or hides an object and everything below it.
void Show(CPGameObject& object, bool shown) { object.SetEnabled(shown); }

// Hides the object's "glass" child when it has one; otherwise the object itself when hideSelf,
// or when its own name is "glass".
void HideGlass(CPGameObject& object, bool hideSelf)
{
    if (const TPtr<CPGameObject> glass = object.GetChild("glass")) {
        Show(*glass, false);
    } else if (hideSelf || object.GetName() == "glass") {
        Show(object, false);
    }
}

// Hides the glass of every object of the list, takes them out of the world and empties it.
void ClearList(CPLevel::ObjectList& list, bool hideSelf)
{
    for (const TPtr<CPGameObject>& object : list) {
        HideGlass(*object, hideSelf);
        CPLevel::RemoveFromWorld(*object);
    }
    list.clear();
}

// In ray tests and streaming, active, and with a body of the barrier class at the object's pose
// and of its mass.
void EnterWorld(CPGameObject& object)
{
    object.SetCollision(true);
    object.Activate(CPLevel::kObjectPriority);
    if (const TPtr<CPPhysicData>& data = object.GetPhysicData()) {
        data->AddToWorld();
        data->SetBodyCollisionClass(kBarrierClass);
    }
}

}  // namespace

void CPLevel::RemoveFromWorld(CPGameObject& object)
{
    object.SetCollision(false);
    object.Deactivate();
    if (CPPhysics* physics = GetPhysics()) physics->DeactivateObject(TPtr<CPGameObject>(&object));
    if (const TPtr<CPPhysicData>& data = object.GetPhysicData()) data->RemoveFromWorld();
}

void CPLevel::BringIntoWorld(CPGameObject& object)
{
    Show(object, true);
    EnterWorld(object);
}

bool CPLevel::OpenStage()
{
    if (!ListAt(stageGateObjects, stageIndex) || stageGateObjects[stageIndex].empty()) return false;
    ClearList(stageGateObjects[stageIndex], false);
    SendMissionText("ffd");
    ++stageIndex;
    return true;
}

void CPLevel::ClearCheckPointBarrier()
{
    if (!ListAt(checkPointBarrierObjects, checkPointIndex) || checkPointBarrierObjects[checkPointIndex].empty()) {
        return;
    }
    ClearList(checkPointBarrierObjects[checkPointIndex], false);
    SendMissionText("ffd");
}

// The glass walls and gates of check point c are filed under c - 1: those of the check point
// just reached are at checkPointIndex - 1, and there are none before the first is reached.
void CPLevel::SetCheckPointGlass(bool on)
{
    if (!ListAt(checkPointGlassObjects, checkPointIndex - 1)) return;
    ObjectList& walls = checkPointGlassObjects[checkPointIndex - 1];
    for (const TPtr<CPGameObject>& wall : walls) {
        const TPtr<CPGameObject> glass = wall->GetChild("glass");
        if (on) {
            if (glass) Show(*glass, true);
            EnterWorld(*wall);
        } else {
            if (glass) Show(*glass, false);
            RemoveFromWorld(*wall);
        }
    }
    if (!on) walls.clear();
}

void CPLevel::AddCheckPointObjects()
{
    if (!ListAt(checkPointBarrierObjects, checkPointIndex)) return;
    for (const TPtr<CPGameObject>& barrier : checkPointBarrierObjects[checkPointIndex]) BringIntoWorld(*barrier);
}

void CPLevel::RemoveCheckPointObjects()
{
    if (!ListAt(checkPointGateObjects, checkPointIndex - 1) || checkPointGateObjects[checkPointIndex - 1].empty()) {
        return;
    }
    ClearList(checkPointGateObjects[checkPointIndex - 1], true);
    SendMissionText("ffd");
}

void CPLevel::ShowNextCheckPoint()
{
    SetCheckPointGlass(false);
    if (nextCheckPoint == checkPoints.end()) {
        currentCheckPoint = nullptr;
        if (miniMap) miniMap->SetTarget(nullptr);
        return;
    }
    currentCheckPoint = nextCheckPoint->object;
    currentCheckPoint->SetVisible(true);
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("main", "say_show", "");
    if (miniMap) miniMap->SetTarget(currentCheckPoint);
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) {
        weapons->Spawn("check_sparks", currentCheckPoint->GetPosition(), {0.0f, 0.0f, 1.0f}, -1.0f, nullptr, nullptr,
                       false);
    }
    AddCheckPointObjects();
    RemoveCheckPointObjects();
}
