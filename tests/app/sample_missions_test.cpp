// The sample missions played by the real program (VX_LEVEL), headless: each level loads and runs
// with its rules, the car placed on the first check point reaches it, enemies come, and the game
// goes on to the shop of the next mission, to the end screen when the last one is finished, and
// to the end screen when the time runs out or the car is destroyed. A probe object near the car
// runs a script of the categories "level", "main" and "action_listener" that notes what they
// hear and the mission, money, kills and live enemies whenever they change; when asked, it
// destroys the car.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "ScriptRecorder.h"
#include "WorkingFolder.h"
#include "game/LevelFile.h"

namespace {

constexpr char kProbeScript[] = R"(
local log = io.open("probe.log", "w")
local last = ""
local frame = 0
while true do
    while SetNextCommand(globalObject) do
        local command = GetCurrentCommand(globalObject)
        if command ~= "add_object" and command ~= "delete_object" then
            log:write(command, "(", table.concat({GetCurrentParams(globalObject)}, ","), ")\n")
        end
    end
    frame = frame + 1
    if frame == KILL_FRAME then
        -- The car, in the middle of the view, takes a hit beyond its health.
        local hit, car = CrossInterfaceRay(0.5, 0.5)
        log:write("hit=", tostring(hit), " alive=", tostring(DamagePlayer(car, 100000)), "\n")
    end
    local state = "mission=" .. GetCurrentMission() .. " money=" .. GetMoney() .. " kills=" .. GetScore() ..
                  " enemies=" .. GetAICount()
    if state ~= last then
        log:write(state, "\n")
        last = state
    end
    log:flush()
    Update()
end
)";

constexpr char kProbeModel[] = "mesh = box.msh\n[box]\nscript = probe\n";

struct MissionRun {
    std::string log;     // the probe's notes
    std::string errors;  // the engine log
    SPImage shot;        // the last frame but two
};

class SampleMissionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        apptest::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        const std::string list = apptest::ReadBytes(m_folder.Path() / "data/scripts/list.dat");
        m_folder.Write("data/scripts/list.dat", list + "probe t_level level main action_listener\n");
        m_folder.Write("data/meshes/probe.rdf", kProbeModel);
        WriteProbe(-1);
    }

    // The probe; at the frame killFrame it destroys the car.
    void WriteProbe(int killFrame) {
        std::string script = kProbeScript;
        for (size_t at = script.find("KILL_FRAME"); at != std::string::npos; at = script.find("KILL_FRAME")) {
            script.replace(at, 10, std::to_string(killFrame));
        }
        m_folder.Write("data/scripts/probe.lua", script);
    }

    // The level with its car on its first check point and the probe 10 units beside it.
    void PlaceCarOnFirstCheckPoint(const std::string& level) {
        const std::string path = "data/levels/" + level + ".lvl";
        const std::string bytes = apptest::ReadBytes(m_folder.Path() / path);
        SPLevelFile file;
        std::string error;
        ASSERT_TRUE(ReadLevelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file, error)) << error;
        PVector3 checkPoint{};
        for (const SPLevelRecord& record : file.records) {
            if (record.name.rfind("chk1_", 0) == 0) checkPoint = record.position;
        }
        for (SPLevelRecord& record : file.records) {
            if (record.name == "player") record.position = {checkPoint.x, checkPoint.y, 0.0f};
        }
        file.records.push_back({"probe", {checkPoint.x + 10.0f, checkPoint.y, 0.8f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}});
        const std::vector<uint8_t> written = WriteLevelFile(file);
        m_folder.Write(path, std::string(written.begin(), written.end()));
    }

    // Replaces the first check-point line of the mission file by the given one.
    void SetFirstLeg(int mission, const std::string& line) {
        const std::string name = "data/levels/mission" + std::to_string(mission);
        std::string text = apptest::ReadBytes(m_folder.Path() / name);
        const size_t first = text.find('\n', text.rfind("//")) + 1;
        text.replace(first, text.find('\n', first) - first, line);
        m_folder.Write(name, text);
    }

    // Replaces the first occurrence of a text in a file of the game folder.
    void Rewrite(const std::string& path, const std::string& from, const std::string& to) {
        std::string text = apptest::ReadBytes(m_folder.Path() / path);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << path << " lacks " << from;
        m_folder.Write(path, text.replace(at, from.size(), to));
    }

    MissionRun Play(const std::string& level, int frames) {
        const std::string shot = (m_folder.Path() / "shot.png").string();
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"VX_LEVEL", level},
                           {"VX_FRAMES", std::to_string(frames)},
                           {"VX_FRAME_TIME", "0.1"},
                           {"VX_SEED", "7"},
                           {"VX_LOG", "stderr"},
                           {"VX_SCREENSHOT", shot + ":" + std::to_string(frames - 2)},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        const apptest::ProgramResult result = apptest::RunProgram(run);
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        MissionRun played{apptest::ReadBytes(m_folder.Path() / "probe.log"), result.errors, {}};
        std::string error;
        EXPECT_TRUE(apptest::ReadScreenshot(shot, played.shot, error)) << error;
        return played;
    }

    static bool Has(const std::string& log, const std::string& line) {
        return log.find(line) != std::string::npos;
    }

    // What a player sees of a screen in place of a level (the end screen, the shop): its panel in
    // the middle and nothing of a level around it (the corners are black).
    static bool ShowsScreenWithoutLevel(const SPImage& shot) {
        if (shot.width != 640 || shot.height != 480 || shot.levels.empty()) return false;
        const auto* pixels = reinterpret_cast<const uint32_t*>(shot.levels[0].data());
        const auto rgb = [&](int x, int y) { return pixels[y * 640 + x] & 0xFFFFFFu; };
        return rgb(5, 5) == 0 && rgb(634, 474) == 0 && rgb(5, 474) == 0 && rgb(320, 200) != 0;
    }

    apptest::WorkingFolder m_folder;
};

