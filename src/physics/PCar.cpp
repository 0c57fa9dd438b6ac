#include "physics/PCar.h"

#include <algorithm>
#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PParticleSpawnInfo.h"
#include "Render/PParticlesManager.h"
#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "platform/Random.h"

namespace {

const char* const kWheelNames[CPCar::kWheelCount] = {"fr", "lf", "rr", "lr"};
constexpr float kSensorHeight = 0.2f;
constexpr float kSensorLength = -2.5f;
constexpr float kSpring = -500.0f;
// Near critical for a car of physics mass 12 on these springs: it settles within a second.
constexpr float kDamper = 80.0f;
constexpr float kDamperTorqueShare = 0.2f;
constexpr float kFrontGrip = 240.0f * -4.0f;
constexpr float kRearGrip = 100.0f * -4.0f;
// Against the bodies' damping of 0.01 a step, four wheels take a car of mass 12 to 10 units/s.
constexpr float kDrive = 45.0f;
constexpr float kForwardLimit = 15.0f;
constexpr float kBackwardLimit = 30.0f;
constexpr float kDriveFloor = 0.1f;
constexpr float kDriveTorqueShare = -0.1f;
// The righting torque's lever.
constexpr float kLever = 200.0f;
// The steering torque's lever: a car of mass 12 at 10 units/s and an angle of 0.5 turns at
// about 1.3 rad/s, a circle of about four car lengths.
constexpr float kSteeringLever = 120.0f;
constexpr float kDustStep = 0.1f;
constexpr float kDustThreshold = 15.0f;
constexpr float kDustRateFloor = 0.2f;
constexpr float kDustSlowest = 0.5f;
constexpr float kDustFastest = 10.0f;

// A wheel's damping coefficient (damper, grip; negative: against the velocity) limited so that
// the wheel's force cancels at most its share of the body's velocity within one step: a light
// body is stopped, never thrown back.
float Capped(float coefficient, float bodyMass, float stepLength) {
    const float limit = bodyMass / CPCar::kWheelCount / stepLength;
    return std::clamp(coefficient, -limit, limit);
}

// Drive factor of a wheel whose contact moves at u along the body's y axis.
float DriveFactor(float u, float throttle) {
    float f = 0.0f;
    if (u >= 0.0f) {
        f = u > kForwardLimit ? -1.0f : (kForwardLimit - u) / kForwardLimit;
    } else {
        f = -u > kBackwardLimit ? -1.0f : (kBackwardLimit + u) / kBackwardLimit;
    }
    if (throttle == 1.0f) return 1.0f;
    return std::max(f, kDriveFloor);
}

void SpawnDust(const PhysicsVector& point) {
    CPParticlesManager* particles = GetParticlesManager();
    if (!particles) return;
    CPParticleSpawnInfo info;
    info.name = "pil";
    info.position = FromPhysics(point);
    info.velocity = {0.0f, 0.0f, 1.5f};
    info.acceleration = {0.0f, 0.0f, 0.0f};
    info.size = 0.5f;
    info.growth = 2.0f;
    info.life = 1.5f;
    info.fade = true;
    particles->SpawnEffect(info);
}

}  // namespace

PhysicsRigidBody* CPCar::Body() const {
    const TPtr<CPPhysicData>& data = m_owner->GetPhysicData();
    return data ? data->rigidBody : nullptr;
}

void CPCar::Setup() {
    PhysicsRigidBody* body = Body();
    if (!body) return;
    for (const char* name : kWheelNames) {
        const TPtr<CPGameObject> wheel = m_owner->GetChild(name);
        PhysicsSensor* sensor = wheel ? body->AddSensor() : nullptr;
        if (!sensor) continue;
        const PVector3& at = wheel->GetPosition();
        sensor->SetLine({at.x, at.y, kSensorHeight, 0.0f}, {0.0f, 0.0f, kSensorLength, 0.0f});
    }
    body->AddController(this, 0);
    m_owner->GetPhysicData()->SetupBody();
}

void CPCar::Detach() {
    PhysicsRigidBody* body = Body();
    if (!body) return;
    for (PhysicsController* controller = body->controllers.head; controller; controller = controller->next) {
        if (controller->callback != this) continue;
        controller->callback = nullptr;
        controller->SetForce({});
        controller->SetTorque({});
    }
}

