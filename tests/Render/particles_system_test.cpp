// Particle systems: where and how fast their particles start (with the game's generator in its
// order), emissions at the interval, flames on standing and destroyed objects, and Clone.
#include <cmath>
#include <memory>
#include <string>

#include "Render/PGameObject.h"
#include "Render/PParticleSystem.h"
#include "core/PKernel.h"
#include "math/PMath.h"
#include "particles_fixture.h"
#include "platform/Random.h"

namespace {

const char* kEffects = "puff a.tga x.fx 1 1 1 0 0\nember a.tga x.fx 1 1 1 0 0\n";
// name effect life size growth fade speed spread direction(3) acceleration(3) jitter(3)
const char* kEmitters =
    "cone puff 5 1 0 1 10 40 1 0 0 0 0 0 1 2 0\n"
    "straight puff 5 1 0 1 3 0 1 0 0 0 0 0 0 0 0\n"
    "narrow puff 5 1 0 1 2 1 0 0 0 0 0 0 0 0 0\n"
    "down puff 5 1 0 1 2 0 0 0 -4 0 0 0 0 0 0\n"
    "trail ember 5 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n";
const char* kFlames = "straight;0.1;1;7\n";

class ParticleSystemTest : public ParticlesTest {
protected:
    void SetUp() override {
        ParticlesTest::SetUp();
        ASSERT_TRUE(StartManager(kEffects, "", kEmitters, kFlames));
    }

    TPtr<CPGameObject> Owner(const PVector3& position, const PQuaternion& rotation = QuaternionIdentity()) {
        TPtr<CPGameObject> owner(new CPGameObject("owner"));
        owner->SetPosition(position);
        owner->SetRotation(rotation);
        owner->UpdateTransform();
        return owner;
    }

    const std::vector<SPParticle>& Puffs() { return Manager().GetEffect("puff")->GetParticles(); }
};

void ExpectNear(const PVector3& actual, const PVector3& expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4f) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-4f) << what;
}

TEST_F(ParticleSystemTest, WithSeedOneTheFirstParticlesStartWhereAndAsFastAsAlways) {
    const TPtr<CPGameObject> owner = Owner({10, 20, 30});
    TPtr<CPParticleSystem> system(new CPParticleSystem(owner.Get(), "cone"));
    platform::Srand(1);
    system->Emit();
    system->Emit();
    ASSERT_EQ(Puffs().size(), 2u);
    // Draws per particle: jitter x, y, z; azimuth (rand % 360); tilt (rand % 20); the cone about
    // +z is then turned onto +x.
    ExpectNear(Puffs()[0].position, {9.0025025f, 20.254341f, 30.0f}, "first position");
    ExpectNear(Puffs()[0].velocity, {9.8768834f, -1.0055412f, 1.1983576f}, "first velocity");
    ExpectNear(Puffs()[1].position, {9.9597461f, 19.401166f, 30.0f}, "second position");
    ExpectNear(Puffs()[1].velocity, {9.9756405f, -0.4294638f, -0.5496884f}, "second velocity");
    EXPECT_NEAR(std::sqrt(Vec3Dot(Puffs()[0].velocity, Puffs()[0].velocity)), 10.0f, 1e-4f);
}

TEST_F(ParticleSystemTest, WithoutSpreadParticlesFlyAlongTheDirectionTurnedByTheOwner) {
    const TPtr<CPGameObject> owner = Owner({0, 0, 0}, QuaternionRotationAxis({0, 0, 1}, 1.5707964f));
    TPtr<CPParticleSystem> system(new CPParticleSystem(owner.Get(), "straight"));
    system->Emit();
    ASSERT_EQ(Puffs().size(), 1u);
    ExpectNear(Puffs()[0].velocity, Vec3TransformNormal({3, 0, 0}, owner->GetWorld()), "turned by the owner");
    EXPECT_NEAR(std::fabs(Puffs()[0].velocity.y), 3.0f, 1e-4f);
}

TEST_F(ParticleSystemTest, DegenerateDirectionsAndSpreadsGiveSoundVelocities) {
    struct Case {
        const char* emitter;
        PVector3 velocity;
    };
    // "narrow": spread 1 (no whole degree in its half) and a direction of zero length: straight
    // up, without a tilt draw; "down": straight along -z, where the turn's axis vanishes.
    const Case cases[] = {{"narrow", {0, 0, 2}}, {"down", {0, 0, -2}}};
    for (const Case& c : cases) {
        TPtr<CPParticleSystem> system(new CPParticleSystem(nullptr, c.emitter));
        Manager().Clear();
        platform::Srand(5);
        system->Emit();
        const int next = platform::Rand();
        platform::Srand(5);
        for (int i = 0; i < 4; ++i) platform::Rand();
        EXPECT_EQ(next, platform::Rand()) << c.emitter << ": four draws per particle (jitter, azimuth)";
        ASSERT_EQ(Puffs().size(), 1u) << c.emitter;
        ExpectNear(Puffs()[0].velocity, c.velocity, c.emitter);
        EXPECT_TRUE(std::isfinite(Puffs()[0].position.x)) << c.emitter;
    }
}

