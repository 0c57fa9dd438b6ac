#include "scriptapi/DirectionFunctions.h"

#include <lua.hpp>

#include <algorithm>
#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PRayQuery.h"
#include "Render/PRender.h"
#include "game/PLevel.h"
#include "math/PMatrix.h"
#include "script/ScriptNumbers.h"

namespace {

constexpr float kFullTurn = 6.2831855f;
constexpr float kStraight = 0.01f;  // a smaller turn is none
constexpr float kAligned = 0.5f;
constexpr float kProbeLength = 6.0f;
constexpr float kProbeSpread = 0.2617994f;  // 15 degrees
constexpr float kBlockedTurn = 0.5235988f;  // 30 degrees
constexpr uint32_t kProbeColour = 0xFFFFFF00u;

// The angle brought into [0, 2 pi]: what is not finite gives 0, a huge angle is first reduced.
float WrapAngle(float angle) {
    if (!std::isfinite(angle)) return 0.0f;
    if (std::fabs(angle) > kFullTurn) angle = std::fmod(angle, kFullTurn);
    while (angle < 0.0f) angle += kFullTurn;
    while (angle > kFullTurn) angle -= kFullTurn;
    return angle;
}

PVector3 RotatedAboutZ(const PVector3& v, float angle) { return Vec3TransformNormal(v, MatrixRotationZ(angle)); }

// The screen direction of arguments index and index + 1, truncated toward zero and normalised.
PVector3 DirectionArgument(lua_State* state, int index) {
    const float dx = static_cast<float>(IntArgument(state, index));
    const float dy = static_cast<float>(IntArgument(state, index + 1));
    return Vec3Normalize({dx, dy, 0.0f});
}

float PlayerHeading() {
    const CPLevel* level = GetLevel();
    return level ? WrapAngle(level->playerHeading) : 0.0f;
}

// Whether the probe ray from the car along the direction hits the level.
bool ProbeHits(CPLevel& level, CPGameObject& car, const PVector3& direction) {
    SPRayQuery query;
    query.skip = &car;
    query.origin = car.GetPosition();
    query.direction = direction;
    query.distance = kProbeLength;
    return level.CrossRay(query, false);
}

// The turn bent away from what blocks the way ahead of the car, if anything does.
void AvoidObstacle(CPLevel& level, CPGameObject& car, float heading, float& turn, bool& aligned) {
    const PVector3 ahead = RotatedAboutZ({0.0f, -1.0f, 0.0f}, turn + heading + kPi / 2.0f);
    const PVector3 right = RotatedAboutZ(ahead, -kProbeSpread);
    const PVector3 left = RotatedAboutZ(ahead, kProbeSpread);
    if (CPRender* render = GetRender()) {
        const PVector3 from = car.GetPosition();
        for (const PVector3& ray : {ahead, right, left}) render->AddLine(kProbeColour, from, from + ray * kProbeLength);
    }
    if (!ProbeHits(level, car, ahead)) return;
    aligned = false;
    if (!ProbeHits(level, car, right)) {
        turn += kProbeSpread;
    } else if (!ProbeHits(level, car, left)) {
        turn -= kProbeSpread;
    } else {
        turn -= kBlockedTurn;
    }
}

}  // namespace

int ScriptGetPlayerDirection(lua_State* state) {
    lua_pushnumber(state, PlayerHeading());
    return 1;
}

int ScriptGetMoveDirection(lua_State* state) {
    const PVector3 v = DirectionArgument(state, 1);
    float angle = std::acos(std::clamp(-v.y, -1.0f, 1.0f));
    if (v.x < 0.0f) angle = -angle;
    lua_pushnumber(state, WrapAngle(angle));
    return 1;
}

int ScriptGetRotateDirection(lua_State* state) {
    const PVector3 wanted = DirectionArgument(state, 3);
    const float heading = PlayerHeading();
    const PVector3 facing = RotatedAboutZ({0.0f, 1.0f, 0.0f}, heading);
    float angle = std::acos(std::clamp(Vec3Dot(facing, wanted), -1.0f, 1.0f));
    if (facing.y * wanted.x - facing.x * wanted.y < 0.0f) angle = -angle;
    float turn = std::fabs(angle) < kStraight ? 0.0f : angle;
    bool aligned = std::fabs(angle) < kAligned;
    CPLevel* level = GetLevel();
    if (level && level->playerCar) AvoidObstacle(*level, *level->playerCar, heading, turn, aligned);
    lua_pushnumber(state, turn);
    lua_pushboolean(state, aligned);
    return 2;
}
