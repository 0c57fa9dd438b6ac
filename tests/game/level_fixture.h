#pragma once
// A working folder with the sample meshes and levels, the object loader, the physics world and the
// AI task, and a level to load into.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "AI/AI_Task.h"
#include "Render/PObjectLoader.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "game/LevelFile.h"
#include "game/PLevel.h"
#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "support/WorkingFolder.h"

class LevelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories(m_folder.Path() / "data");
        for (const char* folder : {"meshes", "levels"}) {
            fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / folder, m_folder.Path() / "data" / folder,
                     fs::copy_options::recursive);
        }
        platform::InvalidateListings();
        g_frameDelta = 0.0f;
        m_physics = new CPPhysics;
        m_ai = new AI_Task;
        m_level = std::make_unique<CPLevel>();
    }
    void TearDown() override
    {
        m_level.reset();
        if (m_physics) m_physics->Stop();
        m_physics = nullptr;
        m_ai = nullptr;
        CollectGarbage();
    }

    // Writes Data\Levels\<name>.lvl.
    void WriteLevel(const std::string& name, const SPLevelFile& level) const
    {
        const std::vector<uint8_t> bytes = WriteLevelFile(level);
        m_folder.Write("data/levels/" + name + ".lvl", std::string(bytes.begin(), bytes.end()));
    }
    void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        m_folder.Write("data/levels/" + name + ".lvl", std::string(bytes.begin(), bytes.end()));
    }
    // A level of the half sizes with the records, lit from above.
    static SPLevelFile Level(float halfWidth, float halfDepth, std::vector<SPLevelRecord> records = {})
    {
        SPLevelFile level;
        level.halfWidth = halfWidth;
        level.halfDepth = halfDepth;
        level.lightCount = 1;
        level.light.matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
        level.records = std::move(records);
        return level;
    }
    static SPLevelRecord Record(const std::string& name, float x, float y, float z = 0.8f)
    {
        return {name, {x, y, z}, {0.0f, 0.0f, 0.0f, 1.0f}, {}};
    }
    // Starts a fresh level object (the old one goes first).
    CPLevel& NewLevel()
    {
        m_level.reset();
        m_level = std::make_unique<CPLevel>();
        return *m_level;
    }

    testsupport::WorkingFolder m_folder;
    CPObjectLoader m_loader;
    TPtr<CPPhysics> m_physics;
    TPtr<AI_Task> m_ai;
    std::unique_ptr<CPLevel> m_level;
};
