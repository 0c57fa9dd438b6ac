// Bonuses: taken by the car when it drives over one it can use, each kind's effect given once,
// slow motion over time and after a level stop, and expiry.
#include <functional>
#include <string>
#include <vector>

#include "Sound/NSound.h"
#include "weapons/PBonus.h"
#include "scripted_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kUp{0.0f, 0.0f, 1.0f};

// The effects stay live (a "simple" object lives until cleared), so the tests can count them.
const char* const kEffects =
    "in simple m;player;1;2;n;none\nout simple m;player;1;2;n;none\ngot simple m;player;1;2;n;none\n";

std::string BonusLine(const std::string& name, const std::string& kind, float lifetime = 30.0f) {
    return name + " bonus m;in;out;got;" + std::to_string(lifetime) + ";" + kind + ";none\n";
}

class BonusTest : public ScriptedWeaponsTest {
protected:
    void SetUp() override {
        ScriptedWeaponsTest::SetUp();
        Load(kEffects);
        m_data->strings = {{"td", "slower"}, {"gp", "mines"}, {"ar", "armour"}, {"na", "charge"}};
    }
    void TearDown() override {
        g_timeScale = 1.0f;
        CNSound::SetFrequencyFactor(1.0f);
        ScriptedWeaponsTest::TearDown();
    }

    // A frame of real time: the timer scales it as the time scale says.
    void RealFrame(float seconds) { Frame(seconds * g_timeScale); }

    CPBonus* FindBonus() {
        for (const auto& object : m_weapons->GetLiveObjects()) {
            if (auto* bonus = dynamic_cast<CPBonus*>(object.Get())) return bonus;
        }
        return nullptr;
    }
};

// A car that can use the bonus of each kind, and one that cannot.
struct KindCase {
    const char* title;
    const char* kind;
    std::function<void(CPPlayerCar&, CPGameData&)> prepare;
    bool taken;
    std::vector<std::string> pickUpCommands;  // to "gamemenu" in the frame it is taken
    std::vector<std::string> effectCommands;  // in the frame after
    std::function<void(const CPPlayerCar&, const CPGameData&)> check;
};

void WithMineLayer(CPPlayerCar& car, int32_t capacity, float fill, float magazineFactor = 1.0f) {
    car.hasMineLayer = true;
    car.mineInfo.capacity = capacity;
    car.mineInfo.shotCost = 1;
    car.mineFill = fill;
    car.magazineFactor = magazineFactor;
}

