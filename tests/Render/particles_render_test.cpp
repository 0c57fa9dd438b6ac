// Particle and spot render objects: colours over a life, texture frames, what a frame writes,
// spots leaving the square around the camera, the pending emission at half life, and Clear.
#include <cmath>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PParticle.h"
#include "Render/PSpotRenderObject.h"
#include "Render/ViewCamera.h"
#include "particles_fixture.h"

namespace {

uint32_t Alpha(uint32_t c) { return c >> 24; }
uint32_t Red(uint32_t c) { return c >> 16 & 0xFF; }
uint32_t Green(uint32_t c) { return c >> 8 & 0xFF; }
uint32_t Blue(uint32_t c) { return c & 0xFF; }

TEST(ParticleColourTest, TwoKeysAtHalfLifeMeetHalfway) {
    const std::vector<SPColourKey> keys = {{1, 1, 1, 1, 0.5f}, {0, 1, 0, 0, 2.0f}};
    float h = 0.0f;
    const uint32_t c = KeyedColour(keys, 1.0f, 2.0f, h);
    EXPECT_EQ(Alpha(c), 127u);
    EXPECT_EQ(Red(c), 255u);
    EXPECT_EQ(Green(c), 127u);
    EXPECT_EQ(Blue(c), 127u);
    EXPECT_FLOAT_EQ(h, 1.25f);
}

TEST(ParticleColourTest, KeyedColoursStaySoundAtTheEdges) {
    struct Case {
        const char* what;
        std::vector<SPColourKey> keys;
        float age, life;
        uint32_t colour;
        float halfSize;
    };
    const std::vector<SPColourKey> three = {{1, 1, 0, 0, 1}, {1, 0, 1, 0, 2}, {1, 0, 0, 1, 3}};
    const Case cases[] = {
        {"before the start: the first key", three, -1.0f, 3.0f, 0xFFFF0000u, 1.0f},
        {"past the end: the last key", three, 4.0f, 3.0f, 0xFF0000FFu, 3.0f},
        {"the middle key at its point", three, 1.5f, 3.0f, 0xFF00FF00u, 2.0f},
        {"a single key holds for the whole life", {{0.5f, 0, 1, 0, 4}}, 1.0f, 3.0f, 0x7F00FF00u, 4.0f},
        {"a life of 0 shows the last key", three, 0.0f, 0.0f, 0xFF0000FFu, 3.0f},
        {"values past 1 saturate instead of wrapping", {{1.5f, 2, 1.01f, -1, 1}, {1.5f, 2, 1.01f, -1, 1}}, 1.0f,
         2.0f, 0xFFFFFF00u, 1.0f},
    };
    for (const Case& c : cases) {
        float h = -7.0f;
        EXPECT_EQ(KeyedColour(c.keys, c.age, c.life, h), c.colour) << c.what;
        EXPECT_FLOAT_EQ(h, c.halfSize) << c.what;
    }
}

TEST(ParticleColourTest, UnkeyedParticlesFadeFromFullAlphaToNoneWithoutWrapping) {
    EXPECT_EQ(LifeColour(0.0f, 2.0f, true, false), 0xFFFFFFFFu) << "at birth: full, not 256 wrapped to 0";
    EXPECT_EQ(LifeColour(1.0f, 2.0f, true, false), 0x80FFFFFFu);
    EXPECT_EQ(LifeColour(2.0f, 2.0f, true, false), 0x00FFFFFFu);
    EXPECT_EQ(LifeColour(1.0f, 2.0f, false, false), 0xFFFFFFFFu);
    EXPECT_EQ(LifeColour(1.0f, 2.0f, false, true), 0xFF808080u) << "darkened grey";
    EXPECT_EQ(LifeColour(0.0f, 0.0f, true, true), 0x00000000u) << "a life of 0";
    EXPECT_EQ(LifeColour(0.0f, 0.0f, false, false), 0xFFFFFFFFu);
}

TEST(ParticleColourTest, SpotsFadeOverTheLastFortyPercentWithoutWrapping) {
    EXPECT_EQ(SpotColour(0.6f, 1.0f, true), 0xFFFFFFFFu);
    EXPECT_EQ(SpotColour(0.6001f, 1.0f, true), 0xFF000000u) << "256 × 0.4 × 2.5 saturates at 255";
    EXPECT_EQ(SpotColour(0.75f, 1.0f, true), 0xA0000000u);
    EXPECT_EQ(SpotColour(1.0f, 1.0f, true), 0u);
    EXPECT_EQ(SpotColour(0.9f, 1.0f, false), 0xFFFFFFFFu);
    EXPECT_EQ(SpotColour(0.0f, 0.0f, true), 0xFFFFFFFFu);
    EXPECT_EQ(SpotColour(0.1f, 0.0f, true), 0u);
}

TEST_F(ParticlesTest, FourByTwoFramesPlayRowByRowOverTwoSeconds) {
    TPtr<CPParticleRenderObject> effect(new CPParticleRenderObject);
    effect->SetFrames(4, 2, 1);
    SPParticle particle;
    particle.life = 2.0f;
    particle.size = 1.0f;
    effect->AddParticle(std::move(particle));
    std::vector<SPVertex> vertices(4);
    std::vector<uint16_t> indices(6);
    for (int frame = 0; frame < 8; ++frame) {
        const_cast<SPParticle&>(effect->GetParticles()[0]).age = 0.25f * static_cast<float>(frame) + 0.1f;
        effect->WriteGeometry(vertices.data(), indices.data(), 0);
        EXPECT_FLOAT_EQ(vertices[0].tex0.x, 0.25f * static_cast<float>(frame % 4)) << frame;
        EXPECT_FLOAT_EQ(vertices[0].tex0.y, 0.5f * static_cast<float>(frame / 4)) << frame;
        EXPECT_FLOAT_EQ(vertices[2].tex0.x, 0.25f * static_cast<float>(frame % 4 + 1)) << frame;
        EXPECT_FLOAT_EQ(vertices[2].tex0.y, 0.5f * static_cast<float>(frame / 4 + 1)) << frame;
    }
}

TEST_F(ParticlesTest, AQuadFacesTheCameraAndAPlainTextureIsWhole) {
    SetViewCamera(nullptr);  // the default camera: the identity view, quads in the x-y plane
    TPtr<CPParticleRenderObject> effect(new CPParticleRenderObject);
    effect->SetFrames(1, 1, 1);
    SPParticle particle;
    particle.position = {5, 6, 7};
    particle.size = 0.5f;
    particle.growth = 1.0f;
    particle.age = 0.25f;
    particle.life = 1.0f;
    effect->AddParticle(std::move(particle));
    effect->AddParticle(SPParticle{});
    ASSERT_EQ(effect->GetVertexCount(), 8);
    ASSERT_EQ(effect->GetIndexCount(), 12);
    std::vector<SPVertex> vertices(8);
    std::vector<uint16_t> indices(12);
    effect->WriteGeometry(vertices.data(), indices.data(), 10);
    const float h = 0.75f;  // size + growth × age
    const float expected[4][4] = {{5 - h, 6 - h, 0, 0}, {5 + h, 6 - h, 1, 0}, {5 + h, 6 + h, 1, 1}, {5 - h, 6 + h, 0, 1}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_FLOAT_EQ(vertices[c].position.x, expected[c][0]) << c;
        EXPECT_FLOAT_EQ(vertices[c].position.y, expected[c][1]) << c;
        EXPECT_FLOAT_EQ(vertices[c].position.z, 7.0f) << c;
        EXPECT_FLOAT_EQ(vertices[c].tex0.x, expected[c][2]) << c;
        EXPECT_FLOAT_EQ(vertices[c].tex0.y, expected[c][3]) << c;
    }
    EXPECT_EQ(indices, (std::vector<uint16_t>{10, 12, 11, 10, 13, 12, 14, 16, 15, 14, 17, 16}));
}

TEST_F(ParticlesTest, SpotsLieFlatAndLeaveBeyondTheSquareAroundTheEye) {
    SetViewCamera(nullptr);  // eye at the origin
    TPtr<CPSpotRenderObject> spots(new CPSpotRenderObject);
    spots->SetFrames(4, 1, 1);
    const float xs[] = {0.0f, 159.0f, 161.0f};
    for (float x : xs) {
        SPParticle spot;
        spot.position = {x, 0.0f, 42.0f};
        spot.velocity = {9.0f, 0.0f, 0.0f};  // a frame past the last: held at the last
        spot.size = 1.0f;
        spot.life = 100.0f;
        spots->AddSpot(std::move(spot));
    }
    ASSERT_EQ(spots->GetQuads().size(), 3u);
    const auto& quad = spots->GetQuads()[0];
    EXPECT_FLOAT_EQ(quad[0].position.z, 0.5f);
    EXPECT_FLOAT_EQ(quad[2].position.x, 1.0f);
    EXPECT_FLOAT_EQ(quad[0].tex0.x, 0.75f);
    EXPECT_FLOAT_EQ(quad[2].tex0.x, 1.0f);

    spots->Update(0.1f);
    ASSERT_EQ(spots->ParticleCount(), 2) << "the spot 161 units east is gone at once";
    EXPECT_EQ(spots->GetQuads().size(), 2u);
    EXPECT_FLOAT_EQ(spots->GetParticles()[1].position.x, 159.0f);
    EXPECT_FLOAT_EQ(spots->GetQuads()[1][0].position.x, 158.0f) << "the quads follow their spots";
    std::vector<SPVertex> vertices(8);
    std::vector<uint16_t> indices(12);
    spots->WriteGeometry(vertices.data(), indices.data(), 0);
    EXPECT_EQ(vertices[5].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(indices, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
}

TEST_F(ParticlesTest, ATemplateIsLiveFromItsFirstParticleUntilItsLastDies) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\nother a.tga x.fx 1 1 1 0 0\n", "", "", "x;1;1;1\n"));
    EXPECT_TRUE(Manager().GetLiveEffects().empty());
    Manager().SpawnEffect(Request("nothing", 1.0f));
    EXPECT_TRUE(Manager().GetLiveEffects().empty()) << "an unknown name is ignored";
    Manager().SpawnEffect(Request("puff", 0.5f));
    Manager().SpawnEffect(Request("puff", 0.5f));
    ASSERT_EQ(Manager().GetLiveEffects().size(), 1u);
    Frame(0.3f);
    Frame(0.3f);
    EXPECT_EQ(Manager().GetLiveEffects().size(), 1u) << "age 0.6 is found past the life at the next pass";
    Frame(0.3f);
    EXPECT_TRUE(Manager().GetLiveEffects().empty());
    EXPECT_FALSE(Manager().GetEffect("puff")->IsActive());
}

TEST_F(ParticlesTest, AParticleEmitsItsNextRecordOnceWhenPastHalfItsLife) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\nember a.tga x.fx 1 1 1 0 0\n", "", "", "x;1;1;1\n"));
    CPParticleSpawnInfo info = Request("puff", 2.0f, {1, 2, 3});
    info.velocity = {1, 0, 0};
    info.next = std::make_unique<CPParticleSpawnInfo>(Request("ember", 5.0f, {0, 0, 10}));
    Manager().SpawnEffect(info);
    const TPtr<CPParticleRenderObject> ember = Manager().GetEffect("ember");
    for (int i = 0; i < 5; ++i) Frame(0.25f);  // age 1.0 after the fifth frame: not yet past half
    EXPECT_EQ(ember->ParticleCount(), 0);
    Frame(0.25f);
    ASSERT_EQ(ember->ParticleCount(), 1);
    const SPParticle& emitted = ember->GetParticles()[0];
    EXPECT_FLOAT_EQ(emitted.position.x, 2.5f) << "the particle's position (1 + 6 × 0.25) plus the record's";
    EXPECT_FLOAT_EQ(emitted.position.z, 13.0f);
    EXPECT_EQ(Manager().GetLiveEffects().size(), 2u);
    Frame(0.25f);
    EXPECT_EQ(ember->ParticleCount(), 1) << "emitted once";
}

// What the callback of the test below saw, one record per call.
struct SeenParticle {
    IPMMObject* owner;
    PVector3 previous;
    PVector3 position;
    float size;
    float age;
};
std::vector<SeenParticle> g_seen;
// Ends its particle at the second call.
void EndAtSecondCall(IPMMObject* owner, SPParticle& particle) {
    g_seen.push_back({owner, particle.previousPosition, particle.position, particle.size, particle.age});
    if (g_seen.size() == 2) particle.age = 1000.0f;
}

TEST_F(ParticlesTest, TheCallbackSeesItsOwnerAndTheParticlesMoveAndMayEndIt) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\n", "", "", "x;1;1;1\n"));
    g_seen.clear();
    TPtr<CPGameObject> owner(new CPGameObject("owner"));
    CPParticleSpawnInfo info = Request("puff", 0.9f, {1, 0, 0});
    info.velocity = {4, 0, 0};
    info.growth = 2.0f;
    info.callback = EndAtSecondCall;
    info.user = owner;
    Manager().SpawnEffect(info);
    Frame(0.25f);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].owner, owner.Get());
    EXPECT_EQ(g_seen[0].previous.x, 1.0f);
    EXPECT_EQ(g_seen[0].position.x, 2.0f);
    EXPECT_EQ(g_seen[0].size, 1.5f);
    EXPECT_EQ(g_seen[0].age, 0.25f);
    Frame(0.25f);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].previous.x, 2.0f);
    EXPECT_EQ(g_seen[1].position.x, 3.0f);
    Frame(0.25f);
    EXPECT_EQ(g_seen.size(), 2u) << "the age set past the life ends the particle at the next update";
    EXPECT_TRUE(Manager().GetLiveEffects().empty());
}

