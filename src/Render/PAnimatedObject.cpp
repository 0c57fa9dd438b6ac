#include "Render/PAnimatedObject.h"

#include <algorithm>

#include "Render/PAnimation.h"
#include "Render/PAnimationRequest.h"
#include "Render/PGameObject.h"
#include "Render/PMaterial.h"
#include "core/PGlobalTimer.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"

namespace {

// Requested buckets of the animation map.
constexpr size_t kBuckets = 100;

}  // namespace

CPAnimatedObject::CPAnimatedObject(CPGameObject* owner) : m_owner(owner) { m_animations.reserve(kBuckets); }

CPAnimatedObject::~CPAnimatedObject() = default;

TPtr<CPMaterial> CPAnimatedObject::GetMaterial() const { return m_material; }

void CPAnimatedObject::SetMaterial(TPtr<CPMaterial> material) { m_material = std::move(material); }

void CPAnimatedObject::AddAnimation(const std::string& name, TPtr<CPAnimation> animation) {
    if (!m_current) {
        m_current = animation;
        m_stopped = false;
    }
    m_animations[name] = std::move(animation);
}

TPtr<CPAnimation> CPAnimatedObject::GetAnimation(const std::string& name) const {
    const auto found = m_animations.find(name);
    return found == m_animations.end() ? nullptr : found->second;
}

void CPAnimatedObject::AddModifier(std::unique_ptr<IPTexModifier> modifier) { m_modifiers.push_back(std::move(modifier)); }

bool CPAnimatedObject::Play(const SPAnimationRequest& request, bool restart) {
    if (!restart && m_currentName == request.name) return false;
    const auto found = m_animations.find(request.name);
    if (found == m_animations.end()) return false;
    m_currentName = request.name;
    m_current = found->second;
    m_startTime = g_totalTime + request.startOffset;
    m_loopLimit = request.loops;
    m_loopsPlayed = 0;
    m_reportedFrame = -1;
    if (restart) m_markedFrame = -1;
    m_reportFrame = request.reportFrame;
    m_markFrame = request.markFrame;
    speed = request.speed;
    m_listener = request.listener;
    m_currentFrame = -1;
    m_stopped = false;
    for (const std::unique_ptr<IPTexModifier>& modifier : m_modifiers) modifier->Reset();
    return true;
}

int32_t CPAnimatedObject::FrameCount() const {
    return m_current ? static_cast<int32_t>(m_current->GetFrames().size()) : 0;
}

const SPAnimationFrame* CPAnimatedObject::GetShownFrame() const {
    const int32_t count = FrameCount();
    if (count == 0) return nullptr;
    const int32_t index = m_currentFrame >= 0 ? std::min(m_currentFrame, count - 1)
                                              : m_current->FrameIndexAt(g_totalTime - m_startTime);
    return &m_current->GetFrames()[static_cast<size_t>(index)];
}

const SPMeshBuffers* CPAnimatedObject::GetShownMesh() const {
    const SPAnimationFrame* frame = GetShownFrame();
    return frame ? frame->meshBuffers : nullptr;
}

void CPAnimatedObject::WriteGeometry(SPVertex*, uint16_t*, uint16_t) {
    if (!m_stopped) Advance();
}

void CPAnimatedObject::Advance() {
    if (FrameCount() == 0) return;
    const int32_t frame = m_current->FrameIndexAt((g_totalTime - m_startTime) * static_cast<double>(speed));
    if (m_currentFrame > frame) EndPass();
    if (!m_stopped) m_currentFrame = frame;
    ReportAndMark(frame);
}

void CPAnimatedObject::EndPass() {
    m_reportedFrame = -1;
    m_markedFrame = -1;
    ++m_loopsPlayed;
    if (m_loopLimit > 0 && m_loopsPlayed >= m_loopLimit) StopPlaying();
}

void CPAnimatedObject::StopPlaying() {
    m_stopped = true;
    m_currentFrame = std::max(0, FrameCount() - 2);
    SendToListener("animation_stopped");
    if (m_owner) m_owner->OnAnimationStopped();
    m_currentName.clear();
}

void CPAnimatedObject::ReportAndMark(int32_t frame) {
    if (m_reportFrame >= 0 && m_reportedFrame < 0 && frame >= m_reportFrame) {
        m_reportedFrame = frame;
        SendToListener("animation_report");
        if (m_owner) m_owner->OnAnimationReport(scale);
    }
    if (m_markFrame >= 0 && m_markedFrame < 0 && frame >= m_markFrame) {
        m_markedFrame = frame;
        if (m_owner) m_owner->OnAnimationMark(scale);
    }
}

void CPAnimatedObject::SendToListener(const char* command) const {
    CPScriptManager* manager = GetScriptManager();
    if (!m_listener || !manager) return;
    manager->SendCommandByObject(m_listener, command, HandleToString(m_listener.Get()));
}

void CPAnimatedObject::CopyFrom(TPtr<CPAnimatedObject> sourcePointer) {
    const CPAnimatedObject* source = sourcePointer.Get();
    if (!source || source == this) return;
    for (const auto& [name, animation] : source->m_animations) m_animations[name] = animation;
    m_current = source->m_current;
    m_startTime = source->m_startTime;
    m_loopLimit = source->m_loopLimit;
    m_loopsPlayed = source->m_loopsPlayed;
    m_reportedFrame = source->m_reportedFrame;
    m_markedFrame = source->m_markedFrame;
    m_reportFrame = source->m_reportFrame;
    m_markFrame = source->m_markFrame;
    speed = source->speed;
    m_listener = source->m_listener;
    m_type = source->m_type;
    m_currentFrame = source->m_currentFrame;
    m_stopped = source->m_stopped;
    m_currentName = source->m_currentName;
    m_material = source->m_material;
    scale = source->scale;
    m_world = source->m_world;
    m_modifiers.clear();
    for (const std::unique_ptr<IPTexModifier>& modifier : source->m_modifiers) m_modifiers.push_back(modifier->Clone());
}