const KindCase kKindCases[] = {
    {"time while none runs", "time", [](CPPlayerCar&, CPGameData&) {}, true, {"mission_text2(slower)"}, {},
     [](const CPPlayerCar&, const CPGameData&) {
         EXPECT_LT(g_timeScale, 1.0f);
         EXPECT_EQ(CNSound::GetFrequencyFactor(), g_timeScale);
     }},
    {"time while slow motion runs", "time", [](CPPlayerCar&, CPGameData&) { g_timeScale = 0.7f; }, false, {}, {},
     [](const CPPlayerCar&, const CPGameData&) { EXPECT_EQ(g_timeScale, 0.7f); }},
    {"money at the start fill of capacity 10", "money",
     [](CPPlayerCar& car, CPGameData&) { WithMineLayer(car, 10, 0.1f, 2.0f); }, true, {"mission_text2(mines)"}, {},
     // 10 shots of cost 1 in a store of 10 × 2.
     [](const CPPlayerCar& car, const CPGameData&) { EXPECT_FLOAT_EQ(car.mineFill, 0.6f); }},
    {"money nearly full", "money", [](CPPlayerCar& car, CPGameData&) { WithMineLayer(car, 5, 0.8f); }, true,
     {"mission_text2(mines)"}, {}, [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.mineFill, 1.0f); }},
    {"money at a full store of capacity 5", "money", [](CPPlayerCar& car, CPGameData&) { WithMineLayer(car, 5, 1.0f); },
     false, {}, {}, [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.mineFill, 1.0f); }},
    {"money without a mine layer", "money", [](CPPlayerCar& car, CPGameData&) { car.mineFill = 0.0f; }, false, {}, {},
     [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.mineFill, 0.0f); }},
    {"money with a store of no capacity", "money", [](CPPlayerCar& car, CPGameData&) { WithMineLayer(car, 0, 0.0f); },
     false, {}, {}, [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.mineFill, 0.0f); }},
    {"armor when hurt", "armor",
     [](CPPlayerCar& car, CPGameData&) {
         car.maxHealth = 1000.0f;
         car.health = 950.0f;
     },
     true, {"mission_text2(armour)"}, {"update_game_interface()"},
     [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.health, 1000.0f); }},
    {"armor at full health", "armor",
     [](CPPlayerCar& car, CPGameData&) { car.health = car.maxHealth = 1000.0f; }, false, {}, {},
     [](const CPPlayerCar& car, const CPGameData&) { EXPECT_EQ(car.health, 1000.0f); }},
    {"super", "super", [](CPPlayerCar&, CPGameData& data) { data.committedSetup.superWeaponCount = 3; }, true,
     {"mission_text2(charge)"}, {"update_game_interface()"},
     [](const CPPlayerCar&, const CPGameData& data) { EXPECT_EQ(data.committedSetup.superWeaponCount, 4); }},
    {"super at 99 charges", "super", [](CPPlayerCar&, CPGameData& data) { data.committedSetup.superWeaponCount = 99; },
     true, {"mission_text2(charge)"}, {"update_game_interface()"},
     [](const CPPlayerCar&, const CPGameData& data) { EXPECT_EQ(data.committedSetup.superWeaponCount, 99); }},
    {"laser_u for a weapon that can grow", "laser_u",
     [](CPPlayerCar& car, CPGameData& data) {
         data.committedSetup.weapons[0] = "hmgun";
         car.currentWeapon = 0;
     },
     true, {}, {}, [](const CPPlayerCar&, const CPGameData& data) { EXPECT_EQ(data.committedSetup.weaponLevels[0], 1); }},
    {"laser_u with everything upgraded", "laser_u",
     [](CPPlayerCar& car, CPGameData& data) {
         data.committedSetup.weaponLevels = {4, 4, 4};
         data.committedSetup.superWeapon = "super3";
         car.currentWeapon = 0;
     },
     false, {}, {}, [](const CPPlayerCar&, const CPGameData& data) { EXPECT_EQ(data.committedSetup.weaponLevels[0], 4); }},
};

TEST_F(BonusTest, EachKindIsTakenOnlyWhenOfUseAndGivesItsEffectOnce) {
    for (const KindCase& c : kKindCases) {
        SCOPED_TRACE(c.title);
        m_data->committedSetup = SPCarSetup{};
        m_data->strings = {{"td", "slower"}, {"gp", "mines"}, {"ar", "armour"}, {"na", "charge"}};
        g_timeScale = 1.0f;
        CNSound::SetFrequencyFactor(1.0f);
        Load(BonusLine(c.kind, c.kind));
        CPPlayerCar& car = PlaceCar({3.0f, 2.0f, 7.0f});  // 3.6 away over the ground, far above
        c.prepare(car, *m_data);
        Spawn(c.kind, kOrigin, kUp);
        CPBonus* bonus = FindBonus();
        ASSERT_NE(bonus, nullptr);
        EXPECT_EQ(LiveCount("in"), 1u);

        Frame(0.01f);
        EXPECT_EQ(Commands(), c.pickUpCommands);
        EXPECT_EQ(bonus->IsWaiting(), !c.taken);
        EXPECT_EQ(bonus->IsVisible(), !c.taken);
        EXPECT_EQ(LiveCount("got"), c.taken ? 1u : 0u);
        if (c.taken) { EXPECT_EQ(m_weapons->GetLiveObjects().back()->GetLaunchDirection().z, 5.0f); }

        for (int i = 0; i < 3; ++i) Frame(0.01f * g_timeScale);
        EXPECT_EQ(Commands(), c.effectCommands);
        c.check(car, *m_data);
        if (std::string(c.kind) != "time") { EXPECT_EQ(FindBonus() == nullptr, c.taken); }
        EXPECT_EQ(LiveCount("got"), c.taken ? 1u : 0u);

        m_weapons->Clear();
    }
}

