// Enemies on the sample level with the sample kinds and mission: they chase the car around the
// level's boxes and reach it, and the level's end takes them all away with their sounds.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "AI/AIManager.h"
#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "Sound/NAudio.h"
#include "Sound/NSound.h"
#include "support/WorkingFolder.h"

namespace {

class SampleLevelEnemyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories(m_folder.Path() / "data");
        for (const char* folder : {"meshes", "levels", "ai", "sounds"}) {
            fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / folder, m_folder.Path() / "data" / folder,
                     fs::copy_options::recursive);
        }
        fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / "ai.dat", m_folder.Path() / "data" / "ai.dat");
        platform::InvalidateListings();
        g_frameDelta = 0.0f;
        m_physics = new CPPhysics;
        m_ai = new AI_Task;
        m_gameData = std::make_unique<CPGameData>();
        LoadLevel();
    }
    void LoadLevel()
    {
        m_level = std::make_unique<CPLevel>();
        ASSERT_TRUE(m_level->Load("level1"));
        m_gameData->LoadMissionInfo("mission1");
    }
    void TearDown() override
    {
        m_ai->StopLevel();
        m_level.reset();
        m_gameData.reset();
        if (m_physics) m_physics->Stop();
        m_physics = nullptr;
        m_ai = nullptr;
        g_frameDelta = 0.0f;
        CollectGarbage();
    }

    // One frame of the running level as far as enemies see it: physics, the target, the enemies.
    void Frame(float dt)
    {
        g_frameDelta = dt;
        m_physics->Update();
        m_ai->UpdateTargetVehicle(*m_level->playerCar, {0.0f, 1.0f, 0.0f}, 0.0f);
        m_ai->Update();
    }

    testsupport::WorkingFolder m_folder;
    CPObjectLoader m_loader;
    TPtr<CPPhysics> m_physics;
    TPtr<AI_Task> m_ai;
    std::unique_ptr<CPGameData> m_gameData;
    std::unique_ptr<CPLevel> m_level;
};

TEST_F(SampleLevelEnemyTest, TheMissionLoadsItsKindsWithModelsAndTables)
{
    EXPECT_EQ(m_gameData->checkPoints.size(), 3u);
    ASSERT_EQ(m_gameData->enemySources.count("1"), 1u);
    EXPECT_EQ(m_gameData->enemySources.at("1")[0].position, m_level->spawnSources.at("walker"));
    for (const char* kind : {"walker", "scav", "bomber"}) {
        SCOPED_TRACE(kind);
        const AI_Entity* prototype = m_ai->FindPrototype(kind);
        ASSERT_NE(prototype, nullptr);
        ASSERT_TRUE(prototype->Model());
        EXPECT_TRUE(prototype->Model()->GetPhysicData()) << "an enemy model stands on a body";
    }
}

TEST_F(SampleLevelEnemyTest, WalkersReachTheCarAroundTheBoxesAndLeaveWithTheLevel)
{
    const PVector3 car = m_level->playerCar->GetPosition();
    // Behind the stage gate's box, behind the second box, and across the level.
    const PVector3 starts[] = {{0.0f, 35.0f, 0.0f}, {-22.0f, 12.0f, 0.0f}, {28.0f, -14.0f, 0.0f}};
    for (const PVector3& start : starts) ASSERT_TRUE(m_ai->AddEnemy("walker", start.x, start.y));
    const auto entities = m_ai->Manager().Entities();
    const float dt = 1.0f / 60.0f;
    std::vector<float> reached(entities.size(), -1.0f);
    float time = 0.0f;
    for (int frame = 0; frame < 60 * 60; ++frame) {
        Frame(dt);
        time += dt;
        bool all = true;
        for (size_t i = 0; i < entities.size(); ++i) {
            const PVector3 at = entities[i]->Model()->GetPosition();
            if (reached[i] < 0.0f && std::hypot(at.x - car.x, at.y - car.y) < 4.0f) reached[i] = time;
            all = all && reached[i] >= 0.0f;
        }
        if (all) break;
    }
    for (size_t i = 0; i < entities.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(reached[i], 0.0f) << "ended at " << entities[i]->Model()->GetPosition().x << ","
                                    << entities[i]->Model()->GetPosition().y;
        RecordProperty("seconds_to_reach_" + std::to_string(i), std::to_string(reached[i]));
        std::printf("walker %zu reached the car after %.2f s\n", i, reached[i]);
    }

    m_ai->StopLevel();
    EXPECT_TRUE(m_ai->Manager().Entities().empty());
    EXPECT_TRUE(m_level->enemyObjects.empty());
    EXPECT_EQ(m_ai->LiveCount("walker"), 0);
    EXPECT_EQ(m_ai->WalkerCount(), 0);
}

