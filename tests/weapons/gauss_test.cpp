// The gauss beam: it pierces what it meets, damaging each object once, and ends after its range.
#include <string>

#include "weapons/PGauss.h"
#include "weapons_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kAlongX{1.0f, 0.0f, 0.0f};

// 100 units a second, damage 30; its hit effect stays live so that the test can count it.
const char* const kBeam = "g gauss player;100;30;0.1;t;e;22;hit;none\nhit simple m;player;1;2;n;none\n";

class GaussTest : public WeaponsTest {
protected:
    size_t HitEffects() const {
        size_t count = 0;
        for (const auto& object : m_weapons->GetLiveObjects()) count += object->GetName() == "hit";
        return count;
    }
    const CPGauss* Beam() const {
        for (const auto& object : m_weapons->GetLiveObjects()) {
            if (auto* beam = dynamic_cast<const CPGauss*>(object.Get())) return beam;
        }
        return nullptr;
    }
};

TEST_F(GaussTest, ABeamThroughTwoBoxesDamagesEachOnceTheNearerFirstAndEndsAfter150Units) {
    Load(kBeam);
    TPtr<CPGameObject> near = Target({5.0f, 0.0f, 0.0f});  // faces at x = 4 and 6
    TPtr<CPGameObject> far = Target({9.0f, 0.0f, 0.0f});   // faces at x = 8 and 10
    Spawn("g", kOrigin, kAlongX);
    int frame = 0;
    int nearHitAt = -1;
    int farHitAt = -1;
    // One unit a frame until the head has passed its range.
    while (Beam() && Beam()->GetState() == CPGauss::kRunning && frame < 200) {
        Frame(0.01f);
        ++frame;
        if (nearHitAt < 0 && near->GetHealth() < kHealth) nearHitAt = frame;
        if (farHitAt < 0 && far->GetHealth() < kHealth) farHitAt = frame;
    }
    EXPECT_FLOAT_EQ(near->GetHealth(), kHealth - 30.0f);
    EXPECT_FLOAT_EQ(far->GetHealth(), kHealth - 30.0f);
    EXPECT_GT(nearHitAt, 0);
    EXPECT_GT(farHitAt, nearHitAt);
    ASSERT_NE(Beam(), nullptr);
    EXPECT_GT(Beam()->GetTravelled(), CPGauss::kRange);
    EXPECT_LT(Beam()->GetTravelled(), CPGauss::kRange + 1.1f);
    EXPECT_NEAR(Beam()->GetHead().x, Beam()->GetTravelled(), 0.05f);
    // A hit effect at each box, one more at the end pointing up.
    EXPECT_EQ(HitEffects(), 3u);
    EXPECT_EQ(m_weapons->GetLiveObjects().back()->GetLaunchDirection(), (PVector3{0.0f, 0.0f, 1.0f}));

    // The tail, at a twentieth of the speed, needs 0.95 × 150 / 5 seconds to reach the head.
    const float streak = Beam()->GetTravelled() - Beam()->GetTail().x;
    float closing = 0.0f;
    while (Beam() && closing < 60.0f) {
        Frame(0.1f);
        closing += 0.1f;
    }
    EXPECT_EQ(Beam(), nullptr);
    EXPECT_NEAR(closing, streak / 5.0f, 0.11f);
    EXPECT_FLOAT_EQ(near->GetHealth(), kHealth - 30.0f);
}

TEST_F(GaussTest, OverlappingBoxesAreEachDamagedOnce) {
    Load(kBeam);
    TPtr<CPGameObject> first = Target({5.0f, 0.0f, 0.0f});   // x from 4 to 6
    TPtr<CPGameObject> second = Target({5.5f, 0.0f, 0.0f});  // x from 4.5 to 6.5
    Spawn("g", kOrigin, kAlongX);
    for (int i = 0; i < 20; ++i) Frame(0.01f);
    EXPECT_FLOAT_EQ(first->GetHealth(), kHealth - 30.0f);
    EXPECT_FLOAT_EQ(second->GetHealth(), kHealth - 30.0f);
    EXPECT_GT(Beam()->GetHead().x, 15.0f);
}

TEST_F(GaussTest, ADamageGivenAtLaunchHoldsForThatFlightAlone) {
    Load(kBeam);
    TPtr<CPGameObject> box = Target({3.0f, 0.0f, 0.0f});
    m_weapons->Spawn("g", kOrigin, kAlongX, 0.0f, nullptr, nullptr, false);
    for (int i = 0; i < 5; ++i) Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth);
    m_weapons->Clear();
    Spawn("g", kOrigin, kAlongX);
    for (int i = 0; i < 5; ++i) Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 30.0f);
}

TEST_F(GaussTest, AnEnemysBeamDamagesWhatItMeetsAndThePlayersCarToo) {
    Load("e gauss enemy;100;30;0.1;t;e;22;hit;none\nhit simple m;player;1;2;n;none\n");
    TPtr<CPGameObject> box = Target({3.0f, 0.0f, 0.0f});
    TPtr<CPGameObject> car = Target({7.0f, 0.0f, 0.0f});
    m_world.objects.pop_back();
    m_world.car = car.Get();
    Spawn("e", kOrigin, kAlongX);
    for (int i = 0; i < 10; ++i) Frame(0.01f);
    EXPECT_FLOAT_EQ(box->GetHealth(), kHealth - 30.0f);
    EXPECT_FLOAT_EQ(car->GetHealth(), kHealth - 30.0f);
    m_world.car = nullptr;
}

}  // namespace
