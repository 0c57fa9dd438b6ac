#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PBoundingBox.h"
#include "core/PMMObject.h"
#include "core/PSmartPointer.h"

class CPGameObject;
class CPPerspectiveCamera;
struct SPRayQuery;

// A node of the level tree: a binary bounding-volume tree over the level's static objects (the
// placed models that do not move, the fog border and the terrain tiles). It answers segment tests
// and sphere queries, brings the objects near the player into the world and takes the far ones
// out, and hands the objects of the nodes in view to the renderer.
//
// A node's bounds enclose the visual and the part bounds of its objects, so culling and the ray
// and sphere walks can all trust them. Leaves usually hold one object; a leaf holds more when
// their centres cannot be separated or the tree reached kMaxDepth.
class CPLevelBranch : public IPMMObject {
public:
    using Objects = std::vector<TPtr<CPGameObject>>;

    // Nodes below this depth are not split: their leaf keeps every object given to it.
    static constexpr int32_t kMaxDepth = 40;

    CPLevelBranch() = default;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPLevelBranch"; }

    // Takes the objects: the bounds enclose them all; every object and its descendants are sorted
    // into the plain static meshes (drawn batched) and the others (kind 5 objects are dropped).
    void SetObjects(const Objects& objects);
    // Splits the objects at the middle of their centres along the longest side of the centres'
    // box, greater centres to first, the others to second, and builds both halves in turn.
    void Build(int32_t depth);

    // Brings the leaves within radius of (x, y) (by x and y alone) into the world, and takes the
    // active subtrees that left the range out of it.
    void UpdateActive(float x, float y, float radius);
    // Deactivates every object of the subtree that is not a plain static mesh.
    void RemoveObjectsFromWorld();
    // Hands the objects of the leaves whose bounds the camera sees to the render block.
    void CollectVisible(const CPPerspectiveCamera& camera);
    void SubmitObjects();

    // The segment test of the leaves the segment meets (CPGameObject::RayHit on each object); the
    // query keeps the nearest hit. True when anything was hit.
    bool CrossRay(SPRayQuery& query);
    // Appends the objects of the leaves whose part bounds meet the sphere.
    void QuerySphere(const PVector3& centre, float radius, Objects& out) const;
    // The same, passing over objects named "land".
    void QuerySphereExceptLand(const PVector3& centre, float radius, Objects& out) const;

    const CPBoundingBox& GetBounds() const { return m_bounds; }
    const TPtr<CPLevelBranch>& GetFirst() const { return m_first; }
    const TPtr<CPLevelBranch>& GetSecond() const { return m_second; }
    const Objects& GetObjects() const { return m_objects; }
    const Objects& GetOtherObjects() const { return m_otherObjects; }
    const Objects& GetMeshObjects() const { return m_meshObjects; }
    bool IsActive() const { return m_active; }
    bool IsLeaf() const { return !m_first; }

private:
    void QuerySphere(const PVector3& centre, float radius, bool exceptLand, Objects& out) const;
    void ActivateLeaf();
    void DeactivateLeaf();
    void ClearActive();

    CPBoundingBox m_bounds;
    TPtr<CPLevelBranch> m_first;
    TPtr<CPLevelBranch> m_second;
    Objects m_objects;
    Objects m_otherObjects;
    Objects m_meshObjects;
    bool m_active = false;
};

// The box the level tree keeps of an object: its visual and part bounds together, or a point at
// its world position when it has neither.
CPBoundingBox LevelTreeBounds(const CPGameObject& object);
