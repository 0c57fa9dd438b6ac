#include "Render/PRender.h"

#include <cstring>

#include "Render/PDeviceObject.h"
#include "core/PKernel.h"
#include "core/PLog.h"
#include "core/TextHelpers.h"
#include "platform/Window.h"
#include "platform/gfx/Device.h"

namespace {

constexpr uint32_t kClearColour = 0xFF000000;

}  // namespace

CPRender::CPRender() = default;
CPRender::~CPRender() = default;

bool CPRender::Start() {
    auto* window = static_cast<platform::Window*>(GetKernel()->GetWindow());
    if (!window) {
        GetLog()->Print(0, "The renderer has no window to draw in\n");
        return false;
    }
    std::string error;
    m_device = platform::gfx::Device::Create(*window, error);
    if (!m_device) {
        GetLog()->Print(0, "Cannot create the drawing device: %s\n", error.c_str());
        return false;
    }
    m_device->SetListener(this);
    return IPTask::Start();
}

void CPRender::Update() {
    m_device->Clear(platform::gfx::ClearTarget | platform::gfx::ClearZBuffer, kClearColour, 1.0f);
    m_device->Present();
}

void CPRender::Stop() {
    IPTask::Stop();
    m_device.reset();
}

void CPRender::ResetDevice() {
    if (m_device) m_device->Reset();
}

void CPRender::AddToRenderQueue(CPMaterial*) {}

void CPRender::OnDeviceLost() { IPDeviceObject::BroadcastLostDevice(); }

void CPRender::OnDeviceReset() { IPDeviceObject::BroadcastResetDevice(); }

namespace {

bool IndicesInRange(const uint16_t* indices, int32_t indexCount, int32_t vertexCount) {
    for (int32_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) return false;
    }
    return true;
}

}  // namespace

const SPMeshBuffers* CPRender::GetMeshBuffers(const std::string& name, const SPVertex* vertices,
                                              const uint16_t* indices, int32_t vertexCount, int32_t indexCount) {
    std::string key = name;
    StrToLower(key);
    if (const auto found = m_meshCache.find(key); found != m_meshCache.end()) return found->second.get();

    if (!m_device || !vertices || !indices || vertexCount <= 0 || vertexCount > kMaxMeshVertices || indexCount <= 0 ||
        !IndicesInRange(indices, indexCount, vertexCount)) {
        GetLog()->Print(0, "The mesh %s is refused: %d vertices, %d indices\n", name.c_str(), vertexCount, indexCount);
        return nullptr;
    }
    using namespace platform::gfx;
    auto mesh = std::make_unique<SPMeshBuffers>();
    mesh->vertexBuffer = m_device->CreateVertexBuffer(static_cast<uint32_t>(vertexCount), Usage::Static, Pool::Managed);
    mesh->indexBuffer = m_device->CreateIndexBuffer(static_cast<uint32_t>(indexCount), Usage::Static, Pool::Managed);
    if (!mesh->vertexBuffer || !mesh->indexBuffer) return nullptr;
    mesh->vertices.assign(vertices, vertices + vertexCount);
    mesh->indices.assign(indices, indices + indexCount);
    Vertex* vertexData = mesh->vertexBuffer->Lock(0, 0, LockNone);
    uint16_t* indexData = mesh->indexBuffer->Lock(0, 0, LockNone);
    if (!vertexData || !indexData) return nullptr;
    std::memcpy(vertexData, vertices, sizeof(SPVertex) * static_cast<size_t>(vertexCount));
    std::memcpy(indexData, indices, sizeof(uint16_t) * static_cast<size_t>(indexCount));
    mesh->vertexBuffer->Unlock();
    mesh->indexBuffer->Unlock();
    mesh->vertexCount = vertexCount;
    mesh->triangleCount = indexCount / 3;
    return m_meshCache.emplace(std::move(key), std::move(mesh)).first->second.get();
}
