#include "game/PCamera.h"

#include <algorithm>
#include <cmath>

#include "Render/PRender.h"
#include "core/PGlobalTimer.h"
#include "math/PMathConstants.h"
#include "math/PMatrix.h"

namespace {

// The share of the way to the target heading the view turns per second: it settles behind a
// car that stops turning within about half a second.
constexpr float kFollowRate = 5.0f;

// The turn from one angle to the other the short way round, in (-pi, pi].
float ShortestTurn(float from, float to) {
    const float turn = WrapAngle(to - from);
    return turn > kPi ? turn - kTwoPi : turn;
}

}  // namespace

float WrapAngle(float angle) {
    if (!std::isfinite(angle)) return 0.0f;
    float wrapped = std::fmod(angle, kTwoPi);
    if (wrapped < 0.0f) wrapped += kTwoPi;
    // fmod of a value just below 0 can round back up to a full turn.
    return wrapped >= kTwoPi ? 0.0f : wrapped;
}

CPCamera::CPCamera() : renderCamera(new CPPerspectiveCamera) {
    renderCamera->SetFieldOfView(kFieldOfView);
    renderCamera->SetNearClip(kNearClip);
    renderCamera->SetFarClip(kFarClip);
    renderCamera->SetUp({0.0f, 1.0f, 0.0f});
}

bool CPCamera::SetHeading(float newHeading) {
    if (!std::isfinite(newHeading)) return false;
    heading = newHeading;
    changed = true;
    return true;
}

void CPCamera::Activate(int32_t layer) {
    if (CPRender* render = GetRender()) render->SetLayerCamera(layer, renderCamera);
}

void CPCamera::Update() {
    if (!changed && heading == targetHeading) return;
    const float dt = std::min(g_frameDelta, kMaxFrameDelta);
    angularSpeed = kFollowRate * ShortestTurn(heading, targetHeading);
    heading = WrapAngle(heading + angularSpeed * dt);

    const PVector3 at{position.x + offsetX, position.y, position.z};
    renderCamera->SetTarget(at);
    const float pitch = CameraZoom > 0.0f ? 0.0f : kPitch;
    const PMatrix turn = MatrixRotationY(pitch) * MatrixRotationZ(heading);
    const PVector4 eye = Vec3Transform({0.0f, 0.0f, distance}, turn);
    const PVector4 up = Vec3Transform({1.0f, 0.0f, 0.0f}, turn);
    renderCamera->SetEye(at + PVector3{eye.x, eye.y, eye.z});
    renderCamera->SetUp({up.x, up.y, up.z});
    renderCamera->UpdateMatrices();
}
