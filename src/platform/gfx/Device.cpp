#include "platform/gfx/Device.h"

#include <algorithm>
#include <cstring>

#include <epoxy/gl.h>

#include "platform/Window.h"
#include "platform/gfx/DeviceListener.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/GlFormats.h"
#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/VertexBuffer.h"

namespace platform::gfx {
namespace {

constexpr uint32_t kInitialStreamBytes = 1u << 20;
constexpr const char* kStageSamplers[] = {"vx_StageTexture0", "vx_StageTexture1"};

GLenum ToGl(CompareFunc func)
{
    switch (func) {
    case CompareFunc::Never: return GL_NEVER;
    case CompareFunc::Less: return GL_LESS;
    case CompareFunc::Equal: return GL_EQUAL;
    case CompareFunc::LessEqual: return GL_LEQUAL;
    case CompareFunc::Greater: return GL_GREATER;
    case CompareFunc::NotEqual: return GL_NOTEQUAL;
    case CompareFunc::GreaterEqual: return GL_GEQUAL;
    case CompareFunc::Always: return GL_ALWAYS;
    }
    return GL_ALWAYS;
}

GLenum ToGl(BlendFactor factor)
{
    switch (factor) {
    case BlendFactor::Zero: return GL_ZERO;
    case BlendFactor::One: return GL_ONE;
    case BlendFactor::SrcColor: return GL_SRC_COLOR;
    case BlendFactor::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case BlendFactor::SrcAlpha: return GL_SRC_ALPHA;
    case BlendFactor::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestAlpha: return GL_DST_ALPHA;
    case BlendFactor::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case BlendFactor::DestColor: return GL_DST_COLOR;
    case BlendFactor::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

GLenum ToGl(BlendOp op)
{
    switch (op) {
    case BlendOp::Add: return GL_FUNC_ADD;
    case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
    case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case BlendOp::Min: return GL_MIN;
    case BlendOp::Max: return GL_MAX;
    }
    return GL_FUNC_ADD;
}

GLenum ToGl(FillMode mode)
{
    switch (mode) {
    case FillMode::Point: return GL_POINT;
    case FillMode::Wireframe: return GL_LINE;
    case FillMode::Solid: return GL_FILL;
    }
    return GL_FILL;
}

GLenum ToGl(TextureAddress address)
{
    switch (address) {
    case TextureAddress::Wrap: return GL_REPEAT;
    case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    }
    return GL_REPEAT;
}

GLenum ToGl(PrimitiveType type)
{
    switch (type) {
    case PrimitiveType::TriangleList: return GL_TRIANGLES;
    case PrimitiveType::TriangleStrip: return GL_TRIANGLE_STRIP;
    case PrimitiveType::LineList: return GL_LINES;
    }
    return GL_TRIANGLES;
}

bool Smooth(TextureFilter filter) { return filter == TextureFilter::Linear || filter == TextureFilter::Anisotropic; }

GLenum MinFilter(TextureFilter min, TextureFilter mip)
{
    if (mip == TextureFilter::None) return Smooth(min) ? GL_LINEAR : GL_NEAREST;
    if (mip == TextureFilter::Point) return Smooth(min) ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return Smooth(min) ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

void SetFlag(GLenum capability, bool on)
{
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void SetEngineAttributes()
{
    constexpr GLsizei stride = sizeof(Vertex);
    for (GLuint i = 0; i < 6; ++i) glEnableVertexAttribArray(i);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, x)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, nx)));
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, diffuse)));
    glVertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offsetof(Vertex, specular)));
    glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, u0)));
    glVertexAttribPointer(5, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(Vertex, u1)));
}

void SetScreenAttributes()
{
    constexpr GLsizei stride = sizeof(ScreenVertex);
    for (GLuint i : {0u, 2u, 4u}) glEnableVertexAttribArray(i);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, x)));
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(ScreenVertex, diffuse)));
    glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(ScreenVertex, u)));
}

uint32_t FullMipChain(uint32_t width, uint32_t height)
{
    uint32_t levels = 1;
    for (uint32_t size = std::max(width, height); size > 1; size >>= 1) ++levels;
    return levels;
}

}  // namespace

std::unique_ptr<Device> Device::Create(Window& window, std::string& error, const DeviceOptions& options)
{
    std::unique_ptr<Device> device(new Device(window, options));
    if (!device->Initialise(error)) return nullptr;
    return device;
}

Device::Device(Window& window, const DeviceOptions& options) : window_(window), options_(options) {}

