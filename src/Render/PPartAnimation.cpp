#include "Render/PPartAnimation.h"

#include <cmath>

#include "Render/PGameObject.h"
#include "core/PGlobalTimer.h"

void CPPartAnimation::SetKeys(std::vector<PMatrix> keys, std::vector<float> durations) {
    m_keys = std::move(keys);
    m_durations = std::move(durations);
    m_passLength = 0.0f;
    for (size_t i = 0; i < m_durations.size(); ++i) {
        if (!(m_durations[i] > 0.0f)) m_durations[i] = 0.0f;
        if (i + 2 < m_durations.size()) m_passLength += m_durations[i];
    }
}

void CPPartAnimation::CopyFrom(const CPPartAnimation* source) {
    if (!source || source == this) return;
    SetKeys(source->m_keys, source->m_durations);
    m_loop = source->m_loop;
}

bool CPPartAnimation::Start() {
    if (!IPTask::Start()) return false;
    if (m_keys.size() >= kMinKeys && static_cast<size_t>(m_keyIndex) + 2 >= m_keys.size()) {
        m_keyIndex = 0;
        m_elapsed = 0.0f;
    }
    return true;
}

void CPPartAnimation::Update() {
    // Too few keys make no pass; a pass that ended without loop stays where it ended.
    if (m_keys.size() < kMinKeys || m_durations.size() != m_keys.size() ||
        static_cast<size_t>(m_keyIndex) + 2 >= m_keys.size()) {
        Stop();
        return;
    }
    m_elapsed += g_frameDelta;
    if (!std::isfinite(m_elapsed)) m_elapsed = 0.0f;
    const bool ended = !AdvanceKeys();
    if (m_target) {
        m_target->SetAnimationMatrix(Blend());
        m_target->UpdateTransform();
    }
    if (ended) Stop();
}

bool CPPartAnimation::AdvanceKeys() {
    const size_t passEnd = m_keys.size() - 2;
    int32_t passes = 0;
    while (m_elapsed > m_durations[static_cast<size_t>(m_keyIndex)]) {
        m_elapsed -= m_durations[static_cast<size_t>(m_keyIndex)];
        ++m_keyIndex;
        if (static_cast<size_t>(m_keyIndex) != passEnd) continue;
        EndPass();
        if (!m_loop) return false;
        m_keyIndex = 0;
        // Past that many passes the rest of the time wraps at once, so that tiny or zero
        // durations cannot keep the loop going.
        if (++passes >= kMaxPassesPerUpdate) m_elapsed = m_passLength > 0.0f ? std::fmod(m_elapsed, m_passLength) : 0.0f;
    }
    return true;
}

void CPPartAnimation::EndPass() {
    if (m_target) m_target->OnAnimationEnd();
}

PMatrix CPPartAnimation::Blend() const {
    const size_t index = static_cast<size_t>(m_keyIndex);
    const float duration = m_durations[index];
    const float t = duration > 0.0f ? m_elapsed / duration : 0.0f;
    const PMatrix& from = m_keys[index];
    const PMatrix& to = m_keys[index + 1];
    PMatrix blend = from;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            blend.m[row][column] = from.m[row][column] + t * (to.m[row][column] - from.m[row][column]);
        }
    }
    return blend;
}
