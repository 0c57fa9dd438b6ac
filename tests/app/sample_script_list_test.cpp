// The sample game's script list: every command the game sends reaches the sample scripts it is
// meant for, by name or by category, and no other.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WorkingFolder.h"
#include "script/PScriptManager.h"
#include "support/ReceivedCommands.h"

namespace {

class SampleScriptListTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        m_scripts = new CPScriptManager;
        ASSERT_TRUE(m_scripts->LoadList()) << m_scripts->GetUnreadableScript();
        for (const char* name : kScripts) {
            TPtr<CPLuaScript> script = m_scripts->GetScript(name);
            ASSERT_TRUE(script) << name;
            script->Start();  // running, so commands reach it; never resumed
        }
    }

    void TearDown() override {
        delete m_scripts;
        CollectGarbage();
    }

    // The scripts that received something since the last call.
    std::set<std::string> Receivers() const {
        std::set<std::string> receivers;
        for (const char* name : kScripts) {
            if (!testsupport::ReceivedCommands(*m_scripts->GetScript(name)).empty()) receivers.insert(name);
        }
        return receivers;
    }

    static constexpr const char* kScripts[] = {"main", "menu", "keys", "gamemenu", "jeep", "level", "shop", "saves", "scores"};
    apptest::WorkingFolder m_folder;
    CPScriptManager* m_scripts = nullptr;
};

TEST_F(SampleScriptListTest, EveryCommandOfTheGameReachesTheScriptsThatAnswerIt) {
    enum class Sent { ByName, ByCategory };
    const struct {
        Sent sent;
        const char* target;
        const char* command;
        std::set<std::string> receivers;
    } kCases[] = {
        {Sent::ByCategory, "main", "say_point", {"main"}},
        {Sent::ByCategory, "main", "say_show", {"main"}},
        {Sent::ByCategory, "main", "say_super", {"main"}},
        {Sent::ByCategory, "main", "player_dead", {"main"}},
        {Sent::ByName, "main", "say_critical", {"main"}},
        {Sent::ByName, "main", "any_key", {"main"}},
        {Sent::ByCategory, "interface", "key", {"main", "keys", "gamemenu"}},
        {Sent::ByName, "gamemenu", "change_money", {"gamemenu"}},
        {Sent::ByName, "gamemenu", "check_point", {"gamemenu"}},
        {Sent::ByName, "gamemenu", "update_game_interface", {"gamemenu"}},
        {Sent::ByName, "jeep", "set_car_params", {"jeep"}},
        {Sent::ByCategory, "level", "check_point", {"level", "jeep"}},
        {Sent::ByCategory, "level", "enemy_death", {"level", "jeep"}},
        {Sent::ByCategory, "level", "enemy_invisible", {"level", "jeep"}},
        {Sent::ByName, "level", "death", {"level"}},
        {Sent::ByCategory, "action_listener", "key_action", {"jeep", "menu"}},
    };
    for (const auto& sample : kCases) {
        if (sample.sent == Sent::ByName) {
            m_scripts->SendCommandByName(sample.target, sample.command, "1");
        } else {
            m_scripts->SendCommandByCategory(sample.target, sample.command, "1");
        }
        EXPECT_EQ(Receivers(), sample.receivers) << sample.target << " " << sample.command;
    }
}

}  // namespace
