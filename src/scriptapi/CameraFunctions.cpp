#include "scriptapi/CameraFunctions.h"

#include <lua.hpp>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "scriptapi/ScriptArguments.h"

namespace {

constexpr int32_t kDefaultCameraLayer = 19;
constexpr float kDefaultFieldOfView = 0.17453293f;  // 10 degrees
constexpr float kDefaultNearClip = 10.0f;
constexpr float kDefaultFarClip = 500.0f;
// Straight above the origin, looking down with -y up on the screen.
constexpr PVector3 kDefaultEye{0.0f, 0.0f, 120.5f};
constexpr PVector3 kDefaultUp{0.0f, -1.0f, 0.0f};

}  // namespace

int ScriptSetDefaultCamera(lua_State*) {
    CPRender* render = GetRender();
    if (!render) return 0;
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    camera->SetEye(kDefaultEye);
    camera->SetTarget({0.0f, 0.0f, 0.0f});
    camera->SetUp(kDefaultUp);
    camera->SetFieldOfView(kDefaultFieldOfView);
    camera->SetNearClip(kDefaultNearClip);
    camera->SetFarClip(kDefaultFarClip);
    camera->UpdateMatrices();
    render->SetLayerCamera(kDefaultCameraLayer, camera);
    return 0;
}

int ScriptSetCameraPos(lua_State* state) {
    CPLevel* level = GetLevel();
    if (!level || !level->camera) return 0;
    level->camera->position = {FiniteArgument(state, 1), FiniteArgument(state, 2), FiniteArgument(state, 3)};
    level->camera->changed = true;
    return 0;
}

int ScriptSetCameraZAngle(lua_State* state) {
    CPLevel* level = GetLevel();
    if (level && level->camera) level->camera->SetHeading(static_cast<float>(lua_tonumber(state, 1)));
    return 0;
}