TEST_F(ParticleSystemTest, EmissionsFollowTheIntervalAndChainTheLaterEmitters) {
    TPtr<CPParticleSystem> system(new CPParticleSystem(nullptr, std::vector<std::string>{"straight", "trail", "ghost"}));
    EXPECT_EQ(system->GetEmitters().size(), 2u);
    system->SetInterval(0.1f);
    ASSERT_TRUE(system->Start());
    g_frameDelta = 0.25f;
    system->Update();
    EXPECT_EQ(Puffs().size(), 2u) << "two whole intervals in a quarter second";
    ASSERT_TRUE(Puffs()[0].next);
    EXPECT_EQ(Puffs()[0].next->name, "ember");
    EXPECT_EQ(Manager().GetEffect("ember")->ParticleCount(), 0) << "the chained particle waits for half life";

    TPtr<CPParticleSystem> eager(new CPParticleSystem(nullptr, "straight"));
    eager->SetInterval(0.0f);
    ASSERT_TRUE(eager->Start());
    eager->Update();
    EXPECT_EQ(Puffs().size(), 3u) << "an interval of 0 emits once per frame";

    TPtr<CPParticleSystem> flooding(new CPParticleSystem(nullptr, "straight"));
    flooding->SetInterval(1e-12f);  // too small to change the accumulator: without a limit, no end
    ASSERT_TRUE(flooding->Start());
    flooding->Update();
    EXPECT_EQ(Puffs().size(), 3u + CPParticleSystem::kMaxEmissionsPerFrame);
    EXPECT_FLOAT_EQ(flooding->GetAge(), 0.25f) << "the frame's time, once";
    flooding->Update();
    EXPECT_EQ(Puffs().size(), 3u + 2 * CPParticleSystem::kMaxEmissionsPerFrame);
}

TEST_F(ParticleSystemTest, AFlameBurnsOnAStandingObjectAndBurstsAtMostThreeTimesOnceDestroyed) {
    int bursts[4] = {};
    for (unsigned seed = 1; seed <= 12; ++seed) {
        platform::Srand(seed);
        const TPtr<CPGameObject> wreck = Owner({0, 0, 0});
        wreck->SetDamageClass(CPGameObject::kDestructible);
        wreck->SetHealth(10.0f);
        TPtr<CPGameObject> holder(new CPGameObject("flame"));
        wreck->AddChild(holder);
        TPtr<CPParticleSystem> flame = Manager().CloneFlame(0);
        flame->SetOwner(holder.Get());
        flame->SetLifetime(2.0f);
        ASSERT_TRUE(flame->Start());
        g_frameDelta = 0.05f;
        for (int i = 0; i < 100; ++i) flame->Update();
        EXPECT_TRUE(flame->IsRunning()) << "no ageing while the object stands";
        EXPECT_FLOAT_EQ(flame->GetAge(), 0.0f);

        wreck->SetHealth(0.0f);
        flame->SetBurnOut(true);
        int frames = 0;
        while (flame->IsRunning() && frames < 1000) {
            flame->Update();
            ++frames;
        }
        EXPECT_FALSE(flame->IsRunning()) << "it stops after its lifetime";
        EXPECT_GT(flame->GetAge(), 2.0f);
        EXPECT_LT(flame->GetAge(), 2.2f);
        ASSERT_GE(flame->GetBurstCount(), 2) << seed;
        ASSERT_LE(flame->GetBurstCount(), 3) << seed;
        ++bursts[flame->GetBurstCount()];
        Manager().Clear();
    }
    EXPECT_GT(bursts[3], 0) << "a third burst comes at a test whose second draw is odd";
}

TEST_F(ParticleSystemTest, ACloneIsAnIndependentFreshSystem) {
    TPtr<CPParticleSystem> flame = Manager().CloneFlame(0);
    ASSERT_TRUE(flame->Start());
    g_frameDelta = 0.35f;
    flame->Update();
    flame->SetBurnOut(true);
    const TPtr<CPParticleSystem> copy = flame->CloneSystem();
    EXPECT_FALSE(copy->IsRunning());
    EXPECT_FALSE(copy->IsBurningOut());
    EXPECT_FLOAT_EQ(copy->GetAge(), 0.0f);
    EXPECT_FLOAT_EQ(copy->GetInterval(), 0.1f);
    EXPECT_FLOAT_EQ(copy->GetLifetime(), 1.0f);
    EXPECT_FLOAT_EQ(copy->GetExtra(), 7.0f);
    ASSERT_EQ(copy->GetEmitters().size(), 1u);
    EXPECT_EQ(copy->GetEmitters()[0].effect, "puff");
    flame->SetInterval(3.0f);
    EXPECT_FLOAT_EQ(copy->GetInterval(), 0.1f);
}

TEST_F(ParticleSystemTest, TheFirstHitStartsTheObjectsFlameOnceAndItsDestructionBurnsItOut) {
    const auto kernel = std::make_unique<CPKernel>();
    TPtr<CPGameObject> barrel(new CPGameObject("barrel"));
    barrel->SetFlameIndex(0);
    barrel->Explode(0);
    ASSERT_TRUE(barrel->GetFlame());
    EXPECT_EQ(barrel->GetFlameIndex(), -1);
    EXPECT_TRUE(barrel->GetFlame()->IsRunning());
    EXPECT_EQ(barrel->GetFlame()->GetPriority(), 200);
    const TPtr<CPGameObject> holder = barrel->GetChild("flame");
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->GetKind(), CPGameObject::kEmitter);
    EXPECT_EQ(barrel->GetFlame()->GetOwner(), holder.Get());
    const CPParticleSystem* first = barrel->GetFlame().Get();
    barrel->Explode(0);
    EXPECT_EQ(barrel->GetFlame().Get(), first) << "once";

    TPtr<CPGameObject> copy(new CPGameObject("copy"));
    copy->CopyFrom(holder);
    const CPParticleSystem* cloned = copy->GetAttachment().Get<CPParticleSystem>();
    ASSERT_NE(cloned, nullptr);
    EXPECT_NE(cloned, first);
    EXPECT_EQ(cloned->GetOwner(), copy.Get());
}

}  // namespace
