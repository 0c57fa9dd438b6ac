#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "math/PMatrix.h"
#include "platform/gfx/Buffer.h"
#include "platform/gfx/EngineUniforms.h"
#include "platform/gfx/FixedFunctionPrograms.h"
#include "platform/gfx/Format.h"
#include "platform/gfx/Light.h"
#include "platform/gfx/Material.h"
#include "platform/gfx/Rect.h"
#include "platform/gfx/RenderStates.h"
#include "platform/gfx/ShaderProgram.h"
#include "platform/gfx/Texture.h"
#include "platform/gfx/Vertex.h"

namespace platform {
class Window;
}

namespace platform::gfx {

class DeviceListener;
class Effect;
class IndexBuffer;
class VertexBuffer;

// What the device can do.
struct DeviceCaps {
    int32_t maxAnisotropy = 1;
    int32_t maxTextureSize = 0;
    int32_t maxSamples = 0;         // most samples a multisampled back buffer can have
    int32_t backBufferSamples = 0;  // samples of the window's back buffer, 0 without multisampling
    bool s3tc = false;              // DXT textures are sampled by the driver, not decoded on the CPU
};

struct DeviceOptions {
    // Decode DXT textures on the CPU even when the driver could sample them.
    bool decodeDxtOnCpu = false;
};

enum class TransformType : uint32_t { World, View, Projection };

enum ClearFlags : uint32_t { ClearTarget = 1, ClearZBuffer = 2 };

// The drawing device over the window's OpenGL context: resources, states, transforms, the
// fixed-function lighting and texture cascade, effects and draws, with Direct3D's conventions
// (row vectors, left-handed, depth 0..1, clockwise front faces, top-left pixel origin).
// Resources and effects must be used on the thread of the context.
class Device {
public:
    // Needs the window's context to be current. On failure null, with the reason in error.
    static std::unique_ptr<Device> Create(Window& window, std::string& error, const DeviceOptions& options = {});
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const DeviceCaps& Caps() const { return caps_; }
    int32_t BackBufferWidth() const { return backBufferWidth_; }
    int32_t BackBufferHeight() const { return backBufferHeight_; }

    // Resources. Null when the arguments are invalid or GL refuses. Dynamic buffers must live in
    // the default pool; render targets are single-level A8R8G8B8 or X8R8G8B8 default-pool
    // textures; levels 0 asks for the whole mip chain; DXT sizes are multiples of 4.
    std::unique_ptr<VertexBuffer> CreateVertexBuffer(uint32_t vertexCount, Usage usage, Pool pool);
    std::unique_ptr<IndexBuffer> CreateIndexBuffer(uint32_t indexCount, Usage usage, Pool pool);
    std::unique_ptr<Texture> CreateTexture(uint32_t width, uint32_t height, uint32_t levels, Format format,
                                           TextureUsage usage, Pool pool);
    // Parses and compiles an effect (see "Effect files" in docs/modding.md). Null when no technique is usable;
    // messages describes every problem found, also for an effect that falls back.
    std::unique_ptr<Effect> CreateEffect(std::string_view source, std::string& messages);

    // Reset: the listener's OnDeviceLost, then every default-pool resource still alive is lost,
    // the back buffer takes the window's current size, all states return to their defaults and
    // the back buffer becomes the target again; then OnDeviceReset.
    void SetListener(DeviceListener* listener) { listener_ = listener; }
    void Reset();

    // Frame.
    void Clear(uint32_t flags, uint32_t argb, float z);
    void Present();

    // Render targets: null draws into the back buffer. Setting a target sets the viewport to
    // the whole target. False (and nothing changes) for a texture that is no usable target.
    bool SetRenderTarget(Texture* target);
    Texture* GetRenderTarget() const { return renderTarget_; }
    // Copies source onto dest, stretched with linear filtering; null means the back buffer.
    bool StretchRect(const Texture* source, Texture* dest);
    // False (and nothing changes) for a viewport that is empty or leaves the target.
    bool SetViewport(const Viewport& viewport);
    const Viewport& GetViewport() const { return viewport_; }
    // Reads a rectangle of the current target, row by row from the top, as 0xAARRGGBB pixels.
    bool ReadPixels(const Rect& rect, uint32_t* out);

    // States.
    void SetRenderState(RenderState state, uint32_t value);
    template <class E>
        requires std::is_enum_v<E>
    void SetRenderState(RenderState state, E value)
    {
        SetRenderState(state, static_cast<uint32_t>(value));
    }
    uint32_t GetRenderState(RenderState state) const { return renderStates_[Index(state)]; }
    void SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value);
    template <class E>
        requires std::is_enum_v<E>
    void SetSamplerState(uint32_t sampler, SamplerState state, E value)
    {
        SetSamplerState(sampler, state, static_cast<uint32_t>(value));
    }
    uint32_t GetSamplerState(uint32_t sampler, SamplerState state) const;
    void SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value);
    template <class E>
        requires std::is_enum_v<E>
    void SetTextureStageState(uint32_t stage, TextureStageState state, E value)
    {
        SetTextureStageState(stage, state, static_cast<uint32_t>(value));
    }
    uint32_t GetTextureStageState(uint32_t stage, TextureStageState state) const;
    // The texture a stage samples; null samples opaque white.
    void SetTexture(uint32_t stage, const Texture* texture);
    const Texture* GetTexture(uint32_t stage) const { return stage < kTextureStages ? textures_[stage] : nullptr; }

    // Transforms, lighting and material.
    void SetTransform(TransformType type, const PMatrix& matrix);
    const PMatrix& GetTransform(TransformType type) const;
    void SetMaterial(const Material& material);
    const Material& GetMaterial() const { return material_; }
    // False for an index past the last light or a point or spot light that attenuates by
    // nothing (all three factors zero) or has a negative range.
    bool SetLight(uint32_t index, const Light& light);
    bool LightEnable(uint32_t index, bool enable);

    // Drawing. Draws fail (and draw nothing) when a buffer is missing, lost or locked, or a
    // range leaves its buffer.
    void SetStreamSource(const VertexBuffer* vertices);
    void SetIndices(const IndexBuffer* indices);
    // Vertex i of the draw is vertices[baseVertex + index]; indices come from startIndex on.
    bool DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                              uint32_t startIndex, uint32_t primitiveCount);
    bool DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount);
    // Draws from memory, copied into the device's own stream.
    bool DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const Vertex* vertices);
    bool DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const ScreenVertex* vertices);

