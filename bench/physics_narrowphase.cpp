// The pair tests of the narrow phase on random overlapping poses: ns per box-box, box-capsule,
// capsule-capsule, box-triangle, hull-hull and capsule-triangle test. Each benchmark cycles through 1,024 poses
// drawn once with a fixed seed, all of which touch (for our tests). When the build finds ODE and
// Bullet (installed for this benchmark only; the game never links them), the same shapes on the
// same poses run through their pair tests too: BM_Ode* and BM_Bullet* beside ours, so the ratios
// come from one run.
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

#ifdef VX_HAVE_ODE
#include <ode/ode.h>
#endif
#ifdef VX_HAVE_BULLET
#include <BulletCollision/CollisionShapes/btTriangleShape.h>
#include <btBulletCollisionCommon.h>
#endif

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
void RunOnPoses(benchmark::State& state, Test test, const std::vector<PhysicsTransform>& poses)
{
    const PhysicsTransform origin;
    std::size_t i = 0;
    for (auto _ : state) {
        PhysicsTestResult result;
        benchmark::DoNotOptimize(test(result, poses[i], origin));
        benchmark::DoNotOptimize(result.depth);
        i = (i + 1) % poses.size();
    }
}


// The shapes of every pair: boxes 1 × 0.6 × 1.4 and 1.2 × 1 × 0.5, capsules of radius 0.3 and
// length 1 and of radius 0.4 and length 0.6 (along their Y axis), a triangle, octahedra of radius
// 0.7. Shape B sits at the origin; the poses place shape A.
const PhysicsGeometry kBoxA = MakeBox(1.0f, 0.6f, 1.4f), kBoxB = MakeBox(1.2f, 1.0f, 0.5f);
const PhysicsGeometry kCapsuleA = MakeCapsule(0.3f, 1.0f), kCapsuleB = MakeCapsule(0.4f, 0.6f);
const PhysicsVector kTriangle[3] = {{-1, -1, 0, 0}, {1.2f, -0.8f, 0.1f, 0}, {0, 1.3f, -0.1f, 0}};

const Octahedron& Hull()
{
    static const Octahedron hull;
    return hull;
}

bool OurBoxBox(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb)
{
    return PhysicsCollideBoxBox(r, kBoxA, ta, kBoxB, tb);
}
bool OurCapsuleBox(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb)
{
    return PhysicsCollideBoxCylinder(r, kBoxB, tb, kCapsuleA, ta);
}
bool OurCapsuleCapsule(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb)
{
    return PhysicsCollideCylinderCylinder(r, kCapsuleA, ta, kCapsuleB, tb);
}
bool OurBoxTriangle(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform&)
{
    return PhysicsOrientedBox(kBoxA, ta).CollideTriangle(r, PhysicsTriangleInfo(kTriangle[0], kTriangle[1], kTriangle[2]));
}
bool OurHullHull(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform& tb)
{
    return PhysicsCollideConvexPair(r, Hull().geometry, ta, Hull().geometry, tb);
}
bool OurCapsuleTriangle(PhysicsTestResult& r, const PhysicsTransform& ta, const PhysicsTransform&)
{
    return PhysicsCollideCapsuleTriangle(r, kCapsuleA, ta, PhysicsTriangleInfo(kTriangle[0], kTriangle[1], kTriangle[2]));
}

const std::vector<PhysicsTransform>& Poses(int pair)
{
    static const std::vector<PhysicsTransform> poses[6] = {
        TouchingPoses(OurBoxBox, 1.2f), TouchingPoses(OurCapsuleBox, 1.2f), TouchingPoses(OurCapsuleCapsule, 1.0f),
        TouchingPoses(OurBoxTriangle, 0.8f), TouchingPoses(OurHullHull, 1.0f), TouchingPoses(OurCapsuleTriangle, 0.8f)};
    return poses[pair];
}

enum Pair { kBoxBox, kBoxCapsule, kCapsuleCapsule, kBoxTriangle, kHullHull, kCapsuleTriangle };

void BM_BoxBox(benchmark::State& state) { RunOnPoses(state, OurBoxBox, Poses(kBoxBox)); }
void BM_BoxCapsule(benchmark::State& state) { RunOnPoses(state, OurCapsuleBox, Poses(kBoxCapsule)); }
void BM_CapsuleCapsule(benchmark::State& state) { RunOnPoses(state, OurCapsuleCapsule, Poses(kCapsuleCapsule)); }
void BM_BoxTriangle(benchmark::State& state) { RunOnPoses(state, OurBoxTriangle, Poses(kBoxTriangle)); }
void BM_HullHull(benchmark::State& state) { RunOnPoses(state, OurHullHull, Poses(kHullHull)); }
void BM_CapsuleTriangle(benchmark::State& state) { RunOnPoses(state, OurCapsuleTriangle, Poses(kCapsuleTriangle)); }
BENCHMARK(BM_BoxBox);
BENCHMARK(BM_BoxCapsule);
BENCHMARK(BM_CapsuleCapsule);
BENCHMARK(BM_BoxTriangle);
BENCHMARK(BM_HullHull);
BENCHMARK(BM_CapsuleTriangle);

