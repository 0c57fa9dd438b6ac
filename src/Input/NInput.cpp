#include "Input/NInput.h"

#include <algorithm>
#include <cstring>

#include "core/PFile.h"
#include "core/PFileWriter.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/Result.h"
#include "core/SettingsVariables.h"
#include "platform/InputState.h"
#include "platform/ScanCodes.h"
#include "platform/Window.h"
#include "script/PScriptManager.h"

namespace {

// The bindings the game starts with when "Actions.cfg" cannot be used; the shipped file holds
// the same lines.
constexpr char kDefaultActions[] =
    "forward;Accelerate;Up\r\n"
    "backward;Brake and reverse;Down\r\n"
    "left;Turn left;Left\r\n"
    "right;Turn right;Right\r\n"
    "fire;Fire;Space\r\n"
    "mine;Drop a mine;LCtrl\r\n"
    "super;Super weapon;LShift\r\n"
    "next_weapon;Next weapon;mwheel1\r\n"
    "prev_weapon;Previous weapon;mwheel2\r\n";

constexpr uint8_t kKeyDown = 0x80;

// A field as the reader gives it back: quoted when it holds the separator or a quote.
std::string QuoteField(const std::string& field) {
    if (field.find_first_of(";\"") == std::string::npos) return field;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void SendToScripts(const char* category, const char* command, const std::string& params) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory(category, command, params);
}

// The key names of the left and right buttons, which bind like keys.
constexpr const char* kButtonKeyNames[2] = {"mlb", "mrb"};

bool IsMouseKeyName(const std::string& name) {
    return name == "mlb" || name == "mrb" || name == "mwheel1" || name == "mwheel2";
}

// Moves one coordinate of the cursor, keeping it within 0 .. size - 1.
float MoveWithin(float position, float delta, int32_t size) {
    const float moved = position + delta;
    return delta > 0.0f ? std::min(moved, static_cast<float>(std::max(size, 1) - 1)) : std::max(moved, 0.0f);
}

}  // namespace

bool CNInput::Start() {
    if (LoadActions("Actions.cfg") < 0 || m_actionList.empty()) LoadDefaultActions();
    return IPTask::Start();
}

int32_t CNInput::LoadActions(const std::string& path) {
    CPFile file(path);
    const int32_t result = file.Load();
    if (result < 0) return result;
    ParseActions(reinterpret_cast<const char*>(file.GetData()), file.GetSize());
    return result;
}

void CNInput::LoadDefaultActions() { ParseActions(kDefaultActions, static_cast<int32_t>(std::strlen(kDefaultActions))); }

void CNInput::ParseActions(const char* text, int32_t size) {
    m_actions.clear();
    m_actionList.clear();
    m_keys.fill(CNKeyBinding{});
    CPTextReader reader(text, size);
    std::string line;
    while (reader.ReadLine(line)) {
        CPTokenizer fields(line, ";", true);
        std::string action, label, key;
        fields.NextToken(action);
        fields.NextToken(label);
        fields.NextToken(key);
        const uint8_t code = platform::FindKeyCode(key);
        m_keys[code] = CNKeyBinding{code, key, action, 1};
        m_actions.insert_or_assign(action, CNActionBinding(key, label));
        m_actionList.push_back(action);
    }
}

int32_t CNInput::WriteActions(const std::string& path) const {
    if (m_actionList.empty()) return E_FAIL;
    CPFileWriter writer(path);
    for (const std::string& action : m_actionList) {
        const auto binding = m_actions.find(action);
        const CNActionBinding& entry = binding != m_actions.end() ? binding->second : CNActionBinding();
        const std::string line =
            QuoteField(action) + ";" + QuoteField(entry.label) + ";" + QuoteField(entry.keyName) + "\r\n";
        writer.Write(line.data(), static_cast<int32_t>(line.size()));
    }
    return writer.Save();
}

void CNInput::AcquireDevices() {
    if (m_acquired == g_windowActive) return;
    m_acquired = g_windowActive;
    CPKernel* kernel = GetKernel();
    if (auto* window = kernel ? static_cast<platform::Window*>(kernel->GetWindow()) : nullptr) {
        window->SetRelativeMouse(m_acquired);
    }
}

void CNInput::SetAction(const std::string& action, const std::string& keyName) {
    const auto bound = m_actions.find(action);
    if (bound == m_actions.end()) return;
    for (auto& [name, binding] : m_actions) {
        if (binding.keyName != keyName) continue;
        binding = CNActionBinding("undefined", binding.label);
        binding.code = 0;
        break;
    }
    CNActionBinding& binding = bound->second;
    if (IsMouseKeyName(keyName)) {
        binding.keyName = keyName;
        binding.code = 0;
        return;
    }
    const uint8_t code = platform::FindKeyCode(keyName);
    if (code == 0) return;
    binding.keyName = keyName;
    binding.code = code;
}

