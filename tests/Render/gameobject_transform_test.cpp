// Scene object transforms: world matrices through a tree, boxes and bounds that follow their
// owners, the dirty and moved flags, and shadows in the visual bounds.
#include <gtest/gtest.h>

#include <cmath>

#include "core/PMMObject.h"
#include "game/PLevel.h"
#include "math/PMath.h"
#include "Render/PGameObject.h"

namespace {

constexpr float kQuarterTurn = 1.5707963f;
constexpr float kTolerance = 1e-5f;

void ExpectMatrixNear(const PMatrix& actual, const PMatrix& expected) {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual.m[row][column], expected.m[row][column], kTolerance) << "at [" << row << "][" << column << "]";
        }
    }
}

void ExpectVectorNear(const PVector3& actual, const PVector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}

PQuaternion QuarterTurn(float x, float y, float z) { return QuaternionRotationAxis({x, y, z}, kQuarterTurn); }

// A unit part box centred on the owner's origin.
CPObb UnitBox() { return CPObb({0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 1.0f, 0.0f}); }

class TransformTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_objects.clear();
        CollectGarbage();
    }

    TPtr<CPGameObject> Make(const char* name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    std::vector<TPtr<CPGameObject>> m_objects;
};

// Root: a quarter turn about z at (1, 2, 3), in a parent frame that scales by (2, 1, 0.5) and
// moves by (10, 0, 0). Child: a quarter turn about x at (1, 0, 0). Grandchild: a quarter turn
// about y at (0, 1, 0). The expected rows are the images of the local axes and origin, worked
// out by hand (x→y about z, y→z about x, z→x about y).
TEST_F(TransformTest, WorldMatricesThroughThreeLevels) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Make("child");
    TPtr<CPGameObject> grandchild = Make("grandchild");
    root->AddChild(child);
    child->AddChild(grandchild);

    root->SetParentMatrix(MatrixScaling(2.0f, 1.0f, 0.5f) * MatrixTranslation(10.0f, 0.0f, 0.0f));
    root->SetPosition({1.0f, 2.0f, 3.0f});
    root->SetRotation(QuarterTurn(0, 0, 1));
    child->SetPosition({1.0f, 0.0f, 0.0f});
    child->SetRotation(QuarterTurn(1, 0, 0));
    grandchild->SetPosition({0.0f, 1.0f, 0.0f});
    grandchild->SetRotation(QuarterTurn(0, 1, 0));
    root->UpdateTransform();

    const struct {
        const char* name;
        CPGameObject* object;
        PMatrix world;
    } cases[] = {
        {"root", root.Get(), {{{0, 1, 0, 0}, {-2, 0, 0, 0}, {0, 0, 0.5f, 0}, {12, 2, 1.5f, 1}}}},
        {"child", child.Get(), {{{0, 1, 0, 0}, {0, 0, 0.5f, 0}, {2, 0, 0, 0}, {12, 3, 1.5f, 1}}}},
        {"grandchild", grandchild.Get(), {{{-2, 0, 0, 0}, {0, 0, 0.5f, 0}, {0, 1, 0, 0}, {12, 3, 2, 1}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectMatrixNear(c.object->GetWorld(), c.world);
        ExpectMatrixNear(c.object->GetWorld(), c.object->GetLocal() * c.object->GetParentMatrix());
    }
    ExpectMatrixNear(grandchild->GetParentMatrix(), child->GetWorld());
}

TEST_F(TransformTest, MovingTheParentMovesTheChildrensBoxes) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Make("child");
    root->AddChild(child);
    child->SetPosition({5.0f, 0.0f, 0.0f});
    child->GetParts().push_back(UnitBox());
    child->SetObb(UnitBox());
    root->UpdateTransform();
    ExpectVectorNear(child->GetPartBounds().centre, {5, 0, 0});
    ExpectVectorNear(root->GetPartBounds().centre, {5, 0, 0});

    // A quarter turn about z carries the child from +x to +y; then the root moves up by 10.
    root->SetRotation(QuarterTurn(0, 0, 1));
    root->SetPosition({0.0f, 0.0f, 10.0f});
    root->UpdateTransform();

    const CPObb& part = child->GetParts()[0];
    ExpectVectorNear(part.GetMin(), {-1, 4, 9});
    ExpectVectorNear(part.GetMax(), {1, 6, 11});
    ExpectVectorNear(child->GetObb().GetMin(), {-1, 4, 9});
    ExpectVectorNear(child->GetPartBounds().centre, {0, 5, 10});
    ExpectVectorNear(root->GetPartBounds().min, {-1, 4, 9});
    ExpectVectorNear(root->GetPartBounds().max, {1, 6, 11});
    // The visual bounds hold the child's box and the root's own (a point at the root's origin).
    ExpectVectorNear(root->GetVisualBounds().max, {1, 6, 11});
    EXPECT_NEAR(root->GetVisualBounds().min.y, -CPObb::kMinHalfSize, kTolerance);
}

// A shown-only tree (a shot, a flash): its transforms follow, its boxes stay where they were,
// and a copy keeps going without them.
TEST_F(TransformTest, ATreeThatKeepsNoBoundsMovesOnlyItsTransforms) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Make("child");
    root->AddChild(child);
    child->SetPosition({5.0f, 0.0f, 0.0f});
    child->GetParts().push_back(UnitBox());
    child->SetObb(UnitBox());
    root->UpdateTransform();
    root->SetKeepsBounds(false);
    EXPECT_FALSE(child->KeepsBounds());

    root->SetPosition({0.0f, 0.0f, 10.0f});
    root->UpdateTransform();
    EXPECT_FLOAT_EQ(child->GetWorld().m[3][2], 10.0f);
    ExpectVectorNear(child->GetParts()[0].GetMin(), {4, -1, -1});
    ExpectVectorNear(child->GetPartBounds().centre, {5, 0, 0});
    ExpectVectorNear(root->GetPartBounds().centre, {5, 0, 0});

    TPtr<CPGameObject> copy = Make("copy");
    copy->CopyFrom(root);
    ASSERT_EQ(copy->GetChildren().size(), 1u);
    EXPECT_FALSE(copy->KeepsBounds());
    EXPECT_FALSE(copy->GetChildren()[0]->KeepsBounds());
    EXPECT_FLOAT_EQ(copy->GetChildren()[0]->GetWorld().m[3][2], 10.0f);
}

