// Command delivery: order, the queue limit, running scripts only, parameter splitting, the last
// "release_all", and the queue's order while it wraps round its slots and grows.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "script/PScriptManager.h"
#include "script/ScriptCommandQueue.h"
#include "script_fixture.h"

namespace {

class CommandTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        WriteScriptFile("target.lua", "while true do Update() end");
        WriteScriptFile("list.dat", "target t_level listeners\n");
        m_manager = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(m_manager->LoadList());
        m_target = m_manager->GetScript("target");
        ASSERT_TRUE(m_target);
    }

    void TearDown() override {
        m_target.Reset();
        m_manager.reset();
        ScriptTest::TearDown();
    }

    std::unique_ptr<CPScriptManager> m_manager;
    TPtr<CPLuaScript> m_target;
};

TEST_F(CommandTest, CommandsArriveFirstInFirstOut) {
    m_target->Start();
    m_manager->SendCommandByName("target", "A", "");
    m_manager->SendCommandByCategory("listeners", "B", "");
    m_manager->SendCommandByObject(m_target, "C", "");

    for (const char* expected : {"A", "B", "C"}) {
        ASSERT_TRUE(m_target->NextCommand());
        EXPECT_EQ(m_target->GetCurrentCommand()->command, expected);
    }
    EXPECT_FALSE(m_target->NextCommand());
    EXPECT_EQ(m_target->GetCurrentCommand(), nullptr);
    EXPECT_EQ(m_target->GetQueueLength(), 0);
}

TEST_F(CommandTest, QueueKeepsTheHundredAndFirstCommandAndDropsTheNext) {
    m_target->Start();
    for (int i = 1; i <= 103; ++i) m_manager->SendCommandByName("target", "c" + std::to_string(i), "");
    EXPECT_EQ(m_target->GetQueueLength(), CPScriptManager::kQueueLimit + 1);

    // Reading one frees a place only once the script moves past it: the current one still counts.
    ASSERT_TRUE(m_target->NextCommand());
    EXPECT_EQ(m_target->GetCurrentCommand()->command, "c1");
    m_manager->SendCommandByName("target", "dropped", "");
    ASSERT_TRUE(m_target->NextCommand());
    m_manager->SendCommandByName("target", "kept", "");
    EXPECT_EQ(m_target->GetQueueLength(), CPScriptManager::kQueueLimit + 1);

    std::string last;
    while (m_target->NextCommand()) last = m_target->GetCurrentCommand()->command;
    EXPECT_EQ(last, "kept");
}

TEST_F(CommandTest, CommandsToAScriptThatIsNotRunningAreLost) {
    m_manager->SendCommandByName("target", "before_start", "");
    m_manager->SendCommandByCategory("listeners", "before_start", "");
    m_manager->SendCommandByObject(m_target, "before_start", "");
    EXPECT_EQ(m_target->GetQueueLength(), 0);

    m_target->Start();
    m_manager->SendCommandByName("target", "while_running", "");
    m_target->Stop();
    m_manager->SendCommandByName("target", "after_stop", "");
    EXPECT_EQ(m_target->GetQueueLength(), 1);  // what was there stays

    m_target->Start();
    ASSERT_TRUE(m_target->NextCommand());
    EXPECT_EQ(m_target->GetCurrentCommand()->command, "while_running");
    EXPECT_FALSE(m_target->NextCommand());
}

TEST_F(CommandTest, ParameterStringsAreSplitAtCommas) {
    struct Case {
        const char* params;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a, b", {"a", "b"}},
        {"\"x,y\",z", {"x,y", "z"}},
        {"a,", {"a"}},
        {"a,,b", {"a", "", "b"}},
        {"1.500000,-2.000000,3.250000", {"1.500000", "-2.000000", "3.250000"}},
    };
    m_target->Start();
    for (const Case& c : cases) {
        m_manager->SendCommandByName("target", "cmd", c.params);
        ASSERT_TRUE(m_target->NextCommand());
        EXPECT_EQ(m_target->GetCurrentCommand()->params, c.expected) << c.params;
    }
}