// Every mission: its check point reached where the car stands, heard by the category "level" with
// its number and index 0 and by "main" (reached, then the next shown), an enemy sent within the
// first seconds, and no complaint in the log.
class EveryMissionTest : public SampleMissionsTest, public ::testing::WithParamInterface<int> {};

TEST_P(EveryMissionTest, RunsItsRulesOnItsLevel) {
    const int mission = GetParam();
    const std::string level = "level" + std::to_string(mission);
    PlaceCarOnFirstCheckPoint(level);
    const MissionRun run = Play(level, 36);
    const size_t reached = run.log.find("check_point(1,");
    ASSERT_NE(reached, std::string::npos) << run.log;
    EXPECT_EQ(run.log.substr(run.log.find(')', reached) - 2, 3), ",0)") << "the first check point's index";
    const size_t point = run.log.find("say_point()", reached);
    EXPECT_NE(point, std::string::npos) << run.log;
    EXPECT_NE(run.log.find("say_show()", point), std::string::npos) << "the next one shown";
    EXPECT_TRUE(Has(run.log, "mission=" + std::to_string(mission) + " ")) << run.log;
    EXPECT_TRUE(Has(run.log, "enemies=1")) << run.log;
    EXPECT_FALSE(Has(run.errors, "Script ")) << "no script complains: " << run.errors;
    EXPECT_FALSE(ShowsScreenWithoutLevel(run.shot));
}

INSTANTIATE_TEST_SUITE_P(SampleMissions, EveryMissionTest, ::testing::Values(1, 2, 3));

TEST_F(SampleMissionsTest, AFinishedMissionPaysAndTheShopOpensForTheNext) {
    SetFirstLeg(1, "60 0 0 1 walker,100 0 time_bonus,100");
    PlaceCarOnFirstCheckPoint("level1");
    const MissionRun run = Play("level1", 16);
    EXPECT_TRUE(Has(run.log, "mission=1 money=0 ")) << run.log;
    EXPECT_TRUE(Has(run.log, "mission=2 money=1000 ")) << run.log;
    EXPECT_TRUE(ShowsScreenWithoutLevel(run.shot)) << "the shop before mission 2";
}

