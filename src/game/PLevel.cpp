#include "game/PLevel.h"

#include <algorithm>
#include <cmath>

#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "game/PCamera.h"
#include "game/PLevelBranch.h"
#include "game/PMiniMap.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysics.h"

namespace {

// Cells per unit: one a CPLevel::kCellSize.
constexpr float kPerCell = 0.1f;

// The cell of a coordinate measured from the terrain's low edge, or -1 outside 0..count - 1.
// Truncation toward zero keeps up to one cell beyond the low edge in the first cell.
int32_t CellOf(float fromLowEdge, int32_t count)
{
    const float cell = fromLowEdge * kPerCell;
    if (!(cell > -1.0f && cell < static_cast<float>(count))) return -1;
    return static_cast<int32_t>(cell);
}

// The cell of a coordinate clamped to 0..count - 1 (count > 0).
int32_t ClampedCellOf(float fromLowEdge, int32_t count)
{
    const float cell = std::clamp(fromLowEdge * kPerCell, 0.0f, static_cast<float>(count - 1));
    return static_cast<int32_t>(cell);
}

}  // namespace

CPLevel::CPLevel() : nextCheckPoint(checkPoints.end()) { ISceneGameRules::Install(this); }

// A running level is stopped first; the cameras it took over go back, the listener leaves the
// car's last place, and the physics world forgets the level's bodies and terrain. Enemies a
// script added before the level ran, or after it stopped, leave with it too.
CPLevel::~CPLevel()
{
    Stop();
    if (AI_Task* ai = GetAITask()) ai->StopLevel();
    if (state == LevelState::Stopped) ResetListener();
    GiveBackCameras();
    // A loaded level that never ran built the world's terrain and bodies; a stopped one has
    // emptied the world already.
    CPPhysics* physics = GetPhysics();
    if (physics && state == LevelState::Loaded && tree) physics->Clear();
    ISceneGameRules::Uninstall(this);
}

CPPlayerCar* CPLevel::GetPlayerCar() const { return dynamic_cast<CPPlayerCar*>(playerCar.Get()); }

int32_t CPLevel::CellIndexAt(float x, float y) const
{
    const int32_t column = CellOf(width * 0.5f + x, cellsX);
    const int32_t row = CellOf(depth * 0.5f + y, cellsY);
    if (column < 0 || row < 0) return -1;
    return column * cellsY + row;
}

SPCellWindow CPLevel::CellWindowAround(float x, float y) const
{
    SPCellWindow window;
    const bool parked = cellsX > 0 && cellsY > 0 && parkedCells.size() == static_cast<size_t>(cellsX) * cellsY;
    if (!parked || !std::isfinite(x) || !std::isfinite(y)) return window;
    window.firstColumn = ClampedCellOf(width * 0.5f + x - kPlayerRange, cellsX);
    window.lastColumn = ClampedCellOf(width * 0.5f + x + kPlayerRange, cellsX);
    window.firstRow = ClampedCellOf(depth * 0.5f + y - kPlayerRange, cellsY);
    window.lastRow = ClampedCellOf(depth * 0.5f + y + kPlayerRange, cellsY);
    return window;
}

bool CPLevel::ParkObject(const TPtr<CPGameObject>& object)
{
    const PVector3& position = object->GetPosition();
    const int32_t cell = CellIndexAt(position.x, position.y);
    if (cell < 0 || static_cast<size_t>(cell) >= parkedCells.size()) return false;
    parkedCells[static_cast<size_t>(cell)].push_back(object);
    return true;
}

void CPLevel::AddEnemyObject(const TPtr<CPGameObject>& object) { enemyObjects.push_back(object); }

void CPLevel::RemoveObject(const CPGameObject* object)
{
    const auto found = std::find(enemyObjects.begin(), enemyObjects.end(), object);
    if (found != enemyObjects.end()) enemyObjects.erase(found);
}

const CPLevel::ObjectList* CPLevel::ListAt(const ObjectLists& lists, int32_t index)
{
    if (index < 0 || index >= kListCount) return nullptr;
    return &lists[static_cast<size_t>(index)];
}

bool CPLevel::IsStageTarget(const CPGameObject* object) const
{
    const ObjectList* targets = ListAt(stageTargetObjects, stageIndex);
    return targets && std::find(targets->begin(), targets->end(), object) != targets->end();
}

bool CPLevel::EraseTarget(ObjectList& list, const CPGameObject* object)
{
    const auto found = std::find(list.begin(), list.end(), object);
    if (found == list.end()) return false;
    list.erase(found);
    return list.empty();
}

void CPLevel::RemoveTarget(const CPGameObject* object)
{
    if (ListAt(stageTargetObjects, stageIndex) && EraseTarget(stageTargetObjects[stageIndex], object)) {
        OpenStage();
    }
    if (ListAt(checkPointTargetObjects, checkPointIndex) &&
        EraseTarget(checkPointTargetObjects[checkPointIndex], object)) {
        ClearCheckPointBarrier();
    }
}
