#include "script/ScriptCommandQueue.h"

#include <algorithm>

void CPScriptCommandQueue::Push(const CPScriptCommand& command) {
    if (m_count == m_slots.size()) Grow();
    CPScriptCommand& slot = m_slots[(m_oldest + m_count) % m_slots.size()];
    // Assignment keeps the slot's buffers where they are large enough.
    slot.command = command.command;
    slot.params = command.params;
    ++m_count;
}

void CPScriptCommandQueue::PopOldest() {
    if (m_count == 0) return;
    m_oldest = (m_oldest + 1) % m_slots.size();
    --m_count;
}

void CPScriptCommandQueue::Grow() {
    std::rotate(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(m_oldest), m_slots.end());
    m_oldest = 0;
    m_slots.emplace_back();
}
