#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PObjUpdater.h"
#include "core/TaskObserver.h"
#include "platform/WindowMessage.h"

namespace {

using platform::MessageType;
using platform::WindowMessage;

// Records what the kernel does as text: "|" starts a pass (the event pump), a task's name is its
// Update, "name.stop" its Stop, "msg:N" a dispatched message of type N.
struct Trace {
    std::string text;
    int pass = 0;
    void Add(const std::string& item) {
        if (!text.empty() && text.back() != '|') text += ' ';
        text += item;
    }
};

class TraceTask : public IPTask {
public:
    TraceTask(Trace& trace, std::string name, int32_t priority) : m_trace(trace), m_name(std::move(name)) {
        SetPriority(priority);
    }
    void Update() override {
        m_trace.Add(m_name);
        auto action = actions.find(m_trace.pass);
        if (action != actions.end()) action->second();
    }
    void Stop() override {
        IPTask::Stop();
        m_trace.Add(m_name + ".stop");
    }
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "TraceTask"; }

    // What the task does in its Update of a given pass (passes count from 1).
    std::map<int, std::function<void()>> actions;

private:
    Trace& m_trace;
    std::string m_name;
};

// A kernel with a scripted event pump and window procedure.
struct Harness {
    Harness() {
        platform::GetMessageQueue().Clear();
        g_windowActive = true;
        kernel.SetEventPump([this] {
            ++trace.pass;
            trace.text += '|';
            auto post = posts.find(trace.pass);
            if (post != posts.end()) platform::GetMessageQueue().Post(post->second);
            if (onPass) onPass();
        });
        kernel.SetWindowProcedure([this](const WindowMessage& message) {
            trace.Add("msg:" + std::to_string(static_cast<int>(message.type)));
            if (message.type == MessageType::Activate) g_windowActive = message.param != platform::ActivateInactive;
            if (onMessage) onMessage(message);
        });
    }
    ~Harness() {
        g_windowActive = true;
        platform::GetMessageQueue().Clear();
    }

    TPtr<TraceTask> Make(const std::string& name, int32_t priority) {
        return TPtr<TraceTask>(new TraceTask(trace, name, priority));
    }
    TPtr<TraceTask> Add(const std::string& name, int32_t priority) {
        TPtr<TraceTask> task = Make(name, priority);
        EXPECT_TRUE(kernel.AddTask(task));
        return task;
    }
    // Posts a message at the start of the given pass.
    void PostAt(int pass, MessageType type, int32_t param = 0) { posts[pass] = WindowMessage{type, param}; }
    void KillAllAt(const TPtr<TraceTask>& task, int pass) {
        task->actions[pass] = [this] { kernel.KillAllTasks(); };
    }
    std::string Run() {
        EXPECT_EQ(kernel.Run(), 0);
        return trace.text;
    }

    Trace trace;
    std::map<int, WindowMessage> posts;
    std::function<void()> onPass;
    std::function<void(const WindowMessage&)> onMessage;
    CPKernel kernel;
};

class KernelTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_harness.reset();
        CollectGarbage();
    }
    std::unique_ptr<Harness> m_harness = std::make_unique<Harness>();
    Harness& h = *m_harness;
};

struct Scenario {
    const char* name;
    std::function<void(Harness&)> setup;
    const char* expected;
};

