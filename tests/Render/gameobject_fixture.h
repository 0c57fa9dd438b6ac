#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "platform/PathResolver.h"
#include "Render/PGameObject.h"
#include "script/PLuaScript.h"
#include "script/PScriptManager.h"
#include "support/TempDir.h"

// A kernel and a script manager whose list holds a running "gamemenu", in a fresh working
// folder; object scripts are bare script tasks that the objects' activation starts.
class SceneObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = std::filesystem::current_path();
        std::filesystem::create_directories(m_folder / "Data" / "Scripts");
        std::ofstream(m_folder / "Data" / "Scripts" / "list.dat") << "gamemenu t_interface\n";
        std::ofstream(m_folder / "Data" / "Scripts" / "gamemenu.lua") << "while true do Update() end\n";
        std::filesystem::current_path(m_folder.Path());
        platform::InvalidateListings();

        m_kernel = std::make_unique<CPKernel>();
        m_scripts = std::make_unique<CPScriptManager>();
        ASSERT_TRUE(m_scripts->LoadList());
        m_gameMenu = m_scripts->GetScript("gamemenu");
        ASSERT_TRUE(m_gameMenu);
        m_gameMenu->Start();
    }

    void TearDown() override {
        m_objects.clear();
        m_gameMenu = nullptr;
        m_scripts.reset();
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

    // Every command the script holds, oldest first, each as "name(param,param)"; the queue is
    // emptied.
    static std::vector<std::string> TakeCommands(CPLuaScript& script) {
        std::vector<std::string> commands;
        while (script.NextCommand()) {
            const CPScriptCommand* command = script.GetCurrentCommand();
            std::string text = command->command + "(";
            for (size_t i = 0; i < command->params.size(); ++i) text += (i ? "," : "") + command->params[i];
            commands.push_back(text + ")");
        }
        return commands;
    }

    static bool InKernel(const IPTask* task) {
        for (const TPtr<IPTask>& entry : GetKernel()->GetActiveTasks()) {
            if (entry.Get() == task) return true;
        }
        return false;
    }

    testsupport::TempDir m_folder;
    std::unique_ptr<CPKernel> m_kernel;
    std::unique_ptr<CPScriptManager> m_scripts;
    TPtr<CPLuaScript> m_gameMenu;
    std::vector<TPtr<CPGameObject>> m_objects;

private:
    std::filesystem::path m_previous;
};
