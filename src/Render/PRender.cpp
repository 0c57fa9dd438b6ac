#include "Render/PRender.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "Render/DeviceError.h"
#include "Render/DrawnMesh.h"
#include "Render/PAnimatedObject.h"
#include "Render/PDeviceObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PLog.h"
#include "core/SettingsVariables.h"
#include "core/TextHelpers.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"

using namespace platform::gfx;

namespace {

constexpr uint32_t kClearColour = 0xFF000000u;
// The statistics text: bright yellow over a black shadow one pixel down and right, readable on
// dark and bright ground alike.
constexpr uint32_t kStatisticsColour = 0xFFFFE040u;
constexpr uint32_t kStatisticsShadow = 0xFF000000u;
constexpr Rect kStatisticsRect = {20, 0, 1000, 600};
constexpr Rect kStatisticsShadowRect = {21, 1, 1001, 601};
// Effect groups and material entries that have had nothing to draw for longer leave the queue.
constexpr int32_t kIdleFrames = 10;
constexpr char kShadowEffect[] = "shad.fx";
constexpr const char* kSource = "Render\\PRender";

// The view and projection that hold until a layer camera replaces them.
const PVector3 kDefaultEye = {0.0f, 0.0f, 14.5f};
const PVector3 kDefaultUp = {0.0f, -1.0f, 0.0f};
constexpr float kDefaultFieldOfView = 1.0995574f;  // 63 degrees
constexpr float kDefaultAspect = 4.0f / 3.0f;
constexpr float kDefaultNear = 0.1f;
constexpr float kDefaultFar = 1000.0f;

constexpr Material kDeviceMaterial = {
    {1.0f, 1.0f, 1.0f, 1.0f}, {0.75f, 0.75f, 0.75f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, 10.0f};

// The world matrix a static object is drawn with; null for objects without one.
const PMatrix* DrawnWorld(const CPRenderObjectBase& object) {
    if (const auto* mesh = dynamic_cast<const CPRenderObject*>(&object)) return &mesh->GetWorld();
    if (const auto* animated = dynamic_cast<const CPAnimatedObject*>(&object)) return &animated->GetWorld();
    return nullptr;
}

}  // namespace

CPRender::CPRender() = default;

CPRender::~CPRender() = default;

// --- Start, stop and the device ----------------------------------------------------------------

namespace {
constexpr int32_t kQualityLevels = 4;  // 2, 4, 8 and 16 samples
}

int32_t CPRender::MultisampleFromSettings(bool fullScreen) {
    if (!fullScreen || g_fsaa == 0 || g_quality <= 0) return 0;
    const int32_t level = std::min(g_quality, kQualityLevels - 1);
    return 2 << level;
}

int32_t CPRender::MultisampleQualityLevels(int32_t maxSamples) {
    int32_t levels = 0;
    while (levels < kQualityLevels && (2 << levels) <= maxSamples) ++levels;
    return levels;
}

bool CPRender::Start() {
    if (IsRunning()) return false;
    m_trianglesDrawn = 0;
    m_drawCalls = 0;
    if (!CreateDevice()) return false;
    if (!m_statisticsFont.Create(*m_device)) GetLog()->Print(0, "Cannot create the statistics font\n");
    m_statisticsTime = 0.0;
    m_statisticsFrames = 0;
    std::snprintf(m_modeText, sizeof(m_modeText), "%dx%dx%d", g_screenWidth, g_screenHeight, g_screenBPP);
    m_renderBlock = new CPRenderBlock;
    if (!m_renderBlock->CreateBuffer(false, 0, 0)) GetLog()->Print(0, "Cannot create the streaming buffers\n");
    g_aniso = std::min(g_aniso, m_device->Caps().maxAnisotropy);
    InitDeviceState();
    // Every OpenGL 3.3 device runs the bloom effects; the setting alone decides.
    m_bloomActive = g_bloom != 0;
    if (m_bloomActive) m_bloom.Init(m_device.get());
    if (CPMaterialManager* materials = GetMaterialManager()) {
        m_shadowMaterial = materials->GetMaterial(kShadowLayer, kShadowEffect, {});
    }
    m_screenshots = ParseScreenshotRequests(std::getenv("VX_SCREENSHOT"));
    return IPTask::Start();
}

bool CPRender::CreateDevice() {
    auto* window = static_cast<platform::Window*>(GetKernel() ? GetKernel()->GetWindow() : nullptr);
    if (!window) {
        GetLog()->Print(0, "The renderer has no window to draw in\n");
        return false;
    }
    std::string error;
    m_device = Device::Create(*window, error);
    if (!m_device) {
        GetLog()->Print(0, "Cannot create the drawing device: %s\n", error.c_str());
        return false;
    }
    m_device->Clear(ClearTarget | ClearZBuffer, kClearColour, 1.0f);
    m_device->Present();
    return true;
}

void CPRender::InitDeviceState() {
    m_device->SetTransform(TransformType::View, MatrixLookAtLH(kDefaultEye, {0.0f, 0.0f, 0.0f}, kDefaultUp));
    m_device->SetTransform(TransformType::Projection,
                           MatrixPerspectiveFovLH(kDefaultFieldOfView, kDefaultAspect, kDefaultNear, kDefaultFar));
    for (uint32_t sampler = 0; sampler < 2; ++sampler) {
        m_device->SetSamplerState(sampler, SamplerState::MagFilter, TextureFilter::Linear);
        m_device->SetSamplerState(sampler, SamplerState::MinFilter, TextureFilter::Linear);
        m_device->SetSamplerState(sampler, SamplerState::MipFilter, TextureFilter::Linear);
        // Kept after resets too, which bring the samplers back to their defaults.
        m_device->SetSamplerState(sampler, SamplerState::MaxAnisotropy, static_cast<uint32_t>(std::max(g_aniso, 1)));
    }
    m_device->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Disable);
    m_device->SetTextureStageState(0, TextureStageState::ColorArg1, TextureArg::Texture);
    m_device->SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    m_device->SetTextureStageState(0, TextureStageState::AlphaArg1, TextureArg::Texture);
    m_device->SetTextureStageState(0, TextureStageState::AlphaArg2, TextureArg::Diffuse);
    m_device->SetTextureStageState(1, TextureStageState::AlphaOp, TextureOp::Disable);
    m_device->SetTextureStageState(1, TextureStageState::ColorArg1, TextureArg::Texture);
    m_device->SetTextureStageState(1, TextureStageState::ColorArg2, TextureArg::Current);
    m_device->SetTextureStageState(1, TextureStageState::AlphaArg1, TextureArg::Texture);
    m_device->SetTextureStageState(1, TextureStageState::AlphaArg2, TextureArg::Current);
    m_device->SetRenderState(RenderState::ZFunc, CompareFunc::LessEqual);
    m_device->SetRenderState(RenderState::CullMode, CullMode::CCW);
    m_device->SetRenderState(RenderState::Ambient, 0xFF969696u);
    m_device->SetMaterial(kDeviceMaterial);

