#include "Render/DrawnMesh.h"

#include "Render/PRenderObject.h"

// Vertex-animated objects do not exist yet; meshes are the only objects with prebuilt buffers.
const SPMeshBuffers* DrawnMesh(const CPRenderObjectBase& object)
{
    const auto* mesh = dynamic_cast<const CPRenderObject*>(&object);
    return mesh ? mesh->GetMeshBuffers() : nullptr;
}
