#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/Bloom.h"
#include "Render/PMeshBuffers.h"
#include "Render/PRenderLayer.h"
#include "Render/Screenshot.h"
#include "Render/StatisticsFont.h"
#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PMath.h"
#include "platform/gfx/Light.h"

namespace platform::gfx {
class Device;
class Effect;
class IndexBuffer;
class VertexBuffer;
}  // namespace platform::gfx
class CPBaseCamera;
class CPIVBlock;
class CPMaterial;
class CPRenderBlock;
class CPRenderObjectBase;

// The renderer task: the last task of every pass (priority 10000). It owns the drawing device
// over the game window that the application stored in the kernel, the layered queue, the one
// render block that collects what the frame shows, the lights of the frame, the static mesh
// cache, the debug lines, the statistics text and the fade.
//
// A frame: the batches handed over are streamed into the ring, queued on their materials and
// drawn layer by layer in ascending id (each layer with its camera and world matrix), then the
// statistics text and the fade quad are drawn over everything and the frame is presented;
// finally everything handed over, the lights and the debug lines are let go.
//
// The device is usable while its back buffer matches the window and its streaming buffers
// exist. A frame on an unusable device (lost resources, a resize not yet followed by ResetDevice)
// is skipped: nothing is drawn or presented, and the frame's objects are still let go.
//
// Bloom (Bloom.h) runs before the first layer above 194 when the bloom setting was on at Start.
//
// The screen layer 195 carries a camera in pixel coordinates of the configured screen size, y
// down; later layers without a camera of their own are drawn with it too.
//
// Screenshots: with the environment variable VX_SCREENSHOT=<file.png>[:frame] the drawn frame
// of that number (counting from 1; 10 when not given) is written to the PNG file.
class CPRender : public IPTask, public TSingleton<CPRender> {
public:
    static constexpr int32_t kMaxLights = static_cast<int32_t>(platform::gfx::kMaxLights);
    // The layer of the screen camera; bloom runs before the first layer above kLastSceneLayer.
    static constexpr int32_t kScreenLayer = 195;
    static constexpr int32_t kLastSceneLayer = 194;
    // The debug lines are drawn after this layer.
    static constexpr int32_t kLineLayer = 20;
    // The layer and effect of the shadow material.
    static constexpr int32_t kShadowLayer = 16;
    static constexpr int32_t kFadeMaximum = 256;

    CPRender();
    ~CPRender() override;

    // The samples per pixel of the back buffer that the settings ask for, for the window to be
    // made with: only in full screen with fsaa on and quality above 0. Quality level q, at most
    // the last of the levels 2, 4, 8 and 16 samples, gives 2^(q + 1) samples; 0 means none. A
    // window that cannot have them falls back to fewer.
    static int32_t MultisampleFromSettings(bool fullScreen);
    // How many of those quality levels a device offers whose framebuffers take at most
    // maxSamples samples.
    static int32_t MultisampleQualityLevels(int32_t maxSamples);

    // Creates the device over the kernel's window, the statistics font, the render block with
    // its ring, the device states and the shadow material; false (with the reason in the log)
    // when there is no window or no device.
    bool Start() override;
    // Draws and presents one frame (see above).
    void Update() override;
    // Releases the font and the device; safe to call twice.
    void Stop() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPRender"; }

    // Resets the device (what a lost device needs): the device objects (PDeviceObject.h) are
    // told before and after, and the device states are set up again. The window procedure
    // calls it whenever the window becomes active or is resized, lost or not. Lights handed
    // over during the reset are dropped: their owners hand them over again in the next frame.
    void ResetDevice();

    // The collector of the frame, null before Start.
    TPtr<CPRenderBlock> GetRenderBlock() const;
    // The material "shad.fx" on layer 16 without textures; null when there was no material
    // manager at Start.
    TPtr<CPMaterial> GetShadowMaterial() const;
    // The render block to fill at the start of the next update.
    void AddBlockToFill(const TPtr<CPRenderBlock>& block);

    // Enters a material in the layered queue (its first batch of a frame while not registered).
    void AddToRenderQueue(CPMaterial* material);
    // The camera whose view and projection are set before the layer is drawn.
    void SetLayerCamera(int32_t id, const TPtr<CPBaseCamera>& camera);
    // The layer's own camera, null when it has none (or there is no such layer).
    TPtr<CPBaseCamera> GetLayerCamera(int32_t id) const;
    // The world matrix set before the layer is drawn and under its static objects.
    void SetLayerWorldMatrix(const PMatrix& world, int32_t id);

    // Appends a light for the frame; false (and ignored) when 30 are queued already.
    bool AddLight(const platform::gfx::Light& light);
    int32_t GetLightCount() const { return m_lightCount; }
    // Queues a line from one point to another, drawn after layer 20 when exactly one layer with
    // a camera has been drawn by then; the lines last one frame.
    void AddLine(uint32_t colour, const PVector3& from, const PVector3& to);
    // The fade: 1 shows the frame as it is, 0 black; values outside 0..1 count as the nearer end.
    void SetFade(float level);

