#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"

namespace platform {
class Window;
}
class AI_Task;
class IPTask;
class CNInput;
class CPGameStateDump;
class CPGlobalTimer;
class CPLuaScript;
class CPMusic;
class CPParticlesManager;
class CPPhysics;
class CPRender;
class CPWeaponsSystem;
class StartCamera;

// The program's spine: creates the engine's singletons, opens the game window, builds the tasks,
// runs the main loop and tears everything down again in a fixed order, writing the key bindings
// ("Actions.cfg") and the settings ("config.cfg") on the way out.
//
// The kernel's window handle is the platform::Window the application opened (null until then).
class CPApplication : public TSingleton<CPApplication> {
public:
    CPApplication();
    // Destroys whatever a failed or skipped run left, then closes the window.
    virtual ~CPApplication();

    // Mounts the data packs, reads the web addresses and creates the singletons: settings,
    // kernel, script manager, material manager, object loader, enemy database, audio, animation
    // cache, game data.
    void Init();

    // Loads the enemies, the script list, config.cfg and the game data, opens the window, adds
    // the tasks (music 12, renderer 10000, timer 10, the script "main" 20, particles 9000,
    // weapons 390, input 12, with VX_STATE the state dump 9500), loads the fonts, runs the main
    // loop and shuts down.
    //
    // Returns 0 after a game that ended normally. A start that fails (no script list, no game
    // window, no renderer, no script "main") prints the reason on stderr, shuts down without
    // writing any file and returns 1; so does a shutdown that cannot write Actions.cfg or
    // config.cfg (the game itself ran).
    int Run();

    // Opens the game window, its client area exactly width x height, centred, fullscreen unless
    // windowed. 0, or E_FAIL with the reason in error.
    int32_t CreateAppWindow(bool windowed, int32_t width, int32_t height, const std::string& title, std::string& error);
    platform::Window* GetWindow() const { return m_window.get(); }
    // Why Run could not start the game; empty when it started (or has not run).
    const std::string& StartFailure() const { return m_startFailure; }

private:
    // Where a shutdown begins (the steps of Shutdown).
    enum class ShutdownFrom { Fonts, Tasks, Renderer, Singletons };

    // Loads the enemy database, the script list, config.cfg and the game data; false when the
    // script list cannot be loaded.
    bool LoadData();
    // Adds the music task, starts the audio and places the listener.
    void StartSound();
    static bool AddTask(const TPtr<IPTask>& task, int32_t priority);
    // Steps: 1 write the VX_STATE file, destroy the font and script managers; 2 empty the sound
    // registry and bank; 3 write Actions.cfg; 4 collect; 5 release the tasks; 6 release the renderer, collect,
    // release the music; 7 save config.cfg; 8 destroy the singletons; 9 collect and report the
    // engine objects still pending and those still alive (leaked), with their number. Only the full shutdown (from Fonts) writes files. False when a
    // file could not be written (the reason is on stderr).
    bool Shutdown(ShutdownFrom from);
    // Reports a failed start on stderr, keeps it as the start failure and shuts down without
    // writing files; returns 1.
    int FailStart(const std::string& reason, ShutdownFrom from);
    // Writes the VX_STATE file (GameStateDump.h) when it was asked for.
    bool WriteStateDump();
    // Writes Actions.cfg from the input task's bindings; an empty list writes nothing.
    bool WriteBindings();
    bool SaveSettings();
    void ReleaseTasks();
    void DestroySingletons();

    std::string m_startFailure;
    std::unique_ptr<platform::Window> m_window;
    TPtr<CPMusic> m_music;
    TPtr<CPRender> m_render;
    // The scene layer's camera until levels bring the chase camera.
    std::unique_ptr<StartCamera> m_startCamera;
    TPtr<CPGlobalTimer> m_timer;
    TPtr<CPLuaScript> m_main;
    TPtr<CPParticlesManager> m_particles;
    TPtr<CPWeaponsSystem> m_weapons;
    TPtr<CNInput> m_input;
    TPtr<AI_Task> m_ai;
    TPtr<CPPhysics> m_physics;
    TPtr<CPGameStateDump> m_stateDump;
};

// The application, null before its construction and after its destruction.
inline CPApplication* GetApplication() { return CPApplication::Instance(); }
