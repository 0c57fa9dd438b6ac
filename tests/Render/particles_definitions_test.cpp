// The particle manager's definition files: templates, emitters and flames as the lines give
// them, and what happens when a file is missing.
#include <cmath>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PParticleSystem.h"
#include "Render/PSpotRenderObject.h"
#include "Render/ParticleDefinitions.h"
#include "particles_fixture.h"

namespace {

const char* kFlames = "smoke;0.1;5;2\n";

TEST_F(ParticlesTest, LaterLinesOfTheSameNameReplaceEarlierTemplatesAcrossBothFiles) {
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\n"
                             "puff b.tga x.fx 2 2 5 1 0\n"
                             "mark c.tga x.fx 1 1 1 0 0\n",
                             "mark d.tga x.fx 4 1 1 0 0\n", "", kFlames));
    const TPtr<CPParticleRenderObject> puff = Manager().GetEffect("puff");
    ASSERT_TRUE(puff);
    EXPECT_EQ(puff->GetFrameCount(), 4);
    EXPECT_EQ(puff->GetFrameValue(), 5);
    EXPECT_TRUE(puff->IsDarkened());
    const TPtr<CPParticleRenderObject> mark = Manager().GetEffect("mark");
    ASSERT_TRUE(mark);
    EXPECT_NE(dynamic_cast<CPSpotRenderObject*>(mark.Get()), nullptr) << "the spot line replaced the particle line";
    EXPECT_EQ(mark->GetColumns(), 4);
}

TEST_F(ParticlesTest, ColumnsAndRowsGiveTheFramesAndZeroCountsAsOne) {
    struct Case {
        const char* line;
        bool animated;
        int32_t columns, rows;
    };
    const Case cases[] = {
        {"t a.tga x.fx 1 1 1 0 0", false, 1, 1},
        {"t a.tga x.fx 0 0 1 0 0", false, 1, 1},
        {"t a.tga x.fx 4 0 1 0 0", true, 4, 1},
        {"t a.tga x.fx 0 3 1 0 0", true, 1, 3},
        {"t a.tga x.fx -5 2 1 0 0", true, 1, 2},
        {"t a.tga x.fx 4 2 1 0 0", true, 4, 2},
        {"t", false, 1, 1},
    };
    for (const Case& c : cases) {
        SPEffectDefinition definition;
        EXPECT_TRUE(ParseEffectLine(c.line, definition)) << c.line;
        TPtr<CPParticleRenderObject> effect(new CPParticleRenderObject);
        effect->SetFrames(definition.columns, definition.rows, definition.frameValue);
        EXPECT_EQ(effect->IsAnimated(), c.animated) << c.line;
        EXPECT_EQ(effect->GetColumns(), c.columns) << c.line;
        EXPECT_EQ(effect->GetRows(), c.rows) << c.line;
        EXPECT_EQ(effect->GetFrameCount(), c.columns * c.rows) << c.line;
    }
}

