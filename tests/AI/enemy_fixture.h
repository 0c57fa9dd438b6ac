#pragma once
// A small world for enemies: a working folder whose script list holds a "gamemenu" and a script
// of the category "level" (both recording what they are sent), the kernel, the physics world,
// the weapons system with stand-in effects, the game data, a level with a player's car standing
// on a ground slab, and the AI task with enemy kinds of the test's own.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "AI/AIManager.h"
#include "AI/AI_Entity.h"
#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PObb.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/unit_shape.h"
#include "platform/Random.h"
#include "support/RunningScripts.h"
#include "support/WorkingFolder.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/PWeaponObject.h"

class EnemyTest : public ::testing::Test {
protected:
    // Kinds: "walker" (melee, blood), "scav" (fires "hmgun", oil), "bomber" (an "explosion"
    // melee kind) with models, and "ghost", whose model no mission loaded.
    static constexpr char kAiDat[] =
        "walker 10 1 4 50 0 0 0 1 none 1 1 0 1 0 melee.txt blood1 walker_loop 25 1\n"
        "scav 20 1 6 60 20 8 1 0 hmgun 0 1 0 1 0 gun.txt oil1 scav_loop 40 1\n"
        "bomber 5 1 5 60 0 0 0 1 explosion 1 1 0 1 0 melee.txt blood1 \"\" 10 1\n"
        "ghost 5 1 5 60 0 0 0 1 none 1 1 0 1 0 melee.txt blood1 \"\" 10 1\n";

    void SetUp() override
    {
        // The game's random sequence from its start, as in a run of the test alone.
        platform::Srand(1);
        m_folder.Write("Data/ai.dat", kAiDat);
        m_folder.Write("Data/Ai/melee.txt", "melee 5 0 1.5 1 0 1 0 2 7\nrun run_sound\nhit1 hit_sound\n");
        m_folder.Write("Data/Ai/gun.txt", "fire 3 0.5 1 1.5 0 0 0 0 0 6 -0.5 1 1.5\nrun run_sound\n");
        g_frameDelta = 0.0f;
        m_kernel = std::make_unique<CPKernel>();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface", "levelscript t_interface level"},
                                    "while true do Update() end\n"));
        m_physics = new CPPhysics;
        m_physics->Init();
        m_weapons = new CPWeaponsSystem;
        LoadEffects();
        m_gameData = std::make_unique<CPGameData>();
        m_level = std::make_unique<CPLevel>();
        m_level->width = 200.0f;
        m_level->depth = 200.0f;
        m_level->playerCar = Box("PLAYER", {0.0f, 0.0f, 1.0f}, {1.0f, 2.0f, 1.0f});
        m_ground = Box("land", {0.0f, 0.0f, -0.5f}, {100.0f, 100.0f, 0.5f});
        m_level->activeObjects.push_back(m_ground);
        m_ai = new AI_Task;
        m_ai->LoadTypes();
        m_ai->CreateNavGrid(100, 100, 2.0f);
        for (const char* kind : {"walker", "scav", "bomber"}) m_ai->FindPrototype(kind)->SetModel(EnemyModel(kind));
    }

    void TearDown() override
    {
        m_ai->Manager().StopLevel();
        m_ai = nullptr;
        m_level.reset();
        m_gameData.reset();
        m_weapons = nullptr;
        if (m_physics) m_physics->Stop();
        m_physics = nullptr;
        m_ground = nullptr;
        m_scripts.Stop();
        m_kernel.reset();
        g_frameDelta = 0.0f;
        CollectGarbage();
    }

    // Stand-ins for the effects and shots an enemy spawns, of classes that need no resources.
    void LoadEffects()
    {
        static constexpr char kEffects[] =
            "blood1 blood scorch; scorch; 4; 0.2; 0.4; 60\n"
            "oil1 oil scorch; scorch; 3; 0.3; 0.5; 40\n"
            "gib1 sparks sparks; 8; 0.1; 6; 40; 1; 0.4; none\n"
            "gib2 sparks sparks; 8; 0.1; 6; 40; 1; 0.4; none\n"
            "sparks sparks sparks; 8; 0.1; 6; 40; 1; 0.4; none\n"
            "mine_exp1 sparks sparks; 8; 0.1; 6; 40; 1; 0.4; none\n"
            "trasser22 trasser enemy; 90; 4; 0.08; particle_spark.tga; particle_add.fx; 23; sparks; 1; -1; none\n";
        m_weapons->LoadDefinitions(kEffects, static_cast<int32_t>(sizeof(kEffects) - 1));
    }

    // A scene object with one part box of the half sizes, at the position, transformed.
    static TPtr<CPGameObject> Box(const std::string& name, const PVector3& position, const PVector3& half)
    {
        TPtr<CPGameObject> object(new CPGameObject(name));
        object->GetParts().push_back(CPObb({0.0f, 0.0f, 0.0f, 0.0f}, {half.x, half.y, half.z, 0.0f}));
        object->SetObb(CPObb({0.0f, 0.0f, 0.0f, 0.0f}, {half.x, half.y, half.z, 0.0f}));
        object->SetPosition(position);
        object->UpdateTransform();
        return object;
    }

    // An enemy model: a half-unit box with a rigid body of mass 1.
    static TPtr<CPGameObject> EnemyModel(const std::string& kind)
    {
        TPtr<CPGameObject> model = Box(kind, {0.0f, 0.0f, 0.0f}, {0.5f, 0.5f, 0.5f});
        GiveUnitShape(*model, 1.0f);
        return model;
    }

    // Spawns an enemy and returns it (null when the spawn was refused).
    AI_Entity* Spawn(const std::string& kind, float x, float y)
    {
        const size_t before = m_ai->Manager().Entities().size();
        if (!m_ai->AddEnemy(kind, x, y)) return nullptr;
        EXPECT_EQ(m_ai->Manager().Entities().size(), before + 1);
        return m_ai->Manager().Entities().back().Get();
    }

    // Gives the enemy (or prototype) a copy of its kind's definition of its own, for the test to
    // change; the copy lives as long as the fixture.
    CPEnemyType& OwnKind(AI_Entity& enemy)
    {
        CPEnemyType& kind = m_ownKinds.emplace_back(enemy.Type());
        enemy.SetType(kind);
        return kind;
    }

    // One frame of the AI task.
    void Frame(float dt = 0.02f)
    {
        g_frameDelta = dt;
        m_ai->Update();
    }

    // How many live weapon objects of the name there are.
    size_t LiveEffects(const std::string& name) const
    {
        size_t count = 0;
        for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) count += object->GetName() == name;
        return count;
    }

    std::deque<CPEnemyType> m_ownKinds;
    testsupport::WorkingFolder m_folder;
    std::unique_ptr<CPKernel> m_kernel;
    testsupport::RunningScripts m_scripts;
    TPtr<CPPhysics> m_physics;
    TPtr<CPWeaponsSystem> m_weapons;
    std::unique_ptr<CPGameData> m_gameData;
    std::unique_ptr<CPLevel> m_level;
    TPtr<CPGameObject> m_ground;
    TPtr<AI_Task> m_ai;
};
