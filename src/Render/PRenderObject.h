#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Render/PRenderObjectBase.h"
#include "Render/PTexModifier.h"
#include "Render/PVertex.h"
#include "math/PMatrix.h"

class CPGameObject;
struct SPMeshBuffers;

// A mesh: one part of a model, or a quad list that game code builds (beams, interface screens,
// texts). It keeps the mesh in its owner's space and a world-space copy of it, which it
// transforms again only when the owner has moved since the last write; a mesh that did not move
// costs one copy of its vertices per frame. Its modifiers (vertex effects) run in order over the
// world vertices as they are written.
//
// Only dynamic meshes are written per frame. A static mesh is drawn from prebuilt mesh buffers
// with its world matrix, which the owner copies in when it updates its transform.
class CPRenderObject : public CPRenderObjectBase {
public:
    // owner: the scene object whose world matrix places the vertices; not counted.
    explicit CPRenderObject(CPGameObject* owner);
    ~CPRenderObject() override;

    int32_t GetSize() const override;
    std::string GetClassName() const override;

    int32_t GetType() const override { return m_type; }
    void SetType(int32_t type) override { m_type = type; }
    int32_t GetVertexCount() const override { return static_cast<int32_t>(m_vertices.size()); }
    int32_t GetIndexCount() const override { return static_cast<int32_t>(m_indices.size()); }
    // A dynamic mesh writes its world vertices, through its vertex effects when it has any, and
    // its indices. An index past the last vertex is written as the first vertex, so a broken
    // list never reaches into other geometry. Other types write nothing.
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    TPtr<CPMaterial> GetMaterial() const override { return m_material; }
    void SetMaterial(TPtr<CPMaterial> material) { m_material = std::move(material); }

    // Makes this mesh a copy of the source: geometry, type, material (shared), the prebuilt mesh
    // of a mesh that is not dynamic, and a clone of each vertex effect. The owner is the
    // source's until the caller sets its own.
    virtual void CopyFrom(TPtr<CPRenderObject> source);

    CPGameObject* GetOwner() const { return m_owner; }
    void SetOwner(CPGameObject* owner);

    // Replaces the mesh; the world copy starts as the same vertices and is placed by the owner
    // at the next write.
    void SetGeometry(std::vector<SPVertex> vertices, std::vector<uint16_t> indices);
    // The lists themselves, for creators that rewrite them. Drawing reads the world vertices;
    // the count written is that of the vertices (a world list of another length is made a copy
    // of the vertices again at the next write).
    std::vector<SPVertex>& GetVertices() { return m_vertices; }
    std::vector<SPVertex>& GetWorldVertices() { return m_worldVertices; }
    std::vector<uint16_t>& GetIndices() { return m_indices; }
    // After rewriting the lists in place: the world copy follows the vertices at the next write.
    void GeometryChanged() {
        m_worldVertices = m_vertices;
        m_transformPending = true;
    }

    // Appends a modifier to the chain; the mesh owns it.
    void AddVertexEffect(std::unique_ptr<IPTexModifier> effect);
    bool HasVertexEffects() const { return !m_vertexEffects.empty(); }
    const std::vector<std::unique_ptr<IPTexModifier>>& GetVertexEffects() const { return m_vertexEffects; }

    // The owner's world matrix, with which a static mesh is drawn.
    void SetWorld(const PMatrix& world) { m_world = world; }
    const PMatrix& GetWorld() const { return m_world; }

    // The prebuilt buffers of a static mesh, owned by the renderer's cache, and their name.
    void SetMeshBuffers(const std::string& name, SPMeshBuffers* buffers);
    const std::string& GetMeshName() const { return m_meshName; }
    SPMeshBuffers* GetMeshBuffers() const { return m_meshBuffers; }

private:
    void TransformToWorld(const PMatrix& world);
    void WriteVertices(SPVertex* destination);

    CPGameObject* m_owner;
    std::vector<std::unique_ptr<IPTexModifier>> m_vertexEffects;
    std::vector<SPVertex> m_vertices;
    std::vector<uint16_t> m_indices;
    std::vector<SPVertex> m_worldVertices;
    TPtr<CPMaterial> m_material;
    int32_t m_type = Dynamic;
    PMatrix m_world = MatrixIdentity();
    std::string m_meshName;
    SPMeshBuffers* m_meshBuffers = nullptr;
    // The world vertices are not yet placed by the current owner and geometry.
    bool m_transformPending = true;
};
