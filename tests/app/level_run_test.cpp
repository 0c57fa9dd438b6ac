// The sample game's scripts play a level, headless, inside the test process: the driver script
// loads and starts it, the car's own script ("jeep") drives it by the bound actions and shows the
// next check point when one is reached; at the end the level is stopped and deleted. What the
// player would see: the car drives ahead, the chase camera keeps its place behind it, the check
// point is reached once, the minimap points to the next, and nothing of the level outlives it.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "AI/AI_Task.h"
#include "InProcessGame.h"
#include "ProgramRun.h"
#include "WorkingFolder.h"
#include "app/Application.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PObjUpdater.h"
#include "game/LevelFile.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "game/PMiniMap.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "platform/WindowMessage.h"
#include "Render/PRender.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"

namespace {

constexpr float kFrameTime = 0.02f;
constexpr int kThrottleFrame = 60;  // the car has landed and settled
constexpr int kLastFrame = 260;
constexpr PVector3 kCheckPoint{0.0f, -50.0f, 0.8f};
constexpr PVector3 kNextCheckPoint{20.0f, -80.0f, 0.8f};

// The driver: the level for the whole run, the forward key from THROTTLE on (as the input task
// sends it), the level stopped and deleted at LAST, when the game ends.
constexpr char kDriver[] = R"(
InitLevel('drive')
StartLevel()
local frame = 0
while true do
  frame = frame + 1
  if frame == THROTTLE then SendCommandByCategory('action_listener', 'key_action', 'forward,1') end
  if frame == LAST then
    StopLevel()
    DeleteLevel()
    KillAllTasks()
  end
  Update()
end
)";

// Hears what the scripts of the category "level" hear of reached check points.
constexpr char kListener[] = R"(
heard = ''
while true do
  while SetNextCommand(globalObject) do
    if GetCurrentCommand(globalObject) == 'check_point' then
      local n, x, y, index = GetCurrentParams(globalObject)
      heard = heard .. n .. ',' .. x .. ',' .. y .. ',' .. index .. ';'
    end
  end
  Update()
end
)";

// What the level shows in a frame, read after the level's update.
struct Sample {
    PVector3 car;
    PVector3 eye;
    PVector3 marker;  // the minimap's check-point marker
    PVector3 markerTarget;  // where the marker of the current check point belongs
    bool current = false;   // a check point is shown
};

class Probe {
public:
    void Record() {
        const CPLevel* level = GetLevel();
        if (!level || level->GetState() != LevelState::Running) return;
        Sample sample;
        sample.car = level->playerCar->GetPosition();
        sample.eye = level->camera->GetRenderCamera()->GetEye();
        sample.marker = level->miniMap->GetCheckPointMarker()->GetPosition();
        if (level->currentCheckPoint) {
            sample.current = true;
            sample.markerTarget = level->miniMap->MapPoint(level->currentCheckPoint->GetPosition(), sample.car);
        }
        if (samples.empty()) startHeading = level->camera->heading;
        samples.push_back(sample);
    }
    std::vector<Sample> samples;
    float startHeading = 0.0f;
};

class LevelRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
        std::string driver = kDriver;
        for (const auto& [name, value] : {std::pair<std::string, int>{"THROTTLE", kThrottleFrame}, {"LAST", kLastFrame}}) {
            driver.replace(driver.find(name), name.size(), std::to_string(value));
        }
        m_folder.Write("data/scripts/driver.lua", driver);
        m_folder.Write("data/scripts/listener.lua", kListener);
        const std::string list = testsupport::ReadBytes(m_folder.Path() / "data/scripts/list.dat");
        m_folder.Write("data/scripts/list.dat", list + "listener t_level level\n");
        // The car starts at (0, -30) facing -y; the check point lies 20 units ahead.
        SPLevelFile level;
        level.halfWidth = level.halfDepth = 100.0f;
        level.lightCount = 1;
        level.light.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
        level.records = {{"player", {0.0f, -30.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}},
                         {"chk1_box", kCheckPoint, {0.0f, 0.0f, 0.0f, 1.0f}, {}},
                         {"chk2_box", kNextCheckPoint, {0.0f, 0.0f, 0.0f, 1.0f}, {}}};
        const std::vector<uint8_t> bytes = WriteLevelFile(level);
        m_folder.Write("data/levels/drive.lvl", std::string(bytes.begin(), bytes.end()));
        platform::InvalidateListings();
        platform::GetMessageQueue().Clear();
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("VX_FRAME_TIME", std::to_string(kFrameTime).c_str(), 1);
    }

    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        unsetenv("VX_FRAME_TIME");
        platform::GetMessageQueue().Clear();
    }

    testsupport::WorkingFolder m_folder;
};