    TPtr<CPBaseCamera> screenCamera(new CPBaseCamera);
    screenCamera->SetView(MatrixOrthoOffCenterLH(0.0f, static_cast<float>(g_screenWidth),
                                                 static_cast<float>(g_screenHeight), 0.0f, 0.0f, 1.0f));
    SetLayerCamera(kScreenLayer, screenCamera);
}

void CPRender::Stop() {
    IPTask::Stop();
    m_statisticsFont.Release();
    m_bloom.Release();
    m_device.reset();
}

void CPRender::ResetDevice() {
    IPDeviceObject::BroadcastLostDevice();
    if (!m_device) return;
    if (m_bloomActive) m_bloom.Release();
    m_device->Reset();
    IPDeviceObject::BroadcastResetDevice();
    InitDeviceState();
    if (m_bloomActive) m_bloom.Init(m_device.get());
    m_lightCount = 0;
}

bool CPRender::IsDeviceUsable() const {
    if (!m_device || !m_renderBlock) return false;
    const auto* window = static_cast<const platform::Window*>(GetKernel() ? GetKernel()->GetWindow() : nullptr);
    if (!window || window->ClientWidth() != m_device->BackBufferWidth() ||
        window->ClientHeight() != m_device->BackBufferHeight() || window->ClientWidth() <= 0 ||
        window->ClientHeight() <= 0) {
        return false;
    }
    const TPtr<CPIVertexBuffer>& ring = m_renderBlock->GetVertexBuffer();
    return ring && ring->GetVertexBuffer(0) && ring->GetIndexBuffer(0);
}

