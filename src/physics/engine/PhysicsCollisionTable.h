#pragma once
#include <cstdint>

// What happens when bodies of two collision classes (0..63) meet, and a class meets the terrain
// (class -1). Response bits: kContactResponse makes a contact, kCallbackResponse calls the
// collision callback; 0 lets the pair pass through. Every entry starts as kContactResponse.
class PhysicsCollisionTable {
public:
    static constexpr int32_t kClassCount = 64;
    static constexpr int32_t kTerrainClass = -1;
    static constexpr int32_t kContactResponse = 1;
    static constexpr int32_t kCallbackResponse = 2;

    PhysicsCollisionTable();

    // Sets both orders; with one class -1 the other's terrain entry. A class outside 0..63
    // (other than -1) is refused with false and nothing changes.
    bool Set(int32_t classA, int32_t classB, int32_t response);

    // The response; 0 when both are -1 or a class is out of range.
    int32_t Get(int32_t classA, int32_t classB) const;

    static bool IsValidClass(int32_t collisionClass) { return collisionClass >= 0 && collisionClass < kClassCount; }

private:
    int32_t m_pairs[kClassCount][kClassCount];
    int32_t m_terrain[kClassCount];
};