void CNInput::GetMousePosition(int32_t& x, int32_t& y) const {
    x = static_cast<int32_t>(m_cursorX);
    y = static_cast<int32_t>(m_cursorY);
}

void CNInput::Update() {
    AcquireDevices();
    ScanMouse();
    ScanKeyboard();
}

void CNInput::ScanMouse() {
    const platform::MouseState mouse = platform::GetInputState().TakeMouse();
    const float speed = g_mouse + 1.0f;
    ScanWheel(mouse.wheel);
    const float x = m_cursorX;
    const float y = m_cursorY;
    MoveCursor(static_cast<float>(mouse.dx) * speed, static_cast<float>(mouse.dy) * speed);
    for (int32_t button = 0; button < 2; ++button) {
        ScanBoundButton(button, (mouse.buttons[button] & kKeyDown) != 0, m_cursorX, m_cursorY);
    }
    ScanMiddleButton((mouse.buttons[2] & kKeyDown) != 0, m_cursorX, m_cursorY);
    if ((m_cursorX != x || m_cursorY != y) && m_mouseListener) m_mouseListener->OnMouseMove(m_cursorX, m_cursorY);
}

void CNInput::ScanWheel(int32_t wheel) {
    m_wheelTimer += g_frameDelta;
    if (wheel == 0 || m_wheelTimer < kWheelInterval) return;
    m_wheelTimer = 0.0f;
    const char* key = wheel > 0 ? "mwheel1" : "mwheel2";
    if (const std::string* action = FindMouseAction(key)) SendToScripts("action_listener", "key_action", *action + ",0");
    if (m_assignKey) {
        m_assignKey = false;
        SendToScripts("interface", "key_assign", key);
    }
}

void CNInput::MoveCursor(float dx, float dy) {
    m_cursorX = MoveWithin(m_cursorX, dx, g_screenWidth);
    m_cursorY = MoveWithin(m_cursorY, dy, g_screenHeight);
}

void CNInput::ScanBoundButton(int32_t button, bool down, float x, float y) {
    const char* key = kButtonKeyNames[button];
    bool& wasDown = m_buttonDown[static_cast<size_t>(button)];
    if (down) {
        if (m_assignKey) {
            m_assignKey = false;
            SendToScripts("interface", "key_assign", key);
            return;
        }
        if (wasDown) return;
        if (m_mouseListener) m_mouseListener->OnButtonDown(button, x, y);
        if (const std::string* action = FindMouseAction(key)) SendToScripts("action_listener", "key_action", *action + ",1");
        wasDown = true;
    } else if (!m_assignKey && wasDown) {
        if (m_mouseListener) m_mouseListener->OnButtonUp(button, x, y);
        if (const std::string* action = FindMouseAction(key)) SendToScripts("action_listener", "key_action", *action + ",0");
        wasDown = false;
    }
}

void CNInput::ScanMiddleButton(bool down, float x, float y) {
    bool& wasDown = m_buttonDown[2];
    if (down == wasDown) return;
    wasDown = down;
    if (down) {
        if (m_mouseListener) m_mouseListener->OnButtonDown(2, x, y);
        SendToScripts("action_listener", "key_action", "mouse2,1");
    } else {
        if (m_mouseListener) m_mouseListener->OnButtonUp(2, x, y);
        SendToScripts("action_listener", "key_action", "mouse2,0");
    }
}

const std::string* CNInput::FindMouseAction(const char* keyName) const {
    for (const auto& [action, binding] : m_actions) {
        if (binding.keyName == keyName) return &action;
    }
    return nullptr;
}

void CNInput::ScanKeyboard() {
    m_previous = m_current;
    m_current = platform::GetInputState().TakeKeys();
    bool released = false;
    for (int code = 0x01; code <= 0xFF; ++code) {
        const bool was = (m_previous[code] & kKeyDown) != 0;
        const bool is = (m_current[code] & kKeyDown) != 0;
        if (was == is) continue;
        const CNKeyBinding& key = m_keys[code];
        const bool sendAction = m_enabled && key.bound;
        if (was) {
            released = true;
            if (m_assignKey) {
                m_assignKey = false;
                SendToScripts("interface", "key_assign", std::string(platform::KeyName(static_cast<uint8_t>(code))));
            }
            if (sendAction) SendToScripts("action_listener", "key_action", key.actionName + ",0");
        } else if (sendAction) {
            SendToScripts("action_listener", "key_action", key.actionName + ",1");
        }
    }
    if (released) {
        if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("main", "any_key", "");
    }
}