// The sample kinds' sounds: the walkers' and bombers' loop, and the animation sounds of the
// three kind files.
const char* const kEnemySounds[] = {"enemy_growl", "enemy_run", "enemy_hit", "hmgun2"};

TEST_F(SampleLevelEnemyTest, NoEnemySoundOutlivesTheLevel)
{
    CNAudio audio;
    audio.Init(nullptr);
    ASSERT_TRUE(audio.HasDevice());
    auto playing = [&audio](const char* name) {
        const TPtr<CNSound> sound = audio.GetSound(name);
        return sound && sound->IsPlaying();
    };
    struct Case {
        const char* what;
        bool started;
        std::function<void()> end;
    };
    const Case cases[] = {
        {"StopLevel", true, [this] { m_level->Stop(); }},
        {"DeleteLevel while it runs", true, [this] { m_level.reset(); }},
        {"DeleteLevel before it ran", false, [this] { m_level.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!m_level) LoadLevel();
        if (c.started) {
            ASSERT_TRUE(m_level->Start());
        }
        const PVector3 car = m_level->playerCar->GetPosition();
        for (const char* kind : {"walker", "scav", "walker", "bomber"}) {
            ASSERT_TRUE(m_ai->AddEnemy(kind, car.x + 9.0f, car.y + 9.0f));
        }
        // Two seconds: they run at the car and fire. An animation sound lasts a moment of the
        // wall clock, which a busy machine can outlast; so the level ends at the first frame after
        // that where one plays, within two seconds more.
        auto animationSoundPlays = [&] { return playing("enemy_run") || playing("enemy_hit") || playing("hmgun2"); };
        bool animationSoundHeard = false;
        for (int frame = 0; frame < 240; ++frame) {
            Frame(1.0f / 60.0f);
            animationSoundHeard = animationSoundHeard || animationSoundPlays();
            if (frame >= 120 && animationSoundPlays()) break;
        }
        EXPECT_TRUE(playing("enemy_growl")) << "the kinds' loop plays while they live";
        EXPECT_TRUE(animationSoundHeard);

        c.end();
        EXPECT_TRUE(m_ai->Manager().Entities().empty());
        EXPECT_EQ(m_ai->LiveCount("walker"), 0);
        EXPECT_EQ(m_ai->LiveCount("scav"), 0);
        EXPECT_EQ(m_ai->LiveCount("bomber"), 0);
        EXPECT_EQ(m_ai->WalkerCount(), 0);
        for (const char* name : kEnemySounds) EXPECT_FALSE(playing(name)) << name;
        m_level.reset();
    }
}

// A script can add an enemy after the level stopped and before it is deleted: the deletion takes
// it away with the counts it holds, so it does not pursue the car of the next level.
TEST_F(SampleLevelEnemyTest, AnEnemyAddedToAStoppedLevelLeavesWithIt)
{
    ASSERT_TRUE(m_level->Start());
    Frame(1.0f / 60.0f);
    m_level->Stop();
    ASSERT_TRUE(m_ai->AddEnemy("walker", 0.0f, 35.0f));
    m_level.reset();
    EXPECT_TRUE(m_ai->Manager().Entities().empty());
    EXPECT_EQ(m_ai->LiveCount("walker"), 0);
    EXPECT_EQ(m_ai->WalkerCount(), 0);
}

}  // namespace
