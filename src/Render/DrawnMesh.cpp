#include "Render/DrawnMesh.h"

#include "Render/PAnimatedObject.h"
#include "Render/PRenderObject.h"

const SPMeshBuffers* DrawnMesh(const CPRenderObjectBase& object)
{
    if (const auto* mesh = dynamic_cast<const CPRenderObject*>(&object)) return mesh->GetMeshBuffers();
    if (const auto* animated = dynamic_cast<const CPAnimatedObject*>(&object)) return animated->GetShownMesh();
    return nullptr;
}
