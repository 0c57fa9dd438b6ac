// The weapon objects in a small scene: what tracers, rockets, explosions and plasma hit, damage
// and push, and how the homing shots turn.
#include <cmath>
#include <memory>
#include <string>

#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "Render/PSprite.h"
#include "weapons/PGExplosion.h"
#include "weapons/PPlazma.h"
#include "weapons/PRocket.h"
#include "weapons/PSExplosion.h"
#include "weapons/PTrasser.h"
#include "weapons_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kAlongX{1.0f, 0.0f, 0.0f};

template <class T>
T* Live(const CPWeaponsSystem& weapons, size_t i = 0) {
    return dynamic_cast<T*>(weapons.GetLiveObjects().at(i).Get());
}

// The weapons fixture with a physics world, for the objects that are pushed.
class WeaponPhysicsTest : public WeaponsTest {
protected:
    void SetUp() override {
        WeaponsTest::SetUp();
        m_physics = new CPPhysics;
        m_physics->Init();
    }
    void TearDown() override {
        m_physics = nullptr;
        WeaponsTest::TearDown();
    }

    // A target whose unit-mass rigid body (a box of side 2, like its part) is in the world.
    TPtr<CPGameObject> LooseTarget(const PVector3& position) {
        TPtr<CPGameObject> object = Target(position);
        TPtr<CPPhysicData> data(new CPPhysicData(object.Get()));
        data->mass = 1.0f;
        data->mainSizes = {2.0f, 2.0f, 2.0f};
        CPPhysicShape shape;
        shape.s0 = shape.s1 = shape.s2 = shape.s3 = 2.0f;
        data->shapes.push_back(shape);
        object->SetPhysicData(data);
        data->AddToWorld();
        return object;
    }

    static PVector3 Velocity(const CPGameObject& object) {
        return FromPhysics(object.GetPhysicData()->rigidBody->GetVelocity());
    }

    TPtr<CPPhysics> m_physics;
};

TEST_F(WeaponPhysicsTest, ATracerHitsABoxWithItsDamageAndPushAndThenShortensToItsEnd) {
    Load("t trasser player;100;5;0.1;t;e;22;x;10;-1;none\n");
    TPtr<CPGameObject> box = LooseTarget({4.5f, 0.0f, 0.0f});
    Spawn("t", kOrigin, kAlongX);
    const CPTrasser* tracer = Live<CPTrasser>(*m_weapons);
    Frame(0.01f);  // ray 3 units: nothing yet
    EXPECT_EQ(tracer->GetState(), CPTrasser::kFlying);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);
    Frame(0.01f);  // from x = 1 the ray meets the face at x = 3.5
    EXPECT_EQ(tracer->GetState(), CPTrasser::kStopped);
    EXPECT_NEAR(tracer->GetHead().x, 3.5f, 1e-4f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 5.0f);
    // Impulse 3 × 10 along the ray on a body of mass 1.
    EXPECT_NEAR(Velocity(*box).x, 30.0f, 1e-3f);
    int frames = 0;
    while (!m_weapons->GetLiveObjects().empty() && frames < 100) Frame(0.01f), ++frames;
    EXPECT_LT(frames, 100);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 5.0f);
}

TEST_F(WeaponsTest, AnEnemyTracerDamagesOnlyThePlayersCarAndALaunchDamageLastsForThatLaunchAlone) {
    Load("e trasser enemy;100;5;0.1;t;e;22;x;10;-1;none\np trasser player;100;5;0.1;t;e;22;x;10;-1;none\n");
    TPtr<CPGameObject> box = Target({3.0f, 0.0f, 0.0f});
    Spawn("e", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);

    m_weapons->Spawn("p", kOrigin, kAlongX, 0.0f, nullptr, nullptr, false);
    for (int i = 0; i < 20; ++i) Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);
    Spawn("p", kOrigin, kAlongX);  // the same pooled tracer, with its own damage again
    Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 5.0f);
}

TEST_F(WeaponsTest, SplashesAndSparksFinishOnTheirFirstUpdateEvenWithTinySteps) {
    Load("tiny blood spot;x;3;0;1e-30;30\ndown sparks s;5;0.1;5;30;1;0.5;none\n");
    Spawn("tiny", kOrigin, kAlongX);
    Spawn("down", kOrigin, {0.0f, 0.0f, -1.0f});
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), 2u);
    Frame(0.01f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
}

