#include "scriptapi/HudFunctions.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/PGlobalTimer.h"
#include "core/SettingsVariables.h"
#include "game/PCamera.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "interface/HudArrows.h"
#include "interface/PFontManager.h"
#include "interface/PInterface.h"
#include "Render/PPerspectiveCamera.h"
#include "script/PScriptManager.h"
#include "script/ScriptHandles.h"
#include "scriptapi/InterfaceArgument.h"

namespace {

constexpr float kCheckPointBlink = 0.25f;
constexpr float kTargetBlink = 0.5f;
constexpr int kTargetArrows = 10;

// The HUD's state between calls.
int g_missionTextShown = 0;
float g_checkPointArrowTimer = 0.0f;
float g_targetArrowTimer = 0.0f;
bool g_targetArrowsOn = false;

std::string StringArgument(lua_State* state, int index) {
    const char* text = lua_tostring(state, index);
    return text ? text : "";
}

void SetVisible(CPInterface& hud, const std::string& name, bool visible) {
    if (CPWindow* window = hud.FindElement(name)) window->SetVisible(visible);
}

// A count for the HUD's texts: truncated, kept to what three digits show, 0 for no number.
int Count(float value) { return std::isfinite(value) ? static_cast<int>(std::clamp(value, -999.0f, 999.0f)) : 0; }

void SetText(CPInterface& hud, const std::string& name, const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof(text), format, value);
    hud.SetTextString(name, text);
}

// Places the window at the other's position and shows it.
void MoveOnto(CPInterface& hud, const std::string& name, const std::string& place) {
    CPWindow* window = hud.FindElement(name);
    const CPWindow* anchor = hud.FindElement(place);
    if (!window) return;
    if (anchor) {
        window->x = anchor->x;
        window->y = anchor->y;
    }
    window->SetVisible(true);
}

// Where the arrow toward the target sits and how it turns; false when the target is on screen
// or no arrow can point at it.
bool ArrowToTarget(const CPLevel& level, const PVector3& target, const PVector3& car, float& x, float& y, float& angle) {
    const TPtr<CPPerspectiveCamera> camera = level.camera ? level.camera->GetRenderCamera() : nullptr;
    const PVector3 margin{1.0f, 1.0f, 1.0f};
    if (camera && camera->TestBox(target - margin, target + margin)) return false;
    return ArrowToward(target, car, g_screenWidth, g_screenHeight, x, y, angle);
}

void PlaceArrow(CPInterface& hud, const std::string& name, float x, float y, float angle) {
    if (CPWindow* arrow = hud.FindElement(name)) {
        arrow->x = x;
        arrow->y = y;
        arrow->angle = angle;
    }
}

void ToggleVisible(CPInterface& hud, const std::string& name) {
    if (CPWindow* window = hud.FindElement(name)) window->SetVisible(!window->IsVisible());
}

void UpdateCheckPointArrow(CPInterface& hud, const CPLevel& level, CPGameData* data, const PVector3* target,
                           const PVector3& car) {
    if (!target) {
        SetVisible(hud, "arrow", false);
        g_checkPointArrowTimer = 0.0f;
        g_missionTextShown = 0;
        return;
    }
    if (g_missionTextShown < 1) {
        const std::string key = data && data->mission != 0 ? "gtpg" : "gtnl";
        const std::string text = data ? data->strings[key] : std::string();
        if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName("gamemenu", "mission_text", text);
        ++g_missionTextShown;
    }
    float x = 0.0f, y = 0.0f, angle = 0.0f;
    if (!ArrowToTarget(level, *target, car, x, y, angle)) {
        g_checkPointArrowTimer = 0.0f;
        SetVisible(hud, "arrow", false);
        return;
    }
    PlaceArrow(hud, "arrow", x, y, angle);
    g_checkPointArrowTimer += g_frameDelta;
    if (g_checkPointArrowTimer >= kCheckPointBlink) {
        g_checkPointArrowTimer = 0.0f;
        ToggleVisible(hud, "arrow");
    }
}

std::string ArrowName(int number) { return "arrow" + std::to_string(number); }

// One arrow per off-screen target of the current stage, then of the current check point, up to ten.
void UpdateTargetArrows(CPInterface& hud, const CPLevel& level, const CPGameData* data, const PVector3& car) {
    g_targetArrowTimer += g_frameDelta;
    int arrow = 1;
    if (data && data->mission != 0) {
        for (const auto* lists : {&level.stageTargetObjects, &level.checkPointTargetObjects}) {
            const int index = lists == &level.stageTargetObjects ? level.stageIndex : level.checkPointIndex;
            if (index < 0 || index >= static_cast<int>(lists->size())) continue;
            for (const TPtr<CPGameObject>& object : (*lists)[static_cast<size_t>(index)]) {
                if (!object) continue;
                if (arrow > kTargetArrows) break;
                float x = 0.0f, y = 0.0f, angle = 0.0f;
                if (!ArrowToTarget(level, object->GetPosition(), car, x, y, angle)) continue;
                if (arrow == 1 && g_targetArrowTimer >= kTargetBlink) {
                    g_targetArrowTimer = 0.0f;
                    g_targetArrowsOn = !g_targetArrowsOn;
                }
                PlaceArrow(hud, ArrowName(arrow), x, y, angle);
                SetVisible(hud, ArrowName(arrow), g_targetArrowsOn);
                ++arrow;
            }
        }
    }
    for (; arrow <= kTargetArrows; ++arrow) SetVisible(hud, ArrowName(arrow), false);
}

