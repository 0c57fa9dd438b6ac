#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/PTask.h"
#include "core/Singleton.h"
#include "Input/NActionBinding.h"
#include "Input/NKeyBinding.h"
#include "Input/NMouseListener.h"

// The input task (a system task at priority 12, added after the music task): turns key presses
// and releases into "key_action" commands for the scripts of the category "action_listener"
// through the bindings of "Actions.cfg", one line per action: "action;label;key name".
//
// The keyboard is read from the platform's input state (a polled 256-byte key array indexed by
// scan code). A key or button pressed and released between two frames is not lost: the press
// shows in one frame and the release in the next. While the game window is active the mouse is held in relative mode: the cursor
// starts at (0, 0), moves by the mouse's counts times (mouse setting + 1) and stays on the screen.
// The left and right buttons and the wheel ("mlb", "mrb", "mwheel1" forward, "mwheel2"
// backward) are bound like keys; the wheel sends at most one ",0" every 0.2 s, a notch in
// between is dropped. The middle button sends "mouse2,1" and "mouse2,0". Movement and buttons
// also go to the mouse listener (the interface screens), buttons before movement.
class CNInput : public IPTask, public TSingleton<CNInput> {
public:
    using ActionMap = std::unordered_map<std::string, CNActionBinding>;

    CNInput() = default;

    // Loads "Actions.cfg"; when it is missing, unreadable or binds nothing, the built-in default
    // bindings (the same as the shipped file) take its place.
    bool Start() override;
    // One poll of the mouse, then of the keyboard: edges become commands.
    void Update() override;
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CNInput"; }

    // Replaces the bindings with those of the file; the file's load result, negative (and
    // nothing changed) when it could not be read.
    int32_t LoadActions(const std::string& path);
    // Replaces the bindings with the built-in defaults.
    void LoadDefaultActions();
    // Writes one line per entry of the action list, "%s;%s;%s\r\n" of the action, its label and
    // its key name (a field holding ';' or '"' is quoted so it reads back whole). An empty list
    // is never written: E_FAIL, the file untouched. Otherwise the writer's result.
    int32_t WriteActions(const std::string& path) const;

    // Grabs the mouse while the game window is active and lets it go otherwise.
    void AcquireDevices();

    const std::vector<std::string>& GetActionList() const { return m_actionList; }
    const ActionMap& GetActionMap() const { return m_actions; }
    const CNKeyBinding& GetKeyBinding(uint8_t code) const { return m_keys[code]; }

    // When clear, keyboard keys send no "key_action" commands.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    // When set, the next key release, left or right click or handled wheel notch is reported to
    // the interface scripts as "key_assign" with its key name.
    void SetAssignKey() { m_assignKey = true; }

    // Binds the action to the key (a key name or "mlb", "mrb", "mwheel1", "mwheel2"); the first
    // other action found on that key gives it up ("undefined"). An unknown action changes
    // nothing; an unknown key name displaces, but the action keeps its key. The keyboard
    // follows once the bindings are written and loaded again; the mouse at once.
    void SetAction(const std::string& action, const std::string& keyName);
    // The cursor in screen pixels, truncated toward zero.
    void GetMousePosition(int32_t& x, int32_t& y) const;

    // Receives the cursor's movement and the buttons; null for none. Not owned.
    void SetMouseListener(INMouseListener* listener) { m_mouseListener = listener; }

private:
    void ParseActions(const char* text, int32_t size);
    void ScanMouse();
    void ScanWheel(int32_t wheel);
    void MoveCursor(float dx, float dy);
    void ScanBoundButton(int32_t button, bool down, float x, float y);
    void ScanMiddleButton(bool down, float x, float y);
    // The action of the first binding on that key name in the action map, or null.
    const std::string* FindMouseAction(const char* keyName) const;
    void ScanKeyboard();

    // The least time between two handled wheel notches.
    static constexpr float kWheelInterval = 0.2f;

    float m_wheelTimer = 0.0f;
    std::array<bool, 3> m_buttonDown{};
    float m_cursorX = 0.0f;
    float m_cursorY = 0.0f;
    INMouseListener* m_mouseListener = nullptr;

    std::array<uint8_t, 256> m_current{};
    std::array<uint8_t, 256> m_previous{};
    std::array<CNKeyBinding, 256> m_keys{};
    ActionMap m_actions;
    std::vector<std::string> m_actionList;
    bool m_enabled = true;
    bool m_assignKey = false;
    bool m_acquired = false;
};

// The input task, null before its construction and after its destruction.
inline CNInput* GetInput() { return CNInput::Instance(); }
