#include "AI/AIManager.h"

#include <algorithm>

#include "AI/AI_Entity.h"
#include "Render/PGameObject.h"
#include "core/PLog.h"
#include "game/PLevel.h"

void CPAIManager::AddEntity(const TPtr<AI_Entity>& entity)
{
    entities.push_back(entity);
    vehicles.push_back(entity->Vehicle().Get());
}

bool CPAIManager::ContainsEntity(const AI_Entity* entity) const
{
    return std::any_of(entities.begin(), entities.end(), [entity](const TPtr<AI_Entity>& e) { return e.Get() == entity; });
}

void CPAIManager::Update(float dt)
{
    for (size_t i = 0; i < entities.size();) {
        AI_Entity& entity = *entities[i];
        if (!entity.dead) {
            entity.Update(dt);
            ++i;
            continue;
        }
        RemoveVehicle(entity.Vehicle().Get());
        if (CPLevel* level = GetLevel()) level->RemoveObject(entity.Model().Get());
        entities.erase(entities.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CPAIManager::StopLevel()
{
    // Taken out first: an enemy's leaving may reach back into the manager.
    std::vector<TPtr<AI_Entity>> leaving;
    leaving.swap(entities);
    for (const TPtr<AI_Entity>& entity : leaving) {
        entity->LeaveAtLevelStop();
        if (CPLevel* level = GetLevel()) level->RemoveObject(entity->Model().Get());
    }
    vehicles.clear();
}

void CPAIManager::DumpInfo() const
{
    for (const TPtr<AI_Entity>& entity : entities) {
        GetLog()->Print(0, "AI: %s %s\n", entity->kindName.c_str(), entity->StateName());
    }
}

void CPAIManager::RemoveVehicle(const SimpleVehicle* vehicle)
{
    const auto found = std::find(vehicles.begin(), vehicles.end(), vehicle);
    if (found != vehicles.end()) vehicles.erase(found);
}
