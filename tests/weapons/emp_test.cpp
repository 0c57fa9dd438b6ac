// The EMP blast: damage by distance within its radius, once, through walls; its light and life.
#include "weapons/PEmp.h"
#include "weapons_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kUp{0.0f, 0.0f, 1.0f};

// Strength 2, radius 10, lit for half a second.
const char* const kBlast = "e emp m;2;1,0.5,0.25;10;0.5;none\n";

TEST_F(WeaponsTest, AnEmpDamagesByDistanceFromItsCentreOnceAndThroughWalls) {
    Load(kBlast);
    const struct {
        PVector3 at;
        float damage;  // (radius - distance) × strength
    } cases[] = {
        {{0.0f, 0.0f, 0.0f}, 20.0f},   // at the centre: radius × strength
        {{4.0f, 3.0f, 0.0f}, 10.0f},   // 5 away
        {{0.0f, 0.0f, 8.0f}, 4.0f},    // above counts too
        {{10.0f, 0.0f, 0.0f}, 0.0f},   // at the rim (its box reaches in): nothing
        {{10.5f, 0.0f, 0.0f}, 0.0f},   // beyond, its box still inside
        {{20.0f, 0.0f, 0.0f}, 0.0f},   // out of reach
    };
    std::vector<TPtr<CPGameObject>> targets;
    for (const auto& c : cases) targets.push_back(Target(c.at));
    Target({2.0f, 1.5f, 0.0f});  // a wall between the centre and the target 5 away shelters nothing
    Spawn("e", kOrigin, kUp);
    for (int i = 0; i < 5; ++i) Frame(0.05f);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_FLOAT_EQ(targets[i]->GetHealth(), kHealth - cases[i].damage) << "case " << i;
    }
}

TEST_F(WeaponsTest, AnEmpIsLitForItsLifetimeThenEndsAtOnce) {
    Load(std::string(kBlast) + "flash emp m;2;1,0.5,0.25;10;0;none\n");
    Spawn("e", kOrigin, kUp);
    const auto* blast = dynamic_cast<const CPEmp*>(m_weapons->GetLiveObjects().front().Get());
    ASSERT_NE(blast, nullptr);
    EXPECT_FLOAT_EQ(blast->GetLight().diffuse.r, 20.0f);
    EXPECT_FLOAT_EQ(blast->GetLight().diffuse.g, 10.0f);
    EXPECT_FLOAT_EQ(blast->GetLight().diffuse.b, 5.0f);
    EXPECT_FLOAT_EQ(blast->GetLight().range, 300.0f);
    EXPECT_EQ(blast->GetLight().position, (PVector3{0.0f, 0.0f, 0.5f}));
    for (int i = 0; i < 8; ++i) Frame(0.0625f);  // 0.5 s: still lit
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    Frame(0.0625f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());

    Spawn("flash", kOrigin, kUp);  // lifetime 0: over at its first update
    Frame(0.0625f);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
}

}  // namespace
