// The scene object tree: children by name, lookups, roots, subtree flags, a new object's state
// and what its destruction leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "Render/PGameObject.h"
#include "script/PLuaScript.h"

namespace {

class TreeTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_objects.clear();
        CollectGarbage();
    }

    TPtr<CPGameObject> Make(const std::string& name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    // parent gets a new child of that name; returns the child.
    TPtr<CPGameObject> Add(const TPtr<CPGameObject>& parent, const std::string& name) {
        TPtr<CPGameObject> child = Make(name);
        EXPECT_TRUE(parent->AddChild(child));
        return child;
    }

    std::vector<TPtr<CPGameObject>> m_objects;
};

TEST_F(TreeTest, ANewObjectIsAnInactiveVisibleGroupNodeThatTakesNoDamage) {
    TPtr<CPGameObject> object = Make("crate");
    EXPECT_EQ(object->GetKind(), CPGameObject::kNothing);
    EXPECT_FALSE(object->GetAttachment());
    EXPECT_NE(object->GetDamageClass(), CPGameObject::kDestructible);
    EXPECT_EQ(object->GetFlameIndex(), -1);
    EXPECT_EQ(object->GetCheckPoint(), CPGameObject::kNoCheckPoint);
    EXPECT_FALSE(object->IsActive());
    EXPECT_TRUE(object->IsVisible());
    EXPECT_TRUE(object->IsStatic());
    EXPECT_TRUE(object->HasCollision());
    EXPECT_TRUE(object->CastsShadow());
    EXPECT_TRUE(object->IsMoved());
    EXPECT_EQ(object->GetClassName(), "CPGameObject - crate");
    EXPECT_FALSE(object->GetParent());
    EXPECT_EQ(object->GetRoot().Get(), object.Get());
}

// A derived object (weapons and interface screens are) keeps the scene object's size.
class DerivedObject : public CPGameObject {
public:
    DerivedObject() : CPGameObject("derived") {}
    double extra[8] = {};
};

TEST_F(TreeTest, EverySceneObjectReportsTheSizeOfTheSceneObject) {
    TPtr<CPGameObject> derived(new DerivedObject);
    EXPECT_EQ(derived->GetSize(), static_cast<int32_t>(sizeof(CPGameObject)));
}

TEST_F(TreeTest, ChildrenOfTheSameNameAreAllKeptAndTheLaterOneIsFound) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> first = Add(root, "wheel");
    TPtr<CPGameObject> second = Add(root, "wheel");

    ASSERT_EQ(root->GetChildren().size(), 2u);
    EXPECT_EQ(root->GetChildren()[0].Get(), first.Get());
    EXPECT_EQ(root->GetChild("wheel").Get(), second.Get());
    EXPECT_EQ(root->FindChild("wheel").Get(), second.Get());

    root->SetPosition({1.0f, 0.0f, 0.0f});
    root->UpdateTransform();
    EXPECT_FLOAT_EQ(first->GetWorld().m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(second->GetWorld().m[3][0], 1.0f);
}

TEST_F(TreeTest, AMissedGetChildDoesNotHideADeeperMatch) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> body = Add(root, "body");
    TPtr<CPGameObject> glass = Add(body, "glass");

    EXPECT_FALSE(root->GetChild("glass"));
    EXPECT_FALSE(root->GetChild("glass"));
    EXPECT_EQ(root->FindChild("glass").Get(), glass.Get());
}

TEST_F(TreeTest, FindChildSearchesOwnChildrenThenEachSubtreeInOrder) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> a = Add(root, "a");
    TPtr<CPGameObject> b = Add(root, "b");
    TPtr<CPGameObject> deep = Add(Add(a, "a1"), "gun");
    TPtr<CPGameObject> shallow = Add(b, "gun");
    TPtr<CPGameObject> own = Add(b, "a1");

    EXPECT_EQ(root->FindChild("gun").Get(), deep.Get());   // a's subtree comes first, however deep
    EXPECT_EQ(b->FindChild("a1").Get(), own.Get());
    EXPECT_EQ(root->FindChild("root").Get(), nullptr);     // an object is not its own child
    EXPECT_EQ(root->FindChild("missing").Get(), nullptr);
    EXPECT_EQ(root->GetChild("gun").Get(), nullptr);       // GetChild looks at direct children only
    (void)shallow;
}

