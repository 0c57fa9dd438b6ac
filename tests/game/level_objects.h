#pragma once
// Box objects scattered at random, and the scans that the level tree and the level's queries
// must agree with.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PRayQuery.h"
#include "core/PSmartPointer.h"

namespace levelobjects {

using Objects = std::vector<TPtr<CPGameObject>>;

// An object with one part box of the half sizes at the position, its own box the same; a mesh
// without geometry that is not static (so the tree counts it among the objects it deactivates).
inline TPtr<CPGameObject> Box(const std::string& name, const PVector3& at, const PVector3& half)
{
    TPtr<CPGameObject> object(new CPGameObject(name));
    object->SetAttachment(CPGameObject::kMesh, CPSmartPointer());
    object->SetStatic(false);
    const CPObb box({0.0f, 0.0f, 0.0f, 0.0f}, {half.x, half.y, half.z, 0.0f});
    object->SetObb(box);
    object->GetParts().push_back(box);
    object->SetPosition(at);
    object->UpdateTransform();
    return object;
}

// count boxes inside [-extent, extent]² on the ground, sizes 0.2 to 3.
inline Objects RandomBoxes(std::mt19937& random, int count, float extent, const std::string& name = "box")
{
    std::uniform_real_distribution<float> place(-extent, extent), size(0.1f, 1.5f), height(0.0f, 3.0f);
    Objects boxes;
    for (int i = 0; i < count; ++i) {
        boxes.push_back(Box(name, {place(random), place(random), height(random)},
                            {size(random), size(random), size(random)}));
    }
    return boxes;
}

// A segment of length up to 2 × extent through the area, in a random direction.
inline SPRayQuery RandomSegment(std::mt19937& random, float extent)
{
    std::uniform_real_distribution<float> place(-extent, extent), unit(-1.0f, 1.0f), length(1.0f, 2.0f * extent);
    SPRayQuery query;
    query.origin = {place(random), place(random), std::uniform_real_distribution<float>(0.0f, 3.0f)(random)};
    PVector3 d{unit(random), unit(random), 0.2f * unit(random)};
    query.direction = d / Vec3Length(d);
    query.distance = length(random);
    return query;
}

// RayHit on each object in turn: the nearest hit of them all.
inline bool ScanRay(const Objects& objects, SPRayQuery& query)
{
    bool hit = false;
    for (const TPtr<CPGameObject>& object : objects) {
        if (object->RayHit(query)) hit = true;
    }
    return hit;
}

inline Objects ScanSphere(const Objects& objects, const PVector3& centre, float radius)
{
    Objects found;
    for (const TPtr<CPGameObject>& object : objects) {
        if (object->GetPartBounds().IntersectsSphere(centre, radius)) found.push_back(object);
    }
    return found;
}

// The objects in address order, to compare sets found in different orders.
inline std::vector<const CPGameObject*> Sorted(const Objects& objects)
{
    std::vector<const CPGameObject*> sorted;
    for (const TPtr<CPGameObject>& object : objects) sorted.push_back(object.Get());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

}  // namespace levelobjects