TEST_F(WeaponsTest, ALobbedRocketPeaksWhenGravityStopsItsClimbAndBurstsAtHeightZero) {
    // Elevation 0.5 rad at speed 20: vertical speed 9.59; peak after v / 9.8 clock seconds.
    Load("lob rocket m;player;20;7;boom;s;1;1;0.1;0;none\n"
         "boom s_explosion f;;g;1;2;3;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n");
    Spawn("lob", kOrigin, {1.0f, 0.0f, 0.5f});
    const CPRocket* rocket = Live<CPRocket>(*m_weapons);
    const float vertical = 20.0f * std::sin(0.5f);
    float highest = 0.0f;
    float peakTime = 0.0f;
    int frames = 0;
    while (Live<CPRocket>(*m_weapons) == rocket && frames < 1000) {
        Frame(0.001f);
        ++frames;
        if (rocket->GetPosition().z > highest) {
            highest = rocket->GetPosition().z;
            peakTime = frames * 0.001f;
        }
    }
    EXPECT_NEAR(peakTime, vertical / 19.6f, 0.002f);
    EXPECT_NEAR(highest, vertical * vertical / 19.6f, 0.01f);
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    const auto* boom = Live<CPSExplosion>(*m_weapons);
    ASSERT_NE(boom, nullptr);
    EXPECT_EQ(boom->GetPosition().z, 0.0f);
    EXPECT_FLOAT_EQ(boom->GetDamageOverride(), 7.0f);
}

TEST_F(WeaponsTest, ARocketWithoutAHorizontalDirectionStillFliesAndBursts) {
    Load("lob rocket m;player;20;7;x;s;1;1;0;0;none\n");
    Spawn("lob", kOrigin, {0.0f, 0.0f, 1.0f});
    const CPRocket* rocket = Live<CPRocket>(*m_weapons);
    EXPECT_EQ(rocket->GetLaunchDirection(), (PVector3{0.0f, 1.0f, 0.0f}));
    int frames = 0;
    while (!m_weapons->GetLiveObjects().empty() && frames < 10000) Frame(0.01f), ++frames;
    EXPECT_LT(frames, 10000);
    EXPECT_TRUE(std::isfinite(rocket->GetPosition().y));
}

TEST_F(WeaponsTest, ASeekingRocketStrikesWhatItsRayMeetsAndBurstsAThirdOfTheWayThere) {
    // Speed 100, look-ahead 0.5: a frame of 0.01 s reaches 3 × (1 + 0.5) = 4.5 units ahead.
    Load("s s_rocket m;player;100;7;boom;smoke;1;1;0.1;0.5;none\nboom simple m;player;1;2;n;none\n");
    TPtr<CPGameObject> box = Target({6.0f, 0.0f, 0.0f});  // its face at x = 5
    Spawn("s", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);
    EXPECT_NEAR(Live<CPSRocket>(*m_weapons)->GetPosition().x, 1.0f, 1e-5f);
    Frame(0.01f);  // from x = 1 the ray meets the face 4 units on
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 7.0f);
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    const auto* boom = Live<CPWeaponObject>(*m_weapons);
    EXPECT_EQ(boom->GetName(), "boom");
    EXPECT_NEAR(boom->GetLaunchPosition().x, 1.0f + 4.0f / 3.0f, 1e-4f);
    EXPECT_FLOAT_EQ(boom->GetDamageOverride(), 7.0f);
    EXPECT_TRUE(boom->GetSuperFlag()) << "a player's rocket bursts with the super flag";
}

TEST_F(WeaponsTest, ASeekingRocketEndsPast90UnitsWithoutABurstEvenInTheFrameItsRayMeetsSomething) {
    // Speed 80 and frames of 0.125 s: steps of 10 units, the ray 31.5 long.
    Load("s s_rocket m;player;80;7;boom;smoke;1;1;0.1;0.5;none\nboom simple m;player;1;2;n;none\n");
    for (const bool target : {false, true}) {
        SCOPED_TRACE(target ? "a box first met from 90 units" : "nothing in the way");
        // Its face at 112: out of reach from 80, met from 90 (the step would end past 90).
        TPtr<CPGameObject> box = target ? Target({113.0f, 0.0f, 0.0f}) : nullptr;
        Spawn("s", kOrigin, kAlongX);
        for (int i = 0; i < 9; ++i) Frame(0.125f);
        ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
        EXPECT_NEAR(Live<CPSRocket>(*m_weapons)->GetPosition().x, 90.0f, 1e-4f);
        Frame(0.125f);
        EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
        if (box) {
            EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);
        }
        m_world.objects.clear();
    }
}

TEST_F(WeaponsTest, AnExplosionDamagesOnlyInsideItsReachAndInTheLineOfFire) {
    // Size 4: reach 6. Damage strength 3: (6 - distance) × 3.
    Load("boom s_explosion f;;g;1;0;3;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n");
    TPtr<CPGameObject> near = Target({3.0f, 0.0f, 0.0f});
    TPtr<CPGameObject> far = Target({0.0f, 8.0f, 0.0f});
    TPtr<CPGameObject> hidden = Target({-5.5f, 0.0f, 0.0f});
    TPtr<CPGameObject> shield = Target({-3.0f, 0.0f, 0.0f});
    Spawn("boom", kOrigin, kAlongX);
    EXPECT_FLOAT_EQ(near->GetHealth(), kHealth - 9.0f);
    EXPECT_FLOAT_EQ(far->GetHealth(), kHealth);
    EXPECT_FLOAT_EQ(hidden->GetHealth(), kHealth);
    EXPECT_FLOAT_EQ(shield->GetHealth(), kHealth - 9.0f);
}

