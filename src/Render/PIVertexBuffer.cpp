#include "Render/PIVertexBuffer.h"

#include <algorithm>

#include "Render/DeviceError.h"
#include "Render/DrawnMesh.h"
#include "Render/PIVBlock.h"
#include "Render/PRender.h"
#include "Render/PRenderObjectBase.h"
#include "core/PLog.h"
#include "platform/gfx/Device.h"

using namespace platform::gfx;

namespace {

constexpr const char* kSource = "Render\\PIVertexBuffer";

bool DrawnFromMesh(const CPRenderObjectBase& object)
{
    const int32_t type = object.GetType();
    return type == CPRenderObjectBase::Static || type == CPRenderObjectBase::Animated;
}

}  // namespace

CPIVertexBuffer::CPIVertexBuffer() = default;

CPIVertexBuffer::~CPIVertexBuffer() { ReleaseBuffers(); }

bool CPIVertexBuffer::Create(bool isStatic, int32_t maxVertices, int32_t maxIndices)
{
    m_current = 0;
    if (m_vertexBuffers[0] || m_indexBuffers[0]) return false;
    m_maxIndices = maxIndices > 0 ? maxIndices : kDefaultMaxIndices;
    m_maxVertices = maxVertices > 0 ? maxVertices : kDefaultMaxVertices;
    m_isStatic = isStatic;
    m_usedIndices = m_usedVertices = 0;
    m_count = isStatic ? 1 : kDynamicPairs;
    Device* device = CurrentDevice();
    const Usage usage = isStatic ? Usage::Static : Usage::Dynamic;
    bool created = true;
    for (int32_t i = 0; i < m_count; ++i) {
        if (device) {
            m_vertexBuffers[i] = device->CreateVertexBuffer(static_cast<uint32_t>(m_maxVertices), usage, Pool::Default);
            m_indexBuffers[i] = device->CreateIndexBuffer(static_cast<uint32_t>(m_maxIndices), usage, Pool::Default);
        }
        if (!m_vertexBuffers[i] || !m_indexBuffers[i]) {
            ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "cannot create a streaming buffer pair");
            created = false;
        }
    }
    return created;
}

bool CPIVertexBuffer::Lock(int32_t vertexCount, int32_t indexCount)
{
    if (m_locked || !LockCurrent(vertexCount, indexCount)) return false;
    m_pairsSinceLock = 1;
    return true;
}

bool CPIVertexBuffer::LockCurrent(int32_t vertexCount, int32_t indexCount)
{
    m_usedVertices = m_usedIndices = 0;
    VertexBuffer* vertices = m_vertexBuffers[m_current].get();
    IndexBuffer* indices = m_indexBuffers[m_current].get();
    if (!vertices || !indices || vertexCount < 0 || indexCount < 0) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "no streaming buffer pair to lock");
        return false;
    }
    Vertex* vertexData = vertices->Lock(0, static_cast<uint32_t>(vertexCount), LockDiscard);
    if (!vertexData) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "cannot lock the streaming vertex buffer");
        return false;
    }
    uint16_t* indexData = indices->Lock(0, static_cast<uint32_t>(indexCount), LockDiscard);
    if (!indexData) {
        ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "cannot lock the streaming index buffer");
        vertices->Unlock();
        return false;
    }
    // The storage the device hands out holds no objects: it takes engine vertices as they are.
    m_vertexCursor = reinterpret_cast<SPVertex*>(vertexData);
    m_indexCursor = indexData;
    m_lockedVertices = vertexCount > 0 ? vertexCount : static_cast<int32_t>(vertices->VertexCount());
    m_lockedIndices = indexCount > 0 ? indexCount : static_cast<int32_t>(indices->IndexCount());
    m_locked = true;
    return true;
}

bool CPIVertexBuffer::Unlock()
{
    if (!m_locked) return false;
    const bool vertices = m_vertexBuffers[m_current]->Unlock();
    const bool indices = m_indexBuffers[m_current]->Unlock();
    m_current = (m_current + 1) % m_count;
    m_locked = false;
    m_vertexCursor = nullptr;
    m_indexCursor = nullptr;
    return vertices && indices;
}