TEST_F(TreeTest, CollectObjectsListsTheTreeInPreOrder) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> a = Add(root, "a");
    Add(a, "a1");
    Add(a, "a2");
    Add(root, "b");

    std::vector<TPtr<CPGameObject>> objects;
    objects.emplace_back(Make("already there"));
    root->CollectObjects(objects);
    std::vector<std::string> names;
    for (const TPtr<CPGameObject>& object : objects) names.push_back(object->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"already there", "root", "a", "a1", "a2", "b"}));
}

TEST_F(TreeTest, AChildThatWouldCloseACycleIsRefused) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Add(root, "child");
    TPtr<CPGameObject> grandchild = Add(child, "grandchild");

    EXPECT_FALSE(root->AddChild(root));
    EXPECT_FALSE(grandchild->AddChild(root));
    EXPECT_FALSE(grandchild->AddChild(child));
    EXPECT_FALSE(root->AddChild(nullptr));
    EXPECT_TRUE(grandchild->GetChildren().empty());
    EXPECT_EQ(root->GetParent().Get(), nullptr);
}

TEST_F(TreeTest, TheRootIsTheNearestScriptedAncestorOrTheTop) {
    TPtr<CPGameObject> top = Make("top");
    TPtr<CPGameObject> scripted = Add(top, "scripted");
    TPtr<CPGameObject> leaf = Add(Add(scripted, "middle"), "leaf");
    EXPECT_EQ(leaf->GetRoot().Get(), top.Get());

    TPtr<CPLuaScript> script(new CPLuaScript);
    scripted->SetScript(script);
    EXPECT_EQ(leaf->GetRoot().Get(), scripted.Get());
    EXPECT_EQ(scripted->GetRoot().Get(), scripted.Get());
    EXPECT_EQ(top->GetRoot().Get(), top.Get());
    EXPECT_EQ(scripted->GetScript().Get(), script.Get());
    EXPECT_EQ(leaf->GetScript().Get(), nullptr);
}

TEST_F(TreeTest, SubtreeFlags) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Add(root, "child");
    TPtr<CPGameObject> grandchild = Add(child, "grandchild");

    child->SetEnabled(false);
    EXPECT_TRUE(root->IsVisible());
    EXPECT_FALSE(child->IsVisible());
    EXPECT_FALSE(grandchild->IsVisible());

    // A script makes the subtree dynamic: it may move any of it. The script is not counted.
    TPtr<CPLuaScript> script(new CPLuaScript);
    const int32_t references = script->GetRefCount();
    child->SetScript(script);
    EXPECT_EQ(script->GetRefCount(), references);
    EXPECT_TRUE(root->IsStatic());
    EXPECT_FALSE(child->IsStatic());
    EXPECT_FALSE(grandchild->IsStatic());
}

TEST_F(TreeTest, ChildrenOfADestroyedParentHaveNoParent) {
    TPtr<CPGameObject> child = Make("child");
    {
        TPtr<CPGameObject> parent(new CPGameObject("parent"));
        parent->AddChild(child);
        EXPECT_EQ(child->GetParent().Get(), parent.Get());
    }
    CollectGarbage();
    EXPECT_EQ(child->GetParent().Get(), nullptr);
    EXPECT_EQ(child->GetRoot().Get(), child.Get());
}

TEST_F(TreeTest, TheTreeHoldsItsChildrenUntilItGoes) {
    const int32_t before = IPMMObject::CountLiveObjects();
    {
        TPtr<CPGameObject> root(new CPGameObject("root"));
        root->AddChild(TPtr<CPGameObject>(new CPGameObject("a")));
        root->AddChild(TPtr<CPGameObject>(new CPGameObject("a")));
        CollectGarbage();
        EXPECT_EQ(IPMMObject::CountLiveObjects(), before + 3);
    }
    CollectGarbage();
    EXPECT_EQ(IPMMObject::CountLiveObjects(), before);
    EXPECT_EQ(IPMMObject::CountPendingObjects(), 0);
}

}  // namespace