void CPCar::ControllerStep(PhysicsController& controller, float stepLength) {
    PhysicsRigidBody* body = Body();
    if (!body) return;
    const PhysicsTransform transform = body->GetTransform();
    const PhysicsVector& yb = transform.axes.row[1];
    const PhysicsVector& zb = transform.axes.row[2];
    const PhysicsVector& position = transform.position;
    const float mass = body->GetMass();
    PhysicsVector force{};
    PhysicsVector torque{};
    float factorSum = 0.0f;
    bool contact[kWheelCount] = {};
    PhysicsVector contactPoint[kWheelCount];

    body->FirstSensor();
    int wheel = 0;
    for (PhysicsSensor* sensor = body->NextSensor(); sensor && wheel < kWheelCount; sensor = body->NextSensor(), ++wheel) {
        const float depth = sensor->GetDepth();
        if (!(depth > 0.0f)) continue;
        contact[wheel] = true;
        const PhysicsVector p = sensor->GetContactPoint();
        contactPoint[wheel] = p;
        // Spring.
        const PhysicsVector d = ToWorld(transform.axes, sensor->GetDirection());
        const PhysicsVector r = TransformPoint(transform, sensor->GetStart()) - position;
        const PhysicsVector spring = d * (depth * kSpring);
        force += spring;
        torque += Cross(r, spring);
        // Damper.
        const PhysicsVector n = sensor->GetNormal();
        const PhysicsVector damper = d * (Dot(n, body->GetVelocityAtPoint(r)) * Capped(kDamper, mass, stepLength));
        force += damper;
        torque += Cross(r, damper * kDamperTorqueShare);
        // Sideways grip.
        const PhysicsVector rc = p - position;
        const PhysicsVector vc = body->GetVelocityAtPoint(rc);
        const PhysicsVector vt = vc - n * Dot(n, vc);
        const PhysicsVector lateral = vt - yb * Dot(vt, yb);
        PhysicsVector grip{};
        if (wheel < 2) {
            const float length = Length(lateral);
            if (length != 0.0f) grip = lateral * Capped(kFrontGrip / length, mass, stepLength);
        } else {
            grip = lateral * Capped(kRearGrip * (1.0f - rearGripFactor), mass, stepLength);
        }
        force += grip;
        torque.z += Cross(rc, grip).z;
        // Drive.
        const float f = DriveFactor(Dot(vc, yb), throttle);
        factorSum += f;
        const PhysicsVector drive = PhysicsVector{-yb.x, -yb.y, 0.0f, 0.0f} * (f * throttle * kDrive);
        force += drive;
        torque += Cross(rc, drive * kDriveTorqueShare);
    }

    // Steering.
    const PhysicsVector w = ToWorld(
        transform.axes, {kSteeringLever * std::sin(steeringAngle), -kSteeringLever * std::cos(steeringAngle), 0.0f, 0.0f});
    const PhysicsVector a = yb * -kSteeringLever;
    const float sign = throttle < 0.0f ? -1.0f : 1.0f;
    torque += Cross(w, a) * (sign * std::fabs(steeringAngle));
    // Righting.
    const PhysicsVector u = zb * -kLever;
    const PhysicsVector v{0.0f, 0.0f, kLever, 0.0f};
    const float theta = std::acos(std::clamp(Dot(u, v), -1.0f, 1.0f));
    torque += Cross(v, u) * std::fabs(theta);

    for (float& timer : dustTimers) timer += platform::RandUnit() * kDustStep + stepLength;
    float rate = throttle == 0.0f ? 1.0f : (1.0f - factorSum * 0.5f) * 0.5f;
    speed = Length(body->GetVelocity());
    if ((speed > kDustSlowest && speed < kDustFastest) || throttle != 0.0f) {
        rate = std::max(rate, kDustRateFloor);
        const float limit = kDustThreshold * rate;
        for (int i = 0; i < kWheelCount; ++i) {
            if (dustTimers[i] <= limit) continue;
            dustTimers[i] = 0.0f;
            if (contact[i]) SpawnDust(contactPoint[i]);
        }
    }
    controller.SetForce(force);
    controller.SetTorque(torque);
}
