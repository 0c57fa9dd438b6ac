// The terrain narrow phase takes only the triangles near a body in y; the plain walk over whole
// leaves is the reference. Both must report the same contacts and end in the same state (on the
// scenes benchmark's heightfield and in the sample world), and a run must end the same however
// often and in whichever process it is repeated.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/physics_fixture.h"
#include "physics/engine/PhysicsTerrainCandidateCache.h"
#include "physics/sample_world_scene.h"

namespace {

// FNV-1a over the bytes of values.
struct Hash {
    uint64_t value = 1469598103934665603ull;
    template <typename T>
    void Add(const T& item)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&item);
        for (std::size_t i = 0; i < sizeof(T); ++i) value = (value ^ bytes[i]) * 1099511628211ull;
    }
    void Add(const PhysicsVector& v)
    {
        for (const float f : {v.x, v.y, v.z}) Add(f);
    }
};

// The collision callback has no user pointer: the run being hashed is kept here, with the
// callback it stands in front of.
struct ContactLog {
    Hash hash;
    const std::vector<PhysicsRigidBody*>* bodies = nullptr;
    int contacts = 0;
    // The callback that was installed, and the pairs it was called for.
    PhysicsCollisionCallback forward = nullptr;
    PhysicsCollisionTable forwarded;

    int32_t IndexOf(const PhysicsBody* body) const
    {
        for (std::size_t i = 0; i < bodies->size(); ++i)
            if ((*bodies)[i] == body) return static_cast<int32_t>(i);
        return -1;  // the terrain
    }
};
ContactLog* g_log = nullptr;

void HashContact(PhysicsCollisionInfo* info)
{
    ++g_log->contacts;
    g_log->hash.Add(g_log->IndexOf(info->bodyA));
    g_log->hash.Add(g_log->IndexOf(info->bodyB));
    g_log->hash.Add(info->materialB);
    for (const PhysicsVector& v : {info->localPointA, info->localPointB, info->worldPointA, info->worldPointB,
                                   info->relativeVelocity, info->normal})
        g_log->hash.Add(v);
    const int32_t classB = info->bodyB ? info->bodyB->collisionClass : PhysicsCollisionTable::kTerrainClass;
    const bool reported = g_log->forwarded.Get(info->bodyA->collisionClass, classB) & PhysicsCollisionTable::kCallbackResponse;
    if (g_log->forward && reported) g_log->forward(info);
}

// Every pair that makes a contact also reports it.
void ReportEveryContact(PhysicsCollisionTable& table)
{
    constexpr int32_t kTerrain = PhysicsCollisionTable::kTerrainClass;
    for (int32_t a = 0; a < PhysicsCollisionTable::kClassCount; ++a)
        for (int32_t b = kTerrain; b < PhysicsCollisionTable::kClassCount; ++b) {
            const int32_t response = table.Get(a, b);
            if (response & PhysicsCollisionTable::kContactResponse)
                table.Set(a, b, response | PhysicsCollisionTable::kCallbackResponse);
        }
}

void HashBodies(Hash& state, const std::vector<PhysicsRigidBody*>& bodies)
{
    for (PhysicsRigidBody* body : bodies) {
        state.Add(body->GetPos());
        const PhysicsQuaternion& q = body->GetRotation();
        for (const float f : {q.x, q.y, q.z, q.w}) state.Add(f);
        state.Add(body->GetVelocity());
        state.Add(body->IsAtRest());
    }
}

struct RunResult {
    uint64_t contactHash = 0;
    uint64_t stateHash = 0;
    int contacts = 0;
    int onGround = 0;
    bool carOnLand = false;  // the sample world's
};