Device::~Device()
{
    while (!resources_.empty()) {
        Resource* resource = resources_.back();
        resources_.pop_back();
        resource->Lose();
    }
    for (ShaderProgram& program : fixedFunction_) program.Release();
    glDeleteBuffers(3, uniformBuffers_);
    glDeleteSamplers(static_cast<GLsizei>(kTextureStages), samplers_);
    glDeleteTextures(1, &whiteTexture_);
    glDeleteVertexArrays(1, &bufferVertexArray_);
    glDeleteVertexArrays(2, streamVertexArrays_);
    glDeleteBuffers(1, &stream_);
    glDeleteFramebuffers(1, &resolveFramebuffer_);
    glDeleteRenderbuffers(1, &resolveColour_);
}

bool Device::Initialise(std::string& error)
{
    while (glGetError() != GL_NO_ERROR) {
    }
    QueryCaps();
    backBufferWidth_ = window_.ClientWidth();
    backBufferHeight_ = window_.ClientHeight();

    const ShaderParts pixel{{}, {}, FixedFunctionPixelCode()};
    const std::string pixelSource = AssemblePixelShader(pixel);
    const std::string engineSource = AssembleVertexShader(VertexKind::Engine, {{}, {}, FixedFunctionVertexCode()});
    const std::string screenSource = AssembleVertexShader(VertexKind::Screen, {{}, {}, ScreenVertexCode()});
    std::string log;
    if (!fixedFunction_[0].Build(engineSource, pixelSource, log) ||
        !fixedFunction_[1].Build(screenSource, pixelSource, log)) {
        error = "Cannot build the fixed-function shaders: " + log;
        return false;
    }
    const std::string samplerNames[] = {kStageSamplers[0], kStageSamplers[1]};
    for (ShaderProgram& program : fixedFunction_) program.BindSamplers(samplerNames);

    glGenBuffers(3, uniformBuffers_);
    const GLsizeiptr blockSizes[] = {sizeof(TransformBlock), sizeof(LightingBlock), sizeof(PixelBlock)};
    for (GLuint i = 0; i < 3; ++i) {
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[i]);
        glBufferData(GL_UNIFORM_BUFFER, blockSizes[i], nullptr, GL_DYNAMIC_DRAW);
        glBindBufferBase(GL_UNIFORM_BUFFER, i, uniformBuffers_[i]);
    }

    glGenSamplers(static_cast<GLsizei>(kTextureStages), samplers_);
    for (GLuint unit = 0; unit < kTextureStages; ++unit) glBindSampler(unit, samplers_[unit]);

    const uint32_t white = 0xFFFFFFFFu;
    glGenTextures(1, &whiteTexture_);
    glActiveTexture(GL_TEXTURE0 + kScratchTextureUnit);
    glBindTexture(GL_TEXTURE_2D, whiteTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_BYTE, &white);

    glGenBuffers(1, &stream_);
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    streamCapacity_ = kInitialStreamBytes;
    glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);
    glGenVertexArrays(1, &bufferVertexArray_);
    glGenVertexArrays(2, streamVertexArrays_);
    glBindVertexArray(streamVertexArrays_[0]);
    SetEngineAttributes();
    glBindVertexArray(streamVertexArrays_[1]);
    SetScreenAttributes();
    glBindVertexArray(0);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    SetFlag(GL_MULTISAMPLE, caps_.backBufferSamples > 0);
    ResetStates();
    if (glGetError() != GL_NO_ERROR) {
        error = "The OpenGL device could not be set up";
        return false;
    }
    return true;
}

void Device::QueryCaps()
{
    GLint value = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    caps_.maxTextureSize = value;
    glGetIntegerv(GL_MAX_SAMPLES, &value);
    caps_.maxSamples = value;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetIntegerv(GL_SAMPLES, &value);
    caps_.backBufferSamples = value;
    caps_.s3tc = epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc");
    caps_.maxAnisotropy = 1;
    if (epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic")) {
        GLfloat maximum = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
        caps_.maxAnisotropy = std::max(1, static_cast<int32_t>(maximum));
    }
}

