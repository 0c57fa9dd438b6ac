// The engine functions that place scene objects and hand them to the renderer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Render/PGameObject.h"
#include "Render/PMaterial.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "core/PKernel.h"
#include "math/PMath.h"
#include "platform/Window.h"
#include "script/ScriptHandles.h"
#include "script_fixture.h"

namespace {

class SceneFunctionTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        m_script = LoadScript("scene", "while true do Update() end");
    }

    void TearDown() override {
        m_script.Reset();
        ScriptTest::TearDown();
    }

    std::string Call(const std::string& chunk) { return Run(*m_script, chunk); }
    void SetHandle(const char* name, const IPMMObject* object) {
        PushHandle(m_script->GetState(), object);
        lua_setglobal(m_script->GetState(), name);
    }

    // A scene object showing a mesh whose material needs no device.
    static TPtr<CPGameObject> MeshObject(const std::string& name, int32_t layer) {
        TPtr<CPGameObject> object(new CPGameObject(name));
        TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
        mesh->SetMaterial(TPtr<CPMaterial>(new CPMaterial(layer, nullptr, nullptr)));
        object->SetAttachment(CPGameObject::kMesh, mesh);
        return object;
    }

    TPtr<CPLuaScript> m_script;
};

TEST_F(SceneFunctionTest, SetPTransformationRotatesThenTranslatesTheObjectAndItsChildren) {
    TPtr<CPGameObject> parent(new CPGameObject("parent"));
    TPtr<CPGameObject> child(new CPGameObject("child"));
    ASSERT_TRUE(parent->AddChild(child));
    child->SetPosition({1.0f, 0.0f, 0.0f});
    SetHandle("parent", parent.Get());
    ASSERT_EQ(Call("SetPTransformation(parent, 5, 6, 7, 0, 0, math.pi / 2)"), "");

    const PMatrix expected = MatrixRotationZ(1.5707964f) * MatrixTranslation(5.0f, 6.0f, 7.0f);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_NEAR(parent->GetParentMatrix().m[row][column], expected.m[row][column], 1e-6f);
        }
    }
    const PVector3 childPlace = Vec3TransformCoord({0.0f, 0.0f, 0.0f}, child->GetWorld());
    EXPECT_NEAR(childPlace.x, 5.0f, 1e-5f) << "the child's (1, 0, 0) turned onto +y";
    EXPECT_NEAR(childPlace.y, 7.0f, 1e-5f);
    EXPECT_NEAR(childPlace.z, 7.0f, 1e-5f);
}

TEST_F(SceneFunctionTest, SetPTransformationWithZerosIsTheIdentityAndANullHandleDoesNothing) {
    TPtr<CPGameObject> object(new CPGameObject("object"));
    object->SetParentMatrix(MatrixTranslation(1.0f, 2.0f, 3.0f));
    SetHandle("object", object.Get());
    ASSERT_EQ(Call("SetPTransformation(object, 0, 0, 0, 0, 0, 0)"), "");
    EXPECT_EQ(object->GetParentMatrix(), MatrixIdentity());
    EXPECT_EQ(Call("SetPTransformation(StringToPointer('0'), 1, 2, 3, 0, 0, 0); SetPTransformation(nil)"), "");
}

TEST_F(SceneFunctionTest, DrawDynamicObjectWithoutARendererDoesNothing) {
    TPtr<CPGameObject> object = MeshObject("object", 20);
    SetHandle("object", object.Get());
    EXPECT_EQ(Call("DrawDynamicObject(object); DrawDynamicObject(nil)"), "");
}

TEST_F(SceneFunctionTest, DrawDynamicObjectHandsTheVisibleTreeToTheRenderBlock) {
    platform::WindowConfig config;
    config.title = "scene functions";
    config.width = 64;
    config.height = 48;
    std::string error;
    std::unique_ptr<platform::Window> window = platform::Window::Create(config, error);
    ASSERT_NE(window, nullptr) << error;
    {
        CPKernel kernel;
        kernel.SetWindow(window.get());
        TPtr<CPRender> render(new CPRender);
        ASSERT_TRUE(render->Start());

        TPtr<CPGameObject> root = MeshObject("root", 20);
        TPtr<CPGameObject> shown = MeshObject("shown", 21);
        TPtr<CPGameObject> hidden = MeshObject("hidden", 22);
        ASSERT_TRUE(root->AddChild(shown));
        ASSERT_TRUE(root->AddChild(hidden));
        hidden->SetEnabled(false);
        SetHandle("root", root.Get());
        ASSERT_EQ(Call("DrawDynamicObject(root)"), "");
        EXPECT_EQ(render->GetRenderBlock()->CountFrameBatches(), 2) << "the root and its visible child";

        render->Update();
        EXPECT_EQ(render->GetRenderBlock()->CountFrameBatches(), 0) << "for this frame only";
        render->Stop();
    }
    CollectGarbage();
}

}  // namespace
