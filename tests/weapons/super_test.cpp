// The super weapon: its volleys from the player's car per level, its flash on the screen quad and
// what it tells the scripts.
#include <cmath>
#include <string>

#include "Render/PRenderObject.h"
#include "weapons/PSuper.h"
#include "scripted_fixture.h"

namespace {

constexpr PVector3 kOrigin{0.0f, 0.0f, 0.0f};
constexpr PVector3 kAlongX{1.0f, 0.0f, 0.0f};
// Frames of an exact binary length, so that clocks add up without rounding.
constexpr float kFrame = 1.0f / 128.0f;

// The volleys' shots stay live (a "simple" object lives until cleared), so they can be counted.
const char* const kSupers =
    "s0 super none;none\ns1 super2 none;none\ns2 super3 none;none\n"
    "trasser14_1 simple m;player;1;2;n;none\ntrasser15_1 simple m;player;1;2;n;none\n"
    "srocket4 simple m;player;1;2;n;none\n";

class SuperTest : public ScriptedWeaponsTest {
protected:
    void SetUp() override {
        ScriptedWeaponsTest::SetUp();
        Load(kSupers);
    }

    CPSuper* FindSuper() {
        for (const auto& object : m_weapons->GetLiveObjects()) {
            if (auto* super = dynamic_cast<CPSuper*>(object.Get())) return super;
        }
        return nullptr;
    }

    // Runs frames until the super weapon ends; its length in seconds.
    float RunToEnd() {
        float clock = 0.0f;
        while (FindSuper() && clock < 5.0f) {
            Frame(kFrame);
            clock += kFrame;
        }
        return clock;
    }
};

TEST_F(SuperTest, EachLevelFiresItsVolleysFromTheCarWithTheSuperFlagAndEndsByTwoSeconds) {
    const struct {
        const char* name;
        const char* shot;
        size_t fewest;
        size_t most;
        int32_t ring;        // shots of one volley
        float degrees;       // between consecutive shots
        float firstVolleyAt;  // seconds
    } cases[] = {
        {"s0", "trasser14_1", 36, 36, 18, 20.0f, 0.15f},
        {"s1", "trasser15_1", 288, 288, 24, 15.0f, 0.1f},
        {"s2", "srocket4", 27, 30, 3, 210.0f, 0.2f},  // a salvo every 0.2 s: nine or ten
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaceCar({5.0f, 6.0f, 1.0f});
        Spawn(c.name, kOrigin, kAlongX);
        float clock = 0.0f;
        while (LiveCount(c.shot) == 0 && clock < 1.0f) {
            Frame(kFrame);
            clock += kFrame;
        }
        EXPECT_GE(clock, c.firstVolleyAt);
        EXPECT_LT(clock, c.firstVolleyAt + kFrame);
        ASSERT_EQ(LiveCount(c.shot), static_cast<size_t>(c.ring));
        const float length = clock + RunToEnd();
        EXPECT_LE(length, 2.0f + kFrame);
        EXPECT_GE(LiveCount(c.shot), c.fewest);
        EXPECT_LE(LiveCount(c.shot), c.most);

        const auto& live = m_weapons->GetLiveObjects();
        const float turn = std::cos(c.degrees * 3.14159265f / 180.0f);
        for (size_t i = 0; i + 1 < live.size(); ++i) {
            const CPWeaponObject& shot = *live[i];
            EXPECT_EQ(shot.GetLaunchPosition(), m_car->GetPosition());
            EXPECT_TRUE(shot.GetSuperFlag());
            EXPECT_EQ(shot.GetDamageOverride(), CPSuper::kShotDamage);
            EXPECT_NEAR(Vec3Dot(shot.GetLaunchDirection(), live[i + 1]->GetLaunchDirection()), turn, 1e-4f);
        }
        m_weapons->Clear();
    }
}

TEST_F(SuperTest, TheFlashRisesHoldsAndFallsOnTheScreenQuad) {
    PlaceCar(kOrigin);
    Spawn("s0", kOrigin, kAlongX);
    CPSuper* super = FindSuper();
    ASSERT_NE(super, nullptr);
    const auto alpha = [super] { return super->GetRenderObject()->GetVertices()[0].diffuse >> 24; };
    EXPECT_EQ(alpha(), 0u);
    const struct {
        float at;
        uint32_t alpha;  // ± 2
    } samples[] = {{0.1f, 100}, {0.25f, 255}, {0.99f, 255}, {1.5f, 127}, {1.9f, 25}};
    float clock = 0.0f;
    for (const auto& sample : samples) {
        while (clock + kFrame / 2.0f < sample.at) {
            Frame(kFrame);
            clock += kFrame;
        }
        EXPECT_NEAR(static_cast<float>(alpha()), static_cast<float>(sample.alpha), 2.0f) << "at " << sample.at;
        for (const SPVertex& vertex : super->GetRenderObject()->GetVertices()) {
            EXPECT_EQ(vertex.diffuse, (alpha() << 24) | 0x00FFFFFFu);
        }
        EXPECT_NEAR(super->GetFlash(), static_cast<float>(alpha()), 1.0f);
    }
    EXPECT_LE(clock + RunToEnd(), 2.0f + kFrame);
}

TEST_F(SuperTest, ALaunchTellsTheMainScriptsOnceAndAReusedOneFiresAtOnce) {
    PlaceCar(kOrigin);
    Spawn("s0", kOrigin, kAlongX);
    EXPECT_EQ(Commands("announcer"), (std::vector<std::string>{"say_super()"}));
    RunToEnd();
    m_weapons->Clear();
    Spawn("s0", kOrigin, kAlongX);  // the pooled one, its volley timer long past
    Frame(kFrame);
    EXPECT_EQ(LiveCount("trasser14_1"), 18u);
    EXPECT_EQ(Commands("announcer"), (std::vector<std::string>{"say_super()"}));
}

TEST_F(SuperTest, WithoutThePlayersCarNoVolleyLeavesAndTheFlashStillEnds) {
    Spawn("s1", kOrigin, kAlongX);
    EXPECT_LE(RunToEnd(), 2.0f + kFrame);
    EXPECT_EQ(LiveCount("trasser15_1"), 0u);
}

}  // namespace
