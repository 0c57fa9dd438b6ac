// The car model: what one controller step makes of the four wheel sensors and the controls.
#include "physics/PCar.h"
#include "world_fixture.h"

namespace {

class CarTest : public PhysicsWorldTest {
protected:
    void SetUp() override {
        PhysicsWorldTest::SetUp();
        m_car = ShapeObject({0.0f, 0.0f, 0.0f}, 13.3f);
        const PVector3 wheels[4] = {{0.8f, -1.2f, 0.0f}, {-0.8f, -1.2f, 0.0f}, {0.8f, 1.2f, 0.0f}, {-0.8f, 1.2f, 0.0f}};
        const char* names[4] = {"fr", "lf", "rr", "lr"};
        for (int i = 0; i < 4; ++i) {
            TPtr<CPGameObject> wheel(new CPGameObject(names[i]));
            wheel->SetPosition(wheels[i]);
            m_car->AddChild(wheel);
        }
        m_car->GetPhysicData()->AddToWorld();
        Physics().CreateCar(m_car);
        ASSERT_TRUE(Car().Body());
    }
    void TearDown() override {
        m_car = nullptr;
        PhysicsWorldTest::TearDown();
    }

    struct Driven {
        CPCar& car;
        PhysicsRigidBody* body;
        PhysicsController* controller;
        CPCar* operator->() { return &car; }
        PhysicsRigidBody* Body() { return body; }
    };
    Driven Car() {
        PhysicsRigidBody* body = m_car->GetPhysicData()->rigidBody;
        return {*m_car->GetCar(), body, body ? body->controllers.head : nullptr};
    }
    // Every sensor of the body sees flat ground at the given depth below its start.
    void Ground(float depth) {
        PhysicsRigidBody* body = Car().body;
        for (PhysicsSensor* s = body->sensors.head; s; s = s->next) {
            s->depth = depth;
            s->normal = {0.0f, 0.0f, 1.0f, 0.0f};
            s->contactPoint = TransformPoint(body->GetTransform(), s->GetStart()) + PhysicsVector{0.0f, 0.0f, -depth, 0.0f};
        }
    }
    // One controller step; the force and torque it gives.
    std::pair<PhysicsVector, PhysicsVector> Step() {
        Driven car = Car();
        car.car.ControllerStep(*car.controller, CPPhysics::kStepLength);
        return {car.controller->GetForce(), car.controller->GetTorque()};
    }

