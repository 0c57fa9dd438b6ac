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
constexpr float kDegree = 0.0174533f;

// The driver: the level for the whole run, the bound actions of KEYS (frame = "action,state") as
// the input task sends them, the level stopped and deleted at LAST, when the game ends.
constexpr char kDriver[] = R"(
local keys = KEYS
InitLevel('drive')
StartLevel()
local frame = 0
while true do
  frame = frame + 1
  if keys[frame] then SendCommandByCategory('action_listener', 'key_action', keys[frame]) end
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

// The angle from one direction to the other the short way round, in (-pi, pi].
float AngleBetween(float from, float to) { return std::remainder(to - from, 2.0f * 3.14159265f); }

// What the level shows in a frame, read after the level's update.
struct Sample {
    PVector3 car;
    float heading = 0.0f;   // of the car's forward direction in the ground plane
    PVector3 eye;
    PVector3 look;          // from the eye to the point the camera looks at
    PVector3 marker;  // the minimap's check-point marker
    PVector3 markerTarget;  // where the marker of the current check point belongs
    bool current = false;   // a check point is shown

    // The camera's view in the ground plane against the car's heading.
    float ViewOffHeading() const { return AngleBetween(heading, std::atan2(look.y, look.x)); }
};

class Probe {
public:
    void Record() {
        const CPLevel* level = GetLevel();
        if (!level || level->GetState() != LevelState::Running) return;
        Sample sample;
        sample.car = level->playerCar->GetPosition();
        const PVector3 forward = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, level->playerCar->GetWorld());
        sample.heading = std::atan2(forward.y, forward.x);
        const CPPerspectiveCamera& view = *level->camera->GetRenderCamera();
        sample.eye = view.GetEye();
        sample.look = view.GetTarget() - view.GetEye();
        sample.marker = level->miniMap->GetCheckPointMarker()->GetPosition();
        if (level->currentCheckPoint) {
            sample.current = true;
            sample.markerTarget = level->miniMap->MapPoint(level->currentCheckPoint->GetPosition(), sample.car);
        }
        samples.push_back(sample);
    }
    std::vector<Sample> samples;
};

class LevelRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::CopyGameFolder(VX_SAMPLE_DATA, m_folder.Path());
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

    // Plays the level in the game's own kernel with the key actions of each frame until the last
    // frame; keeps what the level showed each frame and what the listener heard.
    void Play(const std::vector<std::pair<int, std::string>>& keys, int last) {
        std::string table = "{";
        for (const auto& [frame, action] : keys) table += "[" + std::to_string(frame) + "] = '" + action + "', ";
        std::string driver = kDriver;
        driver.replace(driver.find("KEYS"), 4, table + "}");
        driver.replace(driver.find("LAST"), 4, std::to_string(last));
        m_folder.Write("data/scripts/driver.lua", driver);
        platform::InvalidateListings();

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
        TPtr<CPLuaScript> script(new CPLuaScript);
        ASSERT_EQ(script->Load("driver"), 0);
        script->SetPriority(20);
        ASSERT_TRUE(GetKernel()->AddTask(script));
        Probe probe;
        TPtr<CPObjUpdater> recorder(new CPObjUpdater(&probe, &Probe::Record));
        recorder->SetPriority(600);
        ASSERT_TRUE(GetKernel()->AddTask(recorder));

        GetKernel()->Run();
        m_samples = probe.samples;
        lua_getglobal(listener->GetState(), "heard");
        m_heard = lua_tostring(listener->GetState(), -1) ? lua_tostring(listener->GetState(), -1) : "";
        lua_pop(listener->GetState(), 1);

        // Stopped and deleted: no level, nothing in the physics world.
        EXPECT_EQ(GetLevel(), nullptr);
        EXPECT_EQ(physics->GetSimulator(), nullptr);
        script = nullptr;
        listener = nullptr;
        recorder = nullptr;
        physics = nullptr;
        ai = nullptr;
        render = nullptr;
        timer = nullptr;
        CollectGarbage();
    }

    testsupport::WorkingFolder m_folder;
    std::vector<Sample> m_samples;
    std::string m_heard;
};