TEST_F(WeaponsTest, AnExplosionLivesForItsFramesAndFacesTheCameraWithAnOpaqueGlowAtFirst) {
    // 4 × 2 frames at 16 per second: 0.5 s.
    Load("boom s_explosion f;;g;1;0;0;4;2;16;4;2;0.5;1;1,1,1;b;0;c;0;m;none\n");
    m_world.eye = {0.0f, 0.0f, -50.0f};
    Spawn("boom", kOrigin, kAlongX);
    const CPSExplosion* boom = Live<CPSExplosion>(*m_weapons);
    ASSERT_EQ(boom->GetFlashSprites().size(), 2u);
    Frame(0.0625f);
    EXPECT_EQ(boom->GetGlowSprite()->GetColour() >> 24, 255u);
    const PVector3 facing = Vec3TransformNormal({0.0f, 0.0f, 1.0f}, MatrixRotationQuaternion(boom->GetRotation()));
    EXPECT_NEAR(facing.z, -1.0f, 1e-5f);
    EXPECT_TRUE(std::isfinite(boom->GetRotation().w));
    int frames = 1;
    while (!m_weapons->GetLiveObjects().empty()) Frame(0.0625f), ++frames;
    EXPECT_EQ(frames, 9);
}

TEST_F(WeaponPhysicsTest, APlasmaBoltPushesALooseBoxBy150AlongTheRay) {
    Load("bolt s_plazma player;100;4;0.5;t;e;22;0;0;0;0;0;x;none\n");
    TPtr<CPGameObject> box = LooseTarget({3.0f, 0.0f, 0.0f});
    Spawn("bolt", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_NEAR(Velocity(*box).x, 150.0f, 1e-3f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 4.0f);
}

TEST_F(WeaponsTest, APlayersBoltEndsAfter15UnitsAndAnEnemysAfter60) {
    Load("p s_plazma player;100;4;0.5;t;e;22;0;0;0;0;0;x;none\ne s_plazma enemy;100;4;0.5;t;e;22;0;0;0;0;0;x;none\n");
    for (const auto& [name, frames] : {std::pair{"p", 16}, std::pair{"e", 61}}) {
        Spawn(name, kOrigin, kAlongX);
        int lived = 0;
        while (!m_weapons->GetLiveObjects().empty()) Frame(0.01f), ++lived;
        EXPECT_EQ(lived, frames) << name;
    }
}

TEST_F(WeaponsTest, AChargeRidesOnItsSourceContractsAndFiresItsBolt) {
    Load("charge plazma 0.5;2;3;0;t;e;0.3;2;2;0.1;bolt;none\nbolt s_plazma player;100;4;0.5;t;e;22;0;0;0;0;0;x;none\n");
    TPtr<CPGameObject> gun(new CPGameObject("gun"));
    gun->SetPosition({10.0f, 0.0f, 0.0f});
    gun->UpdateTransform();
    m_weapons->Spawn("charge", kOrigin, {0.0f, -1.0f, 0.0f}, -1.0f, gun, nullptr, false);
    const CPPlazma* charge = Live<CPPlazma>(*m_weapons);
    Frame(0.25f);  // shows the launch
    const CPGameObject& sprite = *charge->GetChildren()[0];
    EXPECT_NEAR(Vec3Length(sprite.GetPosition()), 2.0f, 1e-4f);
    EXPECT_EQ(charge->GetSprites()[0]->GetColour() >> 24, 0u);
    Frame(0.25f);  // shows 0.25 s
    EXPECT_NEAR(Vec3Length(sprite.GetPosition()), 1.0f, 1e-4f);
    EXPECT_NEAR(static_cast<float>(charge->GetSprites()[0]->GetColour() >> 24), 128.0f, 1.0f);
    Frame(0.01f);  // charged after 0.5 s: fires
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    const auto* bolt = Live<CPSPlazma>(*m_weapons);
    ASSERT_NE(bolt, nullptr);
    // From the gun's origin along its -y, one step (100 × 0.01) this frame.
    EXPECT_NEAR(bolt->GetLaunchPosition().x, 10.0f, 1e-4f);
    EXPECT_NEAR(bolt->GetLaunchPosition().y, -1.0f, 1e-4f);
    EXPECT_NEAR(bolt->GetLaunchDirection().y, -1.0f, 1e-5f);
}

TEST_F(WeaponsTest, AChargeWithoutASourceEndsAtOnce) {
    Load("charge plazma 0.5;2;3;0;t;e;0.3;2;2;0.1;bolt;none\n");
    Spawn("charge", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
}

TEST_F(WeaponsTest, TinyTimesAndHugeRatesRunWithoutOverflowingAFrameNumber) {
    // A charge whose frames last 1e-45 s, charging without a follow-up, and an explosion at a
    // frame rate of 3e38 that first runs a frame of no time (as at level start or with the timer
    // stopped): it shows its first frame, then has played them all.
    Load("charge plazma 0.5;2;3;0;t;e;0.3;2;2;1e-45;;none\n"
         "boom s_explosion f;;g;1;0;0;4;2;3e38;4;2;0.5;1;1,1,1;b;0;c;0;m;none\n");
    TPtr<CPGameObject> gun(new CPGameObject("gun"));
    m_weapons->Spawn("charge", kOrigin, kAlongX, -1.0f, gun, nullptr, false);
    Spawn("boom", kOrigin, kAlongX);
    const CPSExplosion* boom = Live<CPSExplosion>(*m_weapons, 1);
    Frame(0.0f);
    EXPECT_EQ(boom->GetFrameIndex(), 0);
    Frame(0.1f);
    EXPECT_EQ(boom->GetFrameIndex(), boom->GetFrameCount());
    for (int i = 0; i < 8; ++i) Frame(0.1f);
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    EXPECT_NE(Live<CPPlazma>(*m_weapons), nullptr);
}

TEST_F(WeaponsTest, HomingShotsTurnTowardTheNearestEnemyAheadAtTheirRate) {
    // An enemy 20 units ahead and 20 to the left (45 degrees off, outside a tracer's 30) and one
    // 10 ahead and 5 to the left (27 degrees, inside).
    TPtr<CPGameObject> outside(new CPGameObject("outside"));
    outside->SetPosition({20.0f, 20.0f, 0.0f});
    TPtr<CPGameObject> inside(new CPGameObject("inside"));
    inside->SetPosition({10.0f, 5.0f, 0.0f});
    m_world.enemies = {outside, inside};
    Load("t trasser player;10;5;0.1;t;e;22;x;10;-1;none\n");
    Spawn("t", kOrigin, kAlongX, true);
    Frame(0.1f);
    const PVector3 heading = Live<CPTrasser>(*m_weapons)->GetLaunchDirection();
    EXPECT_NEAR(std::atan2(heading.y, heading.x), 0.35f, 1e-4f);  // 3.5 rad/s for 0.1 s
    m_weapons->Clear();

    Load("s s_rocket m;player;10;7;x;s;1;1;0.1;0;none\n");
    m_world.enemies = {outside};
    Spawn("s", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_EQ(Live<CPSRocket>(*m_weapons)->GetTarget().Get(), nullptr);  // 45 degrees is not inside
    m_world.enemies = {outside, inside};
    Frame(0.01f);
    EXPECT_EQ(Live<CPSRocket>(*m_weapons)->GetTarget().Get(), inside.Get());
}

TEST_F(WeaponsTest, ABurstOfFollowUpsNestedTooDeepIsDropped) {
    // A chain of explosions a → b → … deeper than the limit: the load cannot see a cycle, the
    // spawn stops at the limit.
    std::string text;
    const int chain = CPWeaponsSystem::kMaxSpawnDepth + 4;
    for (int i = 0; i < chain; ++i) {
        text += "e" + std::to_string(i) + " s_explosion f;" + (i + 1 < chain ? "e" + std::to_string(i + 1) : "") +
                ";g;1;0;0;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n";
    }
    Load(text);
    Spawn("e0", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), static_cast<size_t>(CPWeaponsSystem::kMaxSpawnDepth));
}

TEST_F(WeaponsTest, FollowUpsThatFanOutStopAtTheLimitOfOneSpawnAndTheNextSpawnHasItsOwn) {
    // "a" throws 20 "b", each of which throws 20 "c": 420 follow-ups of one spawn.
    std::string twentyB;
    std::string twentyC;
    for (int i = 0; i < 20; ++i) {
        twentyB += i ? ",b" : "b";
        twentyC += i ? ",c" : "c";
    }
    const std::string rest = ";g;1;0;0;4;2;16;4;0;0.5;1;1,1,1;b;0;c;0;m;none\n";
    Load("a s_explosion f;" + twentyB + rest + "b s_explosion f;" + twentyC + rest + "c s_explosion f;" + rest);
    const size_t limit = 1 + CPWeaponsSystem::kMaxFollowUpsPerSpawn;
    Spawn("a", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), limit);
    Spawn("a", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), 2 * limit);
}

}  // namespace
