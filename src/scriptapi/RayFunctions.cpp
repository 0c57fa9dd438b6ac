#include "scriptapi/RayFunctions.h"

#include <lua.hpp>

#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRayQuery.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "math/PMatrix.h"
#include "script/ScriptHandles.h"

namespace {

constexpr float kInterfaceRayLength = 100000.0f;

bool IsFinite(const PVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void PushVector(lua_State* state, const PVector3& v) {
    lua_pushnumber(state, v.x);
    lua_pushnumber(state, v.y);
    lua_pushnumber(state, v.z);
}

PVector3 VectorArgument(lua_State* state, int first) {
    return {static_cast<float>(lua_tonumber(state, first)), static_cast<float>(lua_tonumber(state, first + 1)),
            static_cast<float>(lua_tonumber(state, first + 2))};
}

// The far point under the screen point, through the inverse view-projection; a point at infinity
// (w = 0) stands for its direction, seen from the eye.
PVector3 ViewRayDirection(const CPPerspectiveCamera& view, float sx, float sy) {
    const PVector4 far = Vec4Transform({2.0f * sx - 1.0f, 1.0f - 2.0f * sy, 1.0f, 1.0f}, view.GetInverseViewProjection());
    const PVector3 point{far.x, far.y, far.z};
    const PVector3 toward = far.w != 0.0f ? point * (1.0f / far.w) - view.GetEye() : point;
    const float length = Vec3Length(toward);
    return length > 0.0f && std::isfinite(length) ? toward * (1.0f / length) : PVector3{0.0f, 0.0f, -1.0f};
}

}  // namespace

int ScriptCrossPlayerRay(lua_State* state) {
    const PVector3 origin = VectorArgument(state, 1);
    const PVector3 vector = VectorArgument(state, 4);
    const float length = Vec3Length(vector);
    if (!(length > 0.0f) || !std::isfinite(length) || !IsFinite(origin)) {
        lua_pushboolean(state, true);
        PushVector(state, {0.0f, 0.0f, 0.0f});
        return 4;
    }
    const PVector3 direction = vector * (1.0f / length);
    CPLevel* level = GetLevel();
    if (!level) {
        lua_pushboolean(state, false);
        PushVector(state, direction);
        return 4;
    }
    SPRayQuery query;
    query.origin = origin;
    query.direction = direction;
    query.distance = length;
    const bool hit = level->CrossRayNoPlayer(query);
    lua_pushboolean(state, !hit);
    PushVector(state, hit ? direction : vector);
    return 4;
}

int ScriptCrossInterfaceRay(lua_State* state) {
    CPLevel* level = GetLevel();
    const TPtr<CPPerspectiveCamera> view = level && level->camera ? level->camera->GetRenderCamera() : nullptr;
    bool hit = false;
    const CPGameObject* owner = nullptr;
    float groundX = 0.0f;
    float groundY = 0.0f;
    if (view) {
        const PVector3 eye = view->GetEye();
        const PVector3 direction =
            ViewRayDirection(*view, static_cast<float>(lua_tonumber(state, 1)), static_cast<float>(lua_tonumber(state, 2)));
        SPRayQuery query;
        query.origin = eye;
        query.direction = direction;
        query.distance = kInterfaceRayLength;
        hit = level->CrossRay(query, true);
        owner = query.hitOwner.Get();
        const float t = direction.z != 0.0f ? eye.z / direction.z : 0.0f;
        groundX = eye.x - direction.x * t;
        groundY = eye.y - direction.y * t;
        if (!std::isfinite(groundX) || !std::isfinite(groundY)) {
            groundX = std::isfinite(eye.x) ? eye.x : 0.0f;
            groundY = std::isfinite(eye.y) ? eye.y : 0.0f;
        }
    }
    lua_pushboolean(state, hit);
    PushHandle(state, owner);
    lua_pushnumber(state, groundX);
    lua_pushnumber(state, groundY);
    lua_pushnumber(state, 0.0);
    return 5;
}
