// Reading the script list: names, types, categories, duplicates, quotes and failures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/PScriptManager.h"
#include "script_fixture.h"

namespace {

class ScriptListTest : public ScriptTest {
protected:
    // Starts the script so that it takes commands, and empties its queue.
    static void Listen(const TPtr<CPLuaScript>& script) {
        ASSERT_TRUE(script);
        script->Start();
        while (script->NextCommand()) {
        }
    }

    // The names of the commands a script has queued, oldest first.
    static std::vector<std::string> Received(const TPtr<CPLuaScript>& script) {
        std::vector<std::string> names;
        while (script->NextCommand()) names.push_back(script->GetCurrentCommand()->command);
        return names;
    }
};

TEST_F(ScriptListTest, MissingListFileFailsAndLeavesNoScript) {
    CPScriptManager manager;
    EXPECT_FALSE(manager.LoadList());
    EXPECT_FALSE(manager.GetScript("main"));
    manager.SendCommandByName("main", "key", "1");  // finds nothing, and nothing breaks
}

TEST_F(ScriptListTest, TypesFollowTheExactKeywords) {
    struct Case {
        const char* name;
        const char* type;
        int32_t expected;
    };
    const Case cases[] = {
        {"sys", "t_system", 3},   {"lvl", "t_level", 1},     {"ifc", "t_interface", 2},
        {"caps", "T_SYSTEM", 0},  {"other", "t_game", 0},    {"none", "", 0},
    };
    std::string list;
    for (const Case& c : cases) {
        WriteScriptFile(std::string(c.name) + ".lua", "Update()");
        list += std::string(c.name) + " " + c.type + "\n";
    }
    WriteScriptFile("list.dat", list);

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    for (const Case& c : cases) {
        TPtr<CPLuaScript> script = manager.GetScript(c.name);
        ASSERT_TRUE(script) << c.name;
        EXPECT_EQ(script->GetType(), c.expected) << c.name;
        EXPECT_EQ(script->GetName(), c.name);
    }
}

TEST_F(ScriptListTest, NamesAndCategoriesAreLowerCasedAndLookupsAreExact) {
    WriteScriptFile("gamemenu.lua", "Update()");
    WriteScriptFile("list.dat", "  GameMenu   t_interface   Interface   ACTION_Listener  \n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    TPtr<CPLuaScript> script = manager.GetScript("gamemenu");
    Listen(script);
    EXPECT_FALSE(manager.GetScript("GameMenu"));
    EXPECT_EQ(script->GetType(), 2);  // runs of blanks separate fields like one blank

    manager.SendCommandByName("Gamemenu", "lost", "");
    manager.SendCommandByCategory("Interface", "lost", "");
    manager.SendCommandByName("gamemenu", "by_name", "");
    manager.SendCommandByCategory("interface", "first", "");
    manager.SendCommandByCategory("action_listener", "second", "");
    EXPECT_EQ(Received(script), (std::vector<std::string>{"by_name", "first", "second"}));
}

TEST_F(ScriptListTest, QuotesGroupFieldsWithBlanks) {
    WriteScriptFile("my menu.lua", "Update()");
    WriteScriptFile("list.dat", "\"My Menu\" t_level \"Quoted Cat\" plain\n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    TPtr<CPLuaScript> script = manager.GetScript("my menu");
    Listen(script);
    EXPECT_EQ(script->GetType(), 1);
    manager.SendCommandByCategory("quoted cat", "a", "");
    manager.SendCommandByCategory("plain", "b", "");
    EXPECT_EQ(Received(script), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ScriptListTest, CommentsAndEmptyLinesAreSkipped) {
    WriteScriptFile("main.lua", "Update()");
    WriteScriptFile("list.dat", "// the scripts\n\n/* old\nold t_level\n*/\nmain t_system\n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    EXPECT_TRUE(manager.GetScript("main"));
    EXPECT_FALSE(manager.GetScript("old"));
}

TEST_F(ScriptListTest, LaterDuplicateWinsByNameAndEarlierKeepsItsCategories) {
    WriteScriptFile("hud.lua", "Update()");
    WriteScriptFile("list.dat", "hud t_interface first_cat\nhud t_level second_cat\n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    TPtr<CPLuaScript> later = manager.GetScript("hud");
    ASSERT_TRUE(later);
    EXPECT_EQ(later->GetType(), 1);
    Listen(later);

    // The category of the earlier line belongs to the earlier script only.
    manager.SendCommandByCategory("first_cat", "to_earlier", "");
    EXPECT_TRUE(Received(later).empty());
    manager.SendCommandByCategory("second_cat", "to_later", "");
    EXPECT_EQ(Received(later), (std::vector<std::string>{"to_later"}));
}

TEST_F(ScriptListTest, CategoryReachesEveryScriptOfItInListOrder) {
    for (const char* name : {"a", "b", "c"}) WriteScriptFile(std::string(name) + ".lua", "Update()");
    WriteScriptFile("list.dat", "a t_level shared\nb t_level other\nc t_level shared\n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    for (const char* name : {"a", "b", "c"}) Listen(manager.GetScript(name));
    manager.SendCommandByCategory("shared", "hello", "1");
    EXPECT_EQ(manager.GetScript("a")->GetQueueLength(), 1);
    EXPECT_EQ(manager.GetScript("b")->GetQueueLength(), 0);
    EXPECT_EQ(manager.GetScript("c")->GetQueueLength(), 1);
    manager.SendCommandByCategory("unknown", "hello", "1");
}

TEST_F(ScriptListTest, UnreadableScriptEndsTheListKeepingTheLinesBefore) {
    WriteScriptFile("first.lua", "Update()");
    WriteScriptFile("third.lua", "Update()");
    WriteScriptFile("list.dat", "first t_level\nmissing t_level\nthird t_level\n");

    CPScriptManager manager;
    EXPECT_FALSE(manager.LoadList());
    EXPECT_TRUE(manager.GetScript("first"));
    EXPECT_FALSE(manager.GetScript("missing"));
    EXPECT_FALSE(manager.GetScript("third"));
}

TEST_F(ScriptListTest, ScriptWithSyntaxErrorCountsAsLoaded) {
    WriteScriptFile("broken.lua", "this is not lua (");
    WriteScriptFile("after.lua", "Update()");
    WriteScriptFile("list.dat", "broken t_level\nafter t_level\n");

    CPScriptManager manager;
    EXPECT_TRUE(manager.LoadList());
    EXPECT_TRUE(manager.GetScript("broken"));
    EXPECT_TRUE(manager.GetScript("after"));
}

TEST_F(ScriptListTest, ScriptFileIsFoundWhateverItsCase) {
    WriteScriptFile("Intro.LUA", "Update()");
    WriteScriptFile("LIST.DAT", "intro t_system\n");

    CPScriptManager manager;
    ASSERT_TRUE(manager.LoadList());
    EXPECT_TRUE(manager.GetScript("intro"));
}

TEST_F(ScriptListTest, ManagerIsTheSingletonWhileItLives) {
    EXPECT_EQ(GetScriptManager(), nullptr);
    {
        CPScriptManager manager;
        EXPECT_EQ(GetScriptManager(), &manager);
    }
    EXPECT_EQ(GetScriptManager(), nullptr);
}

}  // namespace