#ifdef VX_HAVE_ODE
// ODE: rotations as row-major 3 × 4 matrices; its capsules lie along their Z axis.
void OdePlace(dGeomID geom, const PhysicsTransform& t, bool capsule)
{
    dMatrix3 m = {};
    for (int i = 0; i < 3; ++i) {
        const PhysicsVector x = t.axes.row[0], y = capsule ? -t.axes.row[2] : t.axes.row[1],
                            z = capsule ? t.axes.row[1] : t.axes.row[2];
        m[i * 4 + 0] = At(x, i);
        m[i * 4 + 1] = At(y, i);
        m[i * 4 + 2] = At(z, i);
    }
    dGeomSetRotation(geom, m);
    dGeomSetPosition(geom, t.position.x, t.position.y, t.position.z);
}

struct OdeWorld {
    OdeWorld() { dInitODE2(0); }
    ~OdeWorld() { dCloseODE(); }
};

void RunOde(benchmark::State& state, dGeomID a, bool capsuleA, dGeomID b, bool capsuleB, int pair)
{
    const std::vector<PhysicsTransform>& poses = Poses(pair);
    OdePlace(b, PhysicsTransform{}, capsuleB);
    dContactGeom contacts[4];
    std::size_t i = 0;
    for (auto _ : state) {
        OdePlace(a, poses[i], capsuleA);
        benchmark::DoNotOptimize(dCollide(a, b, 4, contacts, sizeof(dContactGeom)));
        i = (i + 1) % poses.size();
    }
    dGeomDestroy(a);
    dGeomDestroy(b);
}

dGeomID OdeBox(const PhysicsGeometry& g) { return dCreateBox(nullptr, 2 * g.shape.x, 2 * g.shape.y, 2 * g.shape.z); }
dGeomID OdeCapsule(const PhysicsGeometry& g) { return dCreateCapsule(nullptr, g.shape.x, 2 * g.shape.z); }

dGeomID OdeOctahedron(std::vector<dReal>& planes, std::vector<dReal>& points, std::vector<unsigned>& polygons)
{
    const Octahedron& h = Hull();
    for (int f = 0; f < 8; ++f) {
        planes.insert(planes.end(), {h.planes[f].x, h.planes[f].y, h.planes[f].z, h.planes[f].w});
        polygons.insert(polygons.end(), {3u, h.faceVertices[3 * f], h.faceVertices[3 * f + 1], h.faceVertices[3 * f + 2]});
    }
    for (const PhysicsVector& v : h.vertices) points.insert(points.end(), {v.x, v.y, v.z});
    return dCreateConvex(nullptr, planes.data(), 8, points.data(), 6, polygons.data());
}

void BM_OdeBoxBox(benchmark::State& state)
{
    OdeWorld world;
    RunOde(state, OdeBox(kBoxA), false, OdeBox(kBoxB), false, kBoxBox);
}
void BM_OdeBoxCapsule(benchmark::State& state)
{
    OdeWorld world;
    RunOde(state, OdeCapsule(kCapsuleA), true, OdeBox(kBoxB), false, kBoxCapsule);
}
void BM_OdeCapsuleCapsule(benchmark::State& state)
{
    OdeWorld world;
    RunOde(state, OdeCapsule(kCapsuleA), true, OdeCapsule(kCapsuleB), true, kCapsuleCapsule);
}
// The triangle as a one-triangle mesh against shape A.
void RunOdeOnTriangle(benchmark::State& state, dGeomID a, bool capsuleA, int pair)
{
    const dReal vertices[9] = {kTriangle[0].x, kTriangle[0].y, kTriangle[0].z, kTriangle[1].x, kTriangle[1].y,
                               kTriangle[1].z, kTriangle[2].x, kTriangle[2].y, kTriangle[2].z};
    const dTriIndex indices[3] = {0, 1, 2};
    dTriMeshDataID data = dGeomTriMeshDataCreate();
    dGeomTriMeshDataBuildDouble(data, vertices, 3 * sizeof(dReal), 3, indices, 3, 3 * sizeof(dTriIndex));
    RunOde(state, a, capsuleA, dCreateTriMesh(nullptr, data, nullptr, nullptr, nullptr), false, pair);
    dGeomTriMeshDataDestroy(data);
}
void BM_OdeBoxTriangle(benchmark::State& state)
{
    OdeWorld world;
    RunOdeOnTriangle(state, OdeBox(kBoxA), false, kBoxTriangle);
}
void BM_OdeCapsuleTriangle(benchmark::State& state)
{
    OdeWorld world;
    RunOdeOnTriangle(state, OdeCapsule(kCapsuleA), true, kCapsuleTriangle);
}
void BM_OdeHullHull(benchmark::State& state)
{
    OdeWorld world;
    std::vector<dReal> planesA, pointsA, planesB, pointsB;
    std::vector<unsigned> polygonsA, polygonsB;
    RunOde(state, OdeOctahedron(planesA, pointsA, polygonsA), false, OdeOctahedron(planesB, pointsB, polygonsB), false,
           kHullHull);
}
BENCHMARK(BM_OdeBoxBox);
BENCHMARK(BM_OdeBoxCapsule);
BENCHMARK(BM_OdeCapsuleCapsule);
BENCHMARK(BM_OdeBoxTriangle);
BENCHMARK(BM_OdeHullHull);
BENCHMARK(BM_OdeCapsuleTriangle);
#endif

