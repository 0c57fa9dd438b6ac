#include "Input/NInput.h"

#include <cstring>

#include "core/PFile.h"
#include "core/PFileWriter.h"
#include "core/PKernel.h"
#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/Result.h"
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

void CNInput::Update() {
    AcquireDevices();
    ScanKeyboard();
}

void CNInput::ScanKeyboard() {
    m_previous = m_current;
    m_current = platform::GetInputState().Keys();
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
