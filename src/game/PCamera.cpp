#include "game/PCamera.h"

#include <algorithm>
#include <cmath>

#include "Render/PRender.h"
#include "core/PGlobalTimer.h"
#include "math/PMathConstants.h"
#include "math/PMatrix.h"

namespace {

// The view turns 45 degrees past the heading.
constexpr float kQuarterTurnHalf = 0.7853982f;
// How fast a turn eases off, per second.
constexpr float kTurnDamping = 5.7f;

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
    heading = WrapAngle(heading + angularSpeed * dt);
    angularSpeed *= 1.0f - kTurnDamping * dt;

    const PVector3 at{position.x + offsetX, position.y, position.z};
    renderCamera->SetTarget(at);
    const float pitch = CameraZoom > 0.0f ? 0.0f : kPitch;
    const PMatrix turn = MatrixRotationY(pitch) * MatrixRotationZ(heading - kQuarterTurnHalf);
    const PVector4 eye = Vec3Transform({0.0f, 0.0f, distance}, turn);
    const PVector4 up = Vec3Transform({1.0f, 0.0f, 0.0f}, turn);
    renderCamera->SetEye(at + PVector3{eye.x, eye.y, eye.z});
    renderCamera->SetUp({up.x, up.y, up.z});
    renderCamera->UpdateMatrices();
}