private:
    friend class Resource;
    friend class Effect;

    // Programs an effect pass draws with, one per kind of vertices; null where the device's
    // built-in program for the current states serves.
    struct PassPrograms {
        const ShaderProgram* engine;
        const ShaderProgram* screen;
    };

    Device(Window& window, const DeviceOptions& options);
    bool Initialise(std::string& error);
    void QueryCaps();
    void ResetStates();
    template <class T>
    std::unique_ptr<T> Finish(std::unique_ptr<T> resource);
    void Track(Resource& resource);
    void Untrack(Resource& resource);
    void ForgetBindings(const Resource& resource);
    void LoseDefaultPool();
    void CreateStream();

    // Effects.
    // The built-in program for the current states; null when it cannot be built.
    const ShaderProgram* FixedFunctionProgram(VertexKind kind);
    const PassPrograms* SetPassPrograms(const PassPrograms* programs);
    void UseProgram(uint32_t name);

    // Drawing.
    bool PrepareDraw(VertexKind kind);
    void FlushRenderStates();
    void FlushSamplers();
    void FlushTextures();
    void FlushUniforms();
    void ApplyViewport();
    void AttachBuffers();
    int32_t GlY(int32_t y, int32_t height) const;
    bool StreamVertices(const void* data, uint32_t bytes, uint32_t stride, uint32_t& firstVertex);
    bool DrawFromMemory(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride,
                        VertexKind kind);
    bool ResolveBackBuffer();
    int32_t TargetWidth() const;
    int32_t TargetHeight() const;
    bool Flipped() const { return renderTarget_ != nullptr; }

    static constexpr uint32_t Index(RenderState state) { return static_cast<uint32_t>(state); }

    static constexpr uint32_t kRenderStateCount = static_cast<uint32_t>(RenderState::Count);
    static constexpr uint32_t kSamplerStateCount = static_cast<uint32_t>(SamplerState::Count);
    static constexpr uint32_t kStageStateCount = static_cast<uint32_t>(TextureStageState::Count);

    Window& window_;
    DeviceOptions options_;
    DeviceCaps caps_;
    DeviceListener* listener_ = nullptr;
    std::vector<Resource*> resources_;
    int32_t backBufferWidth_ = 0;
    int32_t backBufferHeight_ = 0;

    // Device state as the engine set it.
    uint32_t renderStates_[kRenderStateCount] = {};
    uint32_t samplerStates_[kTextureStages][kSamplerStateCount] = {};
    uint32_t stageStates_[kFixedFunctionStages][kStageStateCount] = {};
    const Texture* textures_[kTextureStages] = {};
    PMatrix transforms_[3] = {};
    Material material_{};
    Light lights_[kMaxLights] = {};
    bool lightEnabled_[kMaxLights] = {};
    Viewport viewport_{};
    Texture* renderTarget_ = nullptr;
    const VertexBuffer* vertexBuffer_ = nullptr;
    const IndexBuffer* indexBuffer_ = nullptr;
    const PassPrograms* passPrograms_ = nullptr;

    // What GL was last given; 0 names are unknown and get bound again.
    bool renderStatesDirty_ = true;
    uint32_t samplersDirty_ = ~0u;  // one bit per sampler
    uint32_t appliedTextures_[kTextureStages] = {};
    bool transformsDirty_ = true;
    bool lightingDirty_ = true;
    bool pixelDirty_ = true;
    uint32_t currentProgram_ = 0;
    uint32_t boundVertexArray_ = 0;
    uint32_t attachedVertexBuffer_ = 0;  // the buffer the engine vertex array reads
    uint32_t attachedIndexBuffer_ = 0;
    TransformBlock transformBlock_{};
    LightingBlock lightingBlock_{};
    PixelBlock pixelBlock_{};

    // GL objects of the device itself.
    FixedFunctionPrograms fixedFunction_;
    uint32_t uniformBuffers_[3] = {};
    uint32_t samplers_[kTextureStages] = {};
    uint32_t whiteTexture_ = 0;
    uint32_t bufferVertexArray_ = 0;  // engine vertices from vertex buffers
    uint32_t streamVertexArrays_[2] = {};  // engine and screen vertices from the stream
    uint32_t stream_ = 0;
    uint32_t streamCapacity_ = 0;
    uint32_t streamOffset_ = 0;
    uint32_t resolveFramebuffer_ = 0;  // single-sampled copy of a multisampled back buffer
    uint32_t resolveColour_ = 0;
};

// Resources get their GL storage before they are handed out.
template <class T>
std::unique_ptr<T> Device::Finish(std::unique_ptr<T> resource)
{
    if (!resource->CreateStorage()) return nullptr;
    return resource;
}

}  // namespace platform::gfx
