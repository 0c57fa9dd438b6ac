#include "Render/PRenderBlock.h"

#include "Render/PGameObject.h"
#include "Render/PLight.h"
#include "Render/PRender.h"

namespace {

// Requested buckets of the batch map.
constexpr size_t kBatchBuckets = 100;

// The render object a scene object shows, or null for lights, emitters and group nodes.
CPRenderObjectBase* ShownRenderObject(const CPGameObject& object) {
    switch (object.GetKind()) {
    case CPGameObject::kMesh:
    case CPGameObject::kAnimated:
    case CPGameObject::kSprite:
        return object.GetAttachment().Get<CPRenderObjectBase>();
    default:
        return nullptr;
    }
}

}  // namespace

CPRenderBlock::CPRenderBlock() { m_blocks.reserve(kBatchBuckets); }

CPRenderBlock::~CPRenderBlock() = default;

void CPRenderBlock::AddObject(const TPtr<CPGameObject>& object) {
    if (!object || !object->IsVisible()) return;
    if (object->GetKind() == CPGameObject::kLight) {
        CPRender* render = GetRender();
        CPLight* light = object->GetAttachment().Get<CPLight>();
        if (render && light) render->AddLight(light->GetLight());
        return;
    }
    if (CPRenderObjectBase* shown = ShownRenderObject(*object)) AddShown(shown->GetMaterial().Get(), *shown, object);
}

void CPRenderBlock::AddObjectTree(const TPtr<CPGameObject>& object) {
    AddObject(object);
    if (!object || !object->IsVisible()) return;
    for (const TPtr<CPGameObject>& child : object->GetChildren()) AddObjectTree(child);
}

void CPRenderBlock::AddObjectWithMaterial(const TPtr<CPMaterial>& material, const TPtr<CPGameObject>& object) {
    if (!object || !object->IsVisible() || !object->CastsShadow()) return;
    if (CPRenderObjectBase* shown = ShownRenderObject(*object)) AddShown(material.Get(), *shown, object);
}

void CPRenderBlock::AddObjectTreeWithMaterial(const TPtr<CPMaterial>& material, const TPtr<CPGameObject>& object) {
    AddObjectWithMaterial(material, object);
    if (!object || !object->IsVisible()) return;
    for (const TPtr<CPGameObject>& child : object->GetChildren()) AddObjectTreeWithMaterial(material, child);
}

void CPRenderBlock::AddRenderObject(const TPtr<CPRenderObjectBase>& object) {
    if (object) AddToBatch(object->GetMaterial().Get(), object);
}

void CPRenderBlock::AddToBatch(CPMaterial* material, const TPtr<CPRenderObjectBase>& object) {
    if (!material) return;
    CPIVBlock& batch = BatchOf(material);
    // A batch holds objects exactly while it belongs to the current frame.
    if (batch.dynamicObjects.empty()) m_frameBlocks.push_back({TPtr<CPMaterial>(material), &batch});
    batch.AddRenderObject(object);
}

void CPRenderBlock::AddShown(CPMaterial* material, CPRenderObjectBase& shown, const TPtr<CPGameObject>& owner) {
    if (!material) return;
    m_frameOwners.push_back(owner);
    AddToBatch(material, TPtr<CPRenderObjectBase>(&shown));
}

CPIVBlock& CPRenderBlock::BatchOf(CPMaterial* material) {
    TPtr<CPIVBlock>& batch = m_blocks[material];
    if (!batch) batch = new CPIVBlock(m_vertexBuffer);
    return *batch;
}

bool CPRenderBlock::CreateBuffer(bool isStatic, int32_t maxVertices, int32_t maxIndices) {
    m_vertexBuffer = new CPIVertexBuffer;
    if (m_vertexBuffer->Create(isStatic, maxVertices, maxIndices)) return true;
    m_vertexBuffer.Reset();
    return false;
}

void CPRenderBlock::Submit() {
    if (CPRender* render = GetRender()) render->AddBlockToFill(TPtr<CPRenderBlock>(this));
    for (const FrameBatch& frameBatch : m_frameBlocks) frameBatch.material->Enqueue(frameBatch.batch);
}

bool CPRenderBlock::FillBuffers() {
    if (!m_needsFill) return false;
    if (!m_vertexBuffer || !m_vertexBuffer->Lock(0, 0)) return false;
    for (const FrameBatch& frameBatch : m_frameBlocks) {
        if (!frameBatch.batch->written) m_vertexBuffer->FillBlock(*frameBatch.batch);
    }
    m_needsFill = false;
    return m_vertexBuffer->Unlock();
}

void CPRenderBlock::EndFrame() {
    for (const FrameBatch& frameBatch : m_frameBlocks) {
        CPIVBlock& batch = *frameBatch.batch;
        batch.dynamicObjects.clear();
        batch.staticObjects.clear();
        batch.written = false;
        batch.vertexCount = 0;
        batch.indexCount = 0;
    }
    m_frameBlocks.clear();
    m_frameOwners.clear();
    m_needsFill = true;
}
