#include "Render/PIVBlock.h"

#include "Render/PIVertexBuffer.h"

CPIVBlock::CPIVBlock(TPtr<CPIVertexBuffer> owner) : vertexBufferOwner(std::move(owner)) {}

CPIVBlock::~CPIVBlock() = default;

void CPIVBlock::AddRenderObject(const TPtr<CPRenderObjectBase>& object)
{
    dynamicObjects.push_back(object);
    if (object->GetType() == CPRenderObjectBase::Dynamic) {
        indexCount += object->GetIndexCount();
        vertexCount += object->GetVertexCount();
    }
}
