#pragma once
#include <cstdint>

#include "core/PMMObject.h"
#include "core/PSmartPointer.h"

// Base of everything that runs once per frame. The kernel (PKernel.h) calls Start when the task
// is added, Update once per task pass in priority order, OnSuspend/OnResume around a suspension,
// and Stop when it finds the kill flag set. Stop may run twice (once by the task's owner, once by
// the kernel when it removes the task), so every Stop must be safe to call twice.
class IPTask : public IPMMObject {
public:
    // False when the task is already running; otherwise clears the kill flag and runs.
    virtual bool Start();
    virtual void OnSuspend() {}
    virtual void Update() = 0;
    virtual void OnResume() {}
    // Marks the task for removal at its next turn and stops it.
    virtual void Stop();
    // The task's category: 1 level task, 2 interface task, 3 system task.
    virtual int32_t GetType() const = 0;
    // A copy of the task; null for tasks that cannot be copied.
    virtual TPtr<IPTask> Clone() const { return nullptr; }

    bool IsRunning() const { return m_running; }
    bool IsKilled() const { return m_kill; }
    // Marks the task for removal at its next turn (the kernel then calls Stop).
    void Kill() { m_kill = true; }

    // Smaller runs earlier; set it before adding the task.
    int32_t GetPriority() const { return m_priority; }
    void SetPriority(int32_t priority) { m_priority = priority; }

protected:
    bool m_running = false;
    bool m_kill = false;
    int32_t m_priority = 5000;
};