    // The static mesh cached under name (any case), uploaded from the given arrays on the first
    // request; later requests ignore the arrays. Records live as long as the renderer. Null,
    // and nothing cached, when the mesh is refused (more than kMaxMeshVertices vertices, an
    // index past the last vertex, no indices) or its buffers cannot be made.
    SPMeshBuffers* GetMeshBuffers(const std::string& name, const SPVertex* vertices, const uint16_t* indices,
                                  int32_t vertexCount, int32_t indexCount);

    // Bloom runs in the frames: the bloom setting was on at Start.
    bool IsBloomActive() const { return m_bloomActive; }
    const CPBloom& GetBloom() const { return m_bloom; }

    // The device, null before Start and after Stop.
    platform::gfx::Device* GetDevice() const { return m_device.get(); }

    // The next drawn frame is read back before it is presented; until then GetCapturedFrame
    // holds no pixels.
    void CaptureNextFrame();
    const CapturedFrame& GetCapturedFrame() const { return m_captured; }

    // Figures of the last drawn frame: draw calls and triangles of the dynamic geometry, and the
    // seconds its update took up to presenting (the driver's swap not counted).
    int32_t GetDrawCalls() const { return m_drawCalls; }
    int32_t GetTrianglesDrawn() const { return m_trianglesDrawn; }
    double GetFrameSeconds() const { return m_frameSeconds; }

private:
    // What the draw pass of one frame keeps between layers.
    struct PassState {
        int32_t cameraLayers = 0;
        bool worldTouched = false;
        bool bloomDone = false;
    };

    bool CreateDevice();
    void InitDeviceState();
    bool IsDeviceUsable() const;
    SPRenderLayer& Layer(int32_t id);

    void DrawLayers();
    void RunBloom(PassState& pass);
    void DrawLayer(SPRenderLayer& layer, PassState& pass);
    void DrawGroup(SPRenderLayer& layer, SPEffectGroup& group, PassState& pass);
    // Draws the entry's batches; false when the entry has been idle too long and must go.
    bool DrawEntry(SPRenderLayer& layer, SPMaterialEntry& entry, platform::gfx::Effect& effect, uint32_t passCount,
                   PassState& pass);
    void DrawDynamic(const SPRenderLayer& layer, const CPIVBlock& batch, platform::gfx::Effect& effect,
                     uint32_t passCount, PassState& pass);
    void DrawStatic(const SPRenderLayer& layer, const CPIVBlock& batch, platform::gfx::Effect& effect,
                    uint32_t passCount, PassState& pass);
    void Bind(const platform::gfx::VertexBuffer* vertices, const platform::gfx::IndexBuffer* indices);
    void DrawLines();
    void DrawStatistics();
    void DrawFade();
    void ReadBackFrame();
    // Whether VX_SCREENSHOT asks for the frame being drawn.
    bool ScreenshotDue() const;
    void EndFrame();

    std::unordered_map<std::string, std::unique_ptr<SPMeshBuffers>> m_meshCache;
    std::vector<TPtr<CPRenderBlock>> m_fillList;
    TPtr<CPMaterial> m_shadowMaterial;
    std::vector<platform::gfx::Vertex> m_lineVertices;
    platform::gfx::Light m_lights[kMaxLights] = {};
    int32_t m_lightCount = 0;
    const platform::gfx::VertexBuffer* m_boundVertexBuffer = nullptr;
    const platform::gfx::IndexBuffer* m_boundIndexBuffer = nullptr;
    std::unique_ptr<platform::gfx::Device> m_device;
    std::map<int32_t, SPRenderLayer> m_layers;
    char m_modeText[48] = {};
    StatisticsFont m_statisticsFont;
    char m_statisticsText[160] = {};
    double m_statisticsTime = 0.0;
    int32_t m_statisticsFrames = 0;
    int32_t m_trianglesDrawn = 0;
    int32_t m_drawCalls = 0;
    double m_frameSeconds = 0.0;
    TPtr<CPRenderBlock> m_renderBlock;
    CPBloom m_bloom;
    bool m_bloomActive = false;
    float m_fadeLevel = kFadeMaximum;
    std::vector<ScreenshotRequest> m_screenshots;
    bool m_captureNext = false;
    CapturedFrame m_captured;
};

// The renderer, null before its construction and after its destruction.
inline CPRender* GetRender() { return CPRender::Instance(); }

// The renderer's device, null without a started renderer.
inline platform::gfx::Device* CurrentDevice()
{
    CPRender* render = GetRender();
    return render ? render->GetDevice() : nullptr;
}
