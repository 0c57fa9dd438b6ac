#include "app/Application.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AI/AI_Task.h"
#include "app/GameFileSwitch.h"
#include "app/GameStateDump.h"
#include "app/StartCamera.h"
#include "app/WebAddresses.h"
#include "app/WindowProc.h"
#include "core/PFileWriter.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PLog.h"
#include "core/PPack.h"
#include "core/PSettings.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "game/PEnemyDatabase.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "Input/NInput.h"
#include "interface/InterfaceHooks.h"
#include "interface/PFontManager.h"
#include "physics/PPhysics.h"
#include "platform/InputTape.h"
#include "platform/Window.h"
#include "Render/PAnimationCache.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PParticlesManager.h"
#include "Render/PRender.h"
#include "Render/ViewCamera.h"
#include "script/PScriptManager.h"
#include "scriptapi/GameFunctionTables.h"
#include "Sound/NAudio.h"
#include "Sound/PMusic.h"
#include "weapons/PWeaponsSystem.h"

namespace {

void ReportError(const std::string& text) { std::fprintf(stderr, "vexmoor: %s\n", text.c_str()); }

// Presentation is immediate unless the player sets VX_VSYNC (to anything but "0").
bool VsyncWanted() {
    const char* vsync = std::getenv("VX_VSYNC");
    return vsync != nullptr && std::strcmp(vsync, "0") != 0;
}

// Everything the main loop must do once it has ended.
void OnLoopEnd() {
    if (CPMaterialManager* materials = GetMaterialManager()) materials->ClearAllQueues();
    if (CPSettings* settings = GetSettings()) settings->ReleaseBindings();
}

}  // namespace

CPApplication::CPApplication() = default;

CPApplication::~CPApplication() {
    ReleaseTasks();
    m_render.Reset();
    m_music.Reset();
    DestroySingletons();
    CollectGarbage();
}

void CPApplication::Init() {
    MountPacks();
    GetLog();
    ReadWebAddresses();
    new CPSettings;
    CPKernel* kernel = new CPKernel;
    kernel->SetWindowProcedure(WindowProc);
    kernel->SetEventPump(platform::PumpTapedEvents);
    kernel->SetLoopEndHook(OnLoopEnd);
    RegisterGameFunctionTables();
    new CPScriptManager;
    new CPMaterialManager;
    new CPObjectLoader;
    new CPEnemyDatabase;
    new CNAudio;
    new CPAnimationCache;
    new CPGameData;
}

int CPApplication::Run() {
    std::string statePath, stateError;
    if (!ReadGameFileSwitch("VX_STATE", statePath, stateError)) return FailStart(stateError, ShutdownFrom::Singletons);
    if (!statePath.empty() && !CPFileWriter::CanSave(statePath)) {
        return FailStart("VX_STATE: cannot write the play state to " + statePath, ShutdownFrom::Singletons);
    }
    if (!LoadData()) {
        const std::string& script = GetScriptManager()->GetUnreadableScript();
        return FailStart("cannot load the script list Data\\Scripts\\list.dat: " +
                             (script.empty() ? std::string("the file is missing or unreadable")
                                             : "the script file " + script + " it names is missing or unreadable"),
                         ShutdownFrom::Singletons);
    }
    std::string windowError;
    CreateAppWindow(g_fullScreen == 0, g_screenWidth, g_screenHeight, "Vexmoor", windowError);
    StartSound();
    GetKernel()->SetWindow(m_window.get());

    m_render = new CPRender;
    if (!AddTask(m_render, 10000)) {
        return FailStart(m_window ? "the renderer could not start" : "cannot open the game window: " + windowError,
                         ShutdownFrom::Renderer);
    }
    m_timer = new CPGlobalTimer;
    AddTask(m_timer, 10);
    m_main = GetScriptManager()->GetScript("main");
    if (!m_main) return FailStart("the script list Data\\Scripts\\list.dat names no script \"main\"", ShutdownFrom::Tasks);
    AddTask(m_main, 20);
    m_particles = new CPParticlesManager;
    AddTask(m_particles, 9000);
    m_weapons = new CPWeaponsSystem;
    AddTask(m_weapons, 390);
    m_input = new CNInput;
    InstallInterfaceHooks();
    m_ai = new AI_Task;
    m_physics = new CPPhysics;
    if (!AddTask(m_input, 12)) return FailStart("the input task could not start", ShutdownFrom::Tasks);
    CPFontManager* fonts = new CPFontManager;
    fonts->Load();
    m_startCamera = std::make_unique<StartCamera>();
    if (!statePath.empty()) {
        m_stateDump = new CPGameStateDump(statePath);
        AddTask(m_stateDump, CPGameStateDump::kPriority);
    }

    GetKernel()->Run();
    return Shutdown(ShutdownFrom::Fonts) ? 0 : 1;
}

