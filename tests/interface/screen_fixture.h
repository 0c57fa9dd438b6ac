#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/PKernel.h"
#include "core/PMMObject.h"
#include "core/SettingsVariables.h"
#include "interface/PInterface.h"
#include "script/PLuaScript.h"
#include "scriptapi/GameFunctionTables.h"
#include "Render/ModelFile.h"
#include "Render/PObjectLoader.h"
#include "support/RunningScripts.h"
#include "support/ScreenSize.h"
#include "support/WorkingFolder.h"

// An 800 × 600 screen, a kernel, the object loader and a script manager whose running scripts
// are "menu" (a screen's script) and "listener" (of the categories "interface" and
// "action_listener"), in a fresh working folder. Layouts are written to data/interface; the
// cursor object "cursor.rdf" is a small square.
class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        modelfile::SPMeshFile cursor;
        modelfile::SPMeshNode node;
        node.name = "cursor";
        node.vertices.resize(3);
        node.indices = {0, 1, 2};
        cursor.nodes.push_back(node);
        const std::vector<uint8_t> mesh = modelfile::WriteMeshFile(cursor);
        m_folder.Write("data/meshes/cursor.msh", std::string(mesh.begin(), mesh.end()));
        m_folder.Write("data/meshes/cursor.rdf", "mesh = cursor.msh\n");
        m_kernel = std::make_unique<CPKernel>();
        m_loader = std::make_unique<CPObjectLoader>();
        RegisterGameFunctionTables();  // the scripts' functions, as the program installs them
        ASSERT_TRUE(m_scripts.Start({"menu t_interface", "listener t_interface interface action_listener"},
                                    "while true do Update() end\n"));
    }

    void TearDown() override {
        // Give back what activation lent the screen's script, as the script's Release would.
        CPLuaScript& menu = m_scripts["menu"];
        for (const TPtr<CPInterface>& screen : m_screens) {
            while (menu.DropReference(*screen)) {
            }
        }
        m_screens.clear();
        m_scripts.Stop();
        m_loader.reset();
        m_kernel.reset();
        CPLuaScript::SetEngineTable(nullptr);
        CPLuaScript::SetGameTables(nullptr, nullptr);
        CollectGarbage();
    }

    // A screen loaded from the layout text, active unless told otherwise.
    CPInterface& Screen(const std::string& layout, bool active = true) {
        m_folder.Write("data/interface/screen1024.int", layout);
        m_screens.emplace_back(new CPInterface);
        m_screens.back()->Load("screen", 0);
        if (active) m_screens.back()->Activate(450);
        Commands("menu");
        Commands("listener");
        return *m_screens.back();
    }

    // Every command the script received since the last call, oldest first, as "name(p,p)".
    std::vector<std::string> Commands(const std::string& script) { return m_scripts.Commands(script); }

    CPLuaScript& Script(const std::string& name) const { return m_scripts[name]; }

    testsupport::ScreenSize m_screenSize{800, 600};
    testsupport::WorkingFolder m_folder;
    std::vector<TPtr<CPInterface>> m_screens;

private:
    std::unique_ptr<CPKernel> m_kernel;
    std::unique_ptr<CPObjectLoader> m_loader;
    testsupport::RunningScripts m_scripts;
};

// A menu on a 256 × 128 texture: a background window "back" over the whole design screen, a
// button "play" at (100, 100) sized 200 × 50, and the cursor.
inline const std::string kMenuLayout =
    "menu\n"
    "menu.tga,256,128\n"
    "light,off\n"
    "button\n"
    "play 100.5,100.5,200,50,0,0,64,16\n"
    "play_hover 0,0,200,50,0,16,64,16\n"
    "play_pressed 0,0,200,50,0,32,64,16\n"
    "window\n"
    "back 0.5,0.5,1024,768,0,48,256,80\n"
    "cursor\n"
    "arrow cursor.rdf\n";
