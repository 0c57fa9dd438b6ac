// Entering and leaving the world: the tasks an activation adds, the "add_object" and
// "delete_object" events with the reference a script receives, and what the destructor does.
#include <string>
#include <vector>

#include "Render/PPartAnimation.h"
#include "gameobject_fixture.h"
#include "script/ScriptHandles.h"

namespace {

using Commands = std::vector<std::string>;

// Stands in for an emitter: a task that counts its stops.
class FakeEmitter : public IPTask {
public:
    void Update() override {}
    void Stop() override {
        IPTask::Stop();
        ++stops;
    }
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "FakeEmitter"; }
    int stops = 0;
};

class ActivationTest : public SceneObjectTest {};

std::string Event(const char* name, const IPMMObject* object) { return std::string(name) + "(" + HandleToString(object) + ")"; }

TEST_F(ActivationTest, ActivationStartsTheScriptAndHandsItAReference) {
    TPtr<CPGameObject> object = Make("barrel");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    const int32_t references = object->GetRefCount();

    object->Activate(200);
    EXPECT_TRUE(object->IsActive());
    EXPECT_TRUE(InKernel(script.Get()));
    EXPECT_EQ(script->GetPriority(), 200);
    EXPECT_EQ(object->GetRefCount(), references + 1);
    EXPECT_EQ(testsupport::ReceivedCommands(*script), Commands{Event("add_object", object.Get())});
    EXPECT_EQ(StringToObject(HandleToString(object.Get()).c_str()), object.Get());

    // A second activation, whatever its priority, changes nothing.
    object->Activate(7);
    EXPECT_EQ(script->GetPriority(), 200);
    EXPECT_EQ(object->GetRefCount(), references + 1);
    EXPECT_TRUE(testsupport::ReceivedCommands(*script).empty());

    object->Release();  // what the script does with its reference
}

TEST_F(ActivationTest, DeactivationTellsTheScriptOnceAndKeepsItsReference) {
    TPtr<CPGameObject> object = Make("barrel");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    object->Activate(200);
    testsupport::ReceivedCommands(*script);
    const int32_t references = object->GetRefCount();

    object->Deactivate();
    object->Deactivate();
    EXPECT_FALSE(object->IsActive());
    EXPECT_EQ(object->GetRefCount(), references);
    EXPECT_EQ(testsupport::ReceivedCommands(*script), Commands{Event("delete_object", object.Get())});

    // The level brings objects in and out again as the player moves.
    object->Activate(200);
    object->Deactivate();
    EXPECT_EQ(testsupport::ReceivedCommands(*script),
              (Commands{Event("add_object", object.Get()), Event("delete_object", object.Get())}));
    object->Release();
    object->Release();
}

TEST_F(ActivationTest, TheWholeTreeEntersAndLeaves) {
    TPtr<CPGameObject> root = Make("root");
    TPtr<CPGameObject> child = Make("child");
    TPtr<CPGameObject> leaf = Make("leaf");
    root->AddChild(child);
    child->AddChild(leaf);
    TPtr<CPLuaScript> rootScript = NewScript();
    TPtr<CPLuaScript> leafScript = NewScript();
    root->SetScript(rootScript);
    leaf->SetScript(leafScript);

    root->Activate(300);
    EXPECT_TRUE(child->IsActive());
    EXPECT_TRUE(leaf->IsActive());
    EXPECT_EQ(leafScript->GetPriority(), 300);
    EXPECT_EQ(testsupport::ReceivedCommands(*leafScript), Commands{Event("add_object", leaf.Get())});
    EXPECT_EQ(testsupport::ReceivedCommands(*rootScript), Commands{Event("add_object", root.Get())});

    root->Deactivate();
    EXPECT_FALSE(child->IsActive());
    EXPECT_FALSE(leaf->IsActive());
    EXPECT_EQ(testsupport::ReceivedCommands(*leafScript), Commands{Event("delete_object", leaf.Get())});
    EXPECT_EQ(testsupport::ReceivedCommands(*rootScript), Commands{Event("delete_object", root.Get())});
    root->Release();
    leaf->Release();
}

TEST_F(ActivationTest, AVisibleEmitterRunsWhileItsObjectIsInTheWorld) {
    TPtr<CPGameObject> object = Make("smoke");
    TPtr<FakeEmitter> emitter(new FakeEmitter);
    object->SetAttachment(CPGameObject::kEmitter, emitter);

    object->Activate(250);
    EXPECT_TRUE(InKernel(emitter.Get()));
    EXPECT_TRUE(emitter->IsRunning());
    EXPECT_EQ(emitter->GetPriority(), 250);

    object->Deactivate();
    EXPECT_EQ(emitter->stops, 1);
    EXPECT_TRUE(emitter->IsKilled());
}

TEST_F(ActivationTest, AHiddenEmitterOrOneAlreadyRunningIsNotAdded) {
    TPtr<CPGameObject> hidden = Make("hidden");
    TPtr<FakeEmitter> idle(new FakeEmitter);
    hidden->SetAttachment(CPGameObject::kEmitter, idle);
    hidden->SetEnabled(false);
    hidden->Activate(250);
    EXPECT_FALSE(InKernel(idle.Get()));
    EXPECT_FALSE(idle->IsRunning());

    TPtr<CPGameObject> burning = Make("burning");
    TPtr<FakeEmitter> running(new FakeEmitter);
    running->SetPriority(200);
    GetKernel()->AddTask(running);
    burning->SetAttachment(CPGameObject::kEmitter, running);
    burning->Activate(999);
    EXPECT_EQ(running->GetPriority(), 200);
}

