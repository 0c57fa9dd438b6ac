// The engine functions that find, show, place, activate and draw scene objects, and the fade.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "Render/ModelFile.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PMaterial.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "core/PKernel.h"
#include "core/SettingsVariables.h"
#include "math/PMath.h"
#include "scriptapi/EngineFunctions.h"
#include "platform/PathResolver.h"
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
    std::string Text(const char* name) { return GlobalText(*m_script, name); }

    // A scene object showing a mesh whose material needs no device.
    static TPtr<CPGameObject> MeshObject(const std::string& name, int32_t layer) {
        TPtr<CPGameObject> object(new CPGameObject(name));
        TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
        mesh->SetMaterial(TPtr<CPMaterial>(new CPMaterial(layer, nullptr, nullptr)));
        object->SetAttachment(CPGameObject::kMesh, mesh);
        return object;
    }

    // Runs the body with a started renderer on a small window of the configured screen size.
    void WithRenderer(const std::function<void(CPRender&)>& body) {
        const int32_t width = g_screenWidth;
        const int32_t height = g_screenHeight;
        g_screenWidth = 64;
        g_screenHeight = 48;
        platform::WindowConfig config;
        config.title = "scene functions";
        config.width = g_screenWidth;
        config.height = g_screenHeight;
        std::string error;
        std::unique_ptr<platform::Window> window = platform::Window::Create(config, error);
        ASSERT_NE(window, nullptr) << error;
        {
            CPKernel kernel;
            kernel.SetWindow(window.get());
            TPtr<CPRender> render(new CPRender);
            ASSERT_TRUE(render->Start());
            body(*render);
            render->Stop();
        }
        CollectGarbage();
        g_screenWidth = width;
        g_screenHeight = height;
    }

    TPtr<CPLuaScript> m_script;
};

TEST_F(SceneFunctionTest, SetPTransformationRotatesThenTranslatesTheObjectAndItsChildren) {
    TPtr<CPGameObject> parent(new CPGameObject("parent"));
    TPtr<CPGameObject> child(new CPGameObject("child"));
    ASSERT_TRUE(parent->AddChild(child));
    child->SetPosition({1.0f, 0.0f, 0.0f});
    SetHandle(*m_script, "parent", parent.Get());
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
    SetHandle(*m_script, "object", object.Get());
    ASSERT_EQ(Call("SetPTransformation(object, 0, 0, 0, 0, 0, 0)"), "");
    EXPECT_EQ(object->GetParentMatrix(), MatrixIdentity());
    EXPECT_EQ(Call("SetPTransformation(StringToPointer('0'), 1, 2, 3, 0, 0, 0); SetPTransformation(nil)"), "");
}

TEST_F(SceneFunctionTest, DrawDynamicObjectWithoutARendererDoesNothing) {
    TPtr<CPGameObject> object = MeshObject("object", 20);
    SetHandle(*m_script, "object", object.Get());
    EXPECT_EQ(Call("DrawDynamicObject(object); DrawDynamicObject(nil)"), "");
}

TEST_F(SceneFunctionTest, DrawDynamicObjectHandsTheVisibleTreeToTheRenderBlock) {
    WithRenderer([&](CPRender& render) {
        TPtr<CPGameObject> root = MeshObject("root", 20);
        TPtr<CPGameObject> shown = MeshObject("shown", 21);
        TPtr<CPGameObject> hidden = MeshObject("hidden", 22);
        ASSERT_TRUE(root->AddChild(shown));
        ASSERT_TRUE(root->AddChild(hidden));
        hidden->SetEnabled(false);
        SetHandle(*m_script, "root", root.Get());
        ASSERT_EQ(Call("DrawDynamicObject(root)"), "");
        EXPECT_EQ(render.GetRenderBlock()->CountFrameBatches(), 2) << "the root and its visible child";

        render.Update();
        EXPECT_EQ(render.GetRenderBlock()->CountFrameBatches(), 0) << "for this frame only";
    });
}

TEST_F(SceneFunctionTest, SetFadeDarkensTheDrawnFrame) {
    const int32_t statistic = g_statistic;
    g_statistic = 1;
    WithRenderer([&](CPRender& render) {
        // The statistics text, drawn bright at the top, lies under the fade.
        auto textPixels = [&render] {
            render.CaptureNextFrame();
            render.Update();
            const CapturedFrame& frame = render.GetCapturedFrame();
            int count = 0;
            for (int32_t y = 0; y < std::min(32, frame.height); ++y) {
                for (int32_t x = 0; x < frame.width; ++x) count += (frame.Pixel(x, y) >> 16 & 0xFF) > 128 ? 1 : 0;
            }
            return count;
        };
        EXPECT_GT(textPixels(), 20);
        ASSERT_EQ(Call("SetFade(0)"), "");
        EXPECT_EQ(textPixels(), 0);
        ASSERT_EQ(Call("SetFade(1)"), "");
        EXPECT_GT(textPixels(), 20);
    });
    g_statistic = statistic;
}

