#pragma once
// Script tests with the game's function tables registered; and a script state with them, and the
// results of a call as one text.
#include <gtest/gtest.h>

#include <string>

#include "script/script_fixture.h"
#include "scriptapi/GameFunctionTables.h"

class RegisteredGameTablesTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterGameFunctionTables();
    }
};

class GameFunctionsTest : public RegisteredGameTablesTest {
protected:
    void SetUp() override {
        RegisteredGameTablesTest::SetUp();
        m_script = LoadScript("caller", "");
        EXPECT_EQ(Run(*m_script, kJoined), "");
    }
    void TearDown() override {
        m_script = nullptr;
        RegisteredGameTablesTest::TearDown();
    }

    // Runs the statements, then the call; its results joined by '|': numbers as "%.6g", tables as
    // {a,b,...}, anything else as tostring writes it. An error comes back as "error: <message>".
    std::string Results(const std::string& call, const std::string& before = "") {
        const std::string error = Run(*m_script, before + "\nresult = joined(" + call + ")");
        return error.empty() ? GlobalText(*m_script, "result") : "error: " + error;
    }

    TPtr<CPLuaScript> m_script;

private:
    static constexpr char kJoined[] = R"(
        local function text(v)
            if type(v) == 'number' then return string.format('%.6g', v) end
            if type(v) == 'table' then
                local items = {}
                for i = 1, table.getn(v) do items[i] = text(v[i]) end
                return '{' .. table.concat(items, ',') .. '}'
            end
            return tostring(v)
        end
        function joined(...)
            local items = {}
            for i = 1, select('#', ...) do items[i] = text((select(i, ...))) end
            return table.concat(items, '|')
        end)";
};
