// The physics world task: fixed steps, bodies of scene objects, motion copied back, parking.
#include <set>

#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "game/PLevel.h"
#include "world_fixture.h"

namespace {

// A "land" object lifted by 2 with a square of side 20 as its mesh, and one stray index.
TPtr<CPGameObject> LandObject(TPtr<CPRenderObject>& mesh) {
    TPtr<CPGameObject> land(new CPGameObject("land"));
    land->SetPosition({0.0f, 0.0f, 2.0f});
    land->UpdateTransform();
    mesh = new CPRenderObject(land.Get());
    std::vector<SPVertex> vertices(4);
    const float corners[4][2] = {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}};
    for (int i = 0; i < 4; ++i) vertices[i].position = {corners[i][0], corners[i][1], 0.0f};
    mesh->SetGeometry(std::move(vertices), {0, 1, 2, 0, 2, 3, 1});
    land->SetAttachment(CPGameObject::kMesh, mesh);
    return land;
}

TEST(PhysicsTerrainTest, TheLandMeshBecomesTheTerrainInWorldSpace) {
    TPtr<CPPhysics> physics(new CPPhysics);
    TPtr<CPRenderObject> mesh;
    const TPtr<CPGameObject> land = LandObject(mesh);
    physics->AddTerrainObject(mesh);
    physics->Init();
    ASSERT_TRUE(physics->GetSimulator());
    const PhysicsTerrainTree& tree = physics->GetSimulator()->Region().TerrainTree();
    EXPECT_EQ(tree.TriangleCount(), 2) << "the stray index makes no triangle";
    EXPECT_FLOAT_EQ(tree.Vertices()[2].z, 2.0f) << "placed by the land object's world matrix";
    EXPECT_FLOAT_EQ(tree.Vertices()[2].x, 10.0f);
    EXPECT_EQ(mesh->GetRefCount(), 2) << "the terrain list lets go of the mesh";
    physics = nullptr;
    CollectGarbage();
}

TEST(PhysicsTerrainTest, ALandObjectFreedBeforeInitStillPlacesItsMesh) {
    TPtr<CPPhysics> physics(new CPPhysics);
    TPtr<CPRenderObject> mesh;
    TPtr<CPGameObject> land = LandObject(mesh);
    physics->AddTerrainObject(mesh);
    mesh = nullptr;
    land = nullptr;
    CollectGarbage();
    physics->Init();
    const PhysicsTerrainTree& tree = physics->GetSimulator()->Region().TerrainTree();
    ASSERT_EQ(tree.TriangleCount(), 2);
    EXPECT_FLOAT_EQ(tree.Vertices()[2].z, 2.0f);
    physics = nullptr;
    CollectGarbage();
}

TEST(PhysicsTerrainTest, ASecondInitBuildsTheMeshesAddedForIt) {
    TPtr<CPPhysics> physics(new CPPhysics);
    physics->Init();
    TPtr<CPRenderObject> mesh;
    const TPtr<CPGameObject> land = LandObject(mesh);
    physics->AddTerrainObject(mesh);
    physics->Init();
    EXPECT_EQ(physics->GetSimulator()->Region().TerrainTree().TriangleCount(), 2);
    physics->Init();
    EXPECT_EQ(physics->GetSimulator()->Region().TerrainTree().TriangleCount(), 0) << "each mesh is built once";
    physics = nullptr;
    CollectGarbage();
}

