// The level tree answers segment tests and sphere queries exactly as a scan of its objects does,
// splits as designed, stops splitting at its depth limit and activates its leaves by distance.
#include <gtest/gtest.h>

#include "Render/ShadowProjection.h"
#include "core/PMMObject.h"
#include "game/PLevelBranch.h"
#include "level_objects.h"

namespace {

using namespace levelobjects;

TPtr<CPLevelBranch> Tree(const Objects& objects)
{
    TPtr<CPLevelBranch> root(new CPLevelBranch());
    root->SetObjects(objects);
    root->Build(0);
    return root;
}

int32_t Depth(const CPLevelBranch& node)
{
    if (node.IsLeaf()) return 0;
    return 1 + std::max(Depth(*node.GetFirst()), Depth(*node.GetSecond()));
}

size_t LeafObjectCount(const CPLevelBranch& node)
{
    if (node.IsLeaf()) return node.GetObjects().size();
    return LeafObjectCount(*node.GetFirst()) + LeafObjectCount(*node.GetSecond());
}

class LevelTreeTest : public ::testing::Test {
protected:
    // The boxes' shadows, part of their drawn boxes, fall as before any level set its light.
    void SetUp() override { g_shadowProjection = MatrixIdentity(); }
    void TearDown() override { CollectGarbage(); }
};

TEST_F(LevelTreeTest, SegmentsAndSpheresFindWhatAScanFinds)
{
    for (unsigned seed = 1; seed <= 5; ++seed) {
        std::mt19937 random(seed);
        const Objects boxes = RandomBoxes(random, 300, 100.0f);
        const TPtr<CPLevelBranch> tree = Tree(boxes);
        EXPECT_EQ(LeafObjectCount(*tree), boxes.size());
        for (int i = 0; i < 300; ++i) {
            SPRayQuery byTree = RandomSegment(random, 100.0f);
            SPRayQuery byScan = byTree;
            ASSERT_EQ(tree->CrossRay(byTree), ScanRay(boxes, byScan)) << seed << " " << i;
            EXPECT_EQ(byTree.distance, byScan.distance) << seed << " " << i;
            EXPECT_EQ(byTree.hitObject, byScan.hitObject) << seed << " " << i;

            std::uniform_real_distribution<float> place(-110.0f, 110.0f), radius(0.0f, 20.0f);
            const PVector3 centre{place(random), place(random), 1.0f};
            const float r = radius(random);
            Objects found;
            tree->QuerySphere(centre, r, found);
            EXPECT_EQ(Sorted(found), Sorted(ScanSphere(boxes, centre, r))) << seed << " " << i;
        }
    }
}

TEST_F(LevelTreeTest, SplitsAtTheMiddleOfTheCentresAndKeepsInseparableObjectsTogether)
{
    const TPtr<CPLevelBranch> single = Tree({Box("a", {0, 0, 0}, {1, 1, 1})});
    EXPECT_TRUE(single->IsLeaf());

    const TPtr<CPLevelBranch> same = Tree({Box("a", {3, 3, 0}, {1, 1, 1}), Box("b", {3, 3, 0}, {2, 2, 2})});
    EXPECT_TRUE(same->IsLeaf());
    EXPECT_EQ(same->GetObjects().size(), 2u);

    // Centres 0, 5 and 10 along x: 5 lies on the split point and goes to second with 0.
    const TPtr<CPGameObject> left = Box("left", {0, 0, 0}, {1, 1, 1});
    const TPtr<CPGameObject> middle = Box("middle", {5, 0, 0}, {1, 1, 1});
    const TPtr<CPGameObject> right = Box("right", {10, 0, 0}, {1, 1, 1});
    const TPtr<CPLevelBranch> tree = Tree({left, middle, right});
    ASSERT_FALSE(tree->IsLeaf());
    ASSERT_EQ(tree->GetFirst()->GetObjects().size(), 1u);
    EXPECT_EQ(tree->GetFirst()->GetObjects()[0], right);
    EXPECT_EQ(tree->GetSecond()->GetObjects().size(), 2u);
}

TEST_F(LevelTreeTest, ItStopsSplittingAtItsDepthLimit)
{
    // Centres at 2^-i: every split separates only the farthest, so the chain would be as deep as
    // there are objects.
    Objects chain;
    for (int i = 0; i < 100; ++i) chain.push_back(Box("link", {std::ldexp(1000.0f, -i), 0, 0}, {0.001f, 1, 1}));
    const TPtr<CPLevelBranch> tree = Tree(chain);
    EXPECT_EQ(Depth(*tree), CPLevelBranch::kMaxDepth);
    EXPECT_EQ(LeafObjectCount(*tree), chain.size());
    SPRayQuery query;
    query.origin = {-1.0f, 0.0f, 0.0f};
    query.direction = {1.0f, 0.0f, 0.0f};
    query.distance = 2000.0f;
    EXPECT_TRUE(tree->CrossRay(query));
}

TEST_F(LevelTreeTest, LandIsLeftOutOnlyWhenAsked)
{
    const TPtr<CPGameObject> land = Box("land", {0, 0, 0}, {5, 5, 0.1f});
    const TPtr<CPGameObject> landmark = Box("landmark", {1, 0, 0}, {1, 1, 1});
    const TPtr<CPLevelBranch> tree = Tree({land, landmark});
    Objects all, exceptLand;
    tree->QuerySphere({0, 0, 0}, 2.0f, all);
    tree->QuerySphereExceptLand({0, 0, 0}, 2.0f, exceptLand);
    EXPECT_EQ(all.size(), 2u);
    ASSERT_EQ(exceptLand.size(), 1u);
    EXPECT_EQ(exceptLand[0], landmark);
}

TEST_F(LevelTreeTest, LeavesActivateOnceAndAgainAfterThePlayerReturns)
{
    const TPtr<CPGameObject> near = Box("near", {0, 0, 0}, {1, 1, 1});
    const TPtr<CPGameObject> far = Box("far", {500, 0, 0}, {1, 1, 1});
    const TPtr<CPGameObject> farther = Box("farther", {520, 0, 0}, {1, 1, 1});
    const TPtr<CPLevelBranch> tree = Tree({near, far, farther});
    tree->UpdateActive(0.0f, 0.0f, 160.0f);
    EXPECT_TRUE(near->IsActive());
    EXPECT_FALSE(far->IsActive());
    tree->UpdateActive(0.0f, 0.0f, 160.0f);
    EXPECT_TRUE(near->IsActive());

    tree->UpdateActive(510.0f, 0.0f, 160.0f);
    EXPECT_FALSE(near->IsActive());
    EXPECT_TRUE(far->IsActive());
    EXPECT_TRUE(farther->IsActive());
    tree->UpdateActive(0.0f, 0.0f, 160.0f);
    EXPECT_TRUE(near->IsActive());
    EXPECT_FALSE(far->IsActive()) << "the far subtree left the range: its objects leave the world";
    tree->UpdateActive(510.0f, 0.0f, 160.0f);
    EXPECT_TRUE(far->IsActive()) << "and come back with the player";
}

}  // namespace