TEST_F(LevelRunTest, TheScriptsDriveTheSampleCarToTheCheckPointAndTheLevelLeavesNothingBehind) {
    CPApplication application;
    application.Init();
    ASSERT_TRUE(GetScriptManager()->LoadList());
    TPtr<CPRender> render;
    ASSERT_TRUE(apptest::OpenWindowWithRenderer(application, render));
    TPtr<CPGlobalTimer> timer(new CPGlobalTimer);
    timer->SetPriority(10);
    ASSERT_TRUE(GetKernel()->AddTask(timer));
    TPtr<CPPhysics> physics(new CPPhysics);
    TPtr<AI_Task> ai(new AI_Task);

    TPtr<CPLuaScript> listener = GetScriptManager()->GetScript("listener");
    listener->SetPriority(20);
    ASSERT_TRUE(GetKernel()->AddTask(listener));
    TPtr<CPLuaScript> driver(new CPLuaScript);
    ASSERT_EQ(driver->Load("driver"), 0);
    driver->SetPriority(20);
    ASSERT_TRUE(GetKernel()->AddTask(driver));
    Probe probe;
    TPtr<CPObjUpdater> recorder(new CPObjUpdater(&probe, &Probe::Record));
    recorder->SetPriority(600);
    ASSERT_TRUE(GetKernel()->AddTask(recorder));

    GetKernel()->Run();
    const std::vector<Sample>& samples = probe.samples;
    ASSERT_GT(samples.size(), static_cast<size_t>(kLastFrame - 10));

    // The camera: 40 units from the followed point above the car, 40 degrees above the ground,
    // turned by the start heading less a quarter of pi, and nothing turns it.
    const float c = std::cos(probe.startHeading - 0.7853982f);
    const float s = std::sin(probe.startHeading - 0.7853982f);
    for (size_t k = 0; k < samples.size(); ++k) {
        const PVector3 expected = PVector3{samples[k].car.x, samples[k].car.y, 0.1f} +
                                  PVector3{-0.6427876f * c, -0.6427876f * s, 0.7660444f} * 40.0f;
        ASSERT_LT(Vec3Length(samples[k].eye - expected), 0.01f) << "frame " << k;
    }

    // Standing until the throttle, then ahead along -y: about 53 units in the 200 frames (4 s of
    // the game, 6 s of physics) that follow, starting from rest.
    const Sample& standing = samples[kThrottleFrame - 5];
    EXPECT_NEAR(standing.car.y, -30.0f, 0.3f);
    const Sample& last = samples.back();
    const float driven = standing.car.y - last.car.y;
    EXPECT_GT(driven, 48.0f);
    EXPECT_LT(driven, 58.0f);
    EXPECT_LT(std::fabs(last.car.x - standing.car.x), 1.0f) << "straight ahead";
    std::printf("Driven in %d frames of %.2f s: %.2f units\n", kLastFrame - kThrottleFrame, kFrameTime, driven);

    // The check point: heard once, with its index 0; the next one shown and pointed to.
    lua_getglobal(listener->GetState(), "heard");
    EXPECT_STREQ(lua_tostring(listener->GetState(), -1), "1,0.000000,-50.000000,0;");
    lua_pop(listener->GetState(), 1);
    size_t reached = 0;
    while (reached < samples.size() && samples[reached].car.y > kCheckPoint.y + 4.0f) ++reached;
    ASSERT_LT(reached + 5, samples.size());
    EXPECT_TRUE(samples[reached - 1].current);
    EXPECT_LT(Vec3Length(samples[reached - 1].marker - samples[reached - 1].markerTarget), 0.01f);
    const Sample& shown = samples[reached + 3];
    ASSERT_TRUE(shown.current) << "ShowCheckPoint showed the next one";
    EXPECT_LT(Vec3Length(shown.marker - shown.markerTarget), 0.01f) << "the marker points to it";
    EXPECT_GT(Vec3Length(shown.marker - samples[reached - 1].marker), 5.0f);

    // Stopped and deleted: no level, nothing in the physics world.
    EXPECT_EQ(GetLevel(), nullptr);
    EXPECT_EQ(physics->GetSimulator(), nullptr);
    driver = nullptr;
    listener = nullptr;
    recorder = nullptr;
    physics = nullptr;
    ai = nullptr;
    render = nullptr;
    timer = nullptr;
    CollectGarbage();
}