bool CPApplication::LoadData() {
    GetEnemyDatabase()->Load("data\\enemies.dat");
    if (!GetScriptManager()->LoadList()) return false;
    GetSettings()->Load("config.cfg");
    GetGameData()->LoadGameData();
    return true;
}

void CPApplication::StartSound() {
    m_music = new CPMusic;
    AddTask(m_music, 12);
    CNAudio* audio = GetAudio();
    audio->Init(m_window.get());
    audio->SetListenerPosition({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f});
    audio->SetListenerOrientation({0.0f, 0.0f, 1.0f}, {0.0f, -1.0f, 0.0f});
}

bool CPApplication::AddTask(const TPtr<IPTask>& task, int32_t priority) {
    task->SetPriority(priority);
    return GetKernel()->AddTask(task);
}

int CPApplication::FailStart(const std::string& reason, ShutdownFrom from) {
    ReportError(reason);
    m_startFailure = reason;
    Shutdown(from);
    return 1;
}

bool CPApplication::Shutdown(ShutdownFrom from) {
    // A level the scripts left behind goes first, while everything it uses is still there.
    delete GetLevel();
    m_startCamera.reset();
    const bool fullShutdown = from == ShutdownFrom::Fonts;
    bool written = true;
    if (fullShutdown) {
        written = WriteStateDump();
        delete GetFontManager();
        delete GetScriptManager();
        GetAudio()->ClearSoundRegistry();
        if (CNSoundBank* bank = GetSoundBank()) bank->Clear();
        written = WriteBindings() && written;
    }
    if (from == ShutdownFrom::Fonts || from == ShutdownFrom::Tasks) {
        CollectGarbage();
        ReleaseTasks();
    }
    if (from != ShutdownFrom::Singletons) {
        m_render.Reset();
        CollectGarbage();
        m_music.Reset();
    }
    if (fullShutdown) written = SaveSettings() && written;
    DestroySingletons();
    ReleaseViewCameras();
    // The tasks that the kernel let go and the music task are deleted before the report, so it
    // lists only objects that outlived the engine.
    CollectGarbage();
    IPMMObject::DumpStatistics();
    IPMMObject::ReportLiveObjects();
    return written;
}

bool CPApplication::WriteBindings() {
    if (m_input->GetActionList().empty()) return true;
    if (m_input->WriteActions("Actions.cfg") == S_OK) return true;
    ReportError("cannot write the key bindings to Actions.cfg");
    return false;
}

bool CPApplication::WriteStateDump() {
    if (!m_stateDump || m_stateDump->Write()) return true;
    ReportError("cannot write the play state to " + m_stateDump->GetPath());
    return false;
}

bool CPApplication::SaveSettings() {
    if (GetSettings()->Save("config.cfg")) return true;
    ReportError("cannot write the settings to config.cfg");
    return false;
}

void CPApplication::ReleaseTasks() {
    m_stateDump.Reset();
    m_physics.Reset();
    m_ai.Reset();
    m_input.Reset();
    m_weapons.Reset();
    m_particles.Reset();
    m_main.Reset();
    m_timer.Reset();
}

void CPApplication::DestroySingletons() {
    delete GetLevel();
    delete GetFontManager();
    delete GetScriptManager();
    delete GetKernel();
    delete GetSettings();
    delete GetMaterialManager();
    delete GetObjectLoader();
    delete GetEnemyDatabase();
    delete GetAudio();
    delete GetAnimationCache();
    delete GetGameData();
}

int32_t CPApplication::CreateAppWindow(bool windowed, int32_t width, int32_t height, const std::string& title,
                                       std::string& error) {
    platform::WindowConfig config;
    config.title = title;
    config.width = width;
    config.height = height;
    config.fullScreen = !windowed;
    config.multisample = CPRender::MultisampleFromSettings(!windowed);
    config.vsync = VsyncWanted();
    m_window = platform::Window::Create(config, error);
    return m_window ? S_OK : E_FAIL;
}
