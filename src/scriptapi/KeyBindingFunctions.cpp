#include "scriptapi/KeyBindingFunctions.h"

#include <lua.hpp>

#include <string>
#include <vector>

#include "Input/NInput.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "scriptapi/ScriptArguments.h"

namespace {

constexpr char kActionsPath[] = "Actions.cfg";

// Names shown as a text of the game rather than as written.
struct SPShownAsText {
    const char* name;
    const char* textKey;
};
constexpr SPShownAsText kKeyTexts[] = {{"undefined", "undefined"}, {"Space", "space"}, {"Enter", "enter"},
                                       {"mwheel1", "mwheel1"},     {"mwheel2", "mwheel2"}, {"mlb", "mlb"},
                                       {"mrb", "mrb"}};
constexpr SPShownAsText kLabelTexts[] = {{"undefined", "undefined"}, {"Space", "space"}, {"Enter", "enter"}};

template <size_t N>
std::string Shown(const std::string& name, const SPShownAsText (&table)[N]) {
    CPGameData* data = GetGameData();
    for (const SPShownAsText& entry : table) {
        if (name == entry.name) return data ? data->LookUpText(entry.textKey) : std::string();
    }
    return name;
}

}  // namespace

int ScriptSetActions(lua_State* state) {
    if (CNInput* input = GetInput()) input->SetEnabled(lua_toboolean(state, 1));
    g_frameDelta = 0.0f;
    return 0;
}

int ScriptSetAssignKey(lua_State*) {
    if (CNInput* input = GetInput()) input->SetAssignKey();
    return 0;
}

int ScriptSetAction(lua_State* state) {
    CNInput* input = GetInput();
    std::string action;
    std::string key;
    if (input && TextArgument(state, 1, action) && TextArgument(state, 2, key)) input->SetAction(action, key);
    return 0;
}

int ScriptGetActionNames(lua_State* state) {
    const CNInput* input = GetInput();
    std::vector<std::string> keys;
    std::vector<std::string> labels;
    if (input) {
        const CNInput::ActionMap& actions = input->GetActionMap();
        for (const std::string& action : input->GetActionList()) {
            const auto found = actions.find(action);
            const CNActionBinding binding = found != actions.end() ? found->second : CNActionBinding();
            keys.push_back(Shown(binding.keyName, kKeyTexts));
            labels.push_back(Shown(binding.label, kLabelTexts));
        }
    }
    lua_pushnumber(state, input ? static_cast<lua_Number>(input->GetActionMap().size()) : 0);
    PushTextTable(state, keys);
    PushTextTable(state, labels);
    return 3;
}

int ScriptSaveActions(lua_State*) {
    CNInput* input = GetInput();
    if (!input) return 0;
    input->WriteActions(kActionsPath);
    input->LoadActions(kActionsPath);
    return 0;
}
