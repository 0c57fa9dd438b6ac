#include "Render/PSprite.h"

#include "Render/PGameObject.h"
#include "Render/PVertex.h"
#include "Render/ViewCamera.h"

CPSprite::CPSprite(float size) : m_size(size) {}

int32_t CPSprite::GetSize() const { return sizeof(*this); }

std::string CPSprite::GetClassName() const { return "CPSprite"; }

void CPSprite::SetTextureRect(float uMin, float vMin, float uMax, float vMax)
{
    m_uMin = uMin;
    m_vMin = vMin;
    m_uMax = uMax;
    m_vMax = vMax;
}

void CPSprite::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base)
{
    // The camera's world transform, moved to the owner: its x and y axes span the view plane.
    PMatrix placement = GetViewCamera().GetInverseView();
    const PMatrix& world = m_owner ? m_owner->GetWorld() : MatrixIdentity();
    for (int c = 0; c < 4; ++c) placement.m[3][c] = world.m[3][c];
    const PMatrix m = MatrixRotationZ(m_angle) * placement;

    const struct {
        float x, y, u, v;
    } corners[4] = {
        {-m_size, -m_size, m_uMin, m_vMin},
        {m_size, -m_size, m_uMax, m_vMin},
        {m_size, m_size, m_uMax, m_vMax},
        {-m_size, m_size, m_uMin, m_vMax},
    };
    for (int i = 0; i < 4; ++i) {
        const PVector4 p = Vec4Transform({corners[i].x, corners[i].y, 0.0f, 1.0f}, m);
        SPVertex v{};
        v.position = {p.x, p.y, p.z};
        v.diffuse = m_colour;
        v.tex0 = {corners[i].u, corners[i].v};
        vertices[i] = v;
    }
    const uint16_t order[6] = {0, 2, 1, 0, 3, 2};
    for (int k = 0; k < 6; ++k) indices[k] = static_cast<uint16_t>(base + order[k]);
}
