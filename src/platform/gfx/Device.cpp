#include "platform/gfx/Device.h"

#include <algorithm>

#include <epoxy/gl.h>

#include "platform/Window.h"
#include "platform/gfx/ContextLimits.h"
#include "platform/gfx/DeviceListener.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/GlFormats.h"
#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/VertexBuffer.h"

namespace platform::gfx {

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
    fixedFunction_.Release();
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

    CreateStream();

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (caps_.backBufferSamples > 0) {
        glEnable(GL_MULTISAMPLE);
    } else {
        glDisable(GL_MULTISAMPLE);
    }
    ResetStates();
    if (FixedFunctionProgram(VertexKind::Engine) == nullptr || FixedFunctionProgram(VertexKind::Screen) == nullptr) {
        error = "Cannot build the fixed-function shaders: " + fixedFunction_.LastFailure();
        return false;
    }
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
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glGetIntegerv(GL_SAMPLES, &value);
    caps_.backBufferSamples = value;
    const ContextLimits limits = QueryContextLimits();
    caps_.maxSamples = limits.maxSamples;
    caps_.s3tc = limits.s3tc;
    caps_.maxAnisotropy = limits.maxAnisotropy;
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
    // Effects hold the textures of the last material drawn with them (the resource is partly
    // destroyed here already: it is compared by address only).
    for (Resource* tracked : resources_) {
        if (auto* effect = dynamic_cast<Effect*>(tracked)) effect->ForgetTexture(resource);
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

// --- Effects ---------------------------------------------------------------------------------

const ShaderProgram* Device::FixedFunctionProgram(VertexKind kind)
{
    return fixedFunction_.Get(kind, FixedFunctionPrograms::KeyOf(renderStates_, stageStates_));
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

bool Device::PrepareDraw(VertexKind kind)
{
    const ShaderProgram* program = nullptr;
    if (passPrograms_ != nullptr) program = kind == VertexKind::Engine ? passPrograms_->engine : passPrograms_->screen;
    if (program == nullptr) program = FixedFunctionProgram(kind);
    if (program == nullptr || program->Name() == 0) return false;
    UseProgram(program->Name());
    if (renderStatesDirty_) FlushRenderStates();
    if (samplersDirty_ != 0) FlushSamplers();
    FlushTextures();
    FlushUniforms();
    return true;
}

}  // namespace platform::gfx
