// The level functions of the scripts over a level's whole life, called as a script may call
// them: in every state, twice, out of order, on a level that failed to load; and the two ray
// tests with the segments and view rays that have no direction or never reach the ground.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cmath>
#include <memory>
#include <string>

#include "AI/AI_Task.h"
#include "Render/PObjectLoader.h"
#include "Render/PPerspectiveCamera.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "script/PLuaScript.h"
#include "scriptapi/GameFunctionTables.h"
#include "support/WorkingFolder.h"

namespace {

// show(...) gives the results as text: numbers to 4 digits, handles as their decimal text.
constexpr char kShow[] = R"(
function show(...)
  local t = {}
  for i = 1, arg.n do
    local v = arg[i]
    if type(v) == 'number' then t[i] = string.format('%.4g', v)
    elseif type(v) == 'userdata' then t[i] = PointerToString(v)
    else t[i] = tostring(v) end
  end
  return table.concat(t, ',')
end
)";

class LevelFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        m_folder.Write("data/scripts/caller.lua", "Update()");
        platform::InvalidateListings();
        RegisterGameFunctionTables();
        m_physics = new CPPhysics;
        m_ai = new AI_Task;
        m_script = new CPLuaScript;
        ASSERT_EQ(m_script->Load("caller"), 0);
        ASSERT_EQ(Run(kShow), "");
    }
    void TearDown() override
    {
        Run("DeleteLevel()");
        m_script = nullptr;
        m_kernel.reset();
        m_physics = nullptr;
        m_ai = nullptr;
        CPLuaScript::SetGameTables(nullptr, nullptr);
        g_frameDelta = 0.0f;
        CollectGarbage();
    }

    // Runs a chunk in the script; the error, or "".
    std::string Run(const std::string& chunk)
    {
        lua_State* state = m_script->GetState();
        if (luaL_dostring(state, chunk.c_str()) == 0) return "";
        std::string message = lua_tostring(state, -1);
        lua_pop(state, 1);
        return message;
    }
    // show() of the results of an expression.
    std::string Show(const std::string& expression)
    {
        const std::string error = Run("shown = show(" + expression + ")");
        if (!error.empty()) return error;
        lua_getglobal(m_script->GetState(), "shown");
        std::string text = lua_tostring(m_script->GetState(), -1);
        lua_pop(m_script->GetState(), 1);
        return text;
    }
    // One frame of the running level's update.
    static void Frame()
    {
        g_frameDelta = 0.05f;
        if (CPLevel* level = GetLevel(); level && level->updateTask) level->Update();
    }

    testsupport::WorkingFolder m_folder;
    std::unique_ptr<CPKernel> m_kernel = std::make_unique<CPKernel>();
    CPObjectLoader m_loader;
    TPtr<CPPhysics> m_physics;
    TPtr<AI_Task> m_ai;
    TPtr<CPLuaScript> m_script;
};