// A tree whose pre-order differs from the lookup by name: root { a { x }, x }.
class SceneTreeTest : public SceneFunctionTest {
protected:
    void SetUp() override {
        SceneFunctionTest::SetUp();
        ASSERT_TRUE(m_root->AddChild(m_a));
        ASSERT_TRUE(m_a->AddChild(m_deepX));
        ASSERT_TRUE(m_root->AddChild(m_directX));
        SetHandle(*m_script, "root", m_root.Get());
        SetHandle(*m_script, "a", m_a.Get());
        SetHandle(*m_script, "deepX", m_deepX.Get());
    }

    // The handle text of what the chunk leaves in the global "found", after checking that it is
    // a handle and not nil.
    std::string Found(const std::string& chunk) {
        const std::string error = Call(chunk + "; kind = type(found); text = PointerToString(found)");
        if (!error.empty()) return error;
        EXPECT_EQ(Text("kind"), "userdata") << chunk;
        return Text("text");
    }

    TPtr<CPGameObject> m_root{new CPGameObject("root")};
    TPtr<CPGameObject> m_a{new CPGameObject("a")};
    TPtr<CPGameObject> m_deepX{new CPGameObject("x")};
    TPtr<CPGameObject> m_directX{new CPGameObject("x")};
};

TEST_F(SceneTreeTest, GetChildObjectFindsTheFirstExactNameInPreOrder) {
    struct Case {
        const char* call;
        const CPGameObject* expected;
    };
    const Case cases[] = {
        {"found = GetChildObject(root, 'x')", m_deepX.Get()},  // before root's own child "x"
        {"found = GetChildObject(root, 'root')", m_root.Get()},
        {"found = GetChildObject(a, 'x')", m_deepX.Get()},
        {"found = GetChildObject(root, 'X')", nullptr},
        {"found = GetChildObject(root, 'x\\0')", nullptr},
        {"found = GetChildObject(root, '')", nullptr},
        {"found = GetChildObject(deepX, 'a')", nullptr},
        {"found = GetChildObject(nil, 'x')", nullptr},
    };
    const int32_t references = m_deepX->GetRefCount();
    for (const Case& c : cases) EXPECT_EQ(Found(c.call), HandleToString(c.expected)) << c.call;
    EXPECT_NE(Call("GetChildObject(root, {})"), "") << "the name is text";
    EXPECT_EQ(m_root->GetRefCount(), 1) << "every gathered object let go";
    EXPECT_EQ(m_deepX->GetRefCount(), references);
}

TEST_F(SceneTreeTest, GetParentObjectGivesTheParentOrANullHandle) {
    EXPECT_EQ(Found("found = GetParentObject(deepX)"), HandleToString(m_a.Get()));
    EXPECT_EQ(Found("found = GetParentObject(a)"), HandleToString(m_root.Get()));
    EXPECT_EQ(Found("found = GetParentObject(root)"), "0");
    EXPECT_EQ(Found("found = GetParentObject(globalObject)"), "0") << "a script is no scene object";
}

TEST_F(SceneTreeTest, SetVisibleAndSetCollisionChangeTheObjectAloneByLuaTruth) {
    struct Case {
        const char* flag;
        bool expected;
    };
    const Case cases[] = {{"false", false}, {"true", true}, {"nil", false}, {"0", true}, {"''", true}};
    for (const Case& c : cases) {
        m_a->SetEnabled(!c.expected);
        m_a->SetCollision(!c.expected);
        m_deepX->SetCollision(!c.expected);
        ASSERT_EQ(Call(std::string("SetVisible(a, ") + c.flag + ") SetCollision(a, " + c.flag + ")"), "");
        EXPECT_EQ(m_a->IsVisible(), c.expected) << c.flag;
        EXPECT_EQ(m_a->HasCollision(), c.expected) << c.flag;
        EXPECT_EQ(m_deepX->IsVisible(), !c.expected) << "the child keeps its flag";
        EXPECT_EQ(m_deepX->HasCollision(), !c.expected) << "the child keeps its flag";
    }
    ASSERT_EQ(Call("SetVisible(a)"), "");
    EXPECT_FALSE(m_a->IsVisible()) << "a missing flag is false";
}

TEST_F(SceneTreeTest, ActivateAndDeactivateObjectEnterAndLeaveTheWorld) {
    TPtr<CPLuaScript> listener = LoadScript("listener", "while true do Update() end");
    m_root->SetScript(listener);
    ASSERT_EQ(Call("ActivateObject(root, 7.9)"), "");
    EXPECT_TRUE(m_root->IsActive());
    EXPECT_TRUE(m_deepX->IsActive()) << "the subtree enters with it";
    EXPECT_EQ(listener->GetPriority(), 7) << "the priority truncated";
    ASSERT_EQ(Call("Release(root)"), "");
    EXPECT_EQ(m_root->GetRefCount(), 2) << "the calling script was given no reference";
    SetHandle(*listener, "root", m_root.Get());
    ASSERT_EQ(Run(*listener, "Release(root)"), "") << "the reference the listener was given with add_object";

    ASSERT_EQ(Call("DeactivateObject(a)"), "");
    EXPECT_FALSE(m_a->IsActive());
    EXPECT_FALSE(m_deepX->IsActive());
    EXPECT_TRUE(m_root->IsActive());
    ASSERT_EQ(Call("DeactivateObject(root)"), "");
    EXPECT_FALSE(m_root->IsActive());
    EXPECT_EQ(m_root->GetRefCount(), 1);
}