TEST_F(PhysicsWorldTest, ATrackedBoxFallsAndItsObjectFollows) {
    const TPtr<CPGameObject> box = TrackedBox({3.0f, 4.0f, 10.0f});
    PhysicsRigidBody* body = box->GetPhysicData()->rigidBody;
    ASSERT_TRUE(body);
    EXPECT_EQ(body->GetUserData(), box.Get());
    EXPECT_EQ(body->GetCollisionClass(), 1);
    EXPECT_FLOAT_EQ(body->GetPos().z, 10.0f) << "the body starts where the object is";

    for (int frame = 0; frame < 10; ++frame) Frame(0.04f);  // 0.06 s each: 9 steps
    const int32_t steps = Simulator().GetStepCounter();
    EXPECT_NEAR(steps, 90, 1);
    // Under 25.8 units/s², slowed by the damping of 1 % a step, never faster than a free fall.
    const float seconds = steps * CPPhysics::kStepLength;
    const float z = box->GetPosition().z;
    EXPECT_LT(z, 10.0f - 3.0f);
    EXPECT_GT(z, 10.0f - 0.5f * 25.8f * seconds * seconds);
    EXPECT_EQ(z, body->GetPos().z) << "the object takes the body's position";
    EXPECT_FLOAT_EQ(box->GetPosition().x, 3.0f);
    EXPECT_FLOAT_EQ(box->GetWorld().m[3][2], z) << "and its transforms are refreshed";
    EXPECT_FLOAT_EQ(box->GetRotation().w, 1.0f);
}

// A body at rest leaves its object as it is (no new transform, so its mesh's world vertices are
// not made again every frame), and still takes the object back when the game moves it.
TEST_F(PhysicsWorldTest, AnObjectWhoseBodyRestsIsLeftAsItIs) {
    TPtr<CPRenderObject> mesh;
    const TPtr<CPGameObject> land = LandObject(mesh);
    Physics().Clear();
    Physics().AddTerrainObject(mesh);
    Physics().Init();
    const TPtr<CPGameObject> box = TrackedBox({3.0f, -4.0f, 2.6f});
    PhysicsRigidBody* body = box->GetPhysicData()->rigidBody;
    ASSERT_TRUE(body);
    for (int frame = 0; frame < 100 && !body->IsAtRest(); ++frame) Frame(0.04f);
    ASSERT_TRUE(body->IsAtRest());
    Frame(0.04f);
    box->SetMoved(false);  // as its mesh does once it has transformed its vertices
    const PMatrix world = box->GetWorld();
    Frame(0.04f);
    EXPECT_FALSE(box->IsMoved());
    EXPECT_EQ(box->GetWorld(), world);

    box->SetPosition({4.0f, 0.0f, 6.0f});
    Frame(0.04f);
    EXPECT_EQ(box->GetPosition().x, body->GetPos().x) << "the body drives the object";
    EXPECT_EQ(box->GetWorld(), world);
    EXPECT_TRUE(box->IsMoved());
}

TEST_F(PhysicsWorldTest, FramesAreCutIntoFixedStepsAndALongFrameIsCapped) {
    Frame(0.01f);  // 0.015 s
    EXPECT_EQ(Simulator().GetStepCounter(), 2);
    EXPECT_NEAR(Physics().GetStepAccumulator(), 1.0f / 600.0f, 1e-6f);
    Frame(0.0f);
    EXPECT_EQ(Simulator().GetStepCounter(), 2);

    Frame(5.0f);  // after a pause: at most 0.1 s is simulated, the rest dropped
    EXPECT_EQ(Simulator().GetStepCounter(), 2 + CPPhysics::kMaxStepsPerUpdate);
    EXPECT_LT(Physics().GetStepAccumulator(), CPPhysics::kStepLength);
    Frame(0.01f);
    EXPECT_LE(Simulator().GetStepCounter(), 2 + CPPhysics::kMaxStepsPerUpdate + 3);
}

TEST_F(PhysicsWorldTest, WhileTheTimerIsStoppedNothingRunsOrIsMade) {
    CPGlobalTimer timer;
    timer.Stop();
    const TPtr<CPGameObject> box = ShapeObject({0.0f, 0.0f, 5.0f}, 1.0f);
    Physics().AddObject(box, true);
    Physics().TrackObject(box);
    Frame(0.1f);
    EXPECT_FALSE(box->GetPhysicData()->GetBody());
    EXPECT_FALSE(Physics().IsTracked(box.Get()));
    EXPECT_EQ(Simulator().GetStepCounter(), 0);
    EXPECT_EQ(Simulator().RigidPool().UsedCount(), 0);
}

