// The weapons system: which definition lines make prototypes, the pools, spawning inside the
// frame's walk, the camera shake and clearing.
#include <algorithm>
#include <string>
#include <vector>

#include "core/Fields.h"
#include "weapons/PTrasser.h"
#include "weapons/WeaponDefinitions.h"
#include "weapons_fixture.h"
#include "support/LogCapture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kAlongX{1.0f, 0.0f, 0.0f};

// Each key with the fewest fields it takes; the classes that load models have none to load and
// keep what they show (debris and mines, which need a model with physics data, are refused then).
const struct {
    const char* key;
    const char* fields;
    bool made;
} kMinimalLines[] = {
    {"simple", "m;player;1;2;n;none", true},
    {"sparks", "s;3;0.1;5;30;1;0.5;none", true},
    {"blood", "spot;x;3;0.2;0.4;30", true},
    {"oil", "spot;x;3;0.2;0.4;30", true},
    {"grelk", "spot;x;3;0.2;0.4;30", true},
    {"s_explosion", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,0.5,0.2;b;2;c;2;m;none", true},
    {"s_explosion1", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,0.5,0.2;b;2;c;2;m;none", true},
    {"g_explosion", "d1,d2;f;;g;1;2;3;4;2;16;4;2;0.5;1;1,0.5,0.2;b;2;c;2;m;none", true},
    {"rocket", "m;player;20;7;x;s;1;1;0.1;0.5;none", true},
    {"s_rocket", "m;player;20;7;x;s;1;1;0.1;0.5;none", true},
    {"trasser", "player;100;5;0.1;t;e;22;x;10;-1;none", true},
    {"plazma", "0.5;2;3;0;t;e;0.3;2;2;0.1;x;none", true},
    {"s_plazma", "player;20;4;0.5;t;e;22;0;0;0;0;0;x;none", true},
    {"gib", "m;1;p;3", false},
    {"gib1", "m;0;p;1;1;0.1;2;3", false},
    {"gauss", "player;100;5;0.1;t;e;22;x;none", true},
    {"mine", "x;5;timer;none", false},
    {"emp", "m;2;1,1,1;10;0.5;none", true},
    {"bonus", "m;a;b;c;30;time;none", true},
    {"super", "s;none", true},
    {"super2", "s;none", true},
    {"super3", "s;none", true},
};

std::string DropLastField(const std::string& fields) { return fields.substr(0, fields.rfind(';')); }

TEST_F(WeaponsTest, EachKeyMakesAPrototypeFromItsFewestFieldsAndRefusesOneFewer) {
    for (const auto& line : kMinimalLines) {
        SCOPED_TRACE(line.key);
        const std::string full = line.key;
        Load(full + " " + full + " " + line.fields + "\n" + full + "_short " + full + " " + DropLastField(line.fields));
        EXPECT_EQ(PoolSize(full), line.made ? 1u : 0u);
        EXPECT_EQ(PoolSize(full + "_short"), 0u);
    }
}

// Each refusal is logged with its reason.
TEST_F(WeaponsTest, ValuesAClassCannotRunWithAreRefused) {
    const char* const explosionGrid =
        "size, frame rate, columns and rows must be positive, at most 1024 frames and 64 sprites";
    const char* const chargeGrid =
        "charge time, frame time, columns and rows must be positive, at most 1024 frames and 64 sprites";
    const char* const speed = "speed must be positive";
    const char* const speedAndWidth = "speed and half width must be positive";
    const char* const burstAndCloud = "the burst and cloud counts must be 0 to 256";
    const struct {
        const char* key;
        const char* fields;
        const char* why;
    } kRefused[] = {
        {"s_explosion", "f;;g;1;2;3;4;2;16;0;2;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},     // size 0
        {"s_explosion", "f;;g;1;2;3;4;2;0;4;2;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},      // frame rate 0
        {"s_explosion", "f;;g;1;2;3;0;2;16;4;2;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},     // no columns
        {"s_explosion", "f;;g;1;2;3;4;-1;16;4;2;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},    // rows below 1
        {"s_explosion", "f;;g;1;2;3;4;2;16;4;-1;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},    // sprites below 0
        {"s_explosion", "f;;g;1;2;3;99999;99999;16;4;2;0.5;1;1,1,1;b;2;c;2;m;none", explosionGrid},  // frames
        {"rocket", "m;player;0;7;x;s;1;1;0.1;0.5;none", speed},                           // speed 0
        {"s_rocket", "m;player;-3;7;x;s;1;1;0.1;0.5;none", speed},                        // speed < 0
        {"trasser", "player;0;5;0.1;t;e;22;x;10;-1;none", speedAndWidth},                 // speed 0
        {"trasser", "player;100;5;0;t;e;22;x;10;-1;none", speedAndWidth},                 // half width 0
        {"plazma", "0;2;3;0;t;e;0.3;2;2;0.1;x;none", chargeGrid},                         // charge time 0
        {"plazma", "0.5;2;3;0;t;e;0.3;2;2;0;x;none", chargeGrid},                         // frame time 0
        {"plazma", "0.5;2;3;0;t;e;0.3;0;2;0.1;x;none", chargeGrid},                       // no columns
        {"plazma", "0.5;2;3;0;t;e;0.3;2;0;0.1;x;none", chargeGrid},                       // no rows
        {"s_plazma", "player;0;4;0.5;t;e;22;0;0;0;0;0;x;none", speed},                    // speed 0
        {"gib1", "m;0;p;1;1;0.1;0;3", "needs at least one puff variant"},                 // no variants
        {"gauss", "player;0;5;0.1;t;e;22;x;none", speed},                                 // speed 0
        {"gauss", "player;-100;5;0.1;t;e;22;x;none", speed},                              // speed < 0
        {"bonus", "m;a;b;c;30;Time;none", "unknown bonus kind \"Time\""},                 // unknown kind
        {"sparks", "s;257;0.1;5;30;1;0.5;none", "the count must be 0 to 256"},
        {"sparks", "s;-1;0.1;5;30;1;0.5;none", "the count must be 0 to 256"},
        {"blood", "spot;x;17;0.2;0.4;30", "the streaks must be 0 to 16"},
        {"oil", "spot;x;2147483647;0.2;0.4;30", "the streaks must be 0 to 16"},
        {"s_explosion", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;257;c;2;m;none", burstAndCloud},
        {"s_explosion", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;2;c;99999999999;m;none", burstAndCloud},
        {"s_explosion1", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;-2;c;2;m;none", burstAndCloud},
    };
    for (const auto& line : kRefused) {
        SCOPED_TRACE(std::string(line.key) + " " + line.fields);
        const std::string definition = std::string("refused ") + line.key + " " + line.fields;
        const std::string log = testsupport::LogOf([&] { Load(definition); });
        EXPECT_EQ(PoolSize("refused"), 0u);
        EXPECT_NE(log.find(std::string("weapons.dat: refused: ") + line.why + "\n"), std::string::npos) << log;
    }
}

// Each key with the fields of kMinimalLines and the indices of its number fields: a number field
// that is not finite refuses the line, whatever the class checks of it afterwards.
TEST_F(WeaponsTest, ANumberThatIsNotFiniteRefusesTheLine) {
    const struct {
        const char* key;
        const char* fields;
        std::vector<size_t> numbers;
    } kNumberFields[] = {
        {"sparks", "s;3;0.1;5;30;1;0.5;none", {2, 3, 4, 6}},
        {"blood", "spot;x;3;0.2;0.4;30", {3, 4, 5}},
        {"s_explosion", "f;;g;1;2;3;4;2;16;4;2;0.5;1;1,0.5,0.2;b;2;c;2;m;none", {3, 4, 5, 8, 9, 11, 12, 13}},
        {"g_explosion", "d1,d2;f;;g;1;2;3;4;2;16;4;2;0.5;1;1,0.5,0.2;b;2;c;2;m;none", {4, 5, 6, 9, 10, 12, 13, 14}},
        {"rocket", "m;player;20;7;x;s;1;1;0.1;0.5;none", {2, 3, 6, 7, 8, 9}},
        {"s_rocket", "m;player;20;7;x;s;1;1;0.1;0.5;none", {2, 3, 6, 7, 8, 9}},
        {"trasser", "player;100;5;0.1;t;e;22;x;10;-1;none", {1, 2, 3, 8, 9}},
        {"plazma", "0.5;2;3;0;t;e;0.3;2;2;0.1;x;none", {0, 1, 6, 9}},
        {"s_plazma", "player;20;4;0.5;t;e;22;0;0;0;0;0;x;none", {1, 2, 3}},
        {"gib", "m;1;p;3", {1, 3}},
        {"gib1", "m;0;p;1;1;0.1;2;3", {3, 4, 5, 7}},
        {"gauss", "player;100;5;0.1;t;e;22;x;none", {1, 2, 3}},
        {"mine", "x;5;timer;none", {1}},
        {"emp", "m;2;1,1,1;10;0.5;none", {1, 2, 3, 4}},
        {"bonus", "m;a;b;c;30;time;none", {4}},
    };
    for (const auto& line : kNumberFields) {
        const std::vector<std::string> fields = SplitFields(line.fields, ";");
        for (const size_t index : line.numbers) {
            for (const char* bad : {"inf", "-inf", "nan", "1e39", "-1e39"}) {
                std::vector<std::string> changed = fields;
                // A colour keeps its other channels.
                changed[index] = bad + changed[index].substr(std::min(changed[index].find(','), changed[index].size()));
                std::string definition = std::string("bad ") + line.key + " ";
                for (size_t i = 0; i < changed.size(); ++i) definition += (i ? ";" : "") + changed[i];
                SCOPED_TRACE(definition);
                const std::string log = testsupport::LogOf([&] { Load(definition); });
                EXPECT_EQ(PoolSize("bad"), 0u);
                EXPECT_NE(log.find("weapons.dat: bad: every number must be finite\n"), std::string::npos) << log;
            }
        }
    }
}

TEST_F(WeaponsTest, LinesAreSplitIntoNameKeyAndFieldsWithoutBlanks) {
    SPWeaponLine line;
    ASSERT_TRUE(SplitWeaponLine("boom s_explosion a b; c ;\"d e\";f", line));
    EXPECT_EQ(line.name, "boom");
    EXPECT_EQ(line.key, "s_explosion");
    EXPECT_EQ(line.fields, (std::vector<std::string>{"ab", "c", "d e", "f"}));
    ASSERT_TRUE(SplitWeaponLine("  rocket1    rocket   m; player;  30", line)) << "columns lined up with blanks";
    EXPECT_EQ(line.name, "rocket1");
    EXPECT_EQ(line.key, "rocket");
    EXPECT_EQ(line.fields, (std::vector<std::string>{"m", "player", "30"}));
    EXPECT_FALSE(SplitWeaponLine("lonely", line));
    EXPECT_FALSE(SplitWeaponLine("lonely   ", line));
    Load("x unknown_key 1;2;3\n// t1 trasser player;100;5;0.1;t;e;22;x;10;-1;none");
    EXPECT_EQ(PoolSize("x"), 0u);
    EXPECT_EQ(PoolSize("t1"), 0u);
}

TEST_F(WeaponsTest, FollowUpsThatLeadBackToTheirLineAreRefused) {
    const std::string explosion = " s_explosion f;%s;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;0;c;0;m;none\n";
    auto line = [&explosion](const std::string& name, const std::string& followUps) {
        std::string text = explosion;
        text.replace(text.find("%s"), 2, followUps);
        return name + text;
    };
    Load(line("self", "self") + line("a", "b") + line("b", "a") + line("c", "a,d") + line("d", "") +
         "bonus bonus m;d;d;bonus;30;time;none\ngauss gauss player;100;5;0.1;t;e;22;gauss;none\n");
    EXPECT_EQ(PoolSize("bonus"), 0u);
    EXPECT_EQ(PoolSize("gauss"), 0u);
    EXPECT_EQ(PoolSize("self"), 0u);
    EXPECT_EQ(PoolSize("a"), 0u);
    EXPECT_EQ(PoolSize("b"), 0u);
    EXPECT_EQ(PoolSize("c"), 1u);
    Spawn("c", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), 2u);  // c and its follow-up d; a is gone
}

// A tracer that flies 1 unit a frame and stops after 2.
const char* const kShortTracer = "t trasser player;100;5;0.1;t;e;22;x;10;2;none\n";

TEST_F(WeaponsTest, FinishedObjectsAreReusedBeforeThePrototypeIsClonedAgain) {
    Load(kShortTracer);
    Spawn("t", kOrigin, kAlongX);
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    const CPWeaponObject* first = m_weapons->GetLiveObjects()[0].Get();
    EXPECT_NE(first, m_weapons->GetPool("t")->front().Get());
    for (int i = 0; i < 20 && !m_weapons->GetLiveObjects().empty(); ++i) Frame(0.01f);
    ASSERT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_EQ(PoolSize("t"), 2u);
    Spawn("t", kOrigin, kAlongX);
    Spawn("t", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects()[0].Get(), first);
    EXPECT_NE(m_weapons->GetLiveObjects()[1].Get(), first);
    EXPECT_EQ(PoolSize("t"), 1u);
}

TEST_F(WeaponsTest, AnUndefinedNameSpawnsNothing) {
    Spawn("nothing", kOrigin, kAlongX);
    Spawn("nothing", kOrigin, kAlongX);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    ASSERT_NE(m_weapons->GetPool("nothing"), nullptr);
    EXPECT_EQ(PoolSize("nothing"), 0u);
}

TEST_F(WeaponsTest, ASecondDefinitionOfANameIsLaunchedItselfFirst) {
    Load(std::string(kShortTracer) + "t trasser player;100;5;0.1;t;e;22;x;10;2;none\n");
    const CPWeaponObject* second = m_weapons->GetPool("t")->back().Get();
    Spawn("t", kOrigin, kAlongX);
    EXPECT_EQ(m_weapons->GetLiveObjects()[0].Get(), second);
    EXPECT_EQ(PoolSize("t"), 1u);
}

TEST_F(WeaponsTest, FollowUpsSpawnedDuringTheWalkAreUpdatedInTheSameFrame) {
    // The tracer hits the box in its first frame; its hit effect, a sparks burst, finishes in that
    // same walk and is back in its pool.
    Load(std::string("t trasser player;100;5;0.1;t;e;22;hit;10;-1;none\nhit sparks s;0;0.1;5;30;1;0.5;none\n"));
    Target({2.0f, 0.0f, 0.0f});
    Spawn("t", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    EXPECT_EQ(PoolSize("hit"), 2u);
}

TEST_F(WeaponsTest, APrototypeIsNeverUpdated) {
    Load(kShortTracer);
    const auto* prototype = dynamic_cast<const CPTrasser*>(m_weapons->GetPool("t")->front().Get());
    Spawn("t", kOrigin, kAlongX);
    Frame(0.01f);
    EXPECT_EQ(prototype->GetHead(), kOrigin);
}

TEST_F(WeaponsTest, HeavyExplosionsShakeTheCameraByDistanceWithinItsLimits) {
    Load("rocket_exp1 s_explosion f;;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;0;c;0;m;none\n");
    TPtr<CPGameObject> car(new CPGameObject("car"));
    m_level->playerCar = car;
    const struct {
        float distance;
        float before;
        float after;
    } kCases[] = {{0.0f, 0.0f, 1.0f}, {90.0f, 1.0f, 1.0f},   {180.0f, 1.5f, 0.5f},
                  {1000.0f, 0.5f, 0.0f}, {0.0f, 2.5f, 3.0f}, {45.0f, 0.0f, 0.5f}};
    for (const auto& shake : kCases) {
        SCOPED_TRACE(shake.distance);
        m_level->shakeStrength = shake.before;
        m_level->shakeCooldown = 0.0f;
        m_level->shakeTime = 1.0f;
        Spawn("rocket_exp1", {shake.distance, 0.0f, 0.0f}, kAlongX);
        EXPECT_NEAR(m_level->shakeStrength, shake.after, 1e-5f);
        EXPECT_EQ(m_level->shakeCooldown, CPWeaponsSystem::kShakeCooldown);
        EXPECT_EQ(m_level->shakeTime, 0.0f);
    }
    m_level->shakeStrength = 0.0f;
    m_level->shakeCooldown = 0.0f;
    for (int i = 0; i < 3; ++i) Spawn("rocket_exp1", kOrigin, kAlongX);
    EXPECT_FLOAT_EQ(m_level->shakeStrength, 1.0f);
}

TEST_F(WeaponsTest, TheSystemSpawnsTheWrecksExplosionsWhileItExists) {
    Load("mine_exp2 s_explosion f;;g;1;2;3;4;2;16;4;2;0.5;1;1,1,1;b;0;c;0;m;none\n");
    ASSERT_EQ(IExplosionSpawner::Installed(), m_weapons.Get());
    IExplosionSpawner::Installed()->SpawnExplosion("mine_exp2", {1.0f, 2.0f, 3.0f});
    ASSERT_EQ(m_weapons->GetLiveObjects().size(), 1u);
    EXPECT_TRUE(m_weapons->GetLiveObjects()[0]->GetSuperFlag());
    IExplosionSpawner::Installed()->PlayExplosionSound("big_exp");  // no audio: nothing to play

    // A newer system takes over, and nothing is left installed once it is gone.
    TPtr<CPWeaponsSystem> newer(new CPWeaponsSystem);
    EXPECT_EQ(IExplosionSpawner::Installed(), newer.Get());
    newer = nullptr;
    CollectGarbage();
    EXPECT_EQ(IExplosionSpawner::Installed(), nullptr);
}

TEST_F(WeaponsTest, ClearDropsTheLiveObjectsAndKeepsThePools) {
    Load(kShortTracer);
    Spawn("t", kOrigin, kAlongX);
    for (int i = 0; i < 20; ++i) Frame(0.01f);
    Spawn("t", kOrigin, kAlongX);
    Spawn("t", kOrigin, kAlongX);
    m_weapons->Clear();
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_EQ(PoolSize("t"), 1u);
}

}  // namespace