// The states of a new device: Direct3D's defaults, with a white material.
void Device::ResetStates()
{
    using RS = RenderState;
    const auto set = [this](RS state, uint32_t value) { renderStates_[Index(state)] = value; };
    set(RS::ZEnable, 1);
    set(RS::ZWriteEnable, 1);
    set(RS::ZFunc, static_cast<uint32_t>(CompareFunc::LessEqual));
    set(RS::CullMode, static_cast<uint32_t>(CullMode::CCW));
    set(RS::AlphaBlendEnable, 0);
    set(RS::SrcBlend, static_cast<uint32_t>(BlendFactor::One));
    set(RS::DestBlend, static_cast<uint32_t>(BlendFactor::Zero));
    set(RS::BlendOp, static_cast<uint32_t>(BlendOp::Add));
    set(RS::AlphaTestEnable, 0);
    set(RS::AlphaRef, 0);
    set(RS::AlphaFunc, static_cast<uint32_t>(CompareFunc::Always));
    set(RS::FillMode, static_cast<uint32_t>(FillMode::Solid));
    set(RS::Lighting, 1);
    set(RS::SpecularEnable, 0);
    set(RS::Ambient, 0);
    for (auto& sampler : samplerStates_) {
        sampler[static_cast<uint32_t>(SamplerState::MinFilter)] = static_cast<uint32_t>(TextureFilter::Point);
        sampler[static_cast<uint32_t>(SamplerState::MagFilter)] = static_cast<uint32_t>(TextureFilter::Point);
        sampler[static_cast<uint32_t>(SamplerState::MipFilter)] = static_cast<uint32_t>(TextureFilter::None);
        sampler[static_cast<uint32_t>(SamplerState::AddressU)] = static_cast<uint32_t>(TextureAddress::Wrap);
        sampler[static_cast<uint32_t>(SamplerState::AddressV)] = static_cast<uint32_t>(TextureAddress::Wrap);
        sampler[static_cast<uint32_t>(SamplerState::MaxAnisotropy)] = 1;
    }
    for (uint32_t stage = 0; stage < kFixedFunctionStages; ++stage) {
        auto& s = stageStates_[stage];
        s[static_cast<uint32_t>(TextureStageState::ColorOp)] =
            static_cast<uint32_t>(stage == 0 ? TextureOp::Modulate : TextureOp::Disable);
        s[static_cast<uint32_t>(TextureStageState::AlphaOp)] =
            static_cast<uint32_t>(stage == 0 ? TextureOp::SelectArg1 : TextureOp::Disable);
        s[static_cast<uint32_t>(TextureStageState::ColorArg1)] = static_cast<uint32_t>(TextureArg::Texture);
        s[static_cast<uint32_t>(TextureStageState::ColorArg2)] = static_cast<uint32_t>(TextureArg::Current);
        s[static_cast<uint32_t>(TextureStageState::AlphaArg1)] = static_cast<uint32_t>(TextureArg::Texture);
        s[static_cast<uint32_t>(TextureStageState::AlphaArg2)] = static_cast<uint32_t>(TextureArg::Current);
    }
    std::fill(std::begin(textures_), std::end(textures_), nullptr);
    std::fill(std::begin(appliedTextures_), std::end(appliedTextures_), 0u);
    for (PMatrix& transform : transforms_) transform = MatrixIdentity();
    material_ = Material{{1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 0.0f},
                         {0.0f, 0.0f, 0.0f, 0.0f}, 0.0f};
    std::fill(std::begin(lights_), std::end(lights_), Light{});
    std::fill(std::begin(lightEnabled_), std::end(lightEnabled_), false);
    vertexBuffer_ = nullptr;
    indexBuffer_ = nullptr;
    passPrograms_ = nullptr;
    renderTarget_ = nullptr;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    viewport_ = {0, 0, backBufferWidth_, backBufferHeight_, 0.0f, 1.0f};
    ApplyViewport();
    renderStatesDirty_ = true;
    samplersDirty_ = ~0u;
    transformsDirty_ = lightingDirty_ = pixelDirty_ = true;
}

// --- Resources -------------------------------------------------------------------------------

void Device::Track(Resource& resource) { resources_.push_back(&resource); }

void Device::Untrack(Resource& resource)
{
    resources_.erase(std::remove(resources_.begin(), resources_.end(), &resource), resources_.end());
    ForgetBindings(resource);
}

void Device::ForgetBindings(const Resource& resource)
{
    for (const Texture*& texture : textures_) {
        if (texture != nullptr && static_cast<const Resource*>(texture) == &resource) texture = nullptr;
    }
    // GL names of deleted objects come back for new ones: bind everything afresh.
    std::fill(std::begin(appliedTextures_), std::end(appliedTextures_), 0u);
    attachedVertexBuffer_ = attachedIndexBuffer_ = 0;
    if (vertexBuffer_ != nullptr && static_cast<const Resource*>(vertexBuffer_) == &resource) vertexBuffer_ = nullptr;
    if (indexBuffer_ != nullptr && static_cast<const Resource*>(indexBuffer_) == &resource) indexBuffer_ = nullptr;
    if (renderTarget_ != nullptr && static_cast<const Resource*>(renderTarget_) == &resource) SetRenderTarget(nullptr);
}