TEST(KernelScenarios, Table) {
    const Scenario scenarios[] = {
        {"equal priorities run in insertion order, a later one after both",
         [](Harness& h) {
             auto a = h.Add("A", 5);
             h.Add("B", 5);
             h.Add("C", 1);
             a->actions[1] = [&h] { h.kernel.AddTask(h.Make("D", 5)); };
             h.KillAllAt(a, 2);
         },
         "|C A B D|C A B.stop D.stop|C.stop A.stop|"},
        {"a task inserted during a pass runs in it when after the current one, else next pass",
         [](Harness& h) {
             auto a = h.Add("A", 10);
             a->actions[1] = [&h] {
                 h.kernel.AddTask(h.Make("Later", 20));
                 h.kernel.AddTask(h.Make("Earlier", 5));
             };
             h.KillAllAt(a, 2);
         },
         "|A Later|Earlier A Later.stop|Earlier.stop A.stop|"},
        {"KillAllTasks inside an Update: later tasks stop now, earlier ones and the caller next pass",
         [](Harness& h) {
             h.Add("A", 1);
             auto b = h.Add("B", 2);
             h.Add("C", 3);
             h.KillAllAt(b, 1);
         },
         "|A B C.stop|A.stop B.stop|"},
        {"Quit with an empty list ends the loop without dispatching",
         [](Harness& h) { h.PostAt(1, MessageType::Quit); }, "|"},
        {"Quit stops every task at once, then the message is dispatched",
         [](Harness& h) {
             h.Add("A", 1);
             h.Add("B", 2);
             h.PostAt(2, MessageType::Quit);
         },
         "|A B|A.stop B.stop msg:0"},
        {"an empty list ends the loop while the window is active", [](Harness&) {}, "|"},
        {"an inactive window runs no task and an empty list does not end the loop",
         [](Harness& h) {
             auto a = h.Add("A", 1);
             h.KillAllAt(a, 1);
             h.PostAt(3, MessageType::Activate, platform::ActivateInactive);
             h.PostAt(5, MessageType::Activate, platform::ActivateActive);
         },
         "|A|A.stop|msg:3||msg:3"},
        {"a suspended task is not stopped by KillAllTasks",
         [](Harness& h) {
             auto a = h.Add("A", 1);
             h.kernel.SuspendTask(h.Add("S", 2));
             h.KillAllAt(a, 1);
         },
         "|A|A.stop|"},
        {"a task stopped and restarted before its entry was removed runs once per pass",
         [](Harness& h) {
             auto s = h.Add("S", 20);
             auto later = h.Add("L", 30);
             auto earlier = h.Add("E", 10);
             s->actions[2] = [&h, later, earlier] {
                 for (const auto& task : {later, earlier}) {
                     task->Stop();
                     EXPECT_TRUE(h.kernel.AddTask(task));
                 }
             };
             h.KillAllAt(s, 3);
         },
         "|E S L|E S L.stop E.stop L|E S L.stop|E.stop S.stop|"},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        {
            Harness h;
            scenario.setup(h);
            EXPECT_EQ(h.Run(), scenario.expected);
        }
        CollectGarbage();
    }
}

TEST_F(KernelTest, RestartedTaskKeepsASingleEntry) {
    auto s = h.Add("S", 20);
    auto t = h.Add("T", 10);
    t->Stop();
    EXPECT_TRUE(h.kernel.AddTask(t));
    EXPECT_EQ(h.kernel.GetActiveTasks().size(), 2u);
    EXPECT_FALSE(t->IsKilled());

    h.kernel.SuspendTask(t);
    t->Stop();
    EXPECT_TRUE(h.kernel.AddTask(t));
    EXPECT_TRUE(t->IsRunning());
    h.kernel.ResumeTask(t);
    EXPECT_EQ(h.kernel.GetActiveTasks().size(), 2u);
    EXPECT_TRUE(h.kernel.GetSuspendedTasks().empty());
}

TEST_F(KernelTest, AddTaskRejectsNullAndRunningTasks) {
    EXPECT_FALSE(h.kernel.AddTask(nullptr));
    auto a = h.Add("A", 1);
    EXPECT_FALSE(h.kernel.AddTask(a));
    EXPECT_EQ(h.kernel.GetActiveTasks().size(), 1u);
}

TEST_F(KernelTest, ResumedTaskGoesBackInFrontOfHigherPriorities) {
    auto timer = h.Add("T", 10);
    h.kernel.SuspendTask(timer);
    auto music = h.Add("M", 12);
    auto input = h.Add("I", 12);
    EXPECT_EQ(timer->GetRefCount(), 2);  // ours and the suspended list's
    h.kernel.ResumeTask(timer);
    std::vector<IPTask*> order;
    for (const auto& task : h.kernel.GetActiveTasks()) order.push_back(task.Get());
    EXPECT_EQ(order, (std::vector<IPTask*>{timer.Get(), music.Get(), input.Get()}));
    EXPECT_TRUE(h.kernel.GetSuspendedTasks().empty());

    h.kernel.ResumeTask(timer);  // not suspended: nothing happens
    h.kernel.SuspendTask(h.Make("X", 1));
    EXPECT_EQ(h.kernel.GetActiveTasks().size(), 3u);
    EXPECT_TRUE(h.kernel.GetSuspendedTasks().empty());
}

