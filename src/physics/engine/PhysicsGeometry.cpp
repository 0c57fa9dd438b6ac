#include "physics/engine/PhysicsGeometry.h"

#include <cmath>

#include "physics/engine/PhysicsConvexHull.h"

void PhysicsGeometry::Init()
{
    SetBoxExtents(1.0f, 1.0f, 1.0f);
    localTransform = PhysicsTransform{};
    materialIndex = 0;
    vertices = nullptr;
    candidatesBegin = candidatesEnd = nullptr;
    triangles = nullptr;
    triangleInfos = nullptr;
    hullData = nullptr;
}

void PhysicsGeometry::SetBoxExtents(float sizeX, float sizeY, float sizeZ)
{
    type = kBox;
    shape = {sizeX * 0.5f, sizeY * 0.5f, sizeZ * 0.5f, 0.0f};
    boundingRadius = Length(shape);
}

void PhysicsGeometry::SetCylinder(float diameter, float height)
{
    type = kCylinder;
    const float radius = diameter * 0.5f;
    shape = {radius, radius * radius, height * 0.5f, 0.0f};
}

void PhysicsGeometry::SetSphere(float radius)
{
    type = kSphere;
    shape = {radius, 0.0f, 0.0f, 0.0f};
}

void PhysicsGeometry::SetConvexHull(const void* data)
{
    type = kConvexHull;
    hullData = data;
}

void PhysicsGeometry::SetTriangle(int32_t i0, int32_t i1, int32_t i2, const PhysicsVector* vertexArray)
{
    type = kTriangle;
    triangleVertex[0] = i0;
    triangleVertex[1] = i1;
    triangleVertex[2] = i2;
    vertices = vertexArray;
}

void PhysicsGeometry::SetTerrain(const int32_t* begin, const int32_t* end, const PhysicsMeshTriangle* triangleArray,
                                 const PhysicsVector* vertexArray, const PhysicsTriangleInfo* triangleInfoArray)
{
    type = kTerrain;
    triangleInfos = triangleInfoArray;
    candidatesBegin = begin;
    candidatesEnd = end;
    triangles = triangleArray;
    vertices = vertexArray;
}

void PhysicsGeometry::GetLocalBounds(PhysicsVector& minimum, PhysicsVector& maximum) const
{
    const PhysicsMatrix3& axes = localTransform.axes;
    const PhysicsVector& centre = localTransform.position;
    PhysicsVector extent;
    switch (type) {
    case kBox:
        for (int i = 0; i < 3; ++i)
            At(extent, i) = std::fabs(At(axes.row[0], i)) * shape.x + std::fabs(At(axes.row[1], i)) * shape.y +
                            std::fabs(At(axes.row[2], i)) * shape.z;
        break;
    case kSphere:
        extent = {shape.x, shape.x, shape.x, 0.0f};
        break;
    case kCylinder:
        for (int i = 0; i < 3; ++i)
            At(extent, i) = (std::fabs(At(axes.row[0], i)) + std::fabs(At(axes.row[2], i))) * shape.x +
                            std::fabs(At(axes.row[1], i)) * (shape.x + shape.z);
        break;
    case kConvexHull:
        HullBounds(minimum, maximum);
        return;
    default:
        return;
    }
    minimum = centre - extent;
    maximum = centre + extent;
}

void PhysicsGeometry::HullBounds(PhysicsVector& minimum, PhysicsVector& maximum) const
{
    const auto* data = static_cast<const PhysicsHullData*>(hullData);
    if (!data || data->vertexCount <= 0) return;
    minimum = maximum = TransformPoint(localTransform, data->vertices[0]);
    for (int32_t v = 1; v < data->vertexCount; ++v) {
        const PhysicsVector p = TransformPoint(localTransform, data->vertices[v]);
        for (int i = 0; i < 3; ++i) {
            At(minimum, i) = std::fmin(At(minimum, i), At(p, i));
            At(maximum, i) = std::fmax(At(maximum, i), At(p, i));
        }
    }
}
