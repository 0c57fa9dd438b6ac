#include "scriptapi/CameraFunctions.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "math/PMatrix.h"
#include "script/EngineFunctions.h"
#include "scriptapi/ScriptArguments.h"

namespace {

constexpr int32_t kDefaultCameraLayer = 19;
constexpr float kDefaultFieldOfView = 0.17453293f;  // 10 degrees
constexpr float kDefaultNearClip = 10.0f;
constexpr float kDefaultFarClip = 500.0f;
// Straight above the origin, looking down with -y up on the screen.
constexpr PVector3 kDefaultEye{0.0f, 0.0f, 120.5f};
constexpr PVector3 kDefaultUp{0.0f, -1.0f, 0.0f};

constexpr float kStraight = 0.01f;      // a smaller turn is none
constexpr float kAligned = 0.5f;
constexpr float kProbeLength = 6.0f;
constexpr float kProbeSpread = 0.2617994f;  // 15 degrees
constexpr uint32_t kProbeColour = 0xFFFFFF00u;

PVector3 RotatedAboutZ(const PVector3& v, float angle) { return Vec3TransformNormal(v, MatrixRotationZ(angle)); }

// The three probe rays of the obstacle test, drawn as debug lines from the player car.
void DrawProbe(const CPLevel& level, float direction) {
    CPRender* render = GetRender();
    if (!render || !level.playerCar) return;
    const CPGameObject& car = *level.playerCar;
    const PVector3 from = Vec3TransformCoord(car.GetPosition(), car.GetWorld());
    const PVector3 ahead = RotatedAboutZ({0.0f, -1.0f, 0.0f}, direction);
    for (float side : {0.0f, -kProbeSpread, kProbeSpread}) {
        const PVector3 ray = RotatedAboutZ(ahead, side);
        render->AddLine(kProbeColour, from, from + ray * kProbeLength);
    }
}

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

// The obstacle test of the probe rays needs the level's ray query, which levels do not have
// yet: the rays count as clear, so the turn is the plain one.
int ScriptGetRotateDirection(lua_State* state) {
    const float dx = static_cast<float>(IntArgument(state, 3));
    const float dy = static_cast<float>(IntArgument(state, 4));
    const CPLevel* level = GetLevel();
    const float heading = level ? level->playerHeading : 0.0f;
    const PVector3 wanted = Vec3Normalize({dx, dy, 0.0f});
    const PVector3 facing = RotatedAboutZ({0.0f, 1.0f, 0.0f}, heading);
    float angle = std::acos(std::clamp(Vec3Dot(facing, wanted), -1.0f, 1.0f));
    if (facing.y * wanted.x - facing.x * wanted.y < 0.0f) angle = -angle;
    const float turn = std::fabs(angle) < kStraight ? 0.0f : angle;
    const bool aligned = std::fabs(angle) < kAligned;
    if (level) DrawProbe(*level, turn + heading + kPi / 2.0f);
    lua_pushnumber(state, turn);
    lua_pushboolean(state, aligned);
    return 2;
}