TEST_F(CommandTest, ScriptReadsItsCommandsInItsLoopAndAnswersItself) {
    WriteScriptFile("reader.lua", R"(
        log = ""
        while true do
            while SetNextCommand(globalObject) do
                local name = GetCurrentCommand(globalObject)
                local a, b = GetCurrentParams(globalObject)
                log = log .. name .. "(" .. tostring(a) .. "," .. tostring(b) .. ");"
                if name == "ping" then SendCommandByName("reader", "pong", "x") end
            end
            Update()
        end)");
    WriteScriptFile("list.dat", "reader t_system\n");
    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    TPtr<CPLuaScript> reader = manager.GetScript("reader");
    reader->Start();

    manager.SendCommandByName("reader", "move", "1,2");
    manager.SendCommandByName("reader", "ping", "");
    reader->Update();
    // The answer sent during the step is read in the same step.
    EXPECT_EQ(GlobalText(*reader, "log"), "move(1,2);ping(nil,nil);pong(x,nil);");
    EXPECT_FALSE(reader->IsFinished());
}

TEST_F(CommandTest, DestroyingTheManagerGivesRunningScriptsReleaseAll) {
    WriteScriptFile("holder.lua", R"(
        while true do
            while SetNextCommand(globalObject) do
                if GetCurrentCommand(globalObject) == "release_all" then released = true end
            end
            Update()
        end)");
    WriteScriptFile("idle.lua", "released = false while true do Update() end");
    WriteScriptFile("list.dat", "holder t_system\nidle t_system\n");
    auto manager = std::make_unique<CPScriptManager>();
    ASSERT_TRUE(manager->LoadList());
    TPtr<CPLuaScript> holder = manager->GetScript("holder");
    TPtr<CPLuaScript> idle = manager->GetScript("idle");
    holder->Start();
    holder->Update();
    // A full queue does not keep "release_all" out.
    for (int i = 0; i < 150; ++i) manager->SendCommandByName("holder", "filler", "");

    manager.reset();
    EXPECT_EQ(Run(*holder, "assert(released == true)"), "");
    // A script that never started ignores the step.
    EXPECT_TRUE(idle->IsFinished());
    EXPECT_EQ(idle->GetQueueLength(), 1);
    EXPECT_EQ(holder->GetRefCount(), 1);
}

// Command number n: 0 to 2 parameters, of lengths from 1 to 40 (beyond a string's inline buffer).
CPScriptCommand NumberedCommand(int number) {
    CPScriptCommand command{"command " + std::to_string(number), {}};
    for (int i = 0; i < number % 3; ++i) command.params.push_back(std::string(number % 40, 'p') + std::to_string(i));
    return command;
}

// Three in, two out, again and again: the queue wraps round its slots and grows while wrapped.
TEST(ScriptCommandQueue, CommandsLeaveInTheirOrderWithTheirOwnParameters) {
    CPScriptCommandQueue queue;
    std::deque<CPScriptCommand> expected;
    int pushed = 0;
    const auto popAndCheck = [&] {
        ASSERT_FALSE(queue.Empty());
        EXPECT_EQ(queue.Oldest().command, expected.front().command);
        EXPECT_EQ(queue.Oldest().params, expected.front().params);
        queue.PopOldest();
        expected.pop_front();
    };
    for (int cycle = 0; cycle < 60; ++cycle) {
        for (int i = 0; i < 3; ++i) {
            expected.push_back(NumberedCommand(pushed++));
            queue.Push(expected.back());
        }
        for (int i = 0; i < 2; ++i) popAndCheck();
        EXPECT_EQ(queue.Size(), expected.size());
    }
    while (!expected.empty()) popAndCheck();
    queue.PopOldest();
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