TEST_F(PhysicsWorldTest, AnEmptyPoolLeavesTheObjectWithoutABody) {
    while (Simulator().CreateRigidBody()) {
    }
    const int32_t used = Simulator().RigidPool().UsedCount();
    const TPtr<CPGameObject> box = ShapeObject({0.0f, 0.0f, 5.0f}, 1.0f);
    box->GetPhysicData()->AddToWorld();
    Physics().TrackObject(box);
    Frame(0.02f);
    EXPECT_FALSE(box->GetPhysicData()->GetBody());
    EXPECT_EQ(Simulator().GeometryPool().UsedCount(), 0) << "no geometry taken for a body never made";
    EXPECT_FLOAT_EQ(box->GetPosition().z, 5.0f) << "a tracked object without a body stays where it is";
    EXPECT_EQ(Simulator().RigidPool().UsedCount(), used);
}

TEST_F(PhysicsWorldTest, DeactivatingStopsTrackingAndSendsTheBodyToSleep) {
    const TPtr<CPGameObject> bodiless = ShapeObject({0.0f, 0.0f, 5.0f}, 1.0f);
    Physics().TrackObject(bodiless);
    Physics().DeactivateObject(bodiless);
    EXPECT_FALSE(Physics().IsTracked(bodiless.Get()));
    EXPECT_FALSE(bodiless->GetPhysicData()->active);
    Physics().DeactivateObject(TPtr<CPGameObject>(new CPGameObject("no physics")));

    const TPtr<CPGameObject> box = TrackedBox({0.0f, 0.0f, 5.0f});
    EXPECT_TRUE(box->GetPhysicData()->active);
    Physics().DeactivateObject(box);
    EXPECT_FALSE(box->GetPhysicData()->rigidBody->IsActive());
    Frame(0.1f);
    EXPECT_FLOAT_EQ(box->GetPosition().z, 5.0f);
}

TEST_F(PhysicsWorldTest, ARemovedBodyIsParkedThenFreedAndTheBindingCanComeBack) {
    const TPtr<CPGameObject> box = TrackedBox({0.0f, 0.0f, 5.0f});
    CPPhysicData& data = *box->GetPhysicData();
    Physics().DeactivateObject(box);
    PhysicsRigidBody* body = data.rigidBody;
    data.RemoveFromWorld();
    EXPECT_FALSE(data.GetBody());
    EXPECT_FLOAT_EQ(body->GetPos().z, CPPhysics::kInitialParkHeight);
    EXPECT_FALSE(body->IsActive()) << "a parked rigid body is always deactivated";
    for (int update = 0; update < 4; ++update) Frame(0.01f);
    EXPECT_EQ(Physics().GetPendingRemovalCount(), 1u);
    EXPECT_TRUE(Simulator().RigidPool().IsInUse(body));
    Frame(0.01f);
    EXPECT_EQ(Physics().GetPendingRemovalCount(), 0u) << "freed in the fifth update";
    EXPECT_EQ(Simulator().RigidPool().UsedCount(), 0);

    data.AddToWorld();
    ASSERT_TRUE(data.rigidBody);
    EXPECT_FLOAT_EQ(data.rigidBody->GetPos().z, 5.0f) << "back where the object is";
    EXPECT_TRUE(data.rigidBody->IsActive());
}

