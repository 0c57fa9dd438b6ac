#pragma once
#include <vector>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"

class AI_Entity;
class SimpleVehicle;

// The live enemies in spawn order, with their vehicles; owned by the AI task.
class CPAIManager : public TSingleton<CPAIManager> {
public:
    CPAIManager() = default;

    void AddEntity(const TPtr<AI_Entity>& entity);
    bool ContainsEntity(const AI_Entity* entity) const;
    // Updates every live enemy once; an enemy whose dead flag is set leaves (its model leaves
    // the level) instead, in the same walk.
    void Update(float dt);
    // Removes every enemy at once: out of physics, the level and the manager, each counted out of
    // its kind, its sounds stopped.
    void StopLevel();
    // The state of every live enemy, to the log.
    void DumpInfo() const;

    const std::vector<TPtr<AI_Entity>>& Entities() const { return entities; }
    const std::vector<SimpleVehicle*>& Vehicles() const { return vehicles; }

private:
    void RemoveVehicle(const SimpleVehicle* vehicle);

    std::vector<TPtr<AI_Entity>> entities;
    std::vector<SimpleVehicle*> vehicles;
};

inline CPAIManager* GetAIManager() { return CPAIManager::Instance(); }
