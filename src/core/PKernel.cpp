#include "core/PKernel.h"

#include <algorithm>

#include "core/PGlobalTimer.h"
#include "core/TaskObserver.h"

bool g_windowActive = true;

namespace {

IPTaskObserver* g_taskObserver = nullptr;

// An observer removed during the update still hears of its end.
void UpdateTask(IPTask& task) {
    IPTaskObserver* observer = g_taskObserver;
    if (!observer) {
        task.Update();
        return;
    }
    observer->TaskStarting(task);
    task.Update();
    observer->TaskFinished(task);
}

bool Holds(const CPKernel::TaskList& list, const TPtr<IPTask>& task) {
    return std::find(list.begin(), list.end(), task) != list.end();
}

}  // namespace

void SetTaskObserver(IPTaskObserver* observer) { g_taskObserver = observer; }

CPKernel::CPKernel() = default;

CPKernel::~CPKernel() {
    m_suspended.clear();
    m_active.clear();
}

bool CPKernel::AddTask(const TPtr<IPTask>& task) {
    if (!task) return false;
    if (!task->Start()) return false;
    // Stopped and restarted while it still has an entry: the task keeps that entry, so it can
    // never be updated twice in a pass.
    if (Holds(m_active, task) || Holds(m_suspended, task)) return true;
    InsertByPriority(task);
    return true;
}

void CPKernel::InsertByPriority(const TPtr<IPTask>& task) {
    const int32_t priority = task->GetPriority();
    auto position = std::find_if(m_active.begin(), m_active.end(),
                                 [priority](const TPtr<IPTask>& entry) { return entry->GetPriority() > priority; });
    m_active.insert(position, task);
}

void CPKernel::SuspendTask(const TPtr<IPTask>& task) {
    if (!Holds(m_active, task)) return;
    TPtr<IPTask> keep = task;  // the caller's pointer may be one of the entries removed below
    keep->OnSuspend();
    m_active.remove(keep);
    m_suspended.push_back(keep);
}

void CPKernel::ResumeTask(const TPtr<IPTask>& task) {
    if (!Holds(m_suspended, task)) return;
    TPtr<IPTask> keep = task;
    keep->OnResume();
    m_suspended.remove(keep);
    InsertByPriority(keep);
}

void CPKernel::KillAllTasks() {
    for (const TPtr<IPTask>& task : m_active) task->Kill();
}

void CPKernel::RunTaskPass() {
    if (g_taskObserver) g_taskObserver->PassStarting();
    auto entry = m_active.begin();
    while (entry != m_active.end()) {
        IPTask* task = entry->Get();
        if (task->IsKilled()) {
            task->Stop();
            entry = m_active.erase(entry);
        } else {
            UpdateTask(*task);
            ++entry;  // read after Update, so tasks it inserted behind this one run in this pass
        }
    }
    if (g_taskObserver) g_taskObserver->PassFinished();
}

bool CPKernel::HandleOneMessage(bool& quitting) {
    if (m_eventPump) m_eventPump();
    platform::WindowMessage message;
    if (!platform::GetMessageQueue().Take(message)) return true;
    if (message.type == platform::MessageType::Quit) {
        KillAllTasks();
        quitting = true;
        if (m_active.empty()) return false;
        RunTaskPass();
    }
    if (m_windowProcedure) m_windowProcedure(message);
    return true;
}

int CPKernel::Run() {
    bool quitting = false;
    for (;;) {
        if (quitting) {
            if (m_active.empty()) break;
        } else if (!HandleOneMessage(quitting)) {
            break;
        }
        if (g_windowActive) {
            if (m_active.empty()) break;
            RunTaskPass();
        } else {
            g_frameDelta = 0.0f;
        }
        CollectGarbage();
    }
    if (m_loopEndHook) m_loopEndHook();
    return 0;
}