// Each row: the calls, then what an expression shows after them. Every call must be safe; the
// rows run in turn on whatever the rows before left.
TEST_F(LevelFunctionsTest, TheLifeCycleIsSafeInEveryOrder)
{
    const int32_t before = IPMMObject::CountLiveObjects();
    const struct {
        const char* calls;
        const char* expression;
        const char* shows;
    } rows[] = {
        // Without a level: nothing happens, the rays give what no level gives.
        {"DeleteLevel() DeleteLevel() StartLevel() StopLevel() ShowCheckPoint() SetCameraPos(1, 2, 3) "
         "SetCameraZAngle(1) SetFullMines() ChangeCheckpointPosition(1, 2) SetLevelTime(5) SetWeaponPos(1, 2, 3)",
         "GetPlayerPosition()", "0,0"},
        {"", "CrossPlayerRay(0, 0, 1, 3, 4, 0)", "false,0.6,0.8,0"},
        {"", "CrossInterfaceRay(0.5, 0.5)", "false,0,0,0,0"},
        {"", "CrossPlayerRay(0, 0, 1, 0, 0, 0)", "true,0,0,0"},
        // A level loaded twice: the first one is deleted.
        {"InitLevel('level1') InitLevel('level1')", "GetPlayerPosition()", "0,-30"},
        {"StartLevel() StartLevel()", "GetLevelTasks()", "4"},
        {"", "CrossPlayerRay(1, 2, 3, 0, 0, 0)", "true,0,0,0"},
        {"", "CrossPlayerRay(10, -20, 1, 0, 30, 0)", "false,0,1,0"},
        {"", "CrossPlayerRay(10, -5, 1, 0, -3, 0)", "true,0,-3,0"},
        {"SetCameraZAngle(0/0) SetCameraZAngle(1/0) SetCameraZAngle(1e30)", "CameraHeading()", "finite"},
        // Stopped: it does not start again; deleting it twice is deleting it once.
        {"StopLevel() StartLevel() StopLevel()", "GetLevelTasks()", "0"},
        {"ShowCheckPoint() SetFullMines() ChangeCheckpointPosition(5, 5) DeleteLevel() DeleteLevel()",
         "GetPlayerPosition()", "0,0"},
        // A running level is stopped by its deletion, and by a new InitLevel.
        {"InitLevel('level1') StartLevel() DeleteLevel()", "GetLevelTasks()", "0"},
        {"InitLevel('level1') StartLevel() InitLevel('level1')", "GetLevelTasks()", "0"},
        // A level that failed to load (no file, no plain name) is safe everywhere.
        {"InitLevel('none') StartLevel() ShowCheckPoint() SetFullMines() SetCameraPos(1, 2, 3) "
         "SetCameraZAngle(2) ChangeCheckpointPosition(1, 1) SetLevelTime(3) SetWeaponPos(1, 2, 3)",
         "GetPlayerPosition()", "0,0"},
        {"", "CrossInterfaceRay(0.5, 0.5)", "false,0,0,0,0"},
        {"StopLevel() InitLevel('..\\\\levels\\\\level1') StartLevel() InitLevel(nil) StartLevel()",
         "CrossPlayerRay(0, 0, 1, 0, 0, 2)", "true,0,0,2"},
        {"StopLevel() DeleteLevel()", "GetLevelTasks()", "0"},
    };
    // Helpers of the test: the level tasks still running and the chase camera's heading.
    lua_register(m_script->GetState(), "GetLevelTasks", [](lua_State* state) {
        int count = 0;
        for (const TPtr<IPTask>& task : GetKernel()->GetActiveTasks()) {
            const std::string name = task->GetClassName();
            const bool levelTask = name == "CPObjUpdater" || name == "AI_Task" || name == "CPPhysics";
            count += levelTask && !task->IsKilled() ? 1 : 0;
        }
        lua_pushnumber(state, count);
        return 1;
    });
    lua_register(m_script->GetState(), "CameraHeading", [](lua_State* state) {
        const CPLevel* level = GetLevel();
        lua_pushstring(state, level && std::isfinite(level->camera->heading) ? "finite" : "not finite");
        return 1;
    });
    for (const auto& row : rows) {
        EXPECT_EQ(Run(row.calls), "") << row.calls;
        Frame();
        Frame();
        EXPECT_EQ(Show(row.expression), row.shows) << row.calls << " / " << row.expression;
    }
    m_kernel.reset();
    CollectGarbage();
    // The AI task keeps the enemy kinds it loaded: each an entity with its steering vehicle.
    const auto keptKinds = static_cast<int32_t>(2 * m_ai->GetPrototypes().size());
    EXPECT_EQ(IPMMObject::CountLiveObjects(), before + keptKinds) << "every level let go of what it held";
}

// The view ray through the middle of the screen meets the ground on the camera's line of sight;
// one that runs level with the ground still gives a finite place, and the hit of the same ray.
TEST_F(LevelFunctionsTest, TheViewRayMeetsTheGroundOrStaysFinite)
{
    ASSERT_EQ(Run("InitLevel('level1') StartLevel()"), "");
    Frame();
    CPLevel& level = *GetLevel();
    const TPtr<CPPerspectiveCamera> view = level.camera->GetRenderCamera();
    const auto ground = [&](double& x, double& y) {
        ASSERT_EQ(Run("hit, root, gx, gy, zero = CrossInterfaceRay(0.5, 0.5)"), "");
        lua_State* state = m_script->GetState();
        lua_getglobal(state, "gx");
        lua_getglobal(state, "gy");
        x = lua_tonumber(state, -2);
        y = lua_tonumber(state, -1);
        lua_pop(state, 2);
    };
    double x = 0.0, y = 0.0;
    ground(x, y);
    const PVector3 eye = view->GetEye();
    const PVector3 sight = Vec3Normalize(view->GetTarget() - eye);
    EXPECT_NEAR(x, eye.x - sight.x * eye.z / sight.z, 0.05);
    EXPECT_NEAR(y, eye.y - sight.y * eye.z / sight.z, 0.05);

    view->SetEye({0.0f, -20.0f, 0.8f});
    view->SetTarget({10.0f, -20.0f, 0.8f});
    view->SetUp({0.0f, 0.0f, 1.0f});
    view->UpdateMatrices();
    ground(x, y);
    EXPECT_TRUE(std::isfinite(x) && std::isfinite(y)) << x << ", " << y;
    EXPECT_EQ(Show("hit"), "true") << "the box ahead at (20, -20) is still hit";
}

}  // namespace