TEST_F(ParticlesTest, TheCallbackIsNotCalledOnceTheAgeHasPassedTheLife) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\n", "", "", "x;1;1;1\n"));
    g_seen.clear();
    CPParticleSpawnInfo info = Request("puff", 0.6f);
    info.callback = [](IPMMObject*, SPParticle& particle) {
        g_seen.push_back({nullptr, {}, {}, 0.0f, particle.age});
    };
    Manager().SpawnEffect(info);
    for (int i = 0; i < 4; ++i) Frame(0.25f);
    ASSERT_EQ(g_seen.size(), 2u) << "ages 0.25 and 0.5; 0.75 is past the life of 0.6";
}

// One record per emitter name of a line: a line of many names makes a long chain.
TEST_F(ParticlesTest, AVeryLongChainOfRecordsIsCopiedAndFreedWithoutDeepRecursion) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\n", "", "", "x;1;1;1\n"));
    constexpr int kRecords = 100000;
    CPParticleSpawnInfo info = Request("puff", 1.0f);
    CPParticleSpawnInfo* tail = &info;
    for (int i = 0; i < kRecords; ++i) {
        tail->next = std::make_unique<CPParticleSpawnInfo>(Request("puff", 1.0f, {0, 0, 1}));
        tail = tail->next.get();
    }
    const CPParticleSpawnInfo copy = info;
    int length = 0;
    for (const CPParticleSpawnInfo* record = copy.next.get(); record; record = record->next.get()) ++length;
    EXPECT_EQ(length, kRecords);
    Manager().SpawnEffect(info);
    Frame(0.1f);
    Manager().Clear();
}

