// Segment queries through scene objects: the nearest hit over several trees, the skipped subtree,
// objects out of the ray tests, and the owner reported with the hit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PMMObject.h"
#include "Render/PGameObject.h"
#include "script/PLuaScript.h"

namespace {

// Three targets along +x from the origin, each a group node with a unit box part, at x = 30,
// 10 and 20 in that order of creation; the one at 10 carries a turret child (a unit box at
// x = 5 in the world) and belongs to a scripted tank.
class RayTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_far = Target("far", 30.0f);
        m_tank = Make("tank");
        m_near = Target("near", 10.0f);
        m_tank->AddChild(m_near);
        m_turret = Target("turret", -5.0f);
        m_near->AddChild(m_turret);
        m_middle = Target("middle", 20.0f);
        m_script = new CPLuaScript;
        m_tank->SetScript(m_script);
        for (const TPtr<CPGameObject>& root : Roots()) root->UpdateTransform();
    }

    void TearDown() override {
        m_objects.clear();
        m_far = m_near = m_middle = m_turret = m_tank = nullptr;
        m_script = nullptr;
        CollectGarbage();
    }

    std::vector<TPtr<CPGameObject>> Roots() const { return {m_far, m_tank, m_middle}; }

    TPtr<CPGameObject> Make(const std::string& name) {
        m_objects.emplace_back(new CPGameObject(name));
        return m_objects.back();
    }

    TPtr<CPGameObject> Target(const std::string& name, float x) {
        TPtr<CPGameObject> object = Make(name);
        object->SetPosition({x, 0.0f, 0.0f});
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
        return object;
    }

    // A query along +x from the origin over the given length.
    static SPRayQuery Along(float length) {
        SPRayQuery query;
        query.origin = {0.0f, 0.0f, 0.0f};
        query.direction = {1.0f, 0.0f, 0.0f};
        query.distance = length;
        return query;
    }

    // Passes the query through every root, as the level does; true when any was hit.
    bool Cast(SPRayQuery& query) const {
        bool hit = false;
        for (const TPtr<CPGameObject>& root : Roots()) hit = root->RayHit(query) || hit;
        return hit;
    }

    std::vector<TPtr<CPGameObject>> m_objects;
    TPtr<CPGameObject> m_far, m_near, m_middle, m_turret, m_tank;
    TPtr<CPLuaScript> m_script;
};

TEST_F(RayTest, TheNearestHitOverSeveralTreesWins) {
    m_turret->SetCollision(false);
    SPRayQuery query = Along(100.0f);
    EXPECT_TRUE(Cast(query));
    EXPECT_EQ(query.hitObject.Get(), m_near.Get());
    EXPECT_EQ(query.hitOwner.Get(), m_tank.Get());
    EXPECT_FLOAT_EQ(query.distance, 9.0f);
    // The face x = 9, seen from the origin: its outward normal points back along -x.
    EXPECT_LT(query.hitPlane.a, 0.0f);
    EXPECT_FLOAT_EQ(query.hitPlane.b, 0.0f);
    EXPECT_FLOAT_EQ(query.hitPlane.c, 0.0f);
    EXPECT_FLOAT_EQ(-query.hitPlane.d / query.hitPlane.a, 9.0f);
}

TEST_F(RayTest, AChildIsTestedWithItsParent) {
    SPRayQuery query = Along(100.0f);
    EXPECT_TRUE(Cast(query));
    EXPECT_EQ(query.hitObject.Get(), m_turret.Get());
    EXPECT_EQ(query.hitOwner.Get(), m_tank.Get());
    EXPECT_FLOAT_EQ(query.distance, 4.0f);
}

TEST_F(RayTest, TheSkippedSubtreeIsNotTested) {
    SPRayQuery query = Along(100.0f);
    query.skip = m_near.Get();
    EXPECT_TRUE(Cast(query));
    EXPECT_EQ(query.hitObject.Get(), m_middle.Get());
    EXPECT_EQ(query.hitOwner.Get(), m_middle.Get());  // no script up its tree: the top
    EXPECT_FLOAT_EQ(query.distance, 19.0f);
}

TEST_F(RayTest, AnObjectOutOfTheRayTestsHidesItsSubtree) {
    // The level takes an object out of the world (hidden gates, cleared barriers) this way.
    m_near->SetCollision(false);
    m_middle->SetCollision(false);
    SPRayQuery query = Along(100.0f);
    EXPECT_TRUE(Cast(query));
    EXPECT_EQ(query.hitObject.Get(), m_far.Get());
    EXPECT_FLOAT_EQ(query.distance, 29.0f);
}

TEST_F(RayTest, ASegmentThatEndsShortHitsNothing) {
    SPRayQuery query = Along(3.5f);
    EXPECT_FALSE(Cast(query));
    EXPECT_FALSE(query.hitObject);
    EXPECT_FLOAT_EQ(query.distance, 3.5f);

    // Passing by the side of everything.
    query = Along(100.0f);
    query.origin = {0.0f, 5.0f, 0.0f};
    EXPECT_FALSE(Cast(query));
}

TEST_F(RayTest, AGroupWithoutPartsStillTestsItsChildren) {
    TPtr<CPGameObject> group = Make("group");
    group->AddChild(Target("inside", 2.0f));
    group->UpdateTransform();
    SPRayQuery query = Along(100.0f);
    EXPECT_TRUE(group->RayHit(query));
    EXPECT_EQ(query.hitObject->GetName(), "inside");
    EXPECT_FLOAT_EQ(query.distance, 1.0f);
}

TEST_F(RayTest, ASegmentStartingInsideABoxHitsItAtOnce) {
    SPRayQuery query = Along(100.0f);
    query.origin = {20.5f, 0.0f, 0.0f};
    EXPECT_TRUE(m_middle->RayHit(query));
    EXPECT_EQ(query.hitObject.Get(), m_middle.Get());
    EXPECT_FLOAT_EQ(query.distance, 0.0f);
}

TEST_F(RayTest, MovedTargetsAreFoundWhereTheyAreNow) {
    m_tank->SetPosition({0.0f, 0.0f, 50.0f});
    m_tank->UpdateTransform();
    SPRayQuery query = Along(100.0f);
    EXPECT_TRUE(Cast(query));
    EXPECT_EQ(query.hitObject.Get(), m_middle.Get());
}

}  // namespace
