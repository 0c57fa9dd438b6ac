#include "game/PLevelBranch.h"

#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "physics/PPhysicData.h"

namespace {

// The task priority of the level's objects in the world.
constexpr int32_t kObjectPriority = 200;

bool IsEmpty(const CPBoundingBox& box) { return box.min.x > box.max.x; }

float Axis(const PVector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

bool IsPlainStaticMesh(const CPGameObject& object)
{
    return object.GetKind() == CPGameObject::kMesh && object.IsStatic();
}

}  // namespace

CPBoundingBox LevelTreeBounds(const CPGameObject& object)
{
    CPBoundingBox box;
    box.MergeNoRecompute(object.GetVisualBounds());
    box.MergeNoRecompute(object.GetPartBounds());
    if (IsEmpty(box)) {
        const PMatrix& world = object.GetWorld();
        box.min = box.max = {world.m[3][0], world.m[3][1], world.m[3][2]};
    }
    box.Recompute();
    return box;
}

void CPLevelBranch::SetObjects(const Objects& objects)
{
    m_objects = objects;
    m_bounds = CPBoundingBox();
    for (const TPtr<CPGameObject>& object : objects) m_bounds.MergeNoRecompute(LevelTreeBounds(*object));
    m_bounds.Recompute();
    Objects subtree;
    for (const TPtr<CPGameObject>& object : objects) object->CollectObjects(subtree);
    for (const TPtr<CPGameObject>& object : subtree) {
        if (object->GetKind() == CPGameObject::kNothing) continue;
        (IsPlainStaticMesh(*object) ? m_meshObjects : m_otherObjects).push_back(object);
    }
}

void CPLevelBranch::Build(int32_t depth)
{
    if (m_objects.size() < 2 || depth >= kMaxDepth) return;
    std::vector<PVector3> centres;
    centres.reserve(m_objects.size());
    CPBoundingBox centreBox;
    for (const TPtr<CPGameObject>& object : m_objects) {
        centres.push_back(LevelTreeBounds(*object).centre);
        CPBoundingBox point;
        point.min = point.max = centres.back();
        centreBox.MergeNoRecompute(point);
    }
    centreBox.Recompute();
    const PVector3 extent = centreBox.max - centreBox.min;
    const int axis = extent.x >= extent.y && extent.x >= extent.z ? 0 : extent.y >= extent.z ? 1 : 2;
    const float split = Axis(centreBox.centre, axis);
    Objects greater, other;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        (Axis(centres[i], axis) > split ? greater : other).push_back(m_objects[i]);
    }
    if (greater.empty() || other.empty()) return;
    m_first = new CPLevelBranch();
    m_second = new CPLevelBranch();
    m_first->SetObjects(greater);
    m_first->Build(depth + 1);
    m_second->SetObjects(other);
    m_second->Build(depth + 1);
}

void CPLevelBranch::UpdateActive(float x, float y, float radius)
{
    const bool inRange = std::fabs(y - m_bounds.centre.y) < radius + m_bounds.halfExtents.y &&
                         std::fabs(x - m_bounds.centre.x) < radius + m_bounds.halfExtents.x;
    if (inRange) {
        if (IsLeaf()) {
            if (!m_active) ActivateLeaf();
        } else {
            m_first->UpdateActive(x, y, radius);
            m_second->UpdateActive(x, y, radius);
        }
        m_active = true;
    } else if (m_active) {
        if (IsLeaf()) {
            DeactivateLeaf();
        } else {
            m_first->RemoveObjectsFromWorld();
            m_second->RemoveObjectsFromWorld();
            ClearActive();
        }
    }
}

void CPLevelBranch::ActivateLeaf()
{
    for (const TPtr<CPGameObject>& object : m_objects) {
        if (object->HasCollision() && object->GetPhysicData()) object->GetPhysicData()->AddToWorld();
        object->Activate(kObjectPriority);
    }
}

void CPLevelBranch::DeactivateLeaf()
{
    for (const TPtr<CPGameObject>& object : m_objects) {
        if (object->GetPhysicData()) object->GetPhysicData()->RemoveFromWorld();
        object->Deactivate();
    }
    m_active = false;
}

void CPLevelBranch::ClearActive()
{
    m_active = false;
    if (IsLeaf()) return;
    m_first->ClearActive();
    m_second->ClearActive();
}

void CPLevelBranch::RemoveObjectsFromWorld()
{
    for (const TPtr<CPGameObject>& object : m_otherObjects) object->Deactivate();
}

void CPLevelBranch::CollectVisible(const CPPerspectiveCamera& camera)
{
    if (!camera.TestBox(m_bounds.min, m_bounds.max)) return;
    if (IsLeaf()) {
        SubmitObjects();
        return;
    }
    m_first->CollectVisible(camera);
    m_second->CollectVisible(camera);
}

void CPLevelBranch::SubmitObjects()
{
    CPRender* render = GetRender();
    if (!render) return;
    const TPtr<CPRenderBlock> block = render->GetRenderBlock();
    if (!block) return;
    for (const TPtr<CPGameObject>& object : m_otherObjects) block->AddObject(object);
    for (const TPtr<CPGameObject>& object : m_meshObjects) {
        block->AddObject(object);
        if (object->CastsShadow() && object->GetShadowMaterial()) {
            block->AddObjectWithMaterial(object->GetShadowMaterial(), object);
        }
    }
}

bool CPLevelBranch::CrossRay(SPRayQuery& query)
{
    if (!m_bounds.IntersectsSegment(query.origin, query.direction, query.distance)) return false;
    if (!IsLeaf()) {
        const bool first = m_first->CrossRay(query);
        const bool second = m_second->CrossRay(query);
        return first || second;
    }
    bool hit = false;
    for (const TPtr<CPGameObject>& object : m_objects) {
        if (object->RayHit(query)) hit = true;
    }
    return hit;
}

void CPLevelBranch::QuerySphere(const PVector3& centre, float radius, Objects& out) const
{
    QuerySphere(centre, radius, false, out);
}

void CPLevelBranch::QuerySphereExceptLand(const PVector3& centre, float radius, Objects& out) const
{
    QuerySphere(centre, radius, true, out);
}

void CPLevelBranch::QuerySphere(const PVector3& centre, float radius, bool exceptLand, Objects& out) const
{
    if (!m_bounds.IntersectsSphere(centre, radius)) return;
    if (!IsLeaf()) {
        m_first->QuerySphere(centre, radius, exceptLand, out);
        m_second->QuerySphere(centre, radius, exceptLand, out);
        return;
    }
    for (const TPtr<CPGameObject>& object : m_objects) {
        if (exceptLand && object->GetName() == "land") continue;
        if (object->GetPartBounds().IntersectsSphere(centre, radius)) out.push_back(object);
    }
}
