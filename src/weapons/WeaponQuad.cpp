#include "weapons/WeaponQuad.h"

#include <vector>

#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

}  // namespace

void BuildQuad(CPRenderObject& mesh, const std::array<PVector2, 4>& uv) {
    std::vector<SPVertex> vertices(4);
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i] = {};
        vertices[i].normal = {0.0f, 0.0f, 1.0f};
        vertices[i].diffuse = kWhite;
        vertices[i].specular = kWhite;
        vertices[i].tex0 = uv[i];
    }
    mesh.SetGeometry(std::move(vertices), {0, 1, 2, 0, 2, 3});
}

void PlaceQuad(CPRenderObject& mesh, CPGameObject& owner, const std::array<PVector3, 4>& corners) {
    std::vector<SPVertex>& vertices = mesh.GetVertices();
    for (size_t i = 0; i < vertices.size() && i < corners.size(); ++i) vertices[i].position = corners[i];
    owner.SetPosition({0.0f, 0.0f, 0.0f});
    owner.UpdateTransform();
}

void ResetQuadOwner(CPGameObject& owner) {
    owner.SetRotation(QuaternionIdentity());
    owner.SetPosition({0.0f, 0.0f, 0.0f});
}

void BuildTexturedQuad(CPRenderObject& mesh, int32_t layer, const std::string& effect, const std::string& texture,
                       const std::array<PVector2, 4>& uv) {
    if (CPMaterialManager* materials = GetMaterialManager()) {
        mesh.SetMaterial(materials->GetMaterial(layer, effect, {texture}));
    }
    BuildQuad(mesh, uv);
}