#ifdef VX_HAVE_BULLET
btTransform BulletPlace(const PhysicsTransform& t)
{
    const PhysicsMatrix3& r = t.axes;
    return btTransform(btMatrix3x3(r.row[0].x, r.row[1].x, r.row[2].x, r.row[0].y, r.row[1].y, r.row[2].y, r.row[0].z,
                                   r.row[1].z, r.row[2].z),
                       btVector3(t.position.x, t.position.y, t.position.z));
}

// One pair through Bullet's dispatcher: the algorithm is found once, then run on every pose.
void RunBullet(benchmark::State& state, btCollisionShape& shapeA, btCollisionShape& shapeB, int pair)
{
    const std::vector<PhysicsTransform>& poses = Poses(pair);
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher(&configuration);
    btCollisionObject objectA, objectB;
    objectA.setCollisionShape(&shapeA);
    objectB.setCollisionShape(&shapeB);
    const btTransform origin = BulletPlace(PhysicsTransform{});
    btTransform placeA = BulletPlace(poses[0]);
    btCollisionObjectWrapper firstA(nullptr, &shapeA, &objectA, placeA, -1, -1);
    btCollisionObjectWrapper wrapperB(nullptr, &shapeB, &objectB, origin, -1, -1);
    btCollisionAlgorithm* algorithm = dispatcher.findAlgorithm(&firstA, &wrapperB, nullptr, BT_CONTACT_POINT_ALGORITHMS);
    btDispatcherInfo info;
    std::size_t i = 0;
    for (auto _ : state) {
        placeA = BulletPlace(poses[i]);
        btCollisionObjectWrapper wrapperA(nullptr, &shapeA, &objectA, placeA, -1, -1);
        btManifoldResult result(&wrapperA, &wrapperB);
        algorithm->processCollision(&wrapperA, &wrapperB, info, &result);
        benchmark::DoNotOptimize(result.getPersistentManifold());
        i = (i + 1) % poses.size();
    }
    algorithm->~btCollisionAlgorithm();
    dispatcher.freeCollisionAlgorithm(algorithm);
}

btVector3 Half(const PhysicsGeometry& g) { return btVector3(g.shape.x, g.shape.y, g.shape.z); }

void BM_BulletBoxBox(benchmark::State& state)
{
    btBoxShape a(Half(kBoxA)), b(Half(kBoxB));
    RunBullet(state, a, b, kBoxBox);
}
void BM_BulletBoxCapsule(benchmark::State& state)
{
    btCapsuleShape a(kCapsuleA.shape.x, 2 * kCapsuleA.shape.z);
    btBoxShape b(Half(kBoxB));
    RunBullet(state, a, b, kBoxCapsule);
}
void BM_BulletCapsuleCapsule(benchmark::State& state)
{
    btCapsuleShape a(kCapsuleA.shape.x, 2 * kCapsuleA.shape.z), b(kCapsuleB.shape.x, 2 * kCapsuleB.shape.z);
    RunBullet(state, a, b, kCapsuleCapsule);
}
btVector3 TriangleCorner(int k) { return btVector3(kTriangle[k].x, kTriangle[k].y, kTriangle[k].z); }

void BM_BulletBoxTriangle(benchmark::State& state)
{
    btBoxShape a(Half(kBoxA));
    btTriangleShape b(TriangleCorner(0), TriangleCorner(1), TriangleCorner(2));
    RunBullet(state, a, b, kBoxTriangle);
}
void BM_BulletCapsuleTriangle(benchmark::State& state)
{
    btCapsuleShape a(kCapsuleA.shape.x, 2 * kCapsuleA.shape.z);
    btTriangleShape b(TriangleCorner(0), TriangleCorner(1), TriangleCorner(2));
    RunBullet(state, a, b, kCapsuleTriangle);
}
void BM_BulletHullHull(benchmark::State& state)
{
    btConvexHullShape a, b;
    for (const PhysicsVector& v : Hull().vertices) {
        a.addPoint(btVector3(v.x, v.y, v.z));
        b.addPoint(btVector3(v.x, v.y, v.z));
    }
    RunBullet(state, a, b, kHullHull);
}
BENCHMARK(BM_BulletBoxBox);
BENCHMARK(BM_BulletBoxCapsule);
BENCHMARK(BM_BulletCapsuleCapsule);
BENCHMARK(BM_BulletBoxTriangle);
BENCHMARK(BM_BulletHullHull);
BENCHMARK(BM_BulletCapsuleTriangle);
#endif

}  // namespace