// --- The frame -----------------------------------------------------------------------------

void CPRender::Update() {
    const int64_t start = platform::GetClock().Counter();
    for (const TPtr<CPRenderBlock>& block : m_fillList) block->FillBuffers();
    m_fillList.clear();
    if (!IsDeviceUsable()) {
        EndFrame();
        return;
    }
    m_device->SetTransform(TransformType::World, MatrixIdentity());
    m_renderBlock->Submit();
    m_statisticsTime += g_frameDelta;
    m_trianglesDrawn = 0;
    m_drawCalls = 0;
    m_boundVertexBuffer = nullptr;
    m_boundIndexBuffer = nullptr;
    ++m_statisticsFrames;
    m_device->Clear(ClearTarget | ClearZBuffer, kClearColour, 1.0f);
    for (int32_t i = 0; i < kMaxLights; ++i) {
        const uint32_t index = static_cast<uint32_t>(i);
        if (i < m_lightCount) m_device->SetLight(index, m_lights[i]);
        m_device->LightEnable(index, i < m_lightCount);
    }
    DrawLayers();
    if (g_statistic != 0) DrawStatistics();
    if (m_fadeLevel < kFadeMaximum) DrawFade();
    if (m_captureNext || ScreenshotDue()) ReadBackFrame();
    const platform::IClock& clock = platform::GetClock();
    m_frameSeconds = static_cast<double>(clock.Counter() - start) / static_cast<double>(clock.CounterFrequency());
    m_device->Present();
    EndFrame();
}

void CPRender::EndFrame() {
    if (m_renderBlock) m_renderBlock->EndFrame();
    m_lightCount = 0;
    m_lineVertices.clear();
}

void CPRender::CaptureNextFrame() {
    m_captureNext = true;
    m_captured = {};
}

void CPRender::ReadBackFrame() {
    m_captureNext = false;
    m_captured.width = m_device->BackBufferWidth();
    m_captured.height = m_device->BackBufferHeight();
    m_captured.pixels.resize(static_cast<size_t>(m_captured.width) * static_cast<size_t>(m_captured.height));
    if (!m_device->ReadPixels({0, 0, m_captured.width, m_captured.height}, m_captured.pixels.data())) {
        m_captured.pixels.clear();
        GetLog()->Print(0, "Cannot read the frame back\n");
        return;
    }
    for (const ScreenshotRequest& request : m_screenshots) {
        if (request.frame == m_statisticsFrames && !WriteScreenshot(request.path, m_captured)) {
            GetLog()->Print(0, "Cannot write the screenshot %s\n", request.path.c_str());
        }
    }
}

bool CPRender::ScreenshotDue() const {
    for (const ScreenshotRequest& request : m_screenshots) {
        if (request.frame == m_statisticsFrames) return true;
    }
    return false;
}

// --- The draw pass -----------------------------------------------------------------------------

void CPRender::DrawLayers() {
    PassState pass;
    for (auto& [id, layer] : m_layers) {
        if (!pass.bloomDone && id > kLastSceneLayer) RunBloom(pass);
        if (layer.useCount < 1) continue;
        DrawLayer(layer, pass);
    }
}

void CPRender::RunBloom(PassState& pass) {
    if (m_bloomActive) {
        m_bloom.Prepare();
        m_bloom.Apply();
    }
    pass.bloomDone = true;
    m_boundVertexBuffer = nullptr;
    m_boundIndexBuffer = nullptr;
}

