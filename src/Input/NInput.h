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

// The input task (a system task at priority 12, added after the music task): turns key presses
// and releases into "key_action" commands for the scripts of the category "action_listener"
// through the bindings of "Actions.cfg", one line per action: "action;label;key name".
//
// The keyboard is read from the platform's input state (a polled 256-byte key array indexed by
// scan code). While the game window is active the mouse is held in relative mode.
//
// Not done yet: the mouse (cursor, buttons, wheel and the interface events), SetAction.
class CNInput : public IPTask, public TSingleton<CNInput> {
public:
    using ActionMap = std::unordered_map<std::string, CNActionBinding>;

    CNInput() = default;

    // Loads "Actions.cfg"; when it is missing, unreadable or binds nothing, the built-in default
    // bindings (the same as the shipped file) take its place.
    bool Start() override;
    // One poll of the keyboard: edges become commands.
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
    // When set, the next key release is reported to the interface scripts as "key_assign".
    void SetAssignKey() { m_assignKey = true; }

private:
    void ParseActions(const char* text, int32_t size);
    void ScanKeyboard();

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
