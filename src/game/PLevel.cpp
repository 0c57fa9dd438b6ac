#include "game/PLevel.h"

#include <algorithm>

#include "Render/PGameObject.h"

PMatrix g_shadowProjection = MatrixIdentity();

CPLevel::CPLevel() : nextCheckPoint(checkPoints.end()) {}

CPLevel::~CPLevel() = default;

const CPLevel::ObjectList* CPLevel::ListAt(const std::array<ObjectList, kListCount>& lists, int32_t index) {
    if (index < 0 || index >= kListCount) return nullptr;
    return &lists[index];
}

bool CPLevel::IsStageTarget(const CPGameObject* object) const {
    const ObjectList* targets = ListAt(stageTargetObjects, stageIndex);
    return targets && std::find(targets->begin(), targets->end(), object) != targets->end();
}

bool CPLevel::EraseTarget(ObjectList& list, const CPGameObject* object) {
    const auto found = std::find(list.begin(), list.end(), object);
    if (found == list.end()) return false;
    list.erase(found);
    return list.empty();
}

void CPLevel::RemoveTarget(const CPGameObject* object) {
    if (ListAt(stageTargetObjects, stageIndex) && EraseTarget(stageTargetObjects[stageIndex], object)) {
        OpenStage();
    }
    if (ListAt(checkPointTargetObjects, checkPointIndex) &&
        EraseTarget(checkPointTargetObjects[checkPointIndex], object)) {
        ClearCheckPointBarrier();
    }
}