TEST_F(SampleMissionsTest, TheLastMissionFinishedEndsTheGameWon) {
    SetFirstLeg(3, "60 0 0 1 walker,100 0 time_bonus,100");
    PlaceCarOnFirstCheckPoint("level3");
    const MissionRun run = Play("level3", 16);
    EXPECT_TRUE(Has(run.log, "mission=3 money=1000 ")) << run.log;
    EXPECT_TRUE(ShowsScreenWithoutLevel(run.shot));
}

TEST_F(SampleMissionsTest, TheTimeRunningOutEndsTheGame) {
    SetFirstLeg(2, "1 0 0 1 walker,100 0 time_bonus,100");  // one second to the finish
    const MissionRun run = Play("level2", 20);
    EXPECT_FALSE(Has(run.log, "mission=3")) << run.log;
    EXPECT_TRUE(ShowsScreenWithoutLevel(run.shot));
}

TEST_F(SampleMissionsTest, TheCarDestroyedEndsTheGame) {
    WriteProbe(8);
    PlaceCarOnFirstCheckPoint("level2");
    const MissionRun run = Play("level2", 16);
    EXPECT_TRUE(Has(run.log, "player_dead()")) << run.log;
    EXPECT_TRUE(ShowsScreenWithoutLevel(run.shot));
}

// The car standing still where mission 2 starts, with the enemies of one kind sent 12 units from
// it every second and its health cut to a few of the kind's attacks (a bomber's blast does about
// ten): the attacks hurt it ("jeep" hears "damage"), the car is destroyed, "main" hears
// "player_dead" and the end screen says why.
struct EnemyKindCase {
    const char* kind;
    int health;
};

void PrintTo(const EnemyKindCase& run, std::ostream* out) { *out << run.kind; }

class EnemyKindTest : public SampleMissionsTest, public ::testing::WithParamInterface<EnemyKindCase> {};

TEST_P(EnemyKindTest, DestroysTheCarStandingAmongThem) {
    const std::string kind = GetParam().kind;
    SetFirstLeg(2, "60 9 3 0 " + kind + ",100 0 time_bonus,100");
    Rewrite("data/scripts/level.lua", "local kSpawnSeconds = 3", "local kSpawnSeconds = 1");
    Rewrite("data/scripts/level.lua", "local kSpawnDistance = 30", "local kSpawnDistance = 12");
    Rewrite("data/a_info.dat", "armor1;n_armor1;0;100;", "armor1;n_armor1;0;" + std::to_string(GetParam().health) + ";");
    std::string error;
    ASSERT_TRUE(apptest::RecordScripts(m_folder, {"jeep", "main"}, {"main"}, error)) << error;
    const MissionRun run = Play("level2", 200);
    const std::vector<std::string> heard = apptest::RecordedLines(m_folder);
    const auto heardLine = [&](const std::string& start) {
        for (const std::string& line : heard) {
            if (line.rfind(start, 0) == 0) return true;
        }
        return false;
    };
    EXPECT_TRUE(heardLine("jeep,damage,")) << run.log;
    EXPECT_TRUE(heardLine("main,player_dead")) << run.log;
    EXPECT_TRUE(heardLine("text,reason,Your car was destroyed"));
    EXPECT_TRUE(ShowsScreenWithoutLevel(run.shot));
}

INSTANTIATE_TEST_SUITE_P(SampleMissions, EnemyKindTest, ::testing::Values(EnemyKindCase{"walker", 16}, EnemyKindCase{"scav", 16},
                                                                       EnemyKindCase{"bomber", 8}),
                         [](const auto& info) { return std::string(info.param.kind); });

}  // namespace
