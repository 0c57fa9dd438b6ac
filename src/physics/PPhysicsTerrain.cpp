// The level's terrain: the collected terrain meshes in world space, handed to the simulator.
#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "Render/PVertex.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsSimulator.h"

namespace {

// x·m11 + y·m21 + z·m31 + m41, and likewise for y and z.
PhysicsVector ToWorld(const PVector3& p, const PMatrix& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2], 0.0f};
}

}  // namespace

void CPPhysics::BuildTerrain() {
    size_t vertexCount = 0;
    size_t indexCount = 0;
    for (const TerrainPiece& piece : m_terrainPieces) {
        vertexCount += piece.mesh->GetVertices().size();
        indexCount += piece.mesh->GetIndices().size();
    }
    m_terrainVertices.clear();
    m_terrainVertices.reserve(vertexCount);
    m_terrainTriangles.assign(indexCount / 3, PhysicsMeshTriangle{});

    size_t triangle = 0;
    for (const TerrainPiece& piece : m_terrainPieces) {
        CPRenderObject* object = piece.mesh.Get();
        const PMatrix world = piece.owner ? piece.owner->GetWorld() : MatrixIdentity();
        const int32_t base = static_cast<int32_t>(m_terrainVertices.size());
        for (const SPVertex& vertex : object->GetVertices()) m_terrainVertices.push_back(ToWorld(vertex.position, world));
        const std::vector<uint16_t>& indices = object->GetIndices();
        for (size_t i = 0; i + 3 <= indices.size() && triangle < m_terrainTriangles.size(); i += 3, ++triangle) {
            PhysicsMeshTriangle& t = m_terrainTriangles[triangle];
            for (int corner = 0; corner < 3; ++corner) t.vertex[corner] = base + indices[i + corner];
            t.material = kTerrainMaterial;
        }
    }
    m_terrainPieces.clear();
    if (!m_simulator || m_terrainTriangles.empty()) return;
    PhysicsTriangleMesh mesh;
    mesh.vertices = m_terrainVertices.data();
    mesh.vertexCount = static_cast<int32_t>(m_terrainVertices.size());
    mesh.triangles = m_terrainTriangles.data();
    mesh.triangleCount = static_cast<int32_t>(m_terrainTriangles.size());
    m_simulator->SetTerrainMesh(mesh);
}
