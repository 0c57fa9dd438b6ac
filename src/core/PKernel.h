#pragma once
#include <cstdint>
#include <functional>
#include <list>

#include "core/PSmartPointer.h"
#include "core/PTask.h"
#include "core/Singleton.h"
#include "platform/WindowMessage.h"

// True while the game window is active. Written by the window procedure; while it is false the
// main loop runs no task and keeps the frame delta at 0.
extern bool g_windowActive;

// The task kernel and the main loop.
//
// The active list holds the running tasks ordered by priority (smaller first, equal priorities in
// the order added); the suspended list holds suspended tasks in the order of suspension. Each
// pass of Run takes at most one window message, runs one task pass while the window is active
// and deletes the objects released during the pass (CollectGarbage).
class CPKernel : public TSingleton<CPKernel> {
public:
    using TaskList = std::list<TPtr<IPTask>>;
    // Handles one window message (the game's window procedure).
    using WindowProcedure = std::function<void(const platform::WindowMessage&)>;
    using Hook = std::function<void()>;

    CPKernel();
    // Releases every task, suspended ones first; no Stop is called.
    virtual ~CPKernel();

    // Starts the task and inserts it after every task of lower or equal priority. False when the
    // pointer is null or Start fails. A task that was stopped but still has an entry (the kernel
    // has not reached it yet, or it is suspended) is restarted in its place, never given a
    // second entry.
    bool AddTask(const TPtr<IPTask>& task);
    // Moves an active task to the suspended list (OnSuspend). Not for use inside a task pass.
    void SuspendTask(const TPtr<IPTask>& task);
    // Moves a suspended task back into the active list by priority (OnResume; no new Start).
    // Not for use inside a task pass.
    void ResumeTask(const TPtr<IPTask>& task);
    // Marks every active task for stopping; suspended tasks are not touched.
    void KillAllTasks();

    // The main loop; returns 0 when it ends: when the active list is empty while the window is
    // active, or after a Quit message once the list is empty.
    int Run();

    // Receives every message that Run takes, Quit included; without one, messages are dropped.
    void SetWindowProcedure(WindowProcedure procedure) { m_windowProcedure = std::move(procedure); }
    // Called at the start of each pass to fill the message queue (the platform's event pump).
    void SetEventPump(Hook pump) { m_eventPump = std::move(pump); }
    // Called once when the loop has ended, before Run returns.
    void SetLoopEndHook(Hook hook) { m_loopEndHook = std::move(hook); }

    // The game window's handle, null until the application stores it.
    void* GetWindow() const { return m_window; }
    void SetWindow(void* window) { m_window = window; }

    const TaskList& GetActiveTasks() const { return m_active; }
    const TaskList& GetSuspendedTasks() const { return m_suspended; }

private:
    void InsertByPriority(const TPtr<IPTask>& task);
    void RunTaskPass();
    // Takes one message and handles it; false when the loop must end at once.
    bool HandleOneMessage(bool& quitting);

    void* m_window = nullptr;
    TaskList m_active;
    TaskList m_suspended;
    WindowProcedure m_windowProcedure;
    Hook m_eventPump;
    Hook m_loopEndHook;
};

// The kernel, null before its construction and after its destruction.
inline CPKernel* GetKernel() { return CPKernel::Instance(); }