class Garbage : public IPMMObject {
public:
    explicit Garbage(bool& deleted) : m_deleted(deleted) {}
    ~Garbage() override { m_deleted = true; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "Garbage"; }

private:
    bool& m_deleted;
};

TEST_F(KernelTest, InactiveWindowZeroesTheDeltaAndStillCollectsGarbage) {
    auto a = h.Add("A", 1);
    a->actions[1] = [] { g_frameDelta = 0.25f; };
    h.KillAllAt(a, 5);
    h.PostAt(2, MessageType::Activate, platform::ActivateInactive);
    h.PostAt(5, MessageType::Activate, platform::ActivateActive);

    bool deleted = false;
    h.onMessage = [&](const WindowMessage& message) {
        if (!g_windowActive) TPtr<Garbage>(new Garbage(deleted)).Reset();
    };
    std::vector<float> deltas;
    h.onPass = [&] {
        if (h.trace.pass == 3) {
            EXPECT_TRUE(deleted);
        }
        if (h.trace.pass >= 3 && h.trace.pass <= 5) deltas.push_back(g_frameDelta);
    };
    EXPECT_EQ(h.Run(), "|A|msg:3|||msg:3 A|A.stop|");
    EXPECT_EQ(deltas, (std::vector<float>{0.0f, 0.0f, 0.0f}));
}

TEST_F(KernelTest, DestructionReleasesSuspendedTasksWithoutStop) {
    auto s = h.Add("S", 1);
    h.kernel.SuspendTask(s);
    h.kernel.KillAllTasks();
    EXPECT_FALSE(s->IsKilled());
    m_harness.reset();
    EXPECT_EQ(GetKernel(), nullptr);
    EXPECT_EQ(s->GetRefCount(), 1);
    EXPECT_TRUE(s->IsRunning());  // Stop would have cleared it
}

TEST_F(KernelTest, ObjUpdaterCallsTheMemberFunction) {
    struct Level {
        int updates = 0;
        void Update() { ++updates; }
    } level;
    TPtr<CPObjUpdater> updater(new CPObjUpdater(&level, &Level::Update));
    updater->SetPriority(500);
    EXPECT_EQ(updater->GetType(), 0);
    EXPECT_EQ(updater->GetClassName(), "CPObjUpdater");
    auto a = h.Add("A", 1);
    h.kernel.AddTask(updater);
    h.KillAllAt(a, 3);  // the updater, behind A, is stopped in that pass
    h.Run();
    EXPECT_EQ(level.updates, 2);
}

}  // namespace

namespace {

// Adds "[" and "]" around each observed pass and "(" and ")" around each observed task's Update.
class TraceObserver : public IPTaskObserver {
public:
    explicit TraceObserver(Trace& trace) : m_trace(trace) {}
    void PassStarting() override { m_trace.Add("["); }
    void TaskStarting(const IPTask&) override { m_trace.Add("("); }
    void TaskFinished(const IPTask& task) override {
        m_trace.Add(")");
        finished.push_back(&task);
    }
    void PassFinished() override { m_trace.Add("]"); }
    std::vector<const IPTask*> finished;

private:
    Trace& m_trace;
};

TEST_F(KernelTest, TheObserverSeesEachPassAndEachUpdateUntilItIsRemoved) {
    TraceObserver observer(h.trace);
    SetTaskObserver(&observer);
    auto a = h.Add("A", 1);
    auto b = h.Add("B", 2);
    b->actions[2] = [&] { SetTaskObserver(nullptr); };
    h.KillAllAt(a, 3);
    // Removed during B's update, it still hears of that update's end, then of nothing more.
    EXPECT_EQ(h.Run(), "|[ ( A ) ( B ) ]|[ ( A ) ( B )|A B.stop|A.stop|");
    EXPECT_EQ(observer.finished, (std::vector<const IPTask*>{a.Get(), b.Get(), a.Get(), b.Get()}));
}

}  // namespace
