// The object loader: vertex-animated descriptions, part animations and what happens when
// files are missing or damaged.
#include <gtest/gtest.h>

#include "Render/PAnimatedObject.h"
#include "Render/PAnimation.h"
#include "Render/PPartAnimation.h"
#include "core/PFileWriter.h"
#include "core/Result.h"
#include "objectloader_fixture.h"
#include "support/LogCapture.h"

namespace {

using namespace modeltest;
using loadertest::ObjectLoaderTest;

CPAnimatedObject* Animated(const TPtr<CPGameObject>& object) {
    return object ? object->GetAttachment().Get<CPAnimatedObject>() : nullptr;
}

TEST_F(ObjectLoaderTest, EveryNodeGetsOneAnimationPerFile) {
    WriteAnimation("first", AnimatedFile(AnimatedNode("Body", {AnimatedNode("leg")})));
    WriteAnimation("second", AnimatedFile(AnimatedNode("whatever", {AnimatedNode("leg")})));
    WriteDescription("walker.rdf",
                     "x = anim;run,first;walk,second\nspeed = 2\nsprite = glow,0,0,0,1,\n[leg]\ntexturefile1 = error.tga\n");
    const TPtr<CPGameObject> root = Load("walker.rdf");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetName(), "body") << "the first file fixes the tree";
    EXPECT_EQ(root->GetChildren().size(), 1u) << "no sprites, lights or emitters on a vertex-animated model";
    const TPtr<CPGameObject> leg = root->GetChild("leg");
    ASSERT_TRUE(Animated(root) && Animated(leg));
    for (CPAnimatedObject* animated : {Animated(root), Animated(leg)}) {
        EXPECT_TRUE(animated->GetAnimation("run"));
        EXPECT_TRUE(animated->GetAnimation("walk"));
        EXPECT_EQ(animated->GetCurrent(), animated->GetAnimation("run"));
        EXPECT_FLOAT_EQ(animated->speed, 2.0f);
        EXPECT_EQ(animated->GetType(), CPRenderObjectBase::Animated);
    }
    EXPECT_EQ(Animated(leg)->GetAnimation("run")->GetName(), "leg&first");
    EXPECT_EQ(Animated(leg)->GetAnimation("walk")->GetName(), "leg&second");
    const TPtr<CPAnimation> run = Animated(leg)->GetAnimation("run");
    EXPECT_EQ(run->GetFrameCount(), 2);
    EXPECT_FLOAT_EQ(run->GetFrameTime(), 1.0f / 15.0f);
    ASSERT_TRUE(run->GetFrames()[1].meshBuffers);
    EXPECT_EQ(run->GetFrames()[1].name, "leg&first1");
    EXPECT_TRUE(run->GetFrames()[1].vertices.empty()) << "uploaded, no copy kept";
    ASSERT_TRUE(Animated(leg)->GetMaterial());
    EXPECT_EQ(Animated(leg)->GetMaterial()->GetLayer(), 20);
}

TEST_F(ObjectLoaderTest, ANodeOfALaterFileWithoutItsObjectIsSkippedWhole) {
    WriteAnimation("first", AnimatedFile(AnimatedNode("body", {AnimatedNode("arm"), AnimatedNode("leg")})));
    // "tail" has no object: it and its child are passed over, and "leg" after it still gets its
    // animation from the right place in the file.
    SPAnimatedNode leg = AnimatedNode("leg");
    leg.animation.frames.resize(3, leg.animation.frames[0]);
    WriteAnimation("second", AnimatedFile(AnimatedNode("body", {AnimatedNode("tail", {AnimatedNode("arm")}), leg})));
    WriteDescription("odd.rdf", "x = anim;run,first;walk,second\n");
    const TPtr<CPGameObject> root = Load("odd.rdf");
    ASSERT_TRUE(root);
    EXPECT_FALSE(Animated(root->GetChild("arm"))->GetAnimation("walk"));
    ASSERT_TRUE(Animated(root->GetChild("leg"))->GetAnimation("walk"));
    EXPECT_EQ(Animated(root->GetChild("leg"))->GetAnimation("walk")->GetFrameCount(), 3);
}

TEST_F(ObjectLoaderTest, UnreadableAnimationFilesAreSkipped) {
    WriteAnimation("good", AnimatedFile(AnimatedNode("body")));
    std::vector<uint8_t> broken = WriteAnimatedFile(AnimatedFile(AnimatedNode("body")));
    broken.resize(broken.size() / 2);
    WriteFile("data/meshes/broken", broken);
    WriteDescription("skips.rdf", "x = anim;a,missing;b,broken;c,good\n");
    const TPtr<CPGameObject> root = Load("skips.rdf");
    ASSERT_TRUE(root);
    EXPECT_TRUE(Animated(root)->GetAnimation("c"));
    EXPECT_EQ(Animated(root)->GetAnimationCount(), 1u);
    WriteDescription("none.rdf", "x = anim;a,missing;b,broken\n");
    EXPECT_FALSE(Load("none.rdf"));
}