// The real program with VX_LEVEL set plays the sample level from main.lua. Each test is one run,
// and checks at the exit what a run without a level reports too (ProgramTest): no engine object
// outlives the game.
class LevelProgramTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path()); }

    // Plays level1 (seed fixed, so explosions and enemies are the same every run) for the frames
    // of the frame time and writes the drawn frame shot_frame to a picture; returns the picture.
    SPImage PlayLevel(int frames, const char* frameTime, int shotFrame) {
        const std::string shot = (m_folder.Path() / "shot.png").string();
        apptest::ProgramRun run;
        run.folder = m_folder.Path();
        run.environment = {{"VX_FRAMES", std::to_string(frames)},
                           {"VX_FRAME_TIME", frameTime},
                           {"VX_LOG", "stderr"},
                           {"VX_LEVEL", "level1"},
                           {"VX_SEED", "1"},
                           {"VX_SCREENSHOT", shot + ":" + std::to_string(shotFrame)},
                           {"SDL_VIDEODRIVER", "offscreen"}};
        const apptest::ProgramResult result = apptest::RunProgram(run);
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        EXPECT_EQ(LiveObjectsAtExit(result.errors), 0) << "the level and its weapons leave nothing behind";
        SPImage image;
        std::string error;
        EXPECT_TRUE(apptest::ReadScreenshot(shot, image, error)) << error;
        return image;
    }
    // The number of the report "Live engine objects: n" at exit, -1 without one.
    static int LiveObjectsAtExit(const std::string& errors) {
        const std::string key = "Live engine objects: ";
        const size_t at = errors.rfind(key);
        return at == std::string::npos ? -1 : std::atoi(errors.c_str() + at + key.size());
    }

    apptest::WorkingFolder m_folder;
};

// The pixels of a decoded frame.
class Frame {
public:
    explicit Frame(const SPImage& image) : m_image(image) {}
    int Channel(int x, int y, int shift) const {
        const auto* pixels = reinterpret_cast<const uint32_t*>(m_image.levels[0].data());
        return static_cast<int>(pixels[y * static_cast<int>(m_image.width) + x] >> shift & 0xFF);
    }
    int Red(int x, int y) const { return Channel(x, y, 16); }
    int Green(int x, int y) const { return Channel(x, y, 8); }
    int Blue(int x, int y) const { return Channel(x, y, 0); }
    // How many pixels of the w x h box at (x0, y0) are bright yellow to white: the colour of the
    // shots' glow. The sample terrain's red stays below 80.
    int Glowing(int x0, int y0, int w, int h) const {
        int count = 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) count += Red(x, y) > 150 && Green(x, y) > 200;
        }
        return count;
    }

private:
    const SPImage& m_image;
};