void Device::LoseDefaultPool()
{
    std::vector<Resource*> lost;
    for (Resource* resource : resources_) {
        if (resource->GetPool() == Pool::Default) lost.push_back(resource);
    }
    for (Resource* resource : lost) {
        Untrack(*resource);
        resource->Lose();
    }
}

template <class T>
std::unique_ptr<T> Device::Finish(std::unique_ptr<T> resource)
{
    if (!resource->CreateStorage()) return nullptr;
    return resource;
}

std::unique_ptr<VertexBuffer> Device::CreateVertexBuffer(uint32_t vertexCount, Usage usage, Pool pool)
{
    if (vertexCount == 0 || vertexCount > UINT32_MAX / sizeof(Vertex)) return nullptr;
    if (usage == Usage::Dynamic && pool == Pool::Managed) return nullptr;
    return Finish(std::unique_ptr<VertexBuffer>(new VertexBuffer(*this, usage, pool, vertexCount)));
}

std::unique_ptr<IndexBuffer> Device::CreateIndexBuffer(uint32_t indexCount, Usage usage, Pool pool)
{
    if (indexCount == 0 || indexCount > UINT32_MAX / sizeof(uint16_t)) return nullptr;
    if (usage == Usage::Dynamic && pool == Pool::Managed) return nullptr;
    return Finish(std::unique_ptr<IndexBuffer>(new IndexBuffer(*this, usage, pool, indexCount)));
}

std::unique_ptr<Texture> Device::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, Format format,
                                               TextureUsage usage, Pool pool)
{
    const uint32_t maxSize = static_cast<uint32_t>(caps_.maxTextureSize);
    if (width == 0 || height == 0 || width > maxSize || height > maxSize) return nullptr;
    const uint32_t fullChain = FullMipChain(width, height);
    if (levels == 0) levels = fullChain;
    if (levels > fullChain) return nullptr;
    if (IsCompressed(format) && (width % 4 != 0 || height % 4 != 0)) return nullptr;
    if (usage == TextureUsage::RenderTarget &&
        (levels != 1 || pool != Pool::Default || (format != Format::A8R8G8B8 && format != Format::X8R8G8B8))) {
        return nullptr;
    }
    const bool decodeOnCpu = options_.decodeDxtOnCpu || !caps_.s3tc;
    return Finish(
        std::unique_ptr<Texture>(new Texture(*this, width, height, levels, format, usage, pool, decodeOnCpu)));
}

std::unique_ptr<Effect> Device::CreateEffect(std::string_view source, std::string& messages)
{
    return Effect::Create(*this, source, messages);
}

void Device::Reset()
{
    if (listener_ != nullptr) listener_->OnDeviceLost();
    LoseDefaultPool();
    glDeleteFramebuffers(1, &resolveFramebuffer_);
    glDeleteRenderbuffers(1, &resolveColour_);
    resolveFramebuffer_ = resolveColour_ = 0;
    backBufferWidth_ = window_.ClientWidth();
    backBufferHeight_ = window_.ClientHeight();
    streamOffset_ = streamCapacity_;  // the next stream write starts on fresh storage
    ResetStates();
    if (listener_ != nullptr) listener_->OnDeviceReset();
}

// --- Frame and targets -----------------------------------------------------------------------

int32_t Device::TargetWidth() const
{
    return renderTarget_ != nullptr ? static_cast<int32_t>(renderTarget_->Width()) : backBufferWidth_;
}

int32_t Device::TargetHeight() const
{
    return renderTarget_ != nullptr ? static_cast<int32_t>(renderTarget_->Height()) : backBufferHeight_;
}

// Textures keep their top row first and are drawn flipped; the back buffer keeps its bottom row
// first.
int32_t Device::GlY(int32_t y, int32_t height) const { return Flipped() ? y : TargetHeight() - (y + height); }

void Device::ApplyViewport()
{
    glViewport(viewport_.x, GlY(viewport_.y, viewport_.height), viewport_.width, viewport_.height);
    glDepthRange(viewport_.minZ, viewport_.maxZ);
    transformsDirty_ = true;
}

bool Device::SetViewport(const Viewport& viewport)
{
    if (viewport.width <= 0 || viewport.height <= 0 || viewport.x < 0 || viewport.y < 0 ||
        viewport.x + viewport.width > TargetWidth() || viewport.y + viewport.height > TargetHeight()) {
        return false;
    }
    viewport_ = viewport;
    ApplyViewport();
    return true;
}