TEST_F(TransformTest, PartBoxesFollowTheirLocalMatrices) {
    TPtr<CPGameObject> object = Make("object");
    CPObb box({0.0f, 0.0f, 0.0f, 1.0f}, {2.0f, 1.0f, 1.0f, 0.0f});
    box.SetLocal(MatrixRotationZ(kQuarterTurn) * MatrixTranslation(0.0f, 0.0f, 3.0f));
    object->GetParts().push_back(box);
    object->SetPosition({1.0f, 0.0f, 0.0f});
    object->UpdateTransform();

    // The long side (x) now lies along y; the box sits 3 above the object.
    ExpectVectorNear(object->GetPartBounds().min, {0, -2, 2});
    ExpectVectorNear(object->GetPartBounds().max, {2, 2, 4});
}

TEST_F(TransformTest, SettersMarkDirtyAndOnlyTheUpdateRecomputes) {
    TPtr<CPGameObject> object = Make("object");
    object->UpdateTransform();
    EXPECT_TRUE(object->IsMoved());

    object->SetPosition({1.0f, 2.0f, 3.0f});
    EXPECT_FALSE(object->IsMoved());
    ExpectVectorNear({object->GetWorld().m[3][0], object->GetWorld().m[3][1], object->GetWorld().m[3][2]}, {0, 0, 0});

    object->UpdateTransform();
    EXPECT_TRUE(object->IsMoved());
    ExpectVectorNear({object->GetWorld().m[3][0], object->GetWorld().m[3][1], object->GetWorld().m[3][2]}, {1, 2, 3});

    // Nothing changed since: a second update leaves the flag the mesh cleared alone.
    object->SetMoved(false);
    object->UpdateTransform();
    EXPECT_FALSE(object->IsMoved());
}

