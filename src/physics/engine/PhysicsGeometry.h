#pragma once
#include <cstdint>

#include "physics/engine/PhysicsTriangleMesh.h"
#include "physics/engine/PhysicsVector.h"

struct PhysicsTriangleInfo;

// One collision shape of a body, placed in the body's frame by its local transform.
class PhysicsGeometry {
public:
    enum Type : int32_t {
        kTriangle = 2,
        kBox = 3,
        kSphere = 4,
        kCylinder = 5,  // a capsule along the local Y axis
        kTerrain = 6,
        kConvexHull = 8,
    };

    // A 1 × 1 × 1 box with the identity transform and material 0.
    void Init();

    // Full sizes; half extents and the bounding radius are derived.
    void SetBox(float width, float height, float depth) { SetBoxExtents(width, height, depth); }
    void SetBoxVector(const PhysicsVector& size) { SetBoxExtents(size.x, size.y, size.z); }
    void SetBoxExtents(float sizeX, float sizeY, float sizeZ);
    void SetCylinder(float diameter, float height);
    void SetSphere(float radius);
    // A convex hull whose tables (a PhysicsHullData) the caller keeps alive.
    void SetConvexHull(const void* data);
    void SetTriangle(int32_t i0, int32_t i1, int32_t i2, const PhysicsVector* vertices);
    // The terrain triangles near one body: candidate indices into the triangle array.
    // The triangles may come prepared (by triangle index); without them each test prepares its own.
    void SetTerrain(const int32_t* candidatesBegin, const int32_t* candidatesEnd, const PhysicsMeshTriangle* triangles,
                    const PhysicsVector* vertices, const PhysicsTriangleInfo* triangleInfos = nullptr);
    void SetLocalTransform(const PhysicsTransform& transform) { localTransform = transform; }
    void SetMaterialIndex(int32_t index) { materialIndex = index; }
    int32_t GetMaterialIndex() const { return materialIndex; }
    int32_t GetType() const { return type; }

    // Minimum and maximum corners of the shape in body space; types without bounds leave the
    // outputs unchanged.
    void GetLocalBounds(PhysicsVector& minimum, PhysicsVector& maximum) const;
    void HullBounds(PhysicsVector& minimum, PhysicsVector& maximum) const;

    // Per type: box half extents; sphere radius in x; cylinder radius, radius², half height.
    PhysicsVector shape;
    int32_t triangleVertex[3] = {-1, -1, -1};
    PhysicsTransform localTransform;
    float boundingRadius = 0.0f;
    int32_t type = kBox;
    int32_t materialIndex = 0;
    const PhysicsVector* vertices = nullptr;
    const int32_t* candidatesBegin = nullptr;
    const int32_t* candidatesEnd = nullptr;
    const PhysicsMeshTriangle* triangles = nullptr;
    const PhysicsTriangleInfo* triangleInfos = nullptr;
    const void* hullData = nullptr;  // PhysicsHullData

    PhysicsGeometry* next = nullptr;
    PhysicsGeometry* prev = nullptr;
    uint8_t inUse = 0;
};