TEST_F(LevelRunTest, TheScriptsDriveTheSampleCarToTheCheckPointAndTheLevelLeavesNothingBehind) {
    Play({{kThrottleFrame, "forward,1"}}, kLastFrame);
    const std::vector<Sample>& samples = m_samples;
    ASSERT_GT(samples.size(), static_cast<size_t>(kLastFrame - 10));

    // The camera: 40 units from the followed point above the car, 40 degrees above the ground,
    // behind the car and looking along its heading.
    for (size_t k = 0; k < samples.size(); ++k) {
        const PVector3 fromCar = samples[k].eye - PVector3{samples[k].car.x, samples[k].car.y, 0.1f};
        ASSERT_NEAR(fromCar.z, 40.0f * 0.7660444f, 0.01f) << "frame " << k;
        ASSERT_NEAR(std::hypot(fromCar.x, fromCar.y), 40.0f * 0.6427876f, 0.01f) << "frame " << k;
        ASSERT_LT(std::fabs(samples[k].ViewOffHeading()), kDegree) << "frame " << k;
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
    EXPECT_EQ(m_heard, "1,0.000000,-50.000000,0;");
    size_t reached = 0;
    while (reached < samples.size() && samples[reached].car.y > kCheckPoint.y + 4.0f) ++reached;
    ASSERT_LT(reached + 5, samples.size());
    EXPECT_TRUE(samples[reached - 1].current);
    EXPECT_LT(Vec3Length(samples[reached - 1].marker - samples[reached - 1].markerTarget), 0.01f);
    const Sample& shown = samples[reached + 3];
    ASSERT_TRUE(shown.current) << "ShowCheckPoint showed the next one";
    EXPECT_LT(Vec3Length(shown.marker - shown.markerTarget), 0.01f) << "the marker points to it";
    EXPECT_GT(Vec3Length(shown.marker - samples[reached - 1].marker), 5.0f);
}

// The car's turn in the ground plane per second of the game between two frames (frame by frame,
// so whole turns count).
float TurnRate(const std::vector<Sample>& samples, size_t from, size_t to) {
    float turn = 0.0f;
    for (size_t k = from; k < to; ++k) turn += AngleBetween(samples[k].heading, samples[k + 1].heading);
    return turn / (static_cast<float>(to - from) * kFrameTime);
}

// How far the car's path points away from its heading (a car that slides sideways or spins).
float Slip(const std::vector<Sample>& samples, size_t k) {
    const PVector3 moved = samples[k + 1].car - samples[k].car;
    return std::fabs(AngleBetween(samples[k].heading, std::atan2(moved.y, moved.x)));
}

// The steering as a player has it: the right key held while standing turns nothing; under way
// at full speed, a tap of 0.3 s turns the car a little, and the key held makes a curve the car
// follows without sliding, wide enough to drive.
TEST_F(LevelRunTest, HeldSteeringKeysMakeADrivableCurveAndAStandingCarDoesNotTurn) {
    constexpr int kRightFrame = 70;     // standing, the right key held for a second
    constexpr int kThrottle = 120;      // then forward, with the right key up
    constexpr int kTapFrame = 190;      // at full speed, a tap of 0.3 s
    constexpr int kHoldFrame = 240;     // and later the key held to the end
    constexpr int kLast = 540;
    Play({{kRightFrame, "right,1"},
          {kThrottle - 1, "right,0"},
          {kThrottle, "forward,1"},
          {kTapFrame, "right,1"},
          {kTapFrame + 15, "right,0"},
          {kHoldFrame, "right,1"}},
         kLast);
    const std::vector<Sample>& samples = m_samples;
    ASSERT_GT(samples.size(), static_cast<size_t>(kLast - 10));

    const float standingTurn = AngleBetween(samples[kRightFrame - 5].heading, samples[kThrottle - 5].heading);
    EXPECT_LT(std::fabs(standingTurn), 2.0f * kDegree) << "a standing car does not turn in place";

    const float tapTurn = AngleBetween(samples[kTapFrame - 5].heading, samples[kHoldFrame - 5].heading);
    EXPECT_LT(tapTurn, -3.0f * kDegree) << "right turns clockwise";
    EXPECT_GT(tapTurn, -30.0f * kDegree) << "a tap turns the car a little, never round";

    // Held: the turn rate builds up over a few tenths of a second, then holds.
    const size_t held = kHoldFrame + 50;
    const float firstTenth = TurnRate(samples, kHoldFrame, kHoldFrame + 5);
    const float steady = TurnRate(samples, held, samples.size() - 1);
    EXPECT_LT(std::fabs(firstTenth), 0.5f * std::fabs(steady)) << "the steering comes in gradually";
    EXPECT_GT(std::fabs(steady), 0.5f) << "a curve, radians a second";
    EXPECT_LT(std::fabs(steady), 2.0f) << "not a spin";
    float worstSlip = 0.0f;
    for (size_t k = held; k + 1 < samples.size(); ++k) worstSlip = std::max(worstSlip, Slip(samples, k));
    EXPECT_LT(worstSlip, 10.0f * kDegree) << "the car follows its wheels";

    // The curve's size: the farthest two points of the path while the key was held.
    float across = 0.0f;
    for (size_t a = held; a < samples.size(); a += 5) {
        for (size_t b = a; b < samples.size(); b += 5) across = std::max(across, Vec3Length(samples[b].car - samples[a].car));
    }
    EXPECT_GT(across, 12.0f) << "a circle wider than three car lengths";
    std::printf("Standing: turned %.1f degrees; a tap of 0.3 s: %.1f degrees; held: %.2f rad/s after 0.1 s, %.2f rad/s "
                "steady, a circle %.1f across, slip at most %.1f degrees\n",
                standingTurn / kDegree, tapTurn / kDegree, firstTenth, steady, across, worstSlip / kDegree);
}

// Under way, the right key held for a second and a half turns the car; the camera follows the
// turn a little behind and, once the car drives straight again, settles behind it.
TEST_F(LevelRunTest, AfterATurnTheCameraSettlesBehindTheCar) {
    constexpr int kTurnFrame = 120;
    constexpr int kStraightFrame = kTurnFrame + 75;
    constexpr int kLast = kStraightFrame + 75;
    Play({{kThrottleFrame, "forward,1"}, {kTurnFrame, "right,1"}, {kStraightFrame, "right,0"}}, kLast);
    const std::vector<Sample>& samples = m_samples;
    ASSERT_GT(samples.size(), static_cast<size_t>(kLast - 10));

    const Sample& standing = samples[kThrottleFrame - 5];
    EXPECT_LT(std::fabs(standing.ViewOffHeading()), kDegree) << "at rest the camera looks along the car";
    const float turned = AngleBetween(samples[kTurnFrame - 5].heading, samples[kStraightFrame].heading);
    EXPECT_GT(std::fabs(turned), 30.0f * kDegree) << "the car turned";
    EXPECT_GT(std::fabs(samples[kStraightFrame].ViewOffHeading()), 2.0f * kDegree) << "the camera follows the turn behind";
    EXPECT_LT(std::fabs(samples[kStraightFrame].ViewOffHeading()), 45.0f * kDegree);
    const Sample& settled = samples.back();
    EXPECT_LT(std::fabs(settled.ViewOffHeading()), 3.0f * kDegree) << "after the turn the camera is behind the car";
    std::printf("Turned %.1f degrees; the view %.1f degrees off the heading when the turn ended, %.1f degrees 1.5 s "
                "later\n",
                turned / kDegree, samples[kStraightFrame].ViewOffHeading() / kDegree, settled.ViewOffHeading() / kDegree);
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
    patch(455, 395, colours, green);
    EXPECT_TRUE(green) << "the map";
    EXPECT_LT(colours, 12u) << "the map's flat colours";
}

// The car's script works the weapons on the bound actions, sent here by main.lua at set frames
// as the input task sends them: the mortar lobs one rocket at the ground 20 units ahead of the
// car, then the light gun fires once the mortar's cooldown of 1 s is over. Frame 43 (2.15 s)
// shows, at 1024 x 768: the newest tracer 6 units out on the firing line straight ahead of the
// car (straight up from it on the screen, as the camera looks along the car), and the rocket's
// fireball 20 units ahead, 0.35 s after it went off.
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
    EXPECT_GT(frame.Glowing(495, 225, 35, 35), 30) << "the tracer";
    EXPECT_LT(frame.Glowing(455, 225, 35, 35), 20) << "left of the firing line";
    EXPECT_LT(frame.Glowing(535, 225, 35, 35), 20) << "right of the firing line";
    // The explosion's sparks light about 220 of these pixels under the tests' software renderer
    // (with the fading glow sprite drawn as well, about 1,200); the terrain there, none.
    EXPECT_GT(frame.Glowing(455, 150, 120, 50), 100) << "the fireball";
    EXPECT_EQ(frame.Glowing(560, 420, 240, 140), 0) << "terrain away from the shots";
}

}  // namespace