// The scenes benchmark's heightfield: 128 × 128 cells of 1 around the origin.
struct Heightfield {
    static constexpr int kCells = 128;
    std::vector<PhysicsVector> vertices;
    std::vector<PhysicsMeshTriangle> triangles;
    Heightfield()
    {
        for (int j = 0; j <= kCells; ++j)
            for (int i = 0; i <= kCells; ++i)
                vertices.push_back({-kCells / 2.0f + i, -kCells / 2.0f + j, 0.6f * std::sin(i * 0.21f) * std::cos(j * 0.17f), 0});
        for (int j = 0; j < kCells; ++j)
            for (int i = 0; i < kCells; ++i) {
                const int32_t v = j * (kCells + 1) + i;
                for (auto t : {std::array<int32_t, 3>{v, v + 1, v + kCells + 2}, std::array<int32_t, 3>{v, v + kCells + 2, v + kCells + 1}}) {
                    PhysicsMeshTriangle triangle;
                    for (int k = 0; k < 3; ++k) triangle.vertex[k] = t[k];
                    triangles.push_back(triangle);
                }
            }
    }
};

// The scenes benchmark's S3: 300 unit boxes and 200 capsules (radius 0.4, length 0.8) dropped in two
// layers on the heightfield, stepped until all have landed; kept awake, as the benchmark keeps them
// with sleeping off, the landed bodies go on being tested against the terrain.
RunResult RunHeightfieldScene(bool plainWalk, int steps = 130, bool keptAwake = false)
{
    const Heightfield ground;
    const std::vector<PhysicsVector>& vertices = ground.vertices;
    const std::vector<PhysicsMeshTriangle>& triangles = ground.triangles;

    PhysicsSizeInfo sizes;
    sizes.rigidBodiesCount = 500;
    sizes.animatedBodyCount = 10;
    sizes.geometriesCount = 600;
    sizes.pairBufferCount = 20000;
    SimulatorPtr sim = MakeSimulator(sizes);
    sim->SetPlainTerrainWalk(plainWalk);
    const int32_t contactAndReport = PhysicsCollisionTable::kContactResponse | PhysicsCollisionTable::kCallbackResponse;
    sim->GetCollisionTable().Set(0, 0, contactAndReport);
    sim->GetCollisionTable().Set(0, PhysicsCollisionTable::kTerrainClass, contactAndReport);
    sim->SetCollisionCallback(HashContact);
    EXPECT_TRUE(sim->SetTerrainMesh({vertices.data(), static_cast<int32_t>(vertices.size()), triangles.data(),
                                     static_cast<int32_t>(triangles.size())}));
    std::vector<PhysicsRigidBody*> bodies;
    for (int i = 0; i < 500; ++i) {
        PhysicsRigidBody* body = sim->CreateRigidBody();
        if (i % 5 >= 3) {
            body->AddGeometry()->SetCylinder(0.8f, 0.8f);
            body->SetInertiaTensor({0.1f, 0.064f, 0.1f, 0});
        } else {
            body->AddGeometry()->SetBox(1, 1, 1);
            body->SetInertiaTensor({1 / 6.0f, 1 / 6.0f, 1 / 6.0f, 0});
        }
        body->UpdateBoundingInfo();
        body->SetPos({(i % 25 - 12) * 3.0f, (i / 25 % 20 - 10) * 3.0f, 3.0f + (i / 250) * 2.0f, 0});
        bodies.push_back(body);
    }

    ContactLog log;
    log.bodies = &bodies;
    g_log = &log;
    for (int step = 0; step < steps; ++step) {
        sim->Simulate(kStep, 1, nullptr);
        if (keptAwake)
            for (PhysicsRigidBody* body : bodies) body->Wake();
    }
    g_log = nullptr;

    RunResult result;
    result.contactHash = log.hash.value;
    result.contacts = log.contacts;
    Hash state;
    HashBodies(state, bodies);
    for (PhysicsRigidBody* body : bodies)
        if (body->GetPos().z < 1.5f) ++result.onGround;
    result.stateHash = state.value;
    return result;
}

