#include "scriptapi/InterfaceFunctions.h"

#include <lua.hpp>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/TextHelpers.h"
#include "game/PGameData.h"
#include "interface/PFontManager.h"
#include "interface/PInterface.h"
#include "platform/PathResolver.h"
#include "platform/WebPage.h"
#include "Render/ImageDecoders.h"
#include "Render/PImage.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "script/ScriptNumbers.h"
#include "script/ScriptHandles.h"
#include "scriptapi/InterfaceArgument.h"

namespace {

constexpr int32_t kInterfacePriority = 450;

std::string StringArgument(lua_State* state, int index) {
    const char* text = lua_tostring(state, index);
    return text ? text : "";
}

// The argument as a float; 0 for what is no finite float.
float FloatArgument(lua_State* state, int index) {
    const double value = lua_tonumber(state, index);
    return std::fabs(value) <= std::numeric_limits<float>::max() ? static_cast<float>(value) : 0.0f;
}

CPWindow* WindowArgument(lua_State* state) {
    CPInterface* screen = InterfaceArgument(state, 1);
    return screen ? screen->FindElement(StringArgument(state, 2)) : nullptr;
}

SPInterfaceText* TextArgument(lua_State* state) {
    CPInterface* screen = InterfaceArgument(state, 1);
    return screen ? screen->FindText(StringArgument(state, 2)) : nullptr;
}

// The text of a key of Data\strings.txt, added empty when missing.
std::string LookUpString(const std::string& key) {
    CPGameData* data = GetGameData();
    return data ? data->strings[key] : std::string();
}

void BuildText(const SPInterfaceText& text, const std::string& string) {
    if (CPFontManager* fonts = GetFontManager()) {
        fonts->MakeText(text.object.Get(), text.x, text.y, text.font, string, text.centred);
    }
}

// The file on disk a game path names inside the game's folder; false for anything else.
bool ResolveInsideGameFolder(const std::string& path, std::string& resolved) {
    if (path.empty() || path.front() == '/') return false;
    return platform::ResolveFile(path, resolved);
}

// The web address on the "URL=" line of an internet shortcut (the key in any case), or "".
std::string ShortcutAddress(const std::string& file) {
    std::ifstream shortcut(file, std::ios::binary);
    std::string line;
    while (std::getline(shortcut, line)) {
        Trim(line);
        std::string key = line.substr(0, 4);
        if (StrToLower(key) == "url=") return Trim(line.erase(0, 4));
    }
    return "";
}

}  // namespace

int ScriptCreateInterface(lua_State* state) {
    const std::string name = StringArgument(state, 1);
    const int32_t variant = IntArgument(state, 2);
    TPtr<CPInterface> screen(new CPInterface);
    screen->Load(name, variant);
    PushCountedHandle(state, screen.Get());
    return 1;
}

int ScriptActivateInterface(lua_State* state) {
    if (CPInterface* screen = InterfaceArgument(state, 1)) screen->Activate(kInterfacePriority);
    return 0;
}

int ScriptUpdateInterface(lua_State* state) {
    CPInterface* screen = InterfaceArgument(state, 1);
    CPRender* render = GetRender();
    if (!screen || !render) return 0;
    if (screen->HasLight()) render->AddLight(screen->GetLight());
    if (const TPtr<CPRenderBlock> block = render->GetRenderBlock()) block->AddObjectTree(TPtr<CPGameObject>(screen));
    return 0;
}

int ScriptUpdateInterfaceBuffers(lua_State* state) {
    if (CPInterface* screen = InterfaceArgument(state, 1)) screen->BuildGeometry();
    return 0;
}

int ScriptSetWindowVisible(lua_State* state) {
    if (CPWindow* window = WindowArgument(state)) window->SetVisible(lua_toboolean(state, 3) != 0);
    return 0;
}

int ScriptSetWindowPosition(lua_State* state) {
    if (CPWindow* window = WindowArgument(state)) {
        window->x = FloatArgument(state, 3);
        window->y = FloatArgument(state, 4);
    }
    return 0;
}

int ScriptSetWindowPositionShop(lua_State* state) {
    if (CPWindow* window = WindowArgument(state)) {
        window->x = FloatArgument(state, 3) - 0.5f;
        window->y = FloatArgument(state, 4) - 0.5f;
    }
    return 0;
}

int ScriptSetWindowSize(lua_State* state) {
    if (CPWindow* window = WindowArgument(state)) window->SetQuadSize(FloatArgument(state, 3), FloatArgument(state, 4));
    return 0;
}

int ScriptSetTextPosition(lua_State* state) {
    if (SPInterfaceText* text = TextArgument(state)) {
        text->x = FloatArgument(state, 3);
        text->y = FloatArgument(state, 4);
    }
    return 0;
}

int ScriptSetText(lua_State* state) {
    if (const SPInterfaceText* text = TextArgument(state)) BuildText(*text, StringArgument(state, 3));
    return 0;
}

int ScriptSetTextString(lua_State* state) {
    const std::string string = LookUpString(StringArgument(state, 3));
    if (const SPInterfaceText* text = TextArgument(state)) BuildText(*text, string);
    return 0;
}

int ScriptGetString(lua_State* state) {
    lua_pushstring(state, LookUpString(StringArgument(state, 1)).c_str());
    return 1;
}

int ScriptGetChar(lua_State* state) {
    const char character = static_cast<char>(IntArgument(state, 1) & 0xFF);
    lua_pushlstring(state, &character, character != 0 ? 1 : 0);
    return 1;
}

int ScriptSaveLog(lua_State* state) {
    lua_tostring(state, 1);
    return 0;
}

int ScriptIsFileExists(lua_State* state) {
    const std::string path = luaL_checkstring(state, 1);
    std::string resolved;
    lua_pushboolean(state, ResolveInsideGameFolder(path, resolved) && std::ifstream(resolved, std::ios::binary).good());
    return 1;
}

int ScriptGoURL(lua_State* state) {
    const std::string path = luaL_checkstring(state, 1);
    std::string resolved;
    const std::string address = ResolveInsideGameFolder(path, resolved) ? ShortcutAddress(resolved) : std::string();
    if (!platform::IsWebAddress(address)) {
        GetLog()->Print(0, "GoURL: %s is no shortcut to a web page inside the game's folder; nothing is opened\n",
                        path.c_str());
        return 0;
    }
    if (!platform::OpenWebPage(address)) GetLog()->Print(0, "GoURL: %s cannot be shown\n", address.c_str());
    return 0;
}

int ScriptGetTextureSize(lua_State* state) {
    const std::string path = luaL_checkstring(state, 1);
    CPFile file(path);
    SPImage image;
    std::string error;
    const bool decoded = !path.empty() && path.front() != '/' && file.Load() >= 0 && DecodeImage(file.GetData(), static_cast<size_t>(file.GetSize()), image, error);
    lua_pushnumber(state, decoded ? image.width : 0);
    lua_pushnumber(state, decoded ? image.height : 0);
    return 2;
}
