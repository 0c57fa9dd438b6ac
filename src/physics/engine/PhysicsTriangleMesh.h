#pragma once
#include <cstdint>

#include "physics/engine/PhysicsVector.h"

// One terrain triangle: three vertex indices, the material index, the test mode (0 full test,
// 1 column test for boxes, anything else ignored by box tests) and a value collision does not use.
struct PhysicsMeshTriangle {
    int32_t vertex[3] = {-1, -1, -1};
    int32_t material = 0;
    int32_t mode = 0;
    int32_t user = 0;
};
static_assert(sizeof(PhysicsMeshTriangle) == 24);
static_assert(sizeof(PhysicsVector) == 16);

// A static triangle mesh in world coordinates (vertices of 16 bytes: x, y, z and a fourth float
// that is not read).
struct PhysicsTriangleMesh {
    const PhysicsVector* vertices = nullptr;
    int32_t vertexCount = 0;
    const PhysicsMeshTriangle* triangles = nullptr;
    int32_t triangleCount = 0;
};