TEST_F(BonusTest, TheCarTakesItFromCloserThanFourUnitsOverTheGround) {
    Load(BonusLine("b", "super"));
    const struct {
        PVector3 car;
        bool taken;
    } cases[] = {{{3.9f, 0.0f, 0.0f}, true}, {{4.0f, 0.0f, 0.0f}, false}, {{0.0f, -3.9f, 50.0f}, true},
                 {{2.9f, 2.9f, 0.0f}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.car.x + c.car.y);
        PlaceCar(c.car);
        Spawn("b", kOrigin, kUp);
        Frame(0.01f);
        EXPECT_EQ(LiveCount("got"), c.taken ? 1u : 0u);
        m_weapons->Clear();
    }
}

TEST_F(BonusTest, ABonusNobodyTakesExpiresAfterItsLifetimeWithItsEffect) {
    Load(BonusLine("b", "armor", 0.5f));
    PlaceCar(kOrigin).health = 100000.0f;  // at full health: of no use
    Spawn("b", {1.0f, 0.0f, 0.0f}, kUp);
    for (int i = 0; i < 7; ++i) Frame(0.0625f);
    EXPECT_NE(FindBonus(), nullptr);
    EXPECT_EQ(LiveCount("out"), 0u);
    Frame(0.0625f);
    EXPECT_EQ(FindBonus(), nullptr);
    EXPECT_EQ(LiveCount("out"), 1u);
    EXPECT_EQ(LiveCount("got"), 0u);
}

TEST_F(BonusTest, SlowMotionFallsToHalfHoldsAndComesBackWithTheSounds) {
    Load(BonusLine("t", "time") + BonusLine("t2", "time"));
    PlaceCar(kOrigin);
    Spawn("t", kOrigin, kUp);
    RealFrame(0.01f);  // taken
    Spawn("t2", kOrigin, kUp);
    // Real seconds since the pick-up, and the time scale then.
    const struct {
        float at;
        float scale;
        float tolerance;
    } samples[] = {{1.0f, 0.75f, 0.01f}, {2.05f, 0.5f, 0.0f}, {5.0f, 0.5f, 0.0f}, {7.95f, 0.5f, 0.0f},
                   {9.0f, 0.75f, 0.01f}};
    float now = 0.0f;
    for (const auto& sample : samples) {
        while (now < sample.at) {
            RealFrame(0.01f);
            now += 0.01f;
        }
        EXPECT_NEAR(g_timeScale, sample.scale, sample.tolerance) << "at " << sample.at << " s";
        EXPECT_EQ(CNSound::GetFrequencyFactor(), g_timeScale);
        EXPECT_EQ(LiveCount("got"), 1u) << "the second bonus waits while slow motion runs";
    }
    // Back at the full rate by 10 s; the second bonus is taken in that same frame.
    while (LiveCount("got") < 2 && now < 11.0f) {
        RealFrame(0.01f);
        now += 0.01f;
    }
    EXPECT_NEAR(now, 10.0f, 0.02f);
    EXPECT_EQ(g_timeScale, 1.0f);
    EXPECT_EQ(CNSound::GetFrequencyFactor(), 1.0f);
}

TEST_F(BonusTest, ALevelStopDuringSlowMotionPutsTimeAndSoundsBackAtTheirRate) {
    Load(BonusLine("t", "time"));
    PlaceCar(kOrigin);
    Spawn("t", kOrigin, kUp);
    for (int i = 0; i < 300; ++i) RealFrame(0.01f);
    ASSERT_EQ(g_timeScale, 0.5f);
    m_weapons->Clear();
    EXPECT_EQ(g_timeScale, 1.0f);
    EXPECT_EQ(CNSound::GetFrequencyFactor(), 1.0f);
}

TEST_F(BonusTest, WithoutACarABonusWaitsAndExpires) {
    Load(BonusLine("b", "super", 0.1f));
    Spawn("b", kOrigin, kUp);
    Frame(0.05f);
    EXPECT_NE(FindBonus(), nullptr);
    Frame(0.05f);
    EXPECT_EQ(FindBonus(), nullptr);
    EXPECT_EQ(LiveCount("out"), 1u);
}

}  // namespace
