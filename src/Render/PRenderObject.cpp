#include "Render/PRenderObject.h"

#include <algorithm>

#include "Render/PGameObject.h"

CPRenderObject::CPRenderObject(CPGameObject* owner) : m_owner(owner) {}

CPRenderObject::~CPRenderObject() = default;

int32_t CPRenderObject::GetSize() const { return sizeof(*this); }

std::string CPRenderObject::GetClassName() const { return "CPRenderObject"; }

void CPRenderObject::SetOwner(CPGameObject* owner)
{
    m_owner = owner;
    m_transformPending = true;
}

void CPRenderObject::SetGeometry(std::vector<SPVertex> vertices, std::vector<uint16_t> indices)
{
    m_worldVertices = vertices;
    m_vertices = std::move(vertices);
    m_indices = std::move(indices);
    m_transformPending = true;
}

void CPRenderObject::AddVertexEffect(std::unique_ptr<IPTexModifier> effect)
{
    if (effect) m_vertexEffects.push_back(std::move(effect));
}

void CPRenderObject::SetMeshBuffers(const std::string& name, SPMeshBuffers* buffers)
{
    m_meshName = name;
    m_meshBuffers = buffers;
}

void CPRenderObject::CopyFrom(TPtr<CPRenderObject> source)
{
    if (!source || source.Get() == this) return;
    const CPRenderObject& s = *source;
    m_owner = s.m_owner;
    m_vertices = s.m_vertices;
    m_worldVertices = s.m_worldVertices;
    m_indices = s.m_indices;
    m_material = s.m_material;
    m_type = s.GetType();
    m_world = s.m_world;
    if (m_type != Dynamic) {
        m_meshName = s.m_meshName;
        m_meshBuffers = s.m_meshBuffers;
    }
    m_vertexEffects.clear();
    for (const auto& effect : s.m_vertexEffects) m_vertexEffects.push_back(effect->Clone());
    m_transformPending = s.m_transformPending;
}

void CPRenderObject::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base)
{
    if (m_type != Dynamic || m_vertices.empty()) return;
    if (m_worldVertices.size() != m_vertices.size()) {
        m_worldVertices = m_vertices;
        m_transformPending = true;
    }
    if (m_owner && (m_owner->IsMoved() || m_transformPending)) {
        TransformToWorld(m_owner->GetWorld());
        m_owner->SetMoved(false);
        m_transformPending = false;
    }
    WriteVertices(vertices);
    const size_t count = m_vertices.size();
    for (size_t k = 0; k < m_indices.size(); ++k) {
        const uint16_t index = m_indices[k] < count ? m_indices[k] : 0;
        indices[k] = static_cast<uint16_t>(index + base);
    }
}

// Positions as points, normals as directions (not renormalised); the other fields stay.
void CPRenderObject::TransformToWorld(const PMatrix& world)
{
    for (size_t i = 0; i < m_vertices.size(); ++i) {
        const PVector4 position = Vec3Transform(m_vertices[i].position, world);
        m_worldVertices[i].position = {position.x, position.y, position.z};
        m_worldVertices[i].normal = Vec3TransformNormal(m_vertices[i].normal, world);
    }
}

void CPRenderObject::WriteVertices(SPVertex* destination)
{
    const int32_t n = static_cast<int32_t>(m_worldVertices.size());
    if (m_vertexEffects.empty()) {
        std::copy(m_worldVertices.begin(), m_worldVertices.end(), destination);
        return;
    }
    m_vertexEffects.front()->Apply(destination, m_worldVertices.data(), n);
    for (size_t i = 1; i < m_vertexEffects.size(); ++i) m_vertexEffects[i]->Apply(destination, destination, n);
}
