#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"
#include "support/AllocationCounter.h"

namespace {

struct Mesh {
    std::vector<PhysicsVector> vertices;
    std::vector<PhysicsMeshTriangle> triangles;

    void Add(int32_t a, int32_t b, int32_t c)
    {
        PhysicsMeshTriangle t;
        t.vertex[0] = a;
        t.vertex[1] = b;
        t.vertex[2] = c;
        t.material = 2;
        triangles.push_back(t);
    }
    bool Build(PhysicsTerrainTree& tree) const
    {
        return tree.BuildTree(vertices.data(), static_cast<int32_t>(vertices.size()), triangles.data(),
                              static_cast<int32_t>(triangles.size()), nullptr);
    }
};

// A grid of cells × cells squares of the given size, two triangles each, with z from height(x, y).
template <typename Height>
Mesh Grid(int cells, float size, Height height)
{
    Mesh mesh;
    for (int j = 0; j <= cells; ++j)
        for (int i = 0; i <= cells; ++i)
            mesh.vertices.push_back({i * size, j * size, height(i, j), 0});
    for (int j = 0; j < cells; ++j)
        for (int i = 0; i < cells; ++i) {
            const int32_t v = j * (cells + 1) + i;
            mesh.Add(v, v + 1, v + cells + 2);
            mesh.Add(v, v + cells + 2, v + cells + 1);
        }
    return mesh;
}

std::set<int32_t> QueriedTriangles(const PhysicsTerrainTree& tree, const PhysicsVector& low, const PhysicsVector& high)
{
    std::vector<const PhysicsTerrainNode*> leaves;
    tree.Query(leaves, low, high);
    std::set<int32_t> triangles;
    for (const PhysicsTerrainNode* leaf : leaves) triangles.insert(leaf->triangles, leaf->triangles + leaf->triangleCount);
    return triangles;
}

std::set<int32_t> AllLeafTriangles(const PhysicsTerrainTree& tree)
{
    return QueriedTriangles(tree, {-1e9f, -1e9f, -1e9f, 0}, {1e9f, 1e9f, 1e9f, 0});
}

bool BoundsMeet(const Mesh& mesh, const PhysicsMeshTriangle& t, const PhysicsVector& low, const PhysicsVector& high)
{
    for (int i = 0; i < 3; ++i) {
        float lowest = 1e30f, highest = -1e30f;
        for (int32_t k : t.vertex) {
            lowest = std::min(lowest, At(mesh.vertices[k], i));
            highest = std::max(highest, At(mesh.vertices[k], i));
        }
        if (lowest > At(high, i) || highest < At(low, i)) return false;
    }
    return true;
}

// Whether a point of the triangle, sampled on a barycentric grid, lies in the box.
bool SampledTouch(const Mesh& mesh, const PhysicsMeshTriangle& t, const PhysicsVector& low, const PhysicsVector& high)
{
    const PhysicsVector& a = mesh.vertices[t.vertex[0]];
    const PhysicsVector& b = mesh.vertices[t.vertex[1]];
    const PhysicsVector& c = mesh.vertices[t.vertex[2]];
    const int n = 12;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) {
            const float u = static_cast<float>(i) / n, v = static_cast<float>(j) / n;
            const PhysicsVector p = a + (b - a) * u + (c - a) * v;
            if (p.x >= low.x && p.x <= high.x && p.y >= low.y && p.y <= high.y && p.z >= low.z && p.z <= high.z)
                return true;
        }
    return false;
}

TEST(PhysicsTerrainTree, NineTrianglesMakeOneLeaf)
{
    Mesh mesh = Grid(3, 1.0f, [](int i, int j) { return static_cast<float>(i * j) * 0.1f; });
    mesh.triangles.resize(9);
    PhysicsTerrainTree tree;
    ASSERT_TRUE(mesh.Build(tree));
    const PhysicsTerrainNode* root = tree.GetNode(-1);
    ASSERT_EQ(root->triangleCount, 9);
    EXPECT_EQ(tree.NodeCount(), 0);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(root->triangles[i], i);
    EXPECT_EQ(root->parent, -2);
}

TEST(PhysicsTerrainTree, BoxQueriesReachEveryTriangleTheBoxTouches)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> height(-2.0f, 6.0f);
    std::vector<float> heights;
    for (int k = 0; k < 33 * 33; ++k) heights.push_back(height(random));
    const Mesh mesh = Grid(32, 1.0f, [&](int i, int j) { return heights[j * 33 + i]; });
    PhysicsTerrainTree tree;
    ASSERT_TRUE(mesh.Build(tree));
    ASSERT_GT(tree.NodeCount(), 20);
    EXPECT_EQ(AllLeafTriangles(tree).size(), mesh.triangles.size());

    std::uniform_real_distribution<float> corner(-2.0f, 34.0f), extent(0.05f, 4.0f), z(-3.0f, 7.0f);
    int touched = 0;
    for (int query = 0; query < 400; ++query) {
        const PhysicsVector low{corner(random), corner(random), z(random), 0};
        const PhysicsVector high = low + PhysicsVector{extent(random), extent(random), extent(random), 0};
        const std::set<int32_t> found = QueriedTriangles(tree, low, high);
        const PhysicsVector centre = (low + high) * 0.5f, half = (high - low) * 0.5f;
        for (int32_t t = 0; t < static_cast<int32_t>(mesh.triangles.size()); ++t) {
            const PhysicsMeshTriangle& tri = mesh.triangles[t];
            if (!BoundsMeet(mesh, tri, low, high)) continue;  // apart on a box axis: neither test can hit
            const bool overlaps = TriangleBoxOverlap(centre, half, mesh.vertices[tri.vertex[0]],
                                                     mesh.vertices[tri.vertex[1]], mesh.vertices[tri.vertex[2]]);
            const bool sampled = SampledTouch(mesh, tri, low, high);
            if (sampled) {
                ASSERT_TRUE(overlaps) << "query " << query << " triangle " << t;
            }
            if (overlaps) {
                ++touched;
                ASSERT_TRUE(found.count(t)) << "query " << query << " triangle " << t;
            }
        }
    }
    EXPECT_GT(touched, 400);
}