TEST_F(ParticlesTest, ColourKeysAndEmitterFieldsAreReadInOrder) {
    SPEffectDefinition effect;
    EXPECT_TRUE(ParseEffectLine("fire f.tga add.fx 4 2 1 0 3 \"1:1:0.5:0:0.3, 0:0.2:0.1:0:0.9\"", effect));
    EXPECT_EQ(effect.layer, 3);
    ASSERT_EQ(effect.keys.size(), 2u);
    EXPECT_FLOAT_EQ(effect.keys[0].green, 0.5f);
    EXPECT_FLOAT_EQ(effect.keys[1].size, 0.9f);

    std::string name;
    SPEmitterInfo emitter;
    EXPECT_TRUE(ParseEmitterLine("jet fire 2 0.5 0.1 0 3 40 1 0 0 0 0 -9 0.1 0.2 0.3", name, emitter));
    EXPECT_EQ(name, "jet");
    EXPECT_EQ(emitter.effect, "fire");
    EXPECT_FLOAT_EQ(emitter.life, 2.0f);
    EXPECT_FLOAT_EQ(emitter.size, 0.5f);
    EXPECT_FLOAT_EQ(emitter.growth, 0.1f);
    EXPECT_FALSE(emitter.fade);
    EXPECT_FLOAT_EQ(emitter.speed, 3.0f);
    EXPECT_EQ(emitter.spread, 40);
    EXPECT_FLOAT_EQ(emitter.direction.x, 1.0f);
    EXPECT_FLOAT_EQ(emitter.acceleration.z, -9.0f);
    EXPECT_FLOAT_EQ(emitter.jitter.z, 0.3f);

    SPFlameDefinition flame;
    EXPECT_TRUE(ParseFlameLine("a, b,c;0.25;7;3", flame));
    EXPECT_EQ(flame.emitterNames, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FLOAT_EQ(flame.interval, 0.25f);
    EXPECT_FLOAT_EQ(flame.lifetime, 7.0f);
    EXPECT_FLOAT_EQ(flame.extra, 3.0f);
}

TEST_F(ParticlesTest, LinesWithNumbersThatAreNotFiniteAreLeftOutExceptFlamesWhichKeepTheirPlace) {
    std::string log;
    ASSERT_TRUE(StartManager("puff a.tga x.fx 1 1 1 0 0\nhot a.tga x.fx 1 1 1 0 0 1:inf:1:1:1\n", "",
                             "smoke puff 1 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n"
                             "jet puff 1 1 0 1 1e39 0 0 0 1 0 0 0 0 0 0\n"
                             "mist puff nan 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n",
                             "smoke;inf;5;2\nsmoke;0.2;1;0\n", &log));
    EXPECT_TRUE(Manager().GetEffect("puff"));
    EXPECT_FALSE(Manager().GetEffect("hot"));
    EXPECT_TRUE(Manager().FindEmitter("smoke"));
    EXPECT_FALSE(Manager().FindEmitter("jet"));
    EXPECT_FALSE(Manager().FindEmitter("mist"));
    ASSERT_EQ(Manager().GetFlameCount(), 2);
    EXPECT_FLOAT_EQ(Manager().CloneFlame(0)->GetInterval(), 0.0f);
    EXPECT_FLOAT_EQ(Manager().CloneFlame(0)->GetLifetime(), 5.0f);
    EXPECT_FLOAT_EQ(Manager().CloneFlame(1)->GetInterval(), 0.2f);
    for (const char* named : {"particles.dat: the line \"hot\"", "particlesystems.dat: the line \"jet\"",
                              "particlesystems.dat: the line \"mist\"", "flames.dat: the line of flame 0"}) {
        EXPECT_NE(log.find(named), std::string::npos) << named << "\n" << log;
    }
}

// The frame rate of an animated template is its frames over the particle's life.
TEST_F(ParticlesTest, ATinyEmitterLifeIsAMillisecondAndItsParticleFramesStayCountable) {
    std::string name;
    SPEmitterInfo emitter;
    for (const char* life : {"1e-39", "1e-30", "0.0000001"}) {
        ASSERT_TRUE(ParseEmitterLine(std::string("e puff ") + life + " 1 0 1 0 0 0 0 1 0 0 0 0 0 0", name, emitter));
        EXPECT_FLOAT_EQ(emitter.life, kShortestParticleLife) << life;
    }
    ASSERT_TRUE(ParseEmitterLine("e puff 0 1 0 1 0 0 0 0 1 0 0 0 0 0 0", name, emitter));
    EXPECT_FLOAT_EQ(emitter.life, 0.0f) << "no life stays no life";
    ASSERT_TRUE(ParseEmitterLine("e puff -2 1 0 1 0 0 0 0 1 0 0 0 0 0 0", name, emitter));
    EXPECT_FLOAT_EQ(emitter.life, -2.0f);

    ASSERT_TRUE(StartManager("puff a.tga x.fx 4 4 1 0 0\n", "", "tiny puff 1e-39 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n", kFlames));
    TPtr<CPGameObject> holder(new CPGameObject("holder"));
    TPtr<CPParticleSystem> system(new CPParticleSystem(holder.Get(), "tiny"));
    system->SetInterval(0.01f);
    g_frameDelta = 0.02f;
    system->Update();
    const TPtr<CPParticleRenderObject> puff = Manager().GetEffect("puff");
    ASSERT_GT(puff->ParticleCount(), 0);
    EXPECT_TRUE(std::isfinite(puff->GetParticles()[0].frameRate));
    Frame(0.0005f);
    std::vector<SPVertex> vertices(4 * static_cast<size_t>(puff->ParticleCount()));
    std::vector<uint16_t> indices(6 * static_cast<size_t>(puff->ParticleCount()));
    puff->WriteGeometry(vertices.data(), indices.data(), 0);
}

TEST_F(ParticlesTest, FlamesAreBuiltFromTheirKnownEmittersInLineOrder) {
    ASSERT_TRUE(StartManager("", "", "smoke puff 1 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n",
                             "smoke,ghost;0.1;5;2\nghost;0.3;0;0\nsmoke;0.2;1;0\nsmoke,smoke;0.4;2;1\n"));
    ASSERT_EQ(Manager().GetFlameCount(), 4);
    const TPtr<CPParticleSystem> first = Manager().CloneFlame(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->GetEmitters().size(), 1u) << "the unknown emitter is skipped";
    EXPECT_EQ(first->GetEmitterNames().size(), 2u);
    EXPECT_FLOAT_EQ(first->GetInterval(), 0.1f);
    EXPECT_FLOAT_EQ(first->GetLifetime(), 5.0f);
    EXPECT_FLOAT_EQ(first->GetExtra(), 2.0f);
    EXPECT_TRUE(Manager().CloneFlame(1)->GetEmitters().empty());
    EXPECT_EQ(Manager().CloneFlame(3)->GetEmitters().size(), 2u);
    EXPECT_FALSE(Manager().CloneFlame(4)) << "past the last flame";
    EXPECT_FALSE(Manager().CloneFlame(-1));
}

TEST_F(ParticlesTest, AMissingFileCountsAsEmptyAndTheLogNamesIt) {
    std::string log;
    EXPECT_TRUE(StartManager("", "mark a.tga x.fx 1 1 1 0 0\n", "", kFlames, &log));
    EXPECT_TRUE(Manager().IsRunning());
    EXPECT_TRUE(Manager().GetEffect("mark")) << "the files after the missing one are read";
    EXPECT_NE(log.find("particles.dat"), std::string::npos) << log;
    EXPECT_NE(log.find("particlesystems.dat"), std::string::npos) << log;
    EXPECT_EQ(log.find("spots.dat"), std::string::npos) << log;
}

TEST_F(ParticlesTest, WithoutTheFlameFileTheManagerDoesNotRun) {
    std::string log;
    EXPECT_FALSE(StartManager("puff a.tga x.fx 1 1 1 0 0\n", "mark a.tga x.fx 1 1 1 0 0\n",
                              "smoke puff 1 1 0 1 0 0 0 0 1 0 0 0 0 0 0\n", "", &log));
    EXPECT_FALSE(Manager().IsRunning());
    EXPECT_NE(log.find("flames.dat"), std::string::npos) << log;
    EXPECT_TRUE(Manager().GetEffect("puff")) << "the other three files were read";
}

}  // namespace