TEST_F(TransformTest, AChildUpdatedAloneUsesTheParentWorldOfTheLastParentUpdate) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Make("child");
    root->AddChild(child);
    root->SetPosition({1.0f, 0.0f, 0.0f});
    root->UpdateTransform();

    root->SetPosition({50.0f, 0.0f, 0.0f});  // not updated
    child->SetPosition({0.0f, 2.0f, 0.0f});
    child->UpdateTransform();
    EXPECT_FLOAT_EQ(child->GetWorld().m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(child->GetWorld().m[3][1], 2.0f);
}

TEST_F(TransformTest, AnObjectWithoutPartsAddsNothingToItsParentsPartBounds) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> empty = Make("empty");
    root->GetParts().push_back(UnitBox());
    empty->SetPosition({100.0f, 100.0f, 100.0f});
    root->AddChild(empty);
    root->UpdateTransform();

    EXPECT_EQ(empty->GetPartBounds().min.x, CPBoundingBox::kEmptyExtent);
    EXPECT_EQ(empty->GetPartBounds().max.x, -CPBoundingBox::kEmptyExtent);
    ExpectVectorNear(root->GetPartBounds().min, {-1, -1, -1});
    ExpectVectorNear(root->GetPartBounds().max, {1, 1, 1});
}

TEST_F(TransformTest, VisualBoundsOfAShadowCasterIncludeItsShadow) {
    // Light straight down the x axis onto the plane x = 0: the shadow of a box at x 5..7 lies at x 0.
    const PMatrix saved = g_shadowProjection;
    g_shadowProjection = MatrixShadow({-1.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f, 0.0f});

    TPtr<CPGameObject> caster = Make("caster");
    TPtr<CPGameObject> plain = Make("plain");
    plain->SetShadow(false);
    for (const TPtr<CPGameObject>& object : {caster, plain}) {
        object->SetObb(UnitBox());
        object->SetPosition({6.0f, 0.0f, 0.0f});
        object->UpdateTransform();
    }
    g_shadowProjection = saved;

    EXPECT_NEAR(caster->GetVisualBounds().min.x, 0.0f, kTolerance);
    EXPECT_NEAR(caster->GetVisualBounds().max.x, 7.0f, kTolerance);
    EXPECT_NEAR(caster->GetVisualBounds().centre.x, 3.5f, kTolerance);
    EXPECT_NEAR(plain->GetVisualBounds().min.x, 5.0f, kTolerance);
}

TEST_F(TransformTest, BeforeAnyLevelAShadowAddsNothing) {
    TPtr<CPGameObject> caster = Make("caster");
    caster->SetObb(UnitBox());
    caster->SetPosition({6.0f, 0.0f, 3.0f});
    caster->UpdateTransform();
    ExpectVectorNear(caster->GetVisualBounds().min, {5, -1, 2});
    ExpectVectorNear(caster->GetVisualBounds().max, {7, 1, 4});
}

TEST_F(TransformTest, SinkTiltsSlightlyAndDrops) {
    TPtr<CPGameObject> object = Make("wreck");
    object->SetPosition({0.0f, 0.0f, 5.0f});
    object->UpdateTransform();
    for (int i = 0; i < 20; ++i) object->Sink();

    EXPECT_LE(object->GetPosition().z, 5.0f);
    EXPECT_GE(object->GetPosition().z, 5.0f - 20 * 0.25f);
    // Each step tilts by at most 0.025 rad about two axes.
    const PQuaternion& q = object->GetRotation();
    EXPECT_NEAR(QuaternionLengthSq(q), 1.0f, 1e-4f);
    EXPECT_GT(std::fabs(q.w), std::cos(20 * 0.04f / 2.0f));
    EXPECT_FLOAT_EQ(object->GetWorld().m[3][2], object->GetPosition().z);
}

}  // namespace