void CPRender::DrawLayer(SPRenderLayer& layer, PassState& pass) {
    if (layer.camera) {
        ++pass.cameraLayers;
        m_device->SetTransform(TransformType::View, layer.camera->GetView());
        m_device->SetTransform(TransformType::Projection, layer.camera->GetProjection());
    }
    if (layer.hasWorld) m_device->SetTransform(TransformType::World, layer.world);
    layer.frameStamp = g_frameCounter;
    for (auto group = layer.effectGroups.begin(); group != layer.effectGroups.end();) {
        if (group->second.useCount >= 1) {
            DrawGroup(layer, group->second, pass);
        } else if (g_frameCounter - group->second.frameStamp > kIdleFrames) {
            group = layer.effectGroups.erase(group);
            continue;
        }
        ++group;
    }
    if (layer.id == kLineLayer && pass.cameraLayers == 1 && !m_lineVertices.empty()) DrawLines();
}

void CPRender::DrawGroup(SPRenderLayer& layer, SPEffectGroup& group, PassState& pass) {
    Effect* effect = group.effect ? group.effect->GetEffect() : nullptr;
    if (effect && group.effect->GetTimeHandle() >= 0) {
        effect->SetFloat(group.effect->GetTimeHandle(), static_cast<float>(g_totalTime));
    }
    uint32_t passCount = 0;
    if (!effect || !effect->Begin(passCount)) {
        // Nothing of the group is drawn this frame, and its batches do not wait for the next.
        for (auto& [block, entry] : group.entries) entry.material->ClearQueue();
        return;
    }
    group.frameStamp = g_frameCounter;
    for (auto entry = group.entries.begin(); entry != group.entries.end();) {
        if (DrawEntry(layer, entry->second, *effect, passCount, pass)) {
            ++entry;
            continue;
        }
        entry = group.entries.erase(entry);
        --group.useCount;
        --layer.useCount;
    }
    effect->End();
}

bool CPRender::DrawEntry(SPRenderLayer& layer, SPMaterialEntry& entry, Effect& effect, uint32_t passCount,
                         PassState& pass) {
    CPMaterial& material = *entry.material;
    if (material.GetDrawList().empty()) return g_frameCounter - entry.frameStamp <= kIdleFrames;
    material.GetEffect()->SetTextures(entry.textureBlock.Get());
    entry.frameStamp = g_frameCounter;
    for (const CPIVBlock* batch : material.GetDrawList()) {
        if (!batch->written) continue;
        if (batch->vertexCount > 0) DrawDynamic(layer, *batch, effect, passCount, pass);
        if (!batch->staticObjects.empty()) DrawStatic(layer, *batch, effect, passCount, pass);
    }
    material.ClearQueue();
    return true;
}

void CPRender::DrawDynamic(const SPRenderLayer& layer, const CPIVBlock& batch, Effect& effect, uint32_t passCount,
                           PassState& pass) {
    if (pass.worldTouched) {
        m_device->SetTransform(TransformType::World, layer.hasWorld ? layer.world : MatrixIdentity());
        pass.worldTouched = false;
    }
    Bind(batch.vertexBuffer, batch.indexBuffer);
    const uint32_t triangles = static_cast<uint32_t>(batch.indexCount / 3);
    for (uint32_t i = 0; i < passCount; ++i) {
        if (!effect.BeginPass(i)) continue;
        ++m_drawCalls;
        m_trianglesDrawn += static_cast<int32_t>(triangles);
        if (!m_device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, static_cast<uint32_t>(batch.firstVertex),
                                            static_cast<uint32_t>(batch.vertexCount),
                                            static_cast<uint32_t>(batch.startIndex), triangles)) {
            ReportDeviceError(kSource, __LINE__, "D3DERR_INVALIDCALL", "a batch could not be drawn");
        }
        effect.EndPass();
    }
}

void CPRender::DrawStatic(const SPRenderLayer& layer, const CPIVBlock& batch, Effect& effect, uint32_t passCount,
                          PassState& pass) {
    for (uint32_t i = 0; i < passCount; ++i) {
        if (!effect.BeginPass(i)) continue;
        for (const TPtr<CPRenderObjectBase>& object : batch.staticObjects) {
            const SPMeshBuffers* mesh = DrawnMesh(*object);
            const PMatrix* world = DrawnWorld(*object);
            if (!mesh || !world) continue;
            pass.worldTouched = true;
            m_device->SetTransform(TransformType::World, layer.hasWorld ? *world * layer.world : *world);
            Bind(mesh->vertexBuffer.get(), mesh->indexBuffer.get());
            m_device->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, static_cast<uint32_t>(mesh->vertexCount),
                                           0, static_cast<uint32_t>(mesh->triangleCount));
        }
        effect.EndPass();
    }
}