// A frame of the sample level from the start: the car in the middle of the view (the camera
// follows it), the textured terrain around it and the minimap's flat map picture in its square
// 193 pixels from the right and bottom edges.
TEST_F(LevelProgramTest, AFrameShowsTheTerrainTheCarAndTheMinimapInTheirPlaces) {
    const SPImage image = PlayLevel(24, "0.05", 20);
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 480u);
    const Frame frame(image);
    // The colours of a 20 x 20 patch from (x, y): how many differ, and whether green leads.
    const auto patch = [&](int x0, int y0, size_t& colours, bool& green) {
        std::set<uint32_t> seen;
        long r = 0, g = 0, b = 0;
        for (int y = y0; y < y0 + 20; ++y) {
            for (int x = x0; x < x0 + 20; ++x) {
                seen.insert(static_cast<uint32_t>(frame.Red(x, y) << 16 | frame.Green(x, y) << 8 | frame.Blue(x, y)));
                r += frame.Red(x, y);
                g += frame.Green(x, y);
                b += frame.Blue(x, y);
            }
        }
        colours = seen.size();
        green = g > r && g > b;
    };
    const int blue = frame.Blue(320, 238);
    EXPECT_GT(blue, frame.Red(320, 238) + 60) << "the blue car in the middle";
    EXPECT_GT(blue, frame.Green(320, 238) + 60);
    size_t colours = 0;
    bool green = false;
    for (const auto& [x, y] : {std::pair{100, 200}, std::pair{250, 380}}) {
        patch(x, y, colours, green);
        EXPECT_TRUE(green) << "terrain at " << x << ", " << y;
        EXPECT_GT(colours, 24u) << "the terrain's texture at " << x << ", " << y;
    }
    patch(455, 300, colours, green);  // the map's top left corner: grass beside the road
    EXPECT_TRUE(green) << "the map";
    EXPECT_LT(colours, 12u) << "the map's flat colours";
}

// The car's script works the weapons on the bound actions, sent here by main.lua at set frames
// as the input task sends them: the mortar lobs one rocket at the ground 20 units ahead of the
// car, then the light gun fires once the mortar's cooldown of 1 s is over. Frame 43 (2.15 s)
// shows, at 1024 x 768: the newest tracer 6 units out on the firing line straight ahead of the
// car (up and to the right of it on the screen), and the rocket's fireball 20 units ahead, 0.35 s
// after it went off.
TEST_F(LevelProgramTest, TheCarsShotsShowATracerAndAnExplosion) {
    m_folder.Write("config.cfg", "screenWidth = 1024\nscreenHeight = 768\n");
    std::string player = testsupport::ReadBytes(m_folder.Path() / "data/player.dat");
    const std::string weapons = "lgun\nnone\n";
    ASSERT_NE(player.find(weapons), std::string::npos) << player;
    player.replace(player.find(weapons), weapons.size(), "lgun\nrlauncher\n");
    m_folder.Write("data/player.dat", player);
    std::string main = testsupport::ReadBytes(m_folder.Path() / "data/scripts/main.lua");
    const std::string levelFrame = "    frames = frames + 1\n";
    ASSERT_NE(main.find(levelFrame), std::string::npos);
    main.insert(main.find(levelFrame), R"(    for _, action in ipairs(ACTIONS[frames + 1] or {}) do
        SendCommandByCategory('action_listener', 'key_action', action)
    end
)");
    main = "ACTIONS = {[4] = {'next_weapon,1', 'fire,1'}, [6] = {'fire,0', 'prev_weapon,1', 'fire,1'}}\n" + main;
    m_folder.Write("data/scripts/main.lua", main);

    const SPImage image = PlayLevel(45, "0.05", 43);
    ASSERT_EQ(image.width, 1024u);
    ASSERT_EQ(image.height, 768u);
    const Frame frame(image);
    EXPECT_GT(frame.Glowing(610, 250, 60, 40), 80) << "the tracer";
    EXPECT_LT(frame.Glowing(560, 200, 50, 40), 20) << "above the firing line";
    EXPECT_LT(frame.Glowing(660, 330, 50, 40), 20) << "below the firing line";
    // The fading fireball lights about 500 of these pixels; a crate's lamp there, 130.
    EXPECT_GT(frame.Glowing(660, 185, 110, 70), 300) << "the fireball";
    EXPECT_EQ(frame.Glowing(100, 250, 200, 150), 0) << "terrain away from the shots";
}

}  // namespace