void Device::Clear(uint32_t flags, uint32_t argb, float z)
{
    GLbitfield mask = 0;
    if (flags & ClearTarget) {
        const ColorValue c = ColorFromArgb(argb);
        glClearColor(c.r, c.g, c.b, c.a);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & ClearZBuffer) {
        glClearDepth(z);
        glDepthMask(GL_TRUE);  // clearing ignores the depth write state
        renderStatesDirty_ = true;
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport_.x, GlY(viewport_.y, viewport_.height), viewport_.width, viewport_.height);
    glClear(mask);
    glDisable(GL_SCISSOR_TEST);
}

void Device::Present() { window_.SwapBuffers(); }

bool Device::SetRenderTarget(Texture* target)
{
    if (target != nullptr && (target->IsLost() || target->GetUsage() != TextureUsage::RenderTarget)) return false;
    renderTarget_ = target;
    glBindFramebuffer(GL_FRAMEBUFFER, target != nullptr ? target->framebuffer_ : 0);
    viewport_ = {0, 0, TargetWidth(), TargetHeight(), 0.0f, 1.0f};
    ApplyViewport();
    renderStatesDirty_ = true;  // the front face follows the flip
    return true;
}

bool Device::ResolveBackBuffer()
{
    if (resolveFramebuffer_ == 0) {
        GLint alphaBits = 0;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE,
                                              &alphaBits);
        glGenRenderbuffers(1, &resolveColour_);
        glBindRenderbuffer(GL_RENDERBUFFER, resolveColour_);
        glRenderbufferStorage(GL_RENDERBUFFER, alphaBits > 0 ? GL_RGBA8 : GL_RGB8, backBufferWidth_, backBufferHeight_);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &resolveFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolveColour_);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, backBufferWidth_, backBufferHeight_, 0, 0, backBufferWidth_, backBufferHeight_,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, renderTarget_ != nullptr ? renderTarget_->framebuffer_ : 0);
    return glGetError() == GL_NO_ERROR;
}

bool Device::StretchRect(const Texture* source, Texture* dest)
{
    const auto usable = [](const Texture* t) {
        return t == nullptr || (!t->IsLost() && t->GetUsage() == TextureUsage::RenderTarget);
    };
    if (!usable(source) || !usable(dest) || source == dest) return false;
    // A multisampled back buffer cannot be blitted into; one is read through its resolved copy.
    if (dest == nullptr && caps_.backBufferSamples > 0) return false;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint readFramebuffer = source != nullptr ? source->framebuffer_ : 0;
    if (source == nullptr && caps_.backBufferSamples > 0) {
        if (!ResolveBackBuffer()) return false;
        readFramebuffer = resolveFramebuffer_;
    }
    const GLint sw = source != nullptr ? static_cast<GLint>(source->Width()) : backBufferWidth_;
    const GLint sh = source != nullptr ? static_cast<GLint>(source->Height()) : backBufferHeight_;
    const GLint dw = dest != nullptr ? static_cast<GLint>(dest->Width()) : backBufferWidth_;
    const GLint dh = dest != nullptr ? static_cast<GLint>(dest->Height()) : backBufferHeight_;
    // Rows run the other way between the back buffer and textures.
    const bool flip = (source == nullptr) != (dest == nullptr);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, dest != nullptr ? dest->framebuffer_ : 0);
    glBlitFramebuffer(0, 0, sw, sh, 0, flip ? dh : 0, dw, flip ? 0 : dh, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, renderTarget_ != nullptr ? renderTarget_->framebuffer_ : 0);
    return glGetError() == GL_NO_ERROR;
}

bool Device::ReadPixels(const Rect& rect, uint32_t* out)
{
    if (out == nullptr || rect.left < 0 || rect.top < 0 || rect.right > TargetWidth() ||
        rect.bottom > TargetHeight() || rect.Width() <= 0 || rect.Height() <= 0) {
        return false;
    }
    GLuint framebuffer = renderTarget_ != nullptr ? renderTarget_->framebuffer_ : 0;
    if (renderTarget_ == nullptr && caps_.backBufferSamples > 0) {
        if (!ResolveBackBuffer()) return false;
        framebuffer = resolveFramebuffer_;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(rect.left, GlY(rect.top, rect.Height()), rect.Width(), rect.Height(), GL_BGRA, GL_UNSIGNED_BYTE, out);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, renderTarget_ != nullptr ? renderTarget_->framebuffer_ : 0);
    if (!Flipped()) {
        const size_t width = static_cast<size_t>(rect.Width());
        for (int32_t top = 0, bottom = rect.Height() - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(out + top * width, out + (top + 1) * width, out + bottom * width);
        }
    }
    return glGetError() == GL_NO_ERROR;
}