    TPtr<CPGameObject> m_car;
};

TEST_F(CarTest, FourWheelSensorsAndAControllerAreMade) {
    EXPECT_EQ(Simulator().SensorPool().UsedCount(), 4);
    const PhysicsSensor* first = Car().body->sensors.head;
    EXPECT_FLOAT_EQ(first->GetStart().x, 0.8f) << "the first sensor is the wheel \"fr\"";
    EXPECT_FLOAT_EQ(first->GetStart().z, 0.2f);
    EXPECT_FLOAT_EQ(first->GetDirection().z, -1.0f);
    EXPECT_EQ(Car().controller->callback, &Car().car);
    EXPECT_FLOAT_EQ(Car().body->linearDamping, 0.01f) << "the body is set up";
}

TEST_F(CarTest, AtRestWithoutThrottleOnlyTheSpringsPush) {
    Ground(0.5f);
    const auto [force, torque] = Step();
    EXPECT_FLOAT_EQ(force.z, 4 * 0.5f * 500.0f);
    EXPECT_FLOAT_EQ(force.x, 0.0f);
    EXPECT_FLOAT_EQ(force.y, 0.0f);
    EXPECT_NEAR(torque.x, 0.0f, 1e-3f) << "the wheels stand symmetrically";
    EXPECT_NEAR(torque.z, 0.0f, 1e-3f);
    EXPECT_GT(Car()->dustTimers[3], 0.0f) << "the dust timers run";
    EXPECT_FLOAT_EQ(Car()->speed, 0.0f);
}

TEST_F(CarTest, TheDriveFactorFollowsTheSpeedCurveExceptAtFullThrottle) {
    struct Case {
        float throttle;
        float velocityY;  // along the body's y axis; forward is -y
        float expectedForceY;
    };
    const Case cases[] = {
        {1.0f, 0.0f, -4 * 45.0f},
        {1.0f, 40.0f, -4 * 45.0f},             // beyond the limit: full throttle still pulls with 1
        {0.4f, 0.0f, -4 * 0.4f * 45.0f},       // factor 1 at rest
        {0.4f, 14.5f, -4 * 0.1f * 0.4f * 45.0f},  // the curve gives 1/30, raised to the floor of 0.1
        {-1.0f, -15.0f, 4 * 0.5f * 45.0f},     // backwards: the curve of 30
    };
    for (const Case& c : cases) {
        Ground(0.5f);
        Car()->throttle = c.throttle;
        Car().body->SetVelocity({0.0f, c.velocityY, 0.0f, 0.0f});
        EXPECT_NEAR(Step().first.y, c.expectedForceY, 1e-4f) << c.throttle << " at " << c.velocityY;
    }
}

TEST_F(CarTest, SteeringTurnsTheOtherWayInReverseAndNeedsNoGround) {
    Car()->steeringAngle = 0.3f;
    Car()->throttle = 1.0f;
    const float forward = Step().second.z;
    Car()->throttle = -1.0f;
    const float reverse = Step().second.z;
    EXPECT_NE(forward, 0.0f) << "no wheel touches the ground";
    EXPECT_FLOAT_EQ(reverse, -forward);
    // |a| × (w × A) with w = 120 (sin a, -cos a) and A = (0, -120): 14400 × 0.3 × sin 0.3.
    EXPECT_NEAR(std::fabs(forward), 14400.0f * 0.3f * std::sin(0.3f), 1.0f);
}

TEST_F(CarTest, GripStopsASidewaysSlideWithinAStepButNeverThrowsItBack) {
    Ground(0.5f);
    Car().body->SetVelocity({1.0f, 0.0f, 0.0f, 0.0f});
    const auto [force, torque] = Step();
    // A front wheel's 960 would reverse the slide: each wheel cancels at most a quarter of the car.
    const float frontLimit = 13.3f / 4.0f / CPPhysics::kStepLength;
    EXPECT_NEAR(force.x, -2.0f * frontLimit - 2.0f * 400.0f, 0.5f);
    EXPECT_FLOAT_EQ(force.z, 4 * 0.5f * 500.0f) << "no vertical motion to damp";
}

TEST_F(CarTest, AFifthSensorIsIgnored) {
    Ground(0.5f);
    const float four = Step().first.z;
    PhysicsSensor* fifth = Car().body->AddSensor();
    fifth->SetLine({0.0f, 0.0f, 0.2f, 0.0f}, {0.0f, 0.0f, -2.5f, 0.0f});
    Ground(0.5f);
    EXPECT_FLOAT_EQ(Step().first.z, four);
}

TEST_F(CarTest, OnlyACarTheRightWayUpIsRighted) {
    const float half = 0.70710678f;
    Car().body->SetRotation({half, 0.0f, 0.0f, half});  // on its side
    EXPECT_GT(std::fabs(Step().second.x), 1000.0f);
    Car().body->SetRotation({1.0f, 0.0f, 0.0f, 0.0f});  // upside down
    EXPECT_NEAR(Step().second.x, 0.0f, 1e-3f);
}

TEST_F(CarTest, ANewCarReplacesTheOldOneOnTheBody) {
    CPCar* old = m_car->GetCar().Get();
    Physics().CreateCar(m_car);
    EXPECT_NE(m_car->GetCar().Get(), old);
    for (PhysicsController* c = Car().body->controllers.head; c; c = c->next) EXPECT_NE(c->callback, old);
    Physics().SetCarControl(m_car, 1.0f, 0.2f);
    EXPECT_FLOAT_EQ(Car()->throttle, 1.0f);
    EXPECT_FLOAT_EQ(Car()->steeringAngle, 0.2f);
}

TEST_F(CarTest, ACarOnAWorldThatWasRebuiltIsReplacedWithoutTouchingTheOldWorld) {
    Physics().Init();  // the old simulator and its controllers are freed
    EXPECT_FALSE(m_car->GetPhysicData()->GetBody());
    m_car->GetPhysicData()->AddToWorld();
    CPCar* old = m_car->GetCar().Get();
    Physics().CreateCar(m_car);
    EXPECT_NE(m_car->GetCar().Get(), old);
    ASSERT_TRUE(Car().controller);
    EXPECT_EQ(Car().controller->callback, &Car().car);
    EXPECT_FALSE(Car().controller->next) << "one controller: the new car's";
}

}  // namespace