TEST_F(ActivationTest, TheDestructorSendsNoEventWithTheFreedAddress) {
    TPtr<CPLuaScript> script = NewScript();
    TPtr<CPLuaScript> childScript = NewScript();
    TPtr<FakeEmitter> emitter(new FakeEmitter);
    TPtr<CPGameObject> child(new CPGameObject("child"));
    {
        TPtr<CPGameObject> object(new CPGameObject("doomed"));
        object->SetScript(script);
        object->SetAttachment(CPGameObject::kEmitter, emitter);
        object->AddChild(child);
        child->SetScript(childScript);
        object->Activate(200);
        testsupport::ReceivedCommands(*script);
        testsupport::ReceivedCommands(*childScript);
        object->Release();  // the script lets go while the object is still in the world
    }
    CollectGarbage();

    EXPECT_TRUE(testsupport::ReceivedCommands(*script).empty());
    EXPECT_GE(emitter->stops, 1);
    // The child lives on (its script holds it), leaves the world and says so.
    EXPECT_FALSE(child->IsActive());
    EXPECT_EQ(child->GetParent().Get(), nullptr);
    EXPECT_EQ(testsupport::ReceivedCommands(*childScript), Commands{Event("delete_object", child.Get())});
    child->Release();
}

// A scripted child whose script has already let go of its handle is freed with its parent: its
// script must not hear "delete_object" with an address that a new object may take.
TEST_F(ActivationTest, AChildFreedWithItsParentSendsNoEventEither) {
    TPtr<CPLuaScript> childScript = NewScript();
    TPtr<CPLuaScript> grandchildScript = NewScript();
    TPtr<CPLuaScript> keptScript = NewScript();
    TPtr<CPGameObject> kept(new CPGameObject("kept"));
    {
        TPtr<CPGameObject> object(new CPGameObject("doomed"));
        TPtr<CPGameObject> child(new CPGameObject("child"));
        TPtr<CPGameObject> grandchild(new CPGameObject("grandchild"));
        child->SetScript(childScript);
        grandchild->SetScript(grandchildScript);
        kept->SetScript(keptScript);
        object->AddChild(child);
        child->AddChild(grandchild);
        object->AddChild(kept);
        object->Activate(200);
        testsupport::ReceivedCommands(*childScript);
        testsupport::ReceivedCommands(*grandchildScript);
        testsupport::ReceivedCommands(*keptScript);
        // The scripts of the child and the grandchild let go while they are in the world.
        child->Release();
        grandchild->Release();
    }
    CollectGarbage();

    EXPECT_TRUE(testsupport::ReceivedCommands(*childScript).empty());
    EXPECT_TRUE(testsupport::ReceivedCommands(*grandchildScript).empty());
    // A child that outlives the parent still leaves the world and says so.
    EXPECT_EQ(testsupport::ReceivedCommands(*keptScript), Commands{Event("delete_object", kept.Get())});
    kept->Release();
}

TEST_F(ActivationTest, TheEndOfAPartAnimationPassReachesTheScript) {
    TPtr<CPGameObject> object = Make("door");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    object->OnAnimationEnd();  // the script is not running yet: the command is lost
    script->Start();
    object->OnAnimationEnd();
    EXPECT_EQ(testsupport::ReceivedCommands(*script), Commands{Event("animation_end", object.Get())});
}

TEST_F(ActivationTest, EventsAfterTheScriptManagerIsGoneAreDropped) {
    TPtr<CPGameObject> object = Make("late");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    object->Activate(200);
    testsupport::ReceivedCommands(*script);
    m_gameMenu = nullptr;
    m_scripts.Stop();

    object->Deactivate();
    object->OnAnimationEnd();
    EXPECT_TRUE(testsupport::ReceivedCommands(*script).empty());
    object->Release();
}

// Weapon clones, enemies and the player car are made by copying over objects that may be in the
// world: what they held must stop running before it is let go.
TEST_F(ActivationTest, CopyingOverAnActiveObjectTakesItOutOfTheWorldFirst) {
    TPtr<CPGameObject> object = Make("car");
    TPtr<CPLuaScript> script = NewScript();
    object->SetScript(script);
    TPtr<FakeEmitter> emitter(new FakeEmitter);
    object->SetAttachment(CPGameObject::kEmitter, emitter);
    TPtr<CPPartAnimation> spin(new CPPartAnimation);
    spin->SetKeys({MatrixIdentity(), MatrixIdentity(), MatrixIdentity()}, {1.0f, 1.0f});
    {
        TPtr<CPGameObject> wheel(new CPGameObject("wheel"));
        spin->SetTarget(wheel.Get());
        wheel->AddPartAnimation("idle", spin);
        object->AddChild(wheel);
    }
    object->Activate(200);
    ASSERT_TRUE(InKernel(spin.Get()));
    testsupport::ReceivedCommands(*script);

    object->CopyFrom(Make("rocket"));
    CollectGarbage();  // the old wheel goes
    EXPECT_FALSE(object->IsActive());
    EXPECT_TRUE(spin->IsKilled()) << "the wheel's part animation no longer moves a freed wheel";
    EXPECT_EQ(emitter->stops, 1);
    EXPECT_EQ(testsupport::ReceivedCommands(*script), Commands{Event("delete_object", object.Get())});

    object->Activate(200);
    EXPECT_TRUE(object->IsActive()) << "the copy enters the world when it is activated";
    object->Release();  // the reference the script had from the first activation
}

}  // namespace