// --- States ----------------------------------------------------------------------------------

void Device::SetRenderState(RenderState state, uint32_t value)
{
    if (state >= RenderState::Count) return;
    renderStates_[Index(state)] = value;
    switch (state) {
    case RenderState::Lighting:
    case RenderState::Ambient: lightingDirty_ = true; break;
    case RenderState::SpecularEnable: lightingDirty_ = pixelDirty_ = true; break;
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc: pixelDirty_ = true; break;
    default: renderStatesDirty_ = true; break;
    }
}

void Device::SetSamplerState(uint32_t sampler, SamplerState state, uint32_t value)
{
    if (sampler >= kTextureStages || state >= SamplerState::Count) return;
    samplerStates_[sampler][static_cast<uint32_t>(state)] = value;
    samplersDirty_ |= 1u << sampler;
}

uint32_t Device::GetSamplerState(uint32_t sampler, SamplerState state) const
{
    if (sampler >= kTextureStages || state >= SamplerState::Count) return 0;
    return samplerStates_[sampler][static_cast<uint32_t>(state)];
}

void Device::SetTextureStageState(uint32_t stage, TextureStageState state, uint32_t value)
{
    if (stage >= kFixedFunctionStages || state >= TextureStageState::Count) return;
    stageStates_[stage][static_cast<uint32_t>(state)] = value;
    pixelDirty_ = true;
}

uint32_t Device::GetTextureStageState(uint32_t stage, TextureStageState state) const
{
    if (stage >= kFixedFunctionStages || state >= TextureStageState::Count) return 0;
    return stageStates_[stage][static_cast<uint32_t>(state)];
}

void Device::SetTexture(uint32_t stage, const Texture* texture)
{
    if (stage < kTextureStages) textures_[stage] = texture;
}

void Device::SetTransform(TransformType type, const PMatrix& matrix)
{
    const uint32_t index = static_cast<uint32_t>(type);
    if (index >= 3) return;
    transforms_[index] = matrix;
    transformsDirty_ = true;
    if (type == TransformType::View) lightingDirty_ = true;  // lights are lit in view space
}

const PMatrix& Device::GetTransform(TransformType type) const
{
    const uint32_t index = static_cast<uint32_t>(type);
    return transforms_[index < 3 ? index : 0];
}

void Device::SetMaterial(const Material& material)
{
    material_ = material;
    lightingDirty_ = true;
}

bool Device::SetLight(uint32_t index, const Light& light)
{
    if (index >= kMaxLights) return false;
    if (light.type != LightType::Directional) {
        if (light.type != LightType::Point && light.type != LightType::Spot) return false;
        if (light.range < 0.0f) return false;
        if (light.attenuation0 == 0.0f && light.attenuation1 == 0.0f && light.attenuation2 == 0.0f) return false;
    }
    lights_[index] = light;
    lightingDirty_ = true;
    return true;
}

bool Device::LightEnable(uint32_t index, bool enable)
{
    if (index >= kMaxLights) return false;
    lightEnabled_[index] = enable;
    lightingDirty_ = true;
    return true;
}

// --- Effects ---------------------------------------------------------------------------------

const ShaderProgram& Device::FixedFunctionProgram(VertexKind kind) const
{
    return fixedFunction_[kind == VertexKind::Engine ? 0 : 1];
}

const Device::PassPrograms* Device::SetPassPrograms(const PassPrograms* programs)
{
    const PassPrograms* previous = passPrograms_;
    passPrograms_ = programs;
    return previous;
}

void Device::UseProgram(uint32_t name)
{
    if (currentProgram_ != name) {
        glUseProgram(name);
        currentProgram_ = name;
    }
}

// --- Drawing ---------------------------------------------------------------------------------

void Device::SetStreamSource(const VertexBuffer* vertices) { vertexBuffer_ = vertices; }
void Device::SetIndices(const IndexBuffer* indices) { indexBuffer_ = indices; }