// The physics world benchmark's scene: the boxes dropped on the sample land three times, the car
// driving round its circle meanwhile.
RunResult RunSampleWorld(bool plainWalk)
{
    using namespace sampleworld;
    SampleScene scene(VX_SAMPLE_DATA);
    EXPECT_TRUE(scene.Ready());
    if (!scene.Ready()) return {};
    scene.Simulator().SetPlainTerrainWalk(plainWalk);
    const std::vector<PhysicsRigidBody*> bodies = scene.Bodies();
    ContactLog log;
    log.bodies = &bodies;
    log.forward = scene.Simulator().SetCollisionCallback(HashContact);
    log.forwarded = scene.Simulator().GetCollisionTable();
    ReportEveryContact(scene.Simulator().GetCollisionTable());
    g_log = &log;
    for (int frame = 0; frame < 3 * kFramesPerDrop; ++frame) {
        if (frame % kFramesPerDrop == 0) scene.DropBoxes();
        scene.Frame();
    }
    g_log = nullptr;
    scene.Simulator().SetCollisionCallback(log.forward);
    scene.Simulator().GetCollisionTable() = log.forwarded;

    RunResult result;
    result.contactHash = log.hash.value;
    result.contacts = log.contacts;
    Hash state;
    HashBodies(state, bodies);
    result.stateHash = state.value;
    result.carOnLand = scene.CarOnLand();
    return result;
}

}  // namespace

TEST(PhysicsTerrainGathering, NearTrianglesFindWhatThePlainWalkFinds)
{
    // Kept awake, the landed bodies take their candidates from the lists kept for them.
    for (const bool keptAwake : {false, true}) {
        SCOPED_TRACE(keptAwake ? "kept awake" : "put to rest");
        const int steps = keptAwake ? 150 : 130;
        const RunResult near = RunHeightfieldScene(false, steps, keptAwake);
        const RunResult plain = RunHeightfieldScene(true, steps, keptAwake);
        EXPECT_EQ(near.onGround, 500);  // every body landed: the scene made contacts to compare
        EXPECT_GT(near.contacts, 10000);
        EXPECT_EQ(near.contacts, plain.contacts);
        EXPECT_EQ(near.contactHash, plain.contactHash);
        EXPECT_EQ(near.stateHash, plain.stateHash);
    }
}

// What the tree walk and the leaves' y indexes give a box: the triangles of the leaves it meets
// whose y range the index takes for the box's y reach, in the leaves' order, each once.
std::vector<int32_t> WalkedCandidates(const PhysicsTerrainTree& tree, const PhysicsVector& boxMin,
                                      const PhysicsVector& boxMax)
{
    std::vector<const PhysicsTerrainNode*> leaves;
    tree.Query(leaves, boxMin, boxMax);
    float lowY, highY;
    TerrainReachY(boxMin.y, boxMax.y, lowY, highY);
    std::vector<int32_t> result;
    for (const PhysicsTerrainNode* leaf : leaves) {
        std::vector<const PhysicsTerrainSpan*> near;
        const PhysicsTerrainYIndex& index = leaf->alongY;
        for (const PhysicsTerrainSpan* span = index.FirstReaching(lowY); span != index.End() && span->minimumY <= highY; ++span)
            if (span->maximumY >= lowY) near.push_back(span);
        std::sort(near.begin(), near.end(), [](auto* a, auto* b) { return a->position < b->position; });
        for (const PhysicsTerrainSpan* span : near)
            if (std::find(result.begin(), result.end(), span->triangle) == result.end()) result.push_back(span->triangle);
    }
    return result;
}