TEST_F(ParticlesTest, ClearLeavesNothingToDrawAndKeepsTheTemplates) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\n", "mark a.tga x.fx 1 1 1 0 0\n", "", "x;1;1;1\n"));
    Manager().SpawnEffect(Request("puff", 5.0f));
    Manager().SpawnEffect(Request("mark", 5.0f));
    Frame(0.1f);
    Manager().Clear();
    EXPECT_TRUE(Manager().GetLiveEffects().empty());
    for (const char* name : {"puff", "mark"}) {
        EXPECT_EQ(Manager().GetEffect(name)->GetVertexCount(), 0) << name;
        EXPECT_FALSE(Manager().GetEffect(name)->IsActive()) << name;
    }
    EXPECT_EQ(dynamic_cast<CPSpotRenderObject&>(*Manager().GetEffect("mark")).GetQuads().size(), 0u);
    Manager().SpawnEffect(Request("puff", 5.0f));
    EXPECT_EQ(Manager().GetLiveEffects().size(), 1u) << "still usable";
}

TEST_F(ParticlesTest, RenderObjectsReportTheSizeOfARenderObject) {
    TPtr<CPParticleRenderObject> effect(new CPParticleRenderObject);
    TPtr<CPSpotRenderObject> spot(new CPSpotRenderObject);
    TPtr<CPRenderObject> mesh(new CPRenderObject(nullptr));
    EXPECT_EQ(effect->GetSize(), mesh->GetSize());
    EXPECT_EQ(spot->GetSize(), mesh->GetSize());
    EXPECT_EQ(spot->GetClassName(), "CPRenderObject");
}

}  // namespace