void Device::FlushRenderStates()
{
    const auto state = [this](RenderState s) { return renderStates_[Index(s)]; };
    SetFlag(GL_DEPTH_TEST, state(RenderState::ZEnable) != 0);
    glDepthMask(state(RenderState::ZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
    glDepthFunc(ToGl(static_cast<CompareFunc>(state(RenderState::ZFunc))));
    // Clockwise faces, as seen on the screen, are front faces.
    const auto cull = static_cast<CullMode>(state(RenderState::CullMode));
    SetFlag(GL_CULL_FACE, cull != CullMode::None);
    glFrontFace(Flipped() ? GL_CCW : GL_CW);
    glCullFace(cull == CullMode::CW ? GL_FRONT : GL_BACK);
    SetFlag(GL_BLEND, state(RenderState::AlphaBlendEnable) != 0);
    glBlendFunc(ToGl(static_cast<BlendFactor>(state(RenderState::SrcBlend))),
                ToGl(static_cast<BlendFactor>(state(RenderState::DestBlend))));
    glBlendEquation(ToGl(static_cast<BlendOp>(state(RenderState::BlendOp))));
    glPolygonMode(GL_FRONT_AND_BACK, ToGl(static_cast<FillMode>(state(RenderState::FillMode))));
    renderStatesDirty_ = false;
}

void Device::FlushSamplers()
{
    for (uint32_t unit = 0; unit < kTextureStages; ++unit) {
        if ((samplersDirty_ & (1u << unit)) == 0) continue;
        const auto state = [&](SamplerState s) { return samplerStates_[unit][static_cast<uint32_t>(s)]; };
        const auto min = static_cast<TextureFilter>(state(SamplerState::MinFilter));
        const auto mag = static_cast<TextureFilter>(state(SamplerState::MagFilter));
        const auto mip = static_cast<TextureFilter>(state(SamplerState::MipFilter));
        const GLuint sampler = samplers_[unit];
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(MinFilter(min, mip)));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, Smooth(mag) ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S,
                            static_cast<GLint>(ToGl(static_cast<TextureAddress>(state(SamplerState::AddressU)))));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T,
                            static_cast<GLint>(ToGl(static_cast<TextureAddress>(state(SamplerState::AddressV)))));
        if (caps_.maxAnisotropy > 1) {
            const bool anisotropic = min == TextureFilter::Anisotropic || mag == TextureFilter::Anisotropic;
            const uint32_t wanted = std::clamp<uint32_t>(state(SamplerState::MaxAnisotropy), 1,
                                                         static_cast<uint32_t>(caps_.maxAnisotropy));
            glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropic ? static_cast<float>(wanted) : 1.0f);
        }
    }
    samplersDirty_ = 0;
}

void Device::FlushTextures()
{
    for (uint32_t unit = 0; unit < kTextureStages; ++unit) {
        const Texture* texture = textures_[unit];
        const GLuint name = texture != nullptr && !texture->IsLost() ? texture->name_ : whiteTexture_;
        if (appliedTextures_[unit] == name) continue;
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, name);
        appliedTextures_[unit] = name;
    }
}

void Device::FlushUniforms()
{
    if (transformsDirty_) {
        const TransformInputs inputs{&transforms_[0], &transforms_[1], &transforms_[2],
                                     viewport_,       TargetWidth(),   TargetHeight(), Flipped()};
        PackTransforms(inputs, transformBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kTransformBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(transformBlock_), &transformBlock_);
        transformsDirty_ = false;
    }
    if (lightingDirty_) {
        PackLighting(renderStates_, material_, lights_, lightEnabled_, transforms_[1], lightingBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kLightingBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(lightingBlock_), &lightingBlock_);
        lightingDirty_ = false;
    }
    if (pixelDirty_) {
        PackPixel(renderStates_, stageStates_, pixelBlock_);
        glBindBuffer(GL_UNIFORM_BUFFER, uniformBuffers_[kPixelBinding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(pixelBlock_), &pixelBlock_);
        pixelDirty_ = false;
    }
}

bool Device::PrepareDraw(VertexKind kind)
{
    const ShaderProgram* program = &FixedFunctionProgram(kind);
    if (passPrograms_ != nullptr) program = kind == VertexKind::Engine ? passPrograms_->engine : passPrograms_->screen;
    if (program == nullptr || program->Name() == 0) return false;
    UseProgram(program->Name());
    if (renderStatesDirty_) FlushRenderStates();
    if (samplersDirty_ != 0) FlushSamplers();
    FlushTextures();
    FlushUniforms();
    return true;
}

void Device::AttachBuffers()
{
    if (boundVertexArray_ != bufferVertexArray_) {
        glBindVertexArray(bufferVertexArray_);
        boundVertexArray_ = bufferVertexArray_;
    }
    if (attachedVertexBuffer_ != vertexBuffer_->Name()) {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_->Name());
        SetEngineAttributes();
        attachedVertexBuffer_ = vertexBuffer_->Name();
    }
    if (indexBuffer_ != nullptr && attachedIndexBuffer_ != indexBuffer_->Name()) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_->Name());
        attachedIndexBuffer_ = indexBuffer_->Name();
    }
}

