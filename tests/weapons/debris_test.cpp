// Debris and what it leaves in the air, with the sample's models and particle effects: the ground
// explosion's debris points and their puffs, a "gib" thrown into the physics world, and the spent
// casing the player's gun throws.
#include <filesystem>
#include <string>
#include <vector>

#include "physics/PPhysicData.h"
#include "physics/PhysicsConversions.h"
#include "physics/engine/PhysicsRigidBody.h"
#include "math/PMathConstants.h"
#include "platform/Random.h"
#include "Render/PParticlesManager.h"
#include "weapons/PGExplosion.h"
#include "weapons/PGib.h"
#include "sample_fixture.h"

namespace {

constexpr PVector3 kUp{0.0f, 0.0f, 1.0f};

class DebrisTest : public SampleWeaponsTest {
protected:
    void SetUp() override {
        SampleWeaponsTest::SetUp();
        namespace fs = std::filesystem;
        for (const char* file : {"particles.dat", "spots.dat", "particlesystems.dat", "flames.dat"}) {
            fs::copy_file(fs::path(VX_SAMPLE_DATA) / "data" / file, m_folder.Path() / "Data" / file);
        }
        m_particles = new CPParticlesManager;
        ASSERT_TRUE(m_particles->Start());
    }
    void TearDown() override {
        m_particles = nullptr;
        SampleWeaponsTest::TearDown();
    }

    const std::vector<SPParticle>& ParticlesOf(const std::string& effect) const {
        return m_particles->GetEffect(effect)->GetParticles();
    }

    template <class T>
    T* Live(size_t i = 0) const {
        return dynamic_cast<T*>(m_weapons->GetLiveObjects().at(i).Get());
    }

    TPtr<CPParticlesManager> m_particles;
};

TEST_F(DebrisTest, AGroundExplosionFliesItsDebrisOutAndPuffsFromEachPointOnceMoreThan004SecondsGathered) {
    // Two sample models; 4 × 2 frames at 16 a second.
    Load("ground g_explosion box,crate;f;;g;1;0;0;4;2;16;4;1;0.5;1;1,1,1;b;0;c;0;m;none\n");
    const PVector3 centre{5.0f, -3.0f, 1.0f};
    Spawn("ground", centre, kUp);
    const auto* ground = Live<CPGExplosion>();
    ASSERT_NE(ground, nullptr);
    ASSERT_EQ(ground->GetDebrisCount(), 2u);
    // The clone's sprites follow its debris models.
    EXPECT_EQ(ground->GetFlashSprites().size(), 1u);
    EXPECT_NE(ground->GetGlowSprite(), nullptr);

    // After that many seconds of flight each debris point is 2.5 to 5.5 units a second out, and
    // the last two puffs stand at the points.
    const auto expectPuffsAtDebris = [&](float seconds) {
        const std::vector<SPParticle>& puffs = ParticlesOf("gib1");
        for (size_t i = 0; i < 2; ++i) {
            const float out = Vec3Length(ground->GetDebrisPosition(i));
            EXPECT_GE(out, 2.5f * seconds - 1e-5f) << i;
            EXPECT_LE(out, 5.5f * seconds + 1e-5f) << i;
            EXPECT_NEAR(Vec3Length(puffs[puffs.size() - 2 + i].position - centre), out, 1e-4f) << i;
        }
    };
    Frame(0.05f);  // a first frame long enough to puff
    ASSERT_EQ(ParticlesOf("gib1").size(), 2u);
    expectPuffsAtDebris(0.05f);
    Frame(0.03f);  // 0.03 s gathered: no puff
    EXPECT_EQ(ParticlesOf("gib1").size(), 2u);
    Frame(0.03f);
    ASSERT_EQ(ParticlesOf("gib1").size(), 4u);
    expectPuffsAtDebris(0.11f);
    // Its flash animation lasts 0.5 s: shown until an update has passed that, gone at the next.
    int frames = 3;
    while (!m_weapons->GetLiveObjects().empty() && frames < 100) Frame(0.05f), ++frames;
    EXPECT_EQ(frames, 3 + 8 + 1);
}

TEST_F(DebrisTest, AGibIsThrownByThreeTimesItsDirectionTrailsItsEmitterAndLeavesTheWorldAfterItsLifetime) {
    Load("chunk gib crate.rdf;0.05;smoke_puff;0.5\n");
    Spawn("chunk", {0.0f, 0.0f, 5.0f}, {2.0f, 0.0f, 0.0f});
    const auto* gib = Live<CPGib>();
    ASSERT_NE(gib, nullptr);
    const PhysicsRigidBody* body = gib->GetPhysicData()->rigidBody;
    ASSERT_NE(body, nullptr);
    // An impulse of 3 × (2, 0, 0) on the crate's mass.
    const PVector3 velocity = FromPhysics(body->GetVelocity());
    EXPECT_NEAR(velocity.x, 6.0f / gib->GetPhysicData()->mass, 1e-3f);
    EXPECT_NEAR(velocity.y, 0.0f, 1e-4f);
    EXPECT_FALSE(gib->GetChildren().empty()) << "the trail";

    for (int i = 0; i < 5; ++i) Frame(0.125f);  // 0.5 s: not past its lifetime yet
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    EXPECT_NE(gib->GetPhysicData()->rigidBody, nullptr);
    Frame(0.125f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_EQ(gib->GetPhysicData()->rigidBody, nullptr);
    EXPECT_EQ(PoolSize("chunk"), 2u) << "back in its pool";
}

TEST_F(DebrisTest, TheGunThrowsACasingUpAndBackFromItsMuzzle) {
    CPPlayerCar& car = PlaceCar({0.0f, 0.0f, 0.0f});
    TPtr<CPGameObject> gun(new CPGameObject("gun"));
    gun->SetPosition({1.0f, 2.0f, 3.0f});
    gun->SetRotation(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, kPi / 2.0f));  // its x along y
    gun->UpdateTransform();
    platform::Srand(7);
    const float lifeDraw = platform::RandUnit();
    const float speed = 4.0f + platform::RandUnit();
    platform::Srand(7);
    car.EjectCasing(*gun);
    ASSERT_EQ(ParticlesOf("gilze").size(), 1u);
    const SPParticle& casing = ParticlesOf("gilze").front();
    EXPECT_EQ(casing.position, (PVector3{1.0f, 2.0f, 3.0f}));
    // (-1, 0, 2) turned a quarter about z.
    EXPECT_NEAR(casing.velocity.x, 0.0f, 1e-5f);
    EXPECT_NEAR(casing.velocity.y, -speed, 1e-5f);
    EXPECT_NEAR(casing.velocity.z, 2.0f * speed, 1e-5f);
    EXPECT_EQ(casing.acceleration, (PVector3{0.0f, 0.0f, -24.8f}));
    EXPECT_FLOAT_EQ(casing.size, 0.2f);
    EXPECT_FLOAT_EQ(casing.life, 1.0f + lifeDraw);
    EXPECT_FALSE(casing.fade);
}

}  // namespace
