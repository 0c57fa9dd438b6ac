#pragma once

class IPTask;

// Watches the kernel's task passes: a benchmark or profiler times the tasks or counts what they
// allocate. The kernel calls it only while one is set (SetTaskObserver), so without one a pass
// costs a pointer test per task. An observer measures; it must not change the game.
class IPTaskObserver {
public:
    virtual ~IPTaskObserver() = default;
    virtual void PassStarting() = 0;
    virtual void TaskStarting(const IPTask& task) = 0;
    virtual void TaskFinished(const IPTask& task) = 0;
    virtual void PassFinished() = 0;
};

// Every kernel's task passes go to the observer from now on (null: to none); it must outlive its
// use.
void SetTaskObserver(IPTaskObserver* observer);