void CPRender::Bind(const VertexBuffer* vertices, const IndexBuffer* indices) {
    if (vertices == m_boundVertexBuffer && indices == m_boundIndexBuffer) return;
    m_device->SetStreamSource(vertices);
    m_device->SetIndices(indices);
    m_boundVertexBuffer = vertices;
    m_boundIndexBuffer = indices;
}

void CPRender::DrawLines() {
    m_device->SetTransform(TransformType::World, MatrixIdentity());
    m_boundVertexBuffer = nullptr;
    m_boundIndexBuffer = nullptr;
    // The lines change these states and put back what they found, so later draws are not affected.
    constexpr RenderState kChanged[] = {RenderState::ZWriteEnable, RenderState::ZEnable, RenderState::Lighting,
                                        RenderState::FillMode};
    uint32_t saved[std::size(kChanged)];
    for (size_t i = 0; i < std::size(kChanged); ++i) saved[i] = m_device->GetRenderState(kChanged[i]);
    const uint32_t savedColourOp = m_device->GetTextureStageState(0, TextureStageState::ColorOp);
    m_device->SetRenderState(RenderState::ZWriteEnable, false);
    m_device->SetRenderState(RenderState::ZEnable, false);
    m_device->SetRenderState(RenderState::Lighting, false);
    m_device->SetRenderState(RenderState::FillMode, FillMode::Solid);
    m_device->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    m_device->DrawPrimitiveUP(PrimitiveType::LineList, static_cast<uint32_t>(m_lineVertices.size() / 2),
                              m_lineVertices.data());
    for (size_t i = 0; i < std::size(kChanged); ++i) m_device->SetRenderState(kChanged[i], saved[i]);
    m_device->SetTextureStageState(0, TextureStageState::ColorOp, savedColourOp);
    m_lineVertices.clear();
}

// --- Over the scene: statistics and fade -------------------------------------------------------

void CPRender::DrawStatistics() {
    const int32_t framesPerSecond =
        m_statisticsTime > 0.0 ? static_cast<int32_t>(m_statisticsFrames / m_statisticsTime) : 0;
    std::snprintf(m_statisticsText, sizeof(m_statisticsText),
                  "%s  FPS %d  CPU %.2f MS\nFRAMES %d  DRAWS %d  TRIANGLES %d", m_modeText, framesPerSecond,
                  m_frameSeconds * 1000.0, m_statisticsFrames, m_drawCalls, m_trianglesDrawn);
    m_statisticsFont.Draw(*m_device, m_statisticsText, kStatisticsShadowRect, kStatisticsShadow);
    m_statisticsFont.Draw(*m_device, m_statisticsText, kStatisticsRect, kStatisticsColour);
}

void CPRender::DrawFade() {
    m_device->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg2);
    m_device->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    m_device->SetRenderState(RenderState::ZEnable, false);
    m_device->SetRenderState(RenderState::Lighting, false);
    m_device->SetRenderState(RenderState::ZWriteEnable, false);
    m_device->SetRenderState(RenderState::CullMode, CullMode::None);
    m_device->SetRenderState(RenderState::AlphaBlendEnable, true);
    m_device->SetRenderState(RenderState::SrcBlend, BlendFactor::SrcAlpha);
    m_device->SetRenderState(RenderState::DestBlend, BlendFactor::InvSrcAlpha);

    const uint32_t alpha = static_cast<uint32_t>(std::max(0, static_cast<int32_t>(255.0f - m_fadeLevel)));
    const uint32_t colour = alpha << 24;
    // The whole back buffer, whatever size the window has taken.
    const float right = static_cast<float>(m_device->BackBufferWidth()) - 0.5f;
    const float bottom = static_cast<float>(m_device->BackBufferHeight()) - 0.5f;
    const ScreenVertex quad[4] = {
        {right, -0.5f, 1.0f, 1.0f, colour, 1.0f, 0.0f},
        {right, bottom, 1.0f, 1.0f, colour, 1.0f, 1.0f},
        {-0.5f, -0.5f, 1.0f, 1.0f, colour, 0.0f, 0.0f},
        {-0.5f, bottom, 1.0f, 1.0f, colour, 0.0f, 1.0f},
    };
    m_device->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad);

    m_device->SetRenderState(RenderState::ZEnable, true);
    m_device->SetRenderState(RenderState::Lighting, true);
    m_device->SetRenderState(RenderState::ZWriteEnable, true);
    m_device->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Disable);
    m_device->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::Modulate);
    m_device->SetRenderState(RenderState::AlphaBlendEnable, false);
    m_device->SetRenderState(RenderState::CullMode, CullMode::CCW);
}