TEST(PhysicsTerrainGathering, KeptCandidatesAreWhatTheWalkGivesAsTheBoxCreeps)
{
    const Heightfield ground;
    PhysicsTerrainTree tree;
    ASSERT_TRUE(tree.BuildTree(ground.vertices.data(), static_cast<int32_t>(ground.vertices.size()),
                               ground.triangles.data(), static_cast<int32_t>(ground.triangles.size()), nullptr));
    PhysicsTerrainCandidateCache cache;
    cache.Reset(1, tree);
    std::vector<uint32_t> stamps(ground.triangles.size(), 0u);
    std::vector<int32_t> kept;
    kept.reserve(ground.triangles.size());

    // Boxes resting on the ground and creeping by steps from a thousandth to a tenth, across cell
    // borders (whole y and x) and the tree's strips and height slices; now and then the box
    // turns (its extent changes) or jumps away.
    uint32_t seed = 12345;
    auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    PhysicsVector centre{3.9f, -2.05f, 0.5f, 0};
    PhysicsVector half{0.5f, 0.5f, 0.5f, 0};
    int reused = 0, walkedAgain = 0;
    for (uint32_t call = 1; call <= 6000; ++call) {
        const float step = (random() < 0.5f ? 0.001f : 0.03f) * (random() < 0.1f ? 3.0f : 1.0f);
        centre = centre + PhysicsVector{(random() - 0.5f) * step, (random() - 0.45f) * step, (random() - 0.5f) * step, 0};
        if (random() < 0.02f) half = PhysicsVector{0.5f, 0.5f, 0.5f, 0} * (1.0f + 0.7f * random());
        if (random() < 0.002f) centre = {(random() - 0.5f) * 100.0f, (random() - 0.5f) * 100.0f, 0.5f, 0};
        const PhysicsVector boxMin = centre - half, boxMax = centre + half;
        if (!cache.Prepare(0, tree, boxMin, boxMax)) continue;
        float lowY, highY;
        TerrainReachY(boxMin.y, boxMax.y, lowY, highY);
        cache.TakeCandidates(0, boxMin, boxMax, lowY, highY, stamps.data(), call, kept);
        const std::vector<int32_t> walked = WalkedCandidates(tree, boxMin, boxMax);
        ASSERT_EQ(kept, walked) << "call " << call;
        // A walk stamps what it takes; a kept answer leaves the stamps alone.
        if (!kept.empty()) ++(stamps[static_cast<std::size_t>(kept[0])] == call ? walkedAgain : reused);
    }
    // Both ways were taken many times: kept answers and walks over the kept lists.
    EXPECT_GT(reused, 1000);
    EXPECT_GT(walkedAgain, 300);
}

TEST(PhysicsTerrainGathering, TheSampleWorldFindsWhatThePlainWalkFinds)
{
    const RunResult near = RunSampleWorld(false);
    const RunResult plain = RunSampleWorld(true);
    EXPECT_TRUE(near.carOnLand);  // the scene is the benchmark's: the car still drives on the land
    EXPECT_GT(near.contacts, 1000);
    EXPECT_EQ(near.contacts, plain.contacts);
    EXPECT_EQ(near.contactHash, plain.contactHash);
    EXPECT_EQ(near.stateHash, plain.stateHash);
}

// Run on its own by the test below, in a process of its own; prints the run's hashes.
TEST(PhysicsDeterminism, DISABLED_PrintHeightfieldSceneHashes)
{
    const RunResult run = RunHeightfieldScene(false);
    std::printf("hashes %016llx %016llx\n", static_cast<unsigned long long>(run.contactHash),
                static_cast<unsigned long long>(run.stateHash));
}

TEST(PhysicsDeterminism, HeightfieldSceneEndsTheSameInOneProcessAndInTwo)
{
    const RunResult first = RunHeightfieldScene(false);
    const RunResult second = RunHeightfieldScene(false);
    EXPECT_EQ(first.contactHash, second.contactHash);
    EXPECT_EQ(first.stateHash, second.stateHash);

    char expected[64];
    std::snprintf(expected, sizeof expected, "hashes %016llx %016llx", static_cast<unsigned long long>(first.contactHash),
                  static_cast<unsigned long long>(first.stateHash));
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' --gtest_also_run_disabled_tests "
                                "--gtest_filter=PhysicsDeterminism.DISABLED_PrintHeightfieldSceneHashes 2>&1";
    for (int process = 0; process < 2; ++process) {
        FILE* child = popen(command.c_str(), "r");
        ASSERT_NE(child, nullptr);
        std::string output;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, child)) output += buffer;
        EXPECT_EQ(pclose(child), 0) << output;
        EXPECT_NE(output.find(expected), std::string::npos) << "process " << process << ":\n" << output;
    }
}
