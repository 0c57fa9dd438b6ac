#pragma once
// The scripted weapons fixture with the sample data's meshes, effects, levels and item tables in
// its working folder, the object loader and the physics world: for the objects that load models.
#include <filesystem>

#include "physics/PPhysics.h"
#include "platform/PathResolver.h"
#include "Render/PObjectLoader.h"
#include "scripted_fixture.h"

class SampleWeaponsTest : public ScriptedWeaponsTest {
protected:
    void SetUp() override {
        ScriptedWeaponsTest::SetUp();
        namespace fs = std::filesystem;
        for (const char* folder : {"meshes", "effects", "levels"}) {
            fs::copy(fs::path(VX_SAMPLE_DATA) / "data" / folder, m_folder.Path() / "Data" / folder,
                     fs::copy_options::recursive);
        }
        for (const char* file : {"m_info.dat", "sw_info.dat", "w_info.dat", "weapons.dat"}) {
            fs::copy_file(fs::path(VX_SAMPLE_DATA) / "data" / file, m_folder.Path() / "Data" / file);
        }
        platform::InvalidateListings();
        m_data->LoadGameData();
        m_physics = new CPPhysics;
        m_physics->Init();
    }
    void TearDown() override {
        ScriptedWeaponsTest::TearDown();
        if (!m_physics) return;
        m_physics->Stop();
        m_physics = nullptr;
        CollectGarbage();
    }

    CPObjectLoader m_loader;
    TPtr<CPPhysics> m_physics;
};