void CPIVertexBuffer::ReleaseBuffers()
{
    if (m_locked) Unlock();
    for (int32_t i = 0; i < kDynamicPairs; ++i) {
        m_vertexBuffers[i].reset();
        m_indexBuffers[i].reset();
    }
}

void CPIVertexBuffer::OnLostDevice() { ReleaseBuffers(); }

void CPIVertexBuffer::OnResetDevice() { Create(m_isStatic, m_maxVertices, m_maxIndices); }

const VertexBuffer* CPIVertexBuffer::GetVertexBuffer(int32_t position) const
{
    return position >= 0 && position < kDynamicPairs ? m_vertexBuffers[position].get() : nullptr;
}

const IndexBuffer* CPIVertexBuffer::GetIndexBuffer(int32_t position) const
{
    return position >= 0 && position < kDynamicPairs ? m_indexBuffers[position].get() : nullptr;
}

// --- Filling -----------------------------------------------------------------------------------

bool CPIVertexBuffer::Fits(int32_t indices, int32_t vertices) const
{
    const int64_t i = static_cast<int64_t>(m_usedIndices) + indices;
    const int64_t v = static_cast<int64_t>(m_usedVertices) + vertices;
    return i < kIndexLimit && v < kVertexLimit && i <= m_lockedIndices && v <= m_lockedVertices;
}

bool CPIVertexBuffer::StartNextPair()
{
    // Pairs used since Lock still hold batches that this frame draws: the ring must not come
    // round to them again.
    if (m_pairsSinceLock >= m_count) return false;
    Unlock();
    if (!LockCurrent(0, 0)) return false;
    ++m_pairsSinceLock;
    return true;
}

void CPIVertexBuffer::RecordPlace(CPIVBlock& block) const
{
    block.vertexBuffer = m_vertexBuffers[m_current].get();
    block.indexBuffer = m_indexBuffers[m_current].get();
    block.startIndex = m_usedIndices;
    block.firstVertex = m_usedVertices;
}

bool CPIVertexBuffer::FillBlock(CPIVBlock& block)
{
    if (!m_locked) return false;
    const bool pairInUse = m_usedIndices > 0 || m_usedVertices > 0;
    if (pairInUse && !Fits(block.indexCount, block.vertexCount)) StartNextPair();
    if (!m_locked) return false;
    const int32_t batchIndices = m_usedIndices;
    const int32_t batchVertices = m_usedVertices;
    if (WriteDynamic(block, true) == Written::NeedsNextPair) {
        if (!StartNextPair()) {
            if (!m_locked) return false;
            // No pair left: write the batch again where it began, as far as it fits.
            m_usedIndices = batchIndices;
            m_usedVertices = batchVertices;
        }
        WriteDynamic(block, false);
    }
    GroupByMesh(block);
    block.written = true;
    return true;
}

CPIVertexBuffer::Written CPIVertexBuffer::WriteDynamic(CPIVBlock& block, bool mayMove)
{
    RecordPlace(block);
    const bool pairHeldOthers = m_usedIndices > 0 || m_usedVertices > 0;
    m_leftOut.assign(block.dynamicObjects.size(), false);
    if (!mayMove || !pairHeldOthers) LeaveOutWhatCrowdsOthersOut(block);
    int32_t indexSum = 0;
    int32_t vertexSum = 0;
    for (size_t i = 0; i < block.dynamicObjects.size(); ++i) {
        CPRenderObjectBase& object = *block.dynamicObjects[i];
        const int32_t indices = object.GetIndexCount();
        const int32_t vertices = object.GetVertexCount();
        if (!IsWritten(object) || m_leftOut[i]) continue;
        if (!Fits(indices, vertices)) {
            if (mayMove && pairHeldOthers) return Written::NeedsNextPair;
            continue;
        }
        if (!WriteObject(object, indices, vertices)) continue;
        indexSum += indices;
        vertexSum += vertices;
    }
    block.indexCount = indexSum;
    block.vertexCount = vertexSum;
    return Written::All;
}