// The window that shows a weapon: upgrades share their base weapon's window.
std::string WeaponWindow(const std::string& weapon) {
    for (const char* base : {"hmgun", "ssrlauncher", "firethrower"}) {
        const std::string name = base;
        if (weapon == name + "2" || weapon == name + "3") return name;
    }
    return weapon;
}

void UpdateWeapons(CPInterface& hud, const SPCarSetup& setup, const CPPlayerCar& car) {
    for (int slot = 0; slot < 3; ++slot) {
        const std::string& weapon = setup.weapons[static_cast<size_t>(slot)];
        if (weapon.empty() || car.currentWeapon != slot) continue;
        MoveOnto(hud, WeaponWindow(weapon), "slot2");
        const int level = setup.weaponLevels[static_cast<size_t>(slot)];
        for (int point = 1; point <= 4; ++point) SetVisible(hud, "point" + std::to_string(point), point <= level);
    }
}

void UpdateMines(CPInterface& hud, const CPPlayerCar& car) {
    if (!car.hasMineLayer) {
        SetVisible(hud, "no_mina", true);
        hud.SetTextString("mines", "00");
        return;
    }
    SetVisible(hud, "mines", true);
    SetText(hud, "mines", "%02d", Count(static_cast<float>(car.mineInfo.capacity) * car.mineFill));
    MoveOnto(hud, car.mineName, "no_mina");
    SetVisible(hud, "mines", true);
}

void UpdateCursor(CPInterface& hud, const CPPlayerCar& car) {
    if (hud.GetCursorName().empty()) return;
    const int kind = car.weaponKind;
    if (kind >= 2 && kind <= 4) {
        hud.SetCursorObject("fire");
    } else if (kind >= 5 && kind <= 7) {
        hud.SetCursorObject("rocket");
    } else if (kind >= 9 && kind <= 11) {
        hud.SetCursorObject("plazma");
    }
}

void UpdateHud(CPInterface& hud, const CPLevel& level, const CPPlayerCar& car, const PVector3* checkPoint) {
    CPGameData* data = GetGameData();
    for (const char* name : {"hmgun", "ssrlauncher", "firethrower", "contact", "no_mina", "slot2", "super1"}) {
        SetVisible(hud, name, false);
    }
    const PVector3 carPosition = car.GetPosition();
    UpdateCheckPointArrow(hud, level, data, checkPoint, carPosition);
    UpdateTargetArrows(hud, level, data, carPosition);
    static const SPCarSetup kNoSetup;
    const SPCarSetup& setup = data ? data->committedSetup : kNoSetup;
    SetVisible(hud, "super1", true);
    SetText(hud, "bombs", "%02d", setup.superWeaponCount);
    SetVisible(hud, "green3", setup.superWeapon == "super2" || setup.superWeapon == "super3");
    SetVisible(hud, "green4", setup.superWeapon == "super3");
    SetText(hud, "life", "%03d", car.maxHealth > 0.0f ? Count(car.health / car.maxHealth * 100.0f) : 0);
    UpdateWeapons(hud, setup, car);
    UpdateMines(hud, car);
    UpdateCursor(hud, car);
    hud.BuildGeometry();
}

}  // namespace

int ScriptUpdateGameInterface(lua_State* state) {
    if (CameraZoom > 0.0f) return 0;
    CPLevel* level = GetLevel();
    PVector3 checkPoint{};
    const bool hasCheckPoint = level && level->currentCheckPoint && level->nextCheckPoint != level->checkPoints.end() &&
                               level->nextCheckPoint->object;
    if (hasCheckPoint) checkPoint = level->nextCheckPoint->object->GetPosition();
    CPInterface* hud = InterfaceArgument(state, 1);
    CPPlayerCar* car = level ? level->GetPlayerCar() : nullptr;
    if (!hud || !car) return 0;
    UpdateHud(*hud, *level, *car, hasCheckPoint ? &checkPoint : nullptr);
    return 0;
}

int ScriptInitGameInterface(lua_State* state) {
    lua_touserdata(state, 1);
    return 0;
}

int ScriptSetCursor(lua_State* state) {
    const std::string name = luaL_checkstring(state, 2);
    if (CPInterface* hud = InterfaceArgument(state, 1)) hud->SetCursorObject(name);
    return 0;
}

int ScriptGetCursor(lua_State* state) {
    const CPInterface* hud = InterfaceArgument(state, 1);
    lua_pushstring(state, hud ? hud->GetCursorName().c_str() : "");
    return 1;
}

int ScriptEngineState(lua_State* state) {
    CPInterface* hud = InterfaceArgument(state, 1);
    const CPGameData* data = GetGameData();
    if (hud && data && !data->committedSetup.engine.empty()) {
        SetVisible(*hud, data->committedSetup.engine, lua_toboolean(state, 2) != 0);
    }
    return 0;
}

int ScriptGetWindowPosition(lua_State* state) {
    CPInterface* hud = InterfaceArgument(state, 1);
    const CPWindow* window = hud ? hud->FindElement(StringArgument(state, 2)) : nullptr;
    lua_pushnumber(state, window ? window->x : 0.0f);
    lua_pushnumber(state, window ? window->y : 0.0f);
    return 2;
}

int ScriptGetTextPosition(lua_State* state) {
    CPInterface* hud = InterfaceArgument(state, 1);
    const SPInterfaceText* text = hud ? hud->FindText(StringArgument(state, 2)) : nullptr;
    lua_pushnumber(state, text ? text->x : 0.0f);
    lua_pushnumber(state, text ? text->y : 0.0f);
    return 2;
}