bool Device::DrawIndexedPrimitive(PrimitiveType type, int32_t baseVertex, uint32_t minIndex, uint32_t vertexCount,
                                  uint32_t startIndex, uint32_t primitiveCount)
{
    if (vertexBuffer_ == nullptr || indexBuffer_ == nullptr) return false;
    if (vertexBuffer_->IsLost() || indexBuffer_->IsLost() || vertexBuffer_->IsLocked() || indexBuffer_->IsLocked()) {
        return false;
    }
    const uint32_t indexCount = VerticesForPrimitives(type, primitiveCount);
    if (indexCount == 0 || vertexCount == 0) return false;
    if (startIndex > indexBuffer_->IndexCount() || indexCount > indexBuffer_->IndexCount() - startIndex) return false;
    const int64_t first = static_cast<int64_t>(baseVertex) + minIndex;
    if (first < 0 || first + vertexCount > vertexBuffer_->VertexCount()) return false;
    if (!PrepareDraw(VertexKind::Engine)) return false;
    AttachBuffers();
    glDrawRangeElementsBaseVertex(ToGl(type), minIndex, minIndex + vertexCount - 1, static_cast<GLsizei>(indexCount),
                                  GL_UNSIGNED_SHORT, reinterpret_cast<void*>(static_cast<uintptr_t>(startIndex) * 2),
                                  baseVertex);
    return true;
}

bool Device::DrawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount)
{
    if (vertexBuffer_ == nullptr || vertexBuffer_->IsLost() || vertexBuffer_->IsLocked()) return false;
    const uint32_t vertexCount = VerticesForPrimitives(type, primitiveCount);
    if (vertexCount == 0 || startVertex > vertexBuffer_->VertexCount() ||
        vertexCount > vertexBuffer_->VertexCount() - startVertex) {
        return false;
    }
    if (!PrepareDraw(VertexKind::Engine)) return false;
    AttachBuffers();
    glDrawArrays(ToGl(type), static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
    return true;
}

bool Device::StreamVertices(const void* data, uint32_t bytes, uint32_t stride, uint32_t& firstVertex)
{
    glBindBuffer(GL_ARRAY_BUFFER, stream_);
    uint32_t offset = (streamOffset_ + stride - 1) / stride * stride;
    if (bytes > streamCapacity_) {
        while (streamCapacity_ < bytes) streamCapacity_ *= 2;
        glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);
        offset = 0;
    } else if (offset > streamCapacity_ || bytes > streamCapacity_ - offset) {
        glBufferData(GL_ARRAY_BUFFER, streamCapacity_, nullptr, GL_STREAM_DRAW);  // fresh storage
        offset = 0;
    }
    void* target = glMapBufferRange(GL_ARRAY_BUFFER, offset, bytes,
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (target == nullptr) return false;
    std::memcpy(target, data, bytes);
    if (glUnmapBuffer(GL_ARRAY_BUFFER) != GL_TRUE) return false;
    firstVertex = offset / stride;
    streamOffset_ = offset + bytes;
    return true;
}

bool Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const Vertex* vertices)
{
    const uint32_t vertexCount = VerticesForPrimitives(type, primitiveCount);
    if (vertices == nullptr || vertexCount == 0 || vertexCount > UINT32_MAX / sizeof(Vertex)) return false;
    uint32_t first = 0;
    if (!PrepareDraw(VertexKind::Engine)) return false;
    if (!StreamVertices(vertices, vertexCount * sizeof(Vertex), sizeof(Vertex), first)) return false;
    glBindVertexArray(streamVertexArrays_[0]);
    boundVertexArray_ = streamVertexArrays_[0];
    glDrawArrays(ToGl(type), static_cast<GLint>(first), static_cast<GLsizei>(vertexCount));
    return true;
}

bool Device::DrawPrimitiveUP(PrimitiveType type, uint32_t primitiveCount, const ScreenVertex* vertices)
{
    const uint32_t vertexCount = VerticesForPrimitives(type, primitiveCount);
    if (vertices == nullptr || vertexCount == 0 || vertexCount > UINT32_MAX / sizeof(ScreenVertex)) return false;
    uint32_t first = 0;
    if (!PrepareDraw(VertexKind::Screen)) return false;
    if (!StreamVertices(vertices, vertexCount * sizeof(ScreenVertex), sizeof(ScreenVertex), first)) return false;
    glBindVertexArray(streamVertexArrays_[1]);
    boundVertexArray_ = streamVertexArrays_[1];
    glDrawArrays(ToGl(type), static_cast<GLint>(first), static_cast<GLsizei>(vertexCount));
    return true;
}

}  // namespace platform::gfx