bool CPIVertexBuffer::IsWritten(const CPRenderObjectBase& object)
{
    return !DrawnFromMesh(object) && object.GetIndexCount() >= 0 && object.GetVertexCount() >= 0;
}

void CPIVertexBuffer::LeaveOutWhatCrowdsOthersOut(const CPIVBlock& block)
{
    int64_t indexSum = 0;
    int64_t vertexSum = 0;
    for (const TPtr<CPRenderObjectBase>& object : block.dynamicObjects) {
        if (!IsWritten(*object)) continue;
        indexSum += object->GetIndexCount();
        vertexSum += object->GetVertexCount();
    }
    // The batch must stay where it is: the largest objects are left out first, so that one
    // oversized object costs only itself and not everything drawn after it.
    while (!Fits(static_cast<int32_t>(std::min<int64_t>(indexSum, kIndexLimit)),
                 static_cast<int32_t>(std::min<int64_t>(vertexSum, kVertexLimit)))) {
        size_t largest = block.dynamicObjects.size();
        for (size_t i = 0; i < block.dynamicObjects.size(); ++i) {
            const CPRenderObjectBase& object = *block.dynamicObjects[i];
            if (m_leftOut[i] || !IsWritten(object)) continue;
            if (largest == block.dynamicObjects.size() ||
                object.GetVertexCount() >= block.dynamicObjects[largest]->GetVertexCount()) {
                largest = i;
            }
        }
        if (largest == block.dynamicObjects.size()) return;
        const CPRenderObjectBase& object = *block.dynamicObjects[largest];
        GetLog()->Print(0, "A batch holds more geometry than a streaming buffer pair: %s dropped this frame\n",
                        object.GetClassName().c_str());
        m_leftOut[largest] = true;
        indexSum -= object.GetIndexCount();
        vertexSum -= object.GetVertexCount();
    }
}

bool CPIVertexBuffer::WriteObject(CPRenderObjectBase& object, int32_t indices, int32_t vertices)
{
    uint16_t* indexDestination = m_indexCursor + m_usedIndices;
    object.WriteGeometry(m_vertexCursor + m_usedVertices, indexDestination, static_cast<uint16_t>(m_usedVertices));
    if (!IndicesWithin(indexDestination, indices, m_usedVertices, vertices)) {
        GetLog()->Print(0, "%s wrote an index outside its vertices: dropped this frame\n", object.GetClassName().c_str());
        return false;
    }
    m_usedIndices += indices;
    m_usedVertices += vertices;
    return true;
}

void CPIVertexBuffer::GroupByMesh(CPIVBlock& block)
{
    m_grouping.clear();
    for (size_t i = 0; i < block.dynamicObjects.size(); ++i) {
        CPRenderObjectBase* object = block.dynamicObjects[i].Get();
        if (!DrawnFromMesh(*object)) continue;
        if (object->GetType() == CPRenderObjectBase::Animated) {
            // Advances the animation to the frame it shows; nothing is written for this type.
            object->WriteGeometry(m_vertexCursor + m_usedVertices, m_indexCursor + m_usedIndices,
                                  static_cast<uint16_t>(m_usedVertices));
        }
        if (const SPMeshBuffers* mesh = DrawnMesh(*object)) m_grouping.push_back({mesh, i, object});
    }
    std::sort(m_grouping.begin(), m_grouping.end(), [](const Grouped& a, const Grouped& b) {
        return a.mesh != b.mesh ? std::less<const SPMeshBuffers*>()(a.mesh, b.mesh) : a.order < b.order;
    });
    block.staticObjects.clear();
    for (const Grouped& grouped : m_grouping) block.staticObjects.emplace_back(grouped.object);
}
