// Copies of scene objects: what a copy takes from its source, what it leaves, and that copy and
// source share nothing that either can change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AI/AI_Entity.h"
#include "core/PMMObject.h"
#include "Render/PGameObject.h"
#include "physics/PPhysicData.h"
#include "script/PLuaScript.h"

namespace {

class CopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_script = new CPLuaScript;
        m_source = Make("rocket");
        m_source->SetPosition({1.0f, 2.0f, 3.0f});
        m_source->SetRotation(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, 0.5f));
        m_source->SetParentMatrix(MatrixTranslation(0.0f, 0.0f, 7.0f));
        m_source->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 2.0f, 3.0f, 0.0f});
        m_source->SetObb(CPObb({0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 2.0f, 3.0f, 0.0f}));
        m_source->SetDamageClass(CPGameObject::kDestructible);
        m_source->SetHealth(40.0f);
        m_source->SetReward(12.0f);
        m_source->SetFlameIndex(2);
        m_source->SetShadow(false);
        m_source->SetCollision(false);
        m_source->SetParam("spin");
        m_source->SetCheckPoint(4);
        m_source->SetScript(m_script);

        TPtr<CPGameObject> fin = Make("fin");
        fin->SetPosition({0.0f, 0.0f, -1.0f});
        fin->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{0.5f, 0.5f, 0.5f, 0.0f});
        fin->AddChild(Make("tip"));
        m_source->AddChild(fin);
        m_source->AddChild(Make("fin"));  // same name: both copied, the later one filed
        m_source->UpdateTransform();
    }

    void TearDown() override {
        m_objects.clear();
        m_source = nullptr;
        m_script = nullptr;
        CollectGarbage();
    }

    TPtr<CPGameObject> Make(const std::string& name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    TPtr<CPGameObject> Copy() {
        TPtr<CPGameObject> copy = Make("clone");
        copy->CopyFrom(m_source);
        return copy;
    }

    TPtr<CPLuaScript> m_script;
    TPtr<CPGameObject> m_source;
    std::vector<TPtr<CPGameObject>> m_objects;
};

TEST_F(CopyTest, ACopyTakesTheSourcesShapeAndRules) {
    TPtr<CPGameObject> copy = Copy();
    EXPECT_EQ(copy->GetName(), "rocket");
    EXPECT_EQ(copy->GetPosition(), m_source->GetPosition());
    EXPECT_EQ(copy->GetRotation(), m_source->GetRotation());
    EXPECT_EQ(copy->GetParentMatrix(), m_source->GetParentMatrix());
    EXPECT_EQ(copy->GetWorld(), m_source->GetWorld());
    EXPECT_EQ(copy->GetPartBounds().min, m_source->GetPartBounds().min);
    EXPECT_EQ(copy->GetPartBounds().max, m_source->GetPartBounds().max);
    EXPECT_EQ(copy->GetVisualBounds().min, m_source->GetVisualBounds().min);
    ASSERT_EQ(copy->GetParts().size(), 1u);
    EXPECT_EQ(copy->GetParts()[0].GetHalfSize().z, 3.0f);
    EXPECT_EQ(copy->GetObb().GetHalfSize().y, 2.0f);
    EXPECT_EQ(copy->GetDamageClass(), CPGameObject::kDestructible);
    EXPECT_EQ(copy->GetHealth(), 40.0f);
    EXPECT_EQ(copy->GetReward(), 12.0f);
    EXPECT_EQ(copy->GetFlameIndex(), 2);
    EXPECT_FALSE(copy->CastsShadow());
    EXPECT_FALSE(copy->IsStatic());
    EXPECT_EQ(copy->GetScript().Get(), m_script.Get());
    EXPECT_EQ(copy->GetKind(), CPGameObject::kNothing);
}

TEST_F(CopyTest, ACopyLeavesWhatBelongsToTheSourcesPlaceInTheWorld) {
    AI_Entity entity;
    m_source->SetEntity(&entity);
    m_source->Activate(200);
    TPtr<CPGameObject> copy = Copy();
    EXPECT_FALSE(copy->IsActive());
    EXPECT_TRUE(copy->HasCollision());
    EXPECT_EQ(copy->GetParam(), "");
    EXPECT_EQ(copy->GetCheckPoint(), CPGameObject::kNoCheckPoint);
    EXPECT_EQ(copy->GetEntity(), nullptr);
    EXPECT_FALSE(copy->GetFlame());
    EXPECT_FALSE(copy->GetCar());
    m_source->SetEntity(nullptr);
    m_source->Deactivate();
    m_source->Release();  // the activation's reference
}

TEST_F(CopyTest, ChildrenAreCopiedIntoANewTree) {
    TPtr<CPGameObject> copy = Copy();
    ASSERT_EQ(copy->GetChildren().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const TPtr<CPGameObject>& child = copy->GetChildren()[i];
        EXPECT_NE(child.Get(), m_source->GetChildren()[i].Get());
        EXPECT_EQ(child->GetName(), "fin");
        EXPECT_EQ(child->GetParent().Get(), copy.Get());
        EXPECT_EQ(child->GetWorld(), m_source->GetChildren()[i]->GetWorld());
    }
    EXPECT_EQ(copy->GetChild("fin").Get(), copy->GetChildren()[1].Get());
    const TPtr<CPGameObject> tip = copy->FindChild("tip");
    ASSERT_TRUE(tip);
    EXPECT_NE(tip.Get(), m_source->FindChild("tip").Get());
    EXPECT_EQ(tip->GetParent().Get(), copy->GetChildren()[0].Get());
}

