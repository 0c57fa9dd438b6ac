// The per-frame work of scene objects allocates nothing: moving a tree and updating it, and ray
// queries through it.
#include <gtest/gtest.h>

#include <string>

#include "core/PMMObject.h"
#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "support/AllocationCounter.h"

namespace {

// A root with three children of two part boxes each, every one showing a mesh.
TPtr<CPGameObject> BuildTree() {
    TPtr<CPGameObject> root(new CPGameObject("root"));
    for (int i = 0; i < 4; ++i) {
        TPtr<CPGameObject> object = i == 0 ? root : TPtr<CPGameObject>(new CPGameObject("part" + std::to_string(i)));
        TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
        mesh->SetGeometry(std::vector<SPVertex>(3), {0, 1, 2});
        object->SetAttachment(CPGameObject::kMesh, mesh);
        object->SetPosition({static_cast<float>(i) * 3.0f, 0.0f, 0.0f});
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 1.0f, 1.0f}, PVector4{0.5f, 0.5f, 0.5f, 0.0f});
        if (i > 0) root->AddChild(object);
    }
    root->UpdateTransform();
    return root;
}

TEST(SceneObjectAllocations, MovingAndQueryingATreeAllocatesNothing) {
    TPtr<CPGameObject> root = BuildTree();
    SPRayQuery query;
    query.origin = {-5.0f, 0.0f, 0.0f};
    query.direction = {1.0f, 0.0f, 0.0f};

    testsupport::ResetCountedAllocations();
    testsupport::SetCountingAllocations(true);
    for (int frame = 0; frame < 10; ++frame) {
        root->SetPosition({0.0f, static_cast<float>(frame), 0.0f});
        root->SetRotation(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, 0.1f * static_cast<float>(frame)));
        root->UpdateTransform();
        root->UpdateTransform();
        query.distance = 100.0f;
        query.origin.y = static_cast<float>(frame);
        root->RayHit(query);
    }
    testsupport::SetCountingAllocations(false);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
    EXPECT_TRUE(query.hitObject);

    root = nullptr;
    CollectGarbage();
}

}  // namespace