TEST(PhysicsTerrainTree, UnusableTrianglesAreLeftOut)
{
    Mesh mesh = Grid(4, 1.0f, [](int, int) { return 0.0f; });
    const int32_t good = static_cast<int32_t>(mesh.triangles.size());
    mesh.vertices.push_back({NAN, 0, 0, 0});
    const int32_t nan = static_cast<int32_t>(mesh.vertices.size()) - 1;
    mesh.Add(0, 1, 99);          // index past the last vertex
    mesh.Add(-1, 1, 2);          // negative index
    mesh.Add(0, 1, nan);         // a corner that is not a number
    mesh.Add(0, 1, 2);           // three corners on one line
    mesh.Add(3, 3, 3);           // one point
    PhysicsTerrainTree tree;
    ASSERT_TRUE(mesh.Build(tree));
    const std::set<int32_t> listed = AllLeafTriangles(tree);
    EXPECT_EQ(listed.size(), static_cast<std::size_t>(good));
    EXPECT_EQ(*listed.rbegin(), good - 1);
    EXPECT_TRUE(std::isfinite(tree.GetNode(-1)->maximum.x));

    // A mesh of nothing but unusable triangles is refused and the tree stays as it was.
    Mesh broken;
    broken.vertices = {{0, 0, 0, 0}, {1, 0, 0, 0}};
    broken.Add(0, 1, 5);
    broken.Add(0, 0, 1);
    EXPECT_FALSE(broken.Build(tree));
    EXPECT_EQ(AllLeafTriangles(tree).size(), static_cast<std::size_t>(good));
    EXPECT_FALSE(tree.BuildTree(nullptr, 0, nullptr, 0, nullptr));
}

TEST(PhysicsTerrainTree, AFlatGroundGivesTheSameTrianglesToBothHalvesOfTheHeightSplit)
{
    const Mesh mesh = Grid(8, 1.0f, [](int, int) { return 2.0f; });
    PhysicsTerrainTree tree;
    ASSERT_TRUE(mesh.Build(tree));
    const PhysicsTerrainNode* root = tree.GetNode(-1);
    ASSERT_FALSE(root->IsLeaf());
    ASSERT_GE(root->children[0], 0);
    ASSERT_GE(root->children[3], 0);
    const PhysicsTerrainNode* lower = tree.GetNode(root->children[0]);
    const PhysicsTerrainNode* upper = tree.GetNode(root->children[3]);
    EXPECT_FLOAT_EQ(lower->maximum.z, 2.0f);
    EXPECT_FLOAT_EQ(upper->minimum.z, 2.0f);
    // Both halves hold the same triangles, in the same order, down to their leaves.
    std::vector<int32_t> lowerList, upperList;
    auto collect = [&](auto&& self, const PhysicsTerrainNode* node, std::vector<int32_t>& out) -> void {
        if (node->IsLeaf()) {
            out.insert(out.end(), node->triangles, node->triangles + node->triangleCount);
            return;
        }
        for (int32_t child : node->children)
            if (child >= 0) self(self, tree.GetNode(child), out);
    };
    collect(collect, lower, lowerList);
    collect(collect, upper, upperList);
    EXPECT_EQ(lowerList, upperList);
}

TEST(PhysicsTerrainTree, AQueryBoxTouchingALeafOnOneFaceReachesIt)
{
    const Mesh mesh = Grid(2, 1.0f, [](int i, int) { return static_cast<float>(i); });
    PhysicsTerrainTree tree;
    ASSERT_TRUE(mesh.Build(tree));
    const PhysicsTerrainNode* root = tree.GetNode(-1);
    ASSERT_TRUE(root->IsLeaf());
    EXPECT_EQ(QueriedTriangles(tree, {2, 0, 0, 0}, {3, 1, 1, 0}).size(), 8u);  // touches x = 2
    EXPECT_TRUE(QueriedTriangles(tree, {2.001f, 0, 0, 0}, {3, 1, 1, 0}).empty());
}

TEST(PhysicsTerrainTree, TheStepOverTerrainAllocatesNothing)
{
    const Mesh mesh = Grid(16, 2.0f, [](int i, int j) { return std::sin(i * 0.7f) + std::cos(j * 0.4f); });
    SimulatorPtr sim = MakeSimulator();
    PhysicsTriangleMesh terrain{mesh.vertices.data(), static_cast<int32_t>(mesh.vertices.size()), mesh.triangles.data(),
                                static_cast<int32_t>(mesh.triangles.size())};
    ASSERT_TRUE(sim->SetTerrainMesh(terrain));
    for (int i = 0; i < 30; ++i) {
        PhysicsRigidBody* body = AddBox(*sim, {2.0f + i % 6 * 5.0f, 2.0f + i / 6 * 5.0f, 3, 0}, {3, 3, 3, 0});
        body->SetVelocity({10, 6, 0, 0});
    }
    sim->Simulate(kStep, 1, nullptr);
    testsupport::ResetCountedAllocations();
    testsupport::SetCountingAllocations(true);
    sim->Simulate(0.5f, 75, nullptr);
    testsupport::SetCountingAllocations(false);
    EXPECT_EQ(testsupport::CountedAllocations(), 0);
}

}  // namespace
