#include "core/PTask.h"

bool IPTask::Start() {
    if (m_running) return false;
    m_kill = false;
    m_running = true;
    return true;
}

void IPTask::Stop() {
    m_kill = true;
    m_running = false;
}
