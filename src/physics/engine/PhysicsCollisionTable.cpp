#include "physics/engine/PhysicsCollisionTable.h"

PhysicsCollisionTable::PhysicsCollisionTable()
{
    for (auto& row : m_pairs)
        for (int32_t& entry : row) entry = kContactResponse;
    for (int32_t& entry : m_terrain) entry = kContactResponse;
}

bool PhysicsCollisionTable::Set(int32_t classA, int32_t classB, int32_t response)
{
    const bool terrainA = classA == kTerrainClass;
    const bool terrainB = classB == kTerrainClass;
    if ((!terrainA && !IsValidClass(classA)) || (!terrainB && !IsValidClass(classB))) return false;
    if (terrainA && terrainB) return true;
    if (terrainA) m_terrain[classB] = response;
    else if (terrainB) m_terrain[classA] = response;
    else m_pairs[classA][classB] = m_pairs[classB][classA] = response;
    return true;
}

int32_t PhysicsCollisionTable::Get(int32_t classA, int32_t classB) const
{
    const bool terrainA = classA == kTerrainClass;
    const bool terrainB = classB == kTerrainClass;
    if ((!terrainA && !IsValidClass(classA)) || (!terrainB && !IsValidClass(classB))) return 0;
    if (terrainA && terrainB) return 0;
    if (terrainA) return m_terrain[classB];
    if (terrainB) return m_terrain[classA];
    return m_pairs[classA][classB];
}