TEST_F(PhysicsWorldTest, AnAnimatedBodyIsParkedAwakeAndParkHeightsCycle) {
    const TPtr<CPGameObject> wall = ShapeObject({1.0f, 2.0f, 3.0f}, -1.0f);
    CPPhysicData& data = *wall->GetPhysicData();
    data.AddToWorld();
    PhysicsAnimatedBody* animated = data.animatedBody;
    ASSERT_TRUE(animated);
    data.RemoveFromWorld();
    EXPECT_TRUE(animated->IsActive());
    EXPECT_FLOAT_EQ(animated->GetPos().z, -1000.0f);

    std::set<float> heights{animated->GetPos().z};
    const TPtr<CPGameObject> box = ShapeObject({0.0f, 0.0f, 0.0f}, 1.0f);
    for (int removal = 1; removal < 199; ++removal) {
        box->GetPhysicData()->AddToWorld();
        PhysicsRigidBody* body = box->GetPhysicData()->rigidBody;
        box->GetPhysicData()->RemoveFromWorld();
        heights.insert(body->GetPos().z);
    }
    EXPECT_EQ(heights.size(), 199u);
    EXPECT_FLOAT_EQ(*heights.begin(), -100000.0f);
    EXPECT_FLOAT_EQ(Physics().GetParkHeight(), -1000.0f) << "the 200th goes back to the top";
    for (int update = 0; update < 5; ++update) Frame(0.01f);
    EXPECT_EQ(Simulator().RigidPool().UsedCount() + Simulator().AnimatedPool().UsedCount(), 0);
}

TEST_F(PhysicsWorldTest, ADestroyedBindingTakesItsBodyOutOfTheWorld) {
    TPtr<CPGameObject> box = TrackedBox({0.0f, 0.0f, 5.0f});
    box->GetPhysicData()->controllerRequest = true;
    box->GetPhysicData()->SetupBody();
    PhysicsRigidBody* body = box->GetPhysicData()->rigidBody;
    CPGameObject* freed = box.Get();
    box = nullptr;
    CollectGarbage();
    EXPECT_FALSE(Physics().IsTracked(freed));
    EXPECT_EQ(body->GetUserData(), nullptr) << "no body points at the freed object";
    EXPECT_EQ(body->controllers.head->callback, nullptr);
    for (int update = 0; update < 5; ++update) Frame(0.01f);
    EXPECT_EQ(Simulator().RigidPool().UsedCount(), 0);
}

TEST_F(PhysicsWorldTest, ABindingThatOutlivesItsObjectLeavesNoBodyPointingAtIt) {
    CPLevel level;
    level.playerCar = PlayerCarBox({0.0f, 0.0f, 5.0f});
    TPtr<CPGameObject> box = TrackedBox({0.5f, 0.0f, 5.0f});
    const TPtr<CPPhysicData> kept = box->GetPhysicData();
    PhysicsRigidBody* body = kept->rigidBody;
    CPGameObject* freed = box.Get();
    box = nullptr;
    CollectGarbage();
    EXPECT_EQ(kept->GetOwner(), nullptr);
    EXPECT_FALSE(Physics().IsTracked(freed));
    EXPECT_EQ(body->GetUserData(), nullptr) << "no body points at the freed object";
    EXPECT_FALSE(kept->GetBody()) << "an object's body leaves the world with it";
    for (int update = 0; update < 5; ++update) Frame(0.01f);  // syncs and collisions touch no freed object
    EXPECT_EQ(Simulator().RigidPool().UsedCount(), 1);
    kept->AddToWorld();
    kept->SetupBody();
    EXPECT_FALSE(kept->GetBody()) << "a binding without an object stays out of the world";
    level.playerCar = nullptr;
}

TEST_F(PhysicsWorldTest, ClearingTheWorldTakesTheBodiesFromTheirBindings) {
    TPtr<CPGameObject> box = TrackedBox({0.0f, 0.0f, 5.0f});
    Physics().Stop();
    EXPECT_FALSE(Physics().GetSimulator());
    EXPECT_FALSE(box->GetPhysicData()->GetBody());
    EXPECT_FALSE(Physics().IsTracked(box.Get()));
    box = nullptr;
    CollectGarbage();  // nothing to remove any more
    Physics().Stop();
}

}  // namespace
