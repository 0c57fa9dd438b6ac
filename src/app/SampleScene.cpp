#include "app/SampleScene.h"

#include <string>
#include <vector>

#include "Render/PLight.h"
#include "Render/PMaterialManager.h"
#include "Render/PRender.h"
#include "Render/PRenderObject.h"
#include "Render/PSprite.h"
#include "Render/ViewCamera.h"
#include "core/SettingsVariables.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kPanelColour = 0xC0204080u;  // translucent blue

TPtr<CPMaterial> Material(int32_t layer, const std::string& effect, const std::string& texture) {
    CPMaterialManager* materials = GetMaterialManager();
    if (!materials) return nullptr;
    return materials->GetMaterial(layer, effect, texture.empty() ? std::vector<std::string>{} : std::vector{texture});
}

SPVertex MakeVertex(const PVector3& position, const PVector3& normal, uint32_t colour, float u, float v) {
    SPVertex vertex{};
    vertex.position = position;
    vertex.normal = normal;
    vertex.diffuse = colour;
    vertex.tex0 = {u, v};
    return vertex;
}

// A cube of side 2 about the origin, one textured quad per face.
void BuildCube(std::vector<SPVertex>& vertices, std::vector<uint16_t>& indices) {
    // Each face: its outward normal and two axes u, v across it with u × v = normal, so its
    // triangles are wound clockwise seen from outside.
    const PVector3 faces[6][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
    };
    for (const auto& [normal, u, v] : faces) {
        const uint16_t first = static_cast<uint16_t>(vertices.size());
        vertices.push_back(MakeVertex(normal - u - v, normal, kWhite, 0.0f, 1.0f));
        vertices.push_back(MakeVertex(normal + u - v, normal, kWhite, 1.0f, 1.0f));
        vertices.push_back(MakeVertex(normal + u + v, normal, kWhite, 1.0f, 0.0f));
        vertices.push_back(MakeVertex(normal - u + v, normal, kWhite, 0.0f, 0.0f));
        for (uint16_t corner : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(first + corner));
    }
}

TPtr<CPGameObject> MakeCube() {
    TPtr<CPGameObject> cube(new CPGameObject("cube"));
    TPtr<CPRenderObject> mesh(new CPRenderObject(cube.Get()));
    std::vector<SPVertex> vertices;
    std::vector<uint16_t> indices;
    BuildCube(vertices, indices);
    mesh->SetGeometry(std::move(vertices), std::move(indices));
    mesh->SetMaterial(Material(SampleScene::kSceneLayer, "sample_mesh.fx", "sample_checker.tga"));
    cube->SetAttachment(CPGameObject::kMesh, mesh);
    return cube;
}

TPtr<CPGameObject> MakeLight() {
    TPtr<CPGameObject> object(new CPGameObject("sun"));
    platform::gfx::Light record{};
    record.type = platform::gfx::LightType::Directional;
    record.diffuse = {0.6f, 0.6f, 0.55f, 1.0f};
    record.direction = Vec3Normalize({0.6f, 0.5f, -0.8f});
    TPtr<CPLight> light(new CPLight);
    light->SetLight(record);
    light->SetFollowed(object.Get());
    object->SetAttachment(CPGameObject::kLight, light);
    return object;
}

TPtr<CPGameObject> MakeSprite() {
    TPtr<CPGameObject> object(new CPGameObject("glow"));
    object->SetPosition({2.3f, 0.0f, 1.3f});
    TPtr<CPSprite> sprite(new CPSprite(0.7f));
    sprite->SetOwner(object.Get());
    sprite->SetMaterial(Material(SampleScene::kSpriteLayer, "sample_sprite.fx", "sample_glow.tga"));
    object->SetAttachment(CPGameObject::kSprite, sprite);
    return object;
}

// A panel near the bottom left corner of the screen, in pixels.
TPtr<CPGameObject> MakePanel() {
    TPtr<CPGameObject> object(new CPGameObject("panel"));
    TPtr<CPRenderObject> mesh(new CPRenderObject(object.Get()));
    const float bottom = static_cast<float>(g_screenHeight) - 20.0f;
    const float top = bottom - 40.0f;
    const PVector3 normal = {0.0f, 0.0f, -1.0f};
    mesh->SetGeometry({MakeVertex({20.0f, top, 0.5f}, normal, kPanelColour, 0.0f, 0.0f),
                       MakeVertex({260.0f, top, 0.5f}, normal, kPanelColour, 1.0f, 0.0f),
                       MakeVertex({260.0f, bottom, 0.5f}, normal, kPanelColour, 1.0f, 1.0f),
                       MakeVertex({20.0f, bottom, 0.5f}, normal, kPanelColour, 0.0f, 1.0f)},
                      {0, 1, 2, 0, 2, 3});
    mesh->SetMaterial(Material(SampleScene::kPanelLayer, "sample_screen.fx", ""));
    object->SetAttachment(CPGameObject::kMesh, mesh);
    return object;
}

TPtr<CPPerspectiveCamera> MakeCamera() {
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    camera->SetEye({0.0f, -7.0f, 3.5f});
    camera->SetTarget({0.0f, 0.0f, 0.3f});
    camera->SetUp({0.0f, 0.0f, 1.0f});
    camera->SetFieldOfView(0.9f);
    camera->SetNearClip(1.0f);
    camera->SetFarClip(100.0f);
    camera->UpdateMatrices();
    return camera;
}

}  // namespace

SampleScene::SampleScene() : m_camera(MakeCamera()), m_scene(new CPGameObject("sample_scene")) {
    TPtr<CPGameObject> cube = MakeCube();
    for (const TPtr<CPGameObject>& child : {cube, MakeLight(), MakeSprite(), MakePanel()}) m_scene->AddChild(child);
    m_scene->UpdateTransform();
    SetViewCamera(m_camera);
    if (CPRender* render = GetRender()) render->SetLayerCamera(kSceneLayer, m_camera);
    if (CPScriptManager* scripts = GetScriptManager()) {
        scripts->SendCommandByName("main", "sample_scene", HandleToString(m_scene.Get()) + "," + HandleToString(cube.Get()));
    }
}

SampleScene::~SampleScene() { SetViewCamera(nullptr); }