// --- The queue -------------------------------------------------------------------------------

SPRenderLayer& CPRender::Layer(int32_t id) {
    SPRenderLayer& layer = m_layers[id];
    layer.id = id;
    return layer;
}

void CPRender::AddToRenderQueue(CPMaterial* material) {
    SPRenderLayer& layer = Layer(material->GetLayer());
    ++layer.useCount;
    SPEffectGroup& group = layer.effectGroups[material->GetEffect()];
    if (++group.useCount == 1) group.effect = material->GetEffect();
    SPMaterialEntry& entry = group.entries[material->GetTextureBlock()];
    if (++entry.useCount == 1) {
        entry.textureBlock = material->GetTextureBlock();
        entry.material = material;
    }
}

void CPRender::SetLayerCamera(int32_t id, const TPtr<CPBaseCamera>& camera) {
    SPRenderLayer& layer = Layer(id);
    ++layer.useCount;
    layer.camera = camera;
}

TPtr<CPBaseCamera> CPRender::GetLayerCamera(int32_t id) const {
    const auto found = m_layers.find(id);
    return found == m_layers.end() ? TPtr<CPBaseCamera>() : found->second.camera;
}

void CPRender::SetLayerWorldMatrix(const PMatrix& world, int32_t id) {
    SPRenderLayer& layer = Layer(id);
    ++layer.useCount;
    layer.hasWorld = true;
    layer.world = world;
}

TPtr<CPRenderBlock> CPRender::GetRenderBlock() const { return m_renderBlock; }

TPtr<CPMaterial> CPRender::GetShadowMaterial() const { return m_shadowMaterial; }

void CPRender::AddBlockToFill(const TPtr<CPRenderBlock>& block) { m_fillList.push_back(block); }

bool CPRender::AddLight(const Light& light) {
    if (m_lightCount >= kMaxLights) return false;
    m_lights[m_lightCount++] = light;
    return true;
}

void CPRender::AddLine(uint32_t colour, const PVector3& from, const PVector3& to) {
    m_lineVertices.push_back(Vertex{from.x, from.y, from.z, 0.0f, 0.0f, 0.0f, colour, 0, 0.0f, 0.0f, 0.0f, 0.0f});
    m_lineVertices.push_back(Vertex{to.x, to.y, to.z, 0.0f, 0.0f, 0.0f, colour, 0, 0.0f, 0.0f, 0.0f, 0.0f});
}

void CPRender::SetFade(float level) {
    const float clamped = std::clamp(level, 0.0f, 1.0f);
    m_fadeLevel = std::clamp(kFadeMaximum * clamped, 0.0f, static_cast<float>(kFadeMaximum));
}

// --- The static mesh cache -----------------------------------------------------------------------

SPMeshBuffers* CPRender::GetMeshBuffers(const std::string& name, const SPVertex* vertices,
                                        const uint16_t* indices, int32_t vertexCount, int32_t indexCount) {
    std::string key = name;
    StrToLower(key);
    if (const auto found = m_meshCache.find(key); found != m_meshCache.end()) return found->second.get();

    if (!m_device || !vertices || !indices || vertexCount <= 0 || vertexCount > kMaxMeshVertices || indexCount <= 0 ||
        !IndicesWithin(indices, indexCount, 0, vertexCount)) {
        GetLog()->Print(0, "The mesh %s is refused: %d vertices, %d indices\n", name.c_str(), vertexCount, indexCount);
        return nullptr;
    }
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
