// The pair tests of the narrow phase on random overlapping poses: ns per box-box, box-capsule,
// capsule-capsule, box-triangle and hull-hull test. Each benchmark cycles through 1,024 poses
// drawn once with a fixed seed, all of which touch.
//
// Run: build/bench/bench/bench_physics_narrowphase
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "physics/engine/PhysicsConvexHull.h"
#include "physics/engine/PhysicsOrientedBox.h"
#include "physics/engine/PhysicsPrimitiveTests.h"

namespace {

constexpr int kPoses = 1024;

PhysicsTransform RandomPlace(std::mt19937& random, float extent)
{
    std::normal_distribution<float> gauss;
    std::uniform_real_distribution<float> coordinate(-extent, extent);
    PhysicsQuaternion q = Normalized(PhysicsQuaternion{gauss(random), gauss(random), gauss(random), gauss(random)});
    PhysicsTransform t;
    t.axes = AxesFromQuaternion(q);
    t.position = {coordinate(random), coordinate(random), coordinate(random), 1};
    return t;
}

PhysicsGeometry MakeBox(float x, float y, float z)
{
    PhysicsGeometry g;
    g.Init();
    g.SetBox(x, y, z);
    return g;
}

PhysicsGeometry MakeCapsule(float radius, float length)
{
    PhysicsGeometry g;
    g.Init();
    g.SetCylinder(2 * radius, length);
    return g;
}

// An octahedron hull of radius 0.7, tables written out.
struct Octahedron {
    PhysicsVector planes[8];
    PhysicsVector vertices[6] = {{0.7f, 0, 0, 0}, {-0.7f, 0, 0, 0}, {0, 0.7f, 0, 0},
                                 {0, -0.7f, 0, 0}, {0, 0, 0.7f, 0}, {0, 0, -0.7f, 0}};
    uint8_t faceVertices[24] = {0, 2, 4, 2, 1, 4, 1, 3, 4, 3, 0, 4, 2, 0, 5, 1, 2, 5, 3, 1, 5, 0, 3, 5};
    uint8_t faceEdges[24];
    uint8_t neighbours[24];
    uint8_t edges[12][4];
    uint8_t vertexEdgeLists[6][5];
    const uint8_t* vertexEdges[6];
    PhysicsHullData data;
    PhysicsGeometry geometry;

    Octahedron()
    {
        int edgeCount = 0;
        for (int f = 0; f < 8; ++f) {
            const uint8_t* v = faceVertices + 3 * f;
            const PhysicsVector n = Normalized(Cross(vertices[v[1]] - vertices[v[0]], vertices[v[2]] - vertices[v[0]]));
            planes[f] = {n.x, n.y, n.z, Dot(n, vertices[v[0]])};
            for (int k = 0; k < 3; ++k) {
                const int p = v[k], q = v[(k + 1) % 3];
                int found = -1;
                for (int e = 0; e < edgeCount; ++e)
                    if (edges[e][2] == q && edges[e][3] == p) found = e;
                if (found < 0) {
                    found = edgeCount++;
                    edges[found][0] = static_cast<uint8_t>(f);
                    edges[found][2] = static_cast<uint8_t>(p);
                    edges[found][3] = static_cast<uint8_t>(q);
                } else {
                    edges[found][1] = static_cast<uint8_t>(f);
                }
                faceEdges[3 * f + k] = static_cast<uint8_t>(found);
            }
        }
        for (int f = 0; f < 8; ++f)
            for (int k = 0; k < 3; ++k) {
                const uint8_t* e = edges[faceEdges[3 * f + k]];
                neighbours[3 * f + k] = e[0] == f ? e[1] : e[0];
            }
        int fill[6] = {};
        for (int e = 0; e < 12; ++e)
            for (int end = 2; end < 4; ++end) vertexEdgeLists[edges[e][end]][fill[edges[e][end]]++] = static_cast<uint8_t>(e);
        for (int v = 0; v < 6; ++v) {
            vertexEdgeLists[v][fill[v]] = 255;
            vertexEdges[v] = vertexEdgeLists[v];
        }
        data = PhysicsHullData{8, 6, 12, 3, planes, vertices, neighbours, faceVertices, faceEdges, vertexEdges, edges};
        geometry.Init();
        geometry.SetConvexHull(&data);
    }
};

// Poses (relative to a shape at the origin) for which the test touches.
template <typename Test>
std::vector<PhysicsTransform> TouchingPoses(Test test, float extent)
{
    std::mt19937 random(77);
    std::vector<PhysicsTransform> poses;
    const PhysicsTransform origin;
    while (static_cast<int>(poses.size()) < kPoses) {
        const PhysicsTransform t = RandomPlace(random, extent);
        PhysicsTestResult result;
        if (test(result, t, origin)) poses.push_back(t);
    }
    return poses;
}

template <typename Test>
void RunPairs(benchmark::State& state, Test test, float extent)
{
    const std::vector<PhysicsTransform> poses = TouchingPoses(test, extent);
    const PhysicsTransform origin;
    std::size_t i = 0;
    for (auto _ : state) {
        PhysicsTestResult result;
        benchmark::DoNotOptimize(test(result, poses[i], origin));
        benchmark::DoNotOptimize(result.depth);
        i = (i + 1) % poses.size();
    }
}

void BM_BoxBox(benchmark::State& state)
{
    const PhysicsGeometry a = MakeBox(1.0f, 0.6f, 1.4f), b = MakeBox(1.2f, 1.0f, 0.5f);
    RunPairs(state, [&](PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb) {
        return PhysicsCollideBoxBox(r, a, ta, b, tb);
    }, 1.2f);
}
BENCHMARK(BM_BoxBox);

void BM_BoxCapsule(benchmark::State& state)
{
    const PhysicsGeometry box = MakeBox(1.0f, 0.6f, 1.4f), capsule = MakeCapsule(0.3f, 1.0f);
    RunPairs(state, [&](PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb) {
        return PhysicsCollideBoxCylinder(r, box, tb, capsule, ta);
    }, 1.2f);
}
BENCHMARK(BM_BoxCapsule);

void BM_CapsuleCapsule(benchmark::State& state)
{
    const PhysicsGeometry a = MakeCapsule(0.3f, 1.0f), b = MakeCapsule(0.4f, 0.6f);
    RunPairs(state, [&](PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb) {
        return PhysicsCollideCylinderCylinder(r, a, ta, b, tb);
    }, 1.0f);
}
BENCHMARK(BM_CapsuleCapsule);

void BM_BoxTriangle(benchmark::State& state)
{
    const PhysicsGeometry box = MakeBox(1.0f, 0.6f, 1.4f);
    const PhysicsTriangleInfo triangle({-1, -1, 0, 0}, {1.2f, -0.8f, 0.1f, 0}, {0, 1.3f, -0.1f, 0});
    RunPairs(state, [&](PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform&) {
        return PhysicsOrientedBox(box, ta).CollideTriangle(r, triangle);
    }, 0.8f);
}
BENCHMARK(BM_BoxTriangle);

void BM_HullHull(benchmark::State& state)
{
    static const Octahedron a, b;
    RunPairs(state, [&](PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb) {
        return PhysicsCollideConvexPair(r, a.geometry, ta, b.geometry, tb);
    }, 1.0f);
}
BENCHMARK(BM_HullHull);

}  // namespace
