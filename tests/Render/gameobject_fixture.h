#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "platform/PathResolver.h"
#include "Render/PGameObject.h"
#include "script/PLuaScript.h"
#include "support/RunningScripts.h"
#include "support/TempDir.h"

// A kernel and a script manager whose list holds a running "gamemenu", in a fresh working
// folder; object scripts are bare script tasks that the objects' activation starts.
class SceneObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.Path());
        platform::InvalidateListings();

        m_kernel = std::make_unique<CPKernel>();
        ASSERT_TRUE(m_scripts.Start({"gamemenu t_interface"}, "while true do Update() end\n"));
        m_gameMenu = &m_scripts["gamemenu"];
    }

    void TearDown() override {
        m_objects.clear();
        m_gameMenu = nullptr;
        m_scripts.Stop();
        m_kernel.reset();
        CollectGarbage();
        std::filesystem::current_path(m_previous);
        platform::InvalidateListings();
    }

    TPtr<CPGameObject> Make(const std::string& name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    // A script for an object, not running until the object's activation adds it.
    static TPtr<CPLuaScript> NewScript() { return TPtr<CPLuaScript>(new CPLuaScript); }

    static bool InKernel(const IPTask* task) {
        for (const TPtr<IPTask>& entry : GetKernel()->GetActiveTasks()) {
            if (entry.Get() == task) return true;
        }
        return false;
    }

    testsupport::TempDir m_folder;
    std::unique_ptr<CPKernel> m_kernel;
    testsupport::RunningScripts m_scripts;
    TPtr<CPLuaScript> m_gameMenu;
    std::vector<TPtr<CPGameObject>> m_objects;

private:
    std::filesystem::path m_previous;
};
