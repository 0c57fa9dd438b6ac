#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PVector3.h"

class AI_Entity;
class CPGameObject;

// The AI task: a level task created at start-up and held by the application; a level start
// gives it priority 100 and adds it to the kernel.
//
// Not done yet: the enemy kinds, the AI manager and the per-frame update of the enemies (which
// is to skip its work while the frame timer is stopped); Update does nothing for now.
class AI_Task : public IPTask, public TSingleton<AI_Task> {
public:
    AI_Task() = default;

    void Update() override {}
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "AI_Task"; }

    // Whether the entity is one of the live enemies; none is yet, there is no AI manager.
    bool IsEnemy(const AI_Entity* entity) const { return false; }
    // The player's car as the enemies' target: its position, size, flat forward direction and
    // signed speed, each frame of a running level. There are no enemies to aim yet.
    void UpdateTargetVehicle(const CPGameObject& car, const PVector3& forward, float speed) {}
    // Removes the live enemies when the level stops. There are none yet.
    void StopLevel() {}
};

// The AI task, null before its construction and after its destruction.
inline AI_Task* GetAITask() { return AI_Task::Instance(); }