TEST_F(SceneTreeTest, SetAnimationGivesBackTheListenersReferenceAndWantsAName) {
    TPtr<CPLuaScript> listener = LoadScript("listener", "while true do Update() end");
    SetHandle(*m_script, "listener", listener.Get());
    const int32_t references = listener->GetRefCount();
    EXPECT_EQ(Call("SetAnimation(root, 'run', 1.5, 2, 10, listener) SetAnimation(root, 'run') "
                   "SetAnimation(nil, 'run', 1, 1, 1, listener)"),
              "");
    EXPECT_EQ(listener->GetRefCount(), references);
    EXPECT_NE(Call("SetAnimation(root)"), "") << "the animation name is required";
    EXPECT_NE(Call("SetAnimation(root, {})"), "");
}

// Every scene function given a handle that names no scene object does nothing: results that are
// handles are the null handle.
TEST_F(SceneTreeTest, HandlesThatNameNoSceneObjectDoNothing) {
    TPtr<CPGameObject> freed(new CPGameObject("freed"));
    SetHandle(*m_script, "stale", freed.Get());
    freed.Reset();
    lua_State* state = m_script->GetState();
    lua_pushlightuserdata(state, reinterpret_cast<char*>(m_a.Get()) + 1);
    lua_setglobal(state, "inside");
    const char* handles[] = {"nil", "StringToPointer('0')", "stale", "inside", "globalObject", "12345", "'a'"};
    const char* calls[] = {"GetChildObject(%s, 'x')", "GetParentObject(%s)", "SetVisible(%s, false)",
                           "SetCollision(%s, false)", "ActivateObject(%s, 3)", "DeactivateObject(%s)",
                           "SetAnimation(%s, 'run', 1, 1, 1, nil)", "SetPTransformation(%s, 1, 2, 3, 0, 0, 0)"};
    m_root->Activate(0);
    for (const char* handle : handles) {
        for (const char* call : calls) {
            char chunk[160];
            std::snprintf(chunk, sizeof(chunk), call, handle);
            ASSERT_EQ(Call(std::string("found = ") + chunk + "; text = PointerToString(found)"), "") << chunk;
            EXPECT_EQ(Text("text"), "0") << chunk;
        }
    }
    EXPECT_TRUE(m_a->IsActive());
    EXPECT_TRUE(m_a->IsVisible());
    EXPECT_TRUE(m_a->HasCollision());
    EXPECT_EQ(m_a->GetParentMatrix(), m_root->GetWorld());
    m_root->Deactivate();
}

TEST_F(SceneFunctionTest, SetFadeWithoutARendererDoesNothing) {
    EXPECT_EQ(Call("SetFade(0.5) SetFade() SetFade('x')"), "");
}

}  // namespace

namespace {

// A description and a one-node mesh file in the working folder's Data\Meshes.
void WriteModel(const std::string& description, const std::string& node) {
    std::filesystem::create_directories("Data/Meshes");
    modelfile::SPMeshFile file;
    file.nodes.resize(1);
    file.nodes[0].name = node;
    const std::vector<uint8_t> bytes = modelfile::WriteMeshFile(file);
    std::ofstream("Data/Meshes/" + node + ".msh", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream("Data/Meshes/" + description) << "mesh = " << node << ".msh\n";
    platform::InvalidateListings();
}

TEST_F(SceneFunctionTest, LoadRenderObjectGivesTheScriptItsOwnReferenceOrTheFallback) {
    CPObjectLoader loader;
    ASSERT_EQ(Call("missing = PointerToString(LoadRenderObject('missing.rdf', 20))"), "");
    EXPECT_EQ(Text("missing"), "0") << "no wrong.rdf either: a null handle";

    WriteModel("crate.rdf", "crate");
    WriteModel("wrong.rdf", "wrong");
    ASSERT_EQ(Call("crate = LoadRenderObject('crate.rdf', 20)\n"
                   "fallback = LoadRenderObject('missing.rdf', 20)\n"
                   "names = tostring(GetChildObject(crate, 'crate') == crate) .. ','\n"
                   "     .. tostring(GetChildObject(fallback, 'wrong') == fallback)"),
              "");
    EXPECT_EQ(Text("names"), "true,true");
    lua_getglobal(m_script->GetState(), "crate");
    auto* crate = static_cast<CPGameObject*>(lua_touserdata(m_script->GetState(), -1));
    lua_pop(m_script->GetState(), 1);
    ASSERT_NE(crate, nullptr);
    EXPECT_EQ(crate->GetRefCount(), 1);
    ASSERT_EQ(Call("Release(crate); Release(fallback)"), "");
    EXPECT_TRUE(crate->IsDead());
    CollectGarbage();
}

}  // namespace