TEST_F(ObjectLoaderTest, PartAnimationsGoToTheNodesTheyName) {
    CPFileWriter file("data/animations/turret.pan");
    file.WriteInt(2);
    for (const char* part : {"Turret", "nothing"}) {
        file.WriteString(part);
        file.WriteInt(3);
        for (int key = 0; key < 3; ++key) {
            file.WriteFloat(1.0f);
            for (int value = 0; value < 12; ++value) file.WriteFloat(static_cast<float>(value + key));
        }
    }
    ASSERT_EQ(file.Save(), S_OK);
    WriteMesh("tank.msh", MeshFile(false, {Node("tank", {Node("turret")})}));
    WriteDescription("tank.rdf", "m = tank.msh\n[tank]\nanimation = idle,turret.pan;aim,turret.pan;gone,missing.pan\n");
    const TPtr<CPGameObject> root = Load("tank.rdf");
    ASSERT_TRUE(root);
    const TPtr<CPGameObject> turret = root->GetChild("turret");
    ASSERT_EQ(turret->GetPartAnimations().size(), 2u);
    const TPtr<CPPartAnimation>& idle = turret->GetUpdateTask();
    ASSERT_TRUE(idle);
    EXPECT_EQ(idle->GetTarget(), turret.Get());
    ASSERT_EQ(idle->GetKeys().size(), 3u);
    // Stored column by column: _11, _21, _31, _41, then _12 ...
    EXPECT_EQ(idle->GetKeys()[1].m[1][0], 2.0f);
    EXPECT_EQ(idle->GetKeys()[1].m[0][1], 5.0f);
    EXPECT_EQ(idle->GetKeys()[1].m[3][3], 1.0f);
    EXPECT_TRUE(root->GetPartAnimations().empty());
}

TEST_F(ObjectLoaderTest, PartsWithFewerThanThreeKeysAreLeftOut) {
    CPFileWriter file("data/animations/fan.pan");
    file.WriteInt(3);
    for (const int keyCount : {2, 3, 0}) {
        file.WriteString("blade" + std::to_string(keyCount));
        file.WriteInt(keyCount);
        for (int key = 0; key < keyCount; ++key) {
            for (int value = 0; value < 13; ++value) file.WriteFloat(1.0f);
        }
    }
    ASSERT_EQ(file.Save(), S_OK);
    CPObjectLoader::PartAnimations parts;
    const std::string log = testsupport::LogOf([&] { Loader().LoadPartAnimations("fan.pan", parts); });
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts.count("blade3"), 1u) << "the parts after a refused one are still read in place";
    EXPECT_NE(log.find("blade2"), std::string::npos) << log;
}

TEST_F(ObjectLoaderTest, AMissingDescriptionGivesTheFallbackObject) {
    WriteMesh("wrong.msh", MeshFile(false, {Node("wrong")}));
    WriteDescription("wrong.rdf", "m = wrong.msh\n");
    TPtr<CPGameObject> object;
    const std::string log = testsupport::LogOf([&] { object = Load("nosuch.rdf"); });
    ASSERT_TRUE(object);
    EXPECT_EQ(object->GetName(), "wrong");
    EXPECT_NE(log.find("nosuch.rdf"), std::string::npos) << log;
}

TEST_F(ObjectLoaderTest, AnUnreadableFallbackGivesNullOnce) {
    TPtr<CPGameObject> object = Load("x.rdf");
    const std::string log = testsupport::LogOf([&] { object = Load("nosuch.rdf"); });
    EXPECT_FALSE(object);
    EXPECT_NE(log.find("wrong.rdf cannot be read and nothing stands in"), std::string::npos) << log;
}

TEST_F(ObjectLoaderTest, ADamagedMeshFileGivesNullAndTheLogSaysWhy) {
    std::vector<uint8_t> bytes = WriteMeshFile(MeshFile(false, {Node("crate")}));
    bytes.pop_back();
    WriteFile("data/meshes/crate.msh", bytes);
    WriteDescription("crate.rdf", "m = crate.msh\nsprite = glow,0,0,0,1,\n");
    TPtr<CPGameObject> object;
    const std::string log = testsupport::LogOf([&] { object = Load("crate.rdf"); });
    EXPECT_FALSE(object);
    EXPECT_NE(log.find("crate.msh cannot be read: the data ends early"), std::string::npos) << log;
}

}  // namespace
