// Object descriptions: what the text of a .rdf file says.
#include <gtest/gtest.h>

#include <string>

#include "Render/ObjectDescription.h"
#include "support/LogCapture.h"

namespace {

SPObjectDescription Parse(const std::string& text) { return ParseObjectDescription(text.data(), text.size(), "test.rdf"); }

TEST(ObjectDescription, KeysAndValuesArriveLowerCasedPerSection) {
    const SPObjectDescription d = Parse(
        "Mesh = Car.P3D\n"
        "EffectFile = ignored.fx\n"
        "[Body]\n"
        "EffectFile = Metal.FX\n"
        "TextureFile1 = Paint.TGA\n"
        "// a comment line\n"
        "[wheel]\n"
        "type = 1\n"
        "[BODY]\n"
        "effectfile = chrome.fx\n"
        "shadow = 0\n");
    EXPECT_EQ(d.value, "Car.P3D") << "the first value keeps its case";
    ASSERT_EQ(d.properties.size(), 2u);
    const PropertyMap& body = d.PropertiesOf("body");
    EXPECT_EQ(body.at("effectfile"), "chrome.fx") << "a later section of the same name overrides";
    EXPECT_EQ(body.at("texturefile1"), "paint.tga");
    EXPECT_EQ(body.at("shadow"), "0");
    EXPECT_EQ(d.PropertiesOf("wheel").at("type"), "1");
    EXPECT_TRUE(d.PropertiesOf("nothing").empty());
}

TEST(ObjectDescription, SpritesLightsEmittersScaleAndSpeedBelongToTheWholeObject) {
    const SPObjectDescription d = Parse(
        "x = anim;run,First.ani\n"
        "Sprite = Glow,0,0,1,0.5,\n"
        "[node]\n"
        "light = lamp,node,0,1,2,3,1,1,1,0.1,10\n"
        "sprite = spark,0,0,0,1,node\n"
        "scale = 2\n"
        "psystem = smoke,node,0,0,0,0.5,puff\n"
        "speed = 0.5\n"
        "scale = 3\n");
    EXPECT_EQ(d.value, "anim;run,First.ani");
    ASSERT_EQ(d.sprites.size(), 2u);
    EXPECT_EQ(d.sprites[0], "glow,0,0,1,0.5,");
    EXPECT_EQ(d.sprites[1], "spark,0,0,0,1,node");
    EXPECT_EQ(d.lights.size(), 1u);
    EXPECT_EQ(d.emitters.size(), 1u);
    EXPECT_FLOAT_EQ(d.scale, 3.0f) << "the last one wins";
    EXPECT_FLOAT_EQ(d.speed, 0.5f);
    EXPECT_TRUE(d.PropertiesOf("node").empty()) << "object-wide keys stay out of the section";
}

TEST(ObjectDescription, ScaleAndSpeedAreOneWhenAbsentAndEmptyTextGivesNothing) {
    const SPObjectDescription d = Parse("");
    EXPECT_EQ(d.value, "");
    EXPECT_FLOAT_EQ(d.scale, 1.0f);
    EXPECT_FLOAT_EQ(d.speed, 1.0f);
    EXPECT_EQ(Parse("novalue").value, "");
}

TEST(ObjectDescription, AScaleOrSpeedThatIsNotFiniteIsLeftOutWithALogLine) {
    for (const char* number : {"inf", "-inf", "nan", "1e39", "-1e39"}) {
        SPObjectDescription d;
        const std::string log = testsupport::LogOf(
            [&] { d = Parse(std::string("mesh = a.p3d\nscale = 2\nspeed = ") + number + "\nscale = " + number); });
        EXPECT_FLOAT_EQ(d.speed, 1.0f) << number;
        EXPECT_FLOAT_EQ(d.scale, 2.0f) << number << ": the earlier line stands";
        EXPECT_NE(log.find(std::string("test.rdf: \"speed = ") + number + "\" left out"), std::string::npos) << log;
        EXPECT_NE(log.find(std::string("test.rdf: \"scale = ") + number + "\" left out"), std::string::npos) << log;
    }
    EXPECT_FLOAT_EQ(Parse("mesh = a.p3d\nspeed = 3e38").speed, 3e38f) << "a large finite speed is a speed";
}

}  // namespace