TEST_F(CopyTest, ChangingTheCopyLeavesTheSourceAsItWas) {
    const PMatrix sourceFinWorld = m_source->GetChildren()[0]->GetWorld();
    const CPBoundingBox sourceBounds = m_source->GetPartBounds();
    TPtr<CPGameObject> copy = Copy();

    copy->SetPosition({100.0f, 0.0f, 0.0f});
    copy->GetChildren()[0]->SetPosition({0.0f, 50.0f, 0.0f});
    copy->GetChildren()[0]->SetEnabled(false);
    copy->GetParts()[0] = CPObb({0.0f, 0.0f, 0.0f, 1.0f}, {9.0f, 9.0f, 9.0f, 0.0f});
    copy->AddChild(Make("extra"));
    copy->SetHealth(1.0f);
    copy->UpdateTransform();

    EXPECT_EQ(m_source->GetChildren().size(), 2u);
    EXPECT_FALSE(m_source->FindChild("extra"));
    EXPECT_EQ(m_source->GetChildren()[0]->GetWorld(), sourceFinWorld);
    EXPECT_TRUE(m_source->GetChildren()[0]->IsVisible());
    EXPECT_EQ(m_source->GetParts()[0].GetHalfSize().x, 1.0f);
    EXPECT_EQ(m_source->GetPartBounds().min, sourceBounds.min);
    EXPECT_EQ(m_source->GetHealth(), 40.0f);

    // And the other way round.
    m_source->GetChildren()[1]->SetPosition({0.0f, 0.0f, 30.0f});
    m_source->UpdateTransform();
    EXPECT_NE(copy->GetChildren()[1]->GetWorld(), m_source->GetChildren()[1]->GetWorld());
}

TEST_F(CopyTest, ACopyReplacesWhatTheObjectHeldBefore) {
    TPtr<CPGameObject> target = Make("old");
    TPtr<CPGameObject> oldChild = Make("old child");
    target->AddChild(oldChild);
    target->GetParts().emplace_back();
    target->CopyFrom(m_source);
    EXPECT_EQ(target->GetChildren().size(), 2u);
    EXPECT_FALSE(target->GetChild("old child"));
    EXPECT_EQ(oldChild->GetParent().Get(), nullptr);
    EXPECT_EQ(target->GetParts().size(), 1u);
}

TEST_F(CopyTest, CopyingFromItselfOrAnAncestorIsRefused) {
    TPtr<CPGameObject> fin = m_source->GetChildren()[0];
    const size_t children = m_source->GetChildren().size();
    m_source->CopyFrom(m_source);
    fin->CopyFrom(m_source);
    fin->CopyFrom(nullptr);
    EXPECT_EQ(m_source->GetChildren().size(), children);
    EXPECT_EQ(fin->GetName(), "fin");
    EXPECT_EQ(fin->GetChildren().size(), 1u);
}

TEST_F(CopyTest, ACopyOfACopyIsStillTheSame) {
    TPtr<CPGameObject> first = Copy();
    TPtr<CPGameObject> second = Make("second");
    second->CopyFrom(first);
    EXPECT_EQ(second->GetWorld(), m_source->GetWorld());
    EXPECT_EQ(second->FindChild("tip")->GetWorld(), m_source->FindChild("tip")->GetWorld());
}

// A copied car or crate falls and collides like its model: the copy gets a binding of its own
// with the model's mass, main box and shapes, and no body until the world gives it one.
TEST_F(CopyTest, ACopyHasItsOwnPhysicsBindingWithoutABody) {
    TPtr<CPPhysicData> data(new CPPhysicData(m_source.Get()));
    data->mass = 12.0f;
    data->mainSizes = {1.1f, 1.8f, 3.6f};
    data->animatedCollisionClass = 3;
    CPPhysicShape shape;
    shape.type = CPPhysicShape::Cylinder;
    shape.s1 = 0.3f;
    shape.s3 = 0.7f;
    shape.geometry = reinterpret_cast<PhysicsGeometry*>(&shape);  // the source body's, in the world
    data->shapes = {shape, CPPhysicShape{}};
    m_source->SetPhysicData(data);

    TPtr<CPGameObject> copy = Copy();
    const TPtr<CPPhysicData>& copied = copy->GetPhysicData();
    ASSERT_TRUE(copied);
    EXPECT_NE(copied, data);
    EXPECT_EQ(copied->GetOwner(), copy.Get());
    EXPECT_EQ(copied->mass, 12.0f);
    EXPECT_EQ(copied->mainSizes, data->mainSizes);
    EXPECT_EQ(copied->animatedCollisionClass, 3);
    ASSERT_EQ(copied->shapes.size(), 2u);
    EXPECT_EQ(copied->shapes[0].type, CPPhysicShape::Cylinder);
    EXPECT_EQ(copied->shapes[0].s3, 0.7f);
    EXPECT_EQ(copied->shapes[0].geometry, nullptr);
    EXPECT_FALSE(copied->GetBody());
    EXPECT_EQ(data->shapes[0].geometry, shape.geometry) << "the source keeps its own";
    EXPECT_FALSE(copy->GetChildren()[0]->GetPhysicData()) << "a child without a binding gets none";
}

}  // namespace
