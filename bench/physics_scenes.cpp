// Whole scenes stepped by the engine and, when the build finds them, by ODE and Bullet with the
// same step (1/150 s), gravity (25.8 down), shapes, masses (1 per body) and the same effective
// friction 0.5 and restitution 0.4 at every contact:
// - ours takes the smaller of the two materials' values: every body has the default material
//   (0.5, 0.4);
// - ODE takes the contact's surface: μ 0.5, bounce 0.4 set on every contact joint;
// - Bullet multiplies the two objects' values: every object has √0.5 and √0.4.
// Every scene runs twice in each engine: with sleeping on and with sleeping off (ODE auto-disable
// off, Bullet DISABLE_DEACTIVATION; ours has no switch, so the bench wakes every body after every
// step, which restarts the counts the rest decision waits for: no body is ever put to rest, and
// none is stopped by being put to rest and woken again). Each benchmark runs its scene once and reports the median µs of the
// thread's CPU time per step and figures that show whether the engine did the work: on_ground (bodies whose centre ends
// at most 0.9 above the ground or static box under it: a unit box or capsule lying there has its
// centre 0.4 to 0.87 above), below_ground (centres that end under it: fallen through), the
// touching pairs per step (pairs with a contact, body-body and body-ground, averaged over the
// steps), the deepest sinking of a box into flat ground (S1), the time until every body sleeps
// and the largest drift of a stacked box (S2).
// S1 a box dropped on a plane; S2 a stack of 10 and a pyramid of 20 boxes; S3 300 boxes and 200
// capsules dropped on a 128 × 128 heightfield; S4 1,000 static boxes and 500 bodies raining on them.
// The others' solvers: ODE dWorldQuickStep with 20 iterations, contacts with dContactBounce |
// dContactApprox1 (bounce above 0.1 units/s, ERP 0.2, CFM 1e-5), up to 4 contacts per pair;
// Bullet btDiscreteDynamicsWorld with its sequential-impulse solver at its default 10 iterations,
// one fixed substep of 1/150 s per step.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "physics/engine/PhysicsSimulator.h"

#ifdef VX_HAVE_ODE
#include <ode/ode.h>
#endif
#ifdef VX_HAVE_BULLET
#include <btBulletDynamicsCommon.h>
#endif

namespace {

constexpr float kStep = 1.0f / 150.0f;
constexpr float kGravity = 25.8f;
constexpr float kFriction = 0.5f;
constexpr float kRestitution = 0.4f;
constexpr float kOnGroundHeight = 0.9f;

struct Body {
    PhysicsVector position;
    bool capsule = false;  // radius 0.4, cylinder length 0.8, along the body's y axis
};

struct Scene {
    std::vector<Body> bodies;
    std::vector<PhysicsVector> staticBoxes;  // unit boxes standing on the ground
    bool heightfield = false;
    int steps = 600;
};

// The ground: a flat square, or a 128 × 128 heightfield of cells of 1 around the origin.
struct Ground {
    std::vector<PhysicsVector> vertices;
    std::vector<PhysicsMeshTriangle> triangles;
    explicit Ground(bool heightfield)
    {
        const int cells = heightfield ? 128 : 1;
        const float size = heightfield ? 1.0f : 200.0f;
        const float origin = -cells * size / 2;
        for (int j = 0; j <= cells; ++j)
            for (int i = 0; i <= cells; ++i) {
                const float z = heightfield ? 0.6f * std::sin(i * 0.21f) * std::cos(j * 0.17f) : 0.0f;
                vertices.push_back({origin + i * size, origin + j * size, z, 0});
            }
        for (int j = 0; j < cells; ++j)
            for (int i = 0; i < cells; ++i) {
                const int32_t v = j * (cells + 1) + i;
                for (auto t : {std::array<int32_t, 3>{v, v + 1, v + cells + 2}, std::array<int32_t, 3>{v, v + cells + 2, v + cells + 1}}) {
                    PhysicsMeshTriangle triangle;
                    for (int k = 0; k < 3; ++k) triangle.vertex[k] = t[k];
                    triangles.push_back(triangle);
                }
            }
    }
};

// The height of the ground under a point: the heightfield's triangle there (flat outside it), or
// the top of a static box whose footprint holds the point.
float SurfaceHeight(const Scene& scene, const Ground& ground, float x, float y)
{
    float surface = 0.0f;
    if (scene.heightfield) {
        const int cells = 128;
        const float u = x + cells / 2.0f, v = y + cells / 2.0f;
        if (u >= 0 && v >= 0 && u < cells && v < cells) {
            const int i = static_cast<int>(u), j = static_cast<int>(v);
            const float fu = u - i, fv = v - j;
            auto z = [&](int di, int dj) { return ground.vertices[static_cast<size_t>((j + dj) * (cells + 1) + i + di)].z; };
            // The cell's two triangles meet along the diagonal from (i, j) to (i + 1, j + 1).
            surface = fu >= fv ? z(0, 0) + fu * (z(1, 0) - z(0, 0)) + fv * (z(1, 1) - z(1, 0))
                               : z(0, 0) + fv * (z(0, 1) - z(0, 0)) + fu * (z(1, 1) - z(0, 1));
        }
    }
    for (const PhysicsVector& box : scene.staticBoxes)
        if (std::fabs(x - box.x) <= 0.5f && std::fabs(y - box.y) <= 0.5f) surface = std::max(surface, box.z + 0.5f);
    return surface;
}

Scene S1()
{
    Scene s;
    s.bodies.push_back({{0, 0, 3, 0}});
    return s;
}

Scene S2()
{
    Scene s;
    for (int i = 0; i < 10; ++i) s.bodies.push_back({{-8, 0, 0.5f + i, 0}});
    for (int row = 0; row < 5; ++row)
        for (int i = 0; i < 6 - row; ++i) s.bodies.push_back({{8 + (i - (5 - row) * 0.5f) * 1.05f, 0, 0.5f + row, 0}});
    s.steps = 1500;
    return s;
}

Scene S3()
{
    Scene s;
    s.heightfield = true;
    for (int i = 0; i < 500; ++i)
        s.bodies.push_back({{(i % 25 - 12) * 3.0f, (i / 25 % 20 - 10) * 3.0f, 3.0f + (i / 250) * 2.0f, 0}, i % 5 >= 3});
    s.steps = 450;
    return s;
}

Scene S4()
{
    Scene s;
    for (int i = 0; i < 1000; ++i) s.staticBoxes.push_back({(i % 40 - 20) * 1.6f, (i / 40 - 12) * 1.6f, 0.5f, 0});
    for (int i = 0; i < 500; ++i) s.bodies.push_back({{(i % 25 - 12) * 2.1f, (i / 25 - 10) * 1.7f, 4.0f + i % 3, 0}});
    s.steps = 450;
    return s;
}

struct Figures {
    std::vector<double> stepMicros;
    float deepest = 0.0f;  // S1: how far the box sank below its resting height
    float sleepSeconds = -1.0f;
    float drift = 0.0f;
    int onGround = 0;
    int belowGround = 0;
    double touchingPairs = 0.0;  // per step
};

// The thread's CPU time: other work on a shared machine does not count.
double ThreadMicros()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

// step() advances one step and returns the pairs touching in it.
template <typename StepFn, typename PositionFn, typename SleepingFn>
Figures Run(const Scene& scene, StepFn step, PositionFn position, SleepingFn allSleeping)
{
    Figures f;
    f.stepMicros.reserve(static_cast<size_t>(scene.steps));
    long touching = 0;
    for (int i = 0; i < scene.steps; ++i) {
        const double start = ThreadMicros();
        touching += step();
        f.stepMicros.push_back(ThreadMicros() - start);
        if (!scene.heightfield && scene.staticBoxes.empty() && scene.bodies.size() == 1)
            f.deepest = std::max(f.deepest, 0.5f - position(0).z);
        if (f.sleepSeconds < 0.0f && allSleeping()) f.sleepSeconds = (i + 1) * kStep;
    }
    if (!scene.heightfield && scene.staticBoxes.empty())
        for (size_t i = 0; i < scene.bodies.size(); ++i) {
            const PhysicsVector p = position(i);
            const PhysicsVector d = p - scene.bodies[i].position;
            f.drift = std::max(f.drift, std::sqrt(Dot(d, d)));
        }
    const Ground ground(scene.heightfield);
    for (size_t i = 0; i < scene.bodies.size(); ++i) {
        const PhysicsVector p = position(i);
        const float above = p.z - SurfaceHeight(scene, ground, p.x, p.y);
        if (above < 0.0f) ++f.belowGround;
        else if (above <= kOnGroundHeight) ++f.onGround;
    }
    f.touchingPairs = static_cast<double>(touching) / scene.steps;
    return f;
}

void Report(benchmark::State& state, Figures f)
{
    std::nth_element(f.stepMicros.begin(), f.stepMicros.begin() + f.stepMicros.size() / 2, f.stepMicros.end());
    state.counters["us_per_step"] = f.stepMicros[f.stepMicros.size() / 2];
    state.counters["deepest"] = f.deepest;
    state.counters["sleep_s"] = f.sleepSeconds;
    state.counters["drift"] = f.drift;
    state.counters["on_ground"] = f.onGround;
    state.counters["below_ground"] = f.belowGround;
    state.counters["touching_pairs"] = f.touchingPairs;
}

// Ours reports each contact through the collision callback, which has no user pointer.
int g_oursContacts = 0;
void CountContact(PhysicsCollisionInfo*) { ++g_oursContacts; }

// The engine's own run.
void Ours(benchmark::State& state, Scene (*make)(), bool sleeping)
{
    static_assert(PhysicsMaterial{}.friction == kFriction && PhysicsMaterial{}.restitution == kRestitution);
    const Scene scene = make();
    for (auto _ : state) {
        PhysicsSizeInfo sizes;
        sizes.rigidBodiesCount = 600;
        sizes.animatedBodyCount = 1100;
        sizes.geometriesCount = 2000;
        sizes.pairBufferCount = 40000;
        const PhysicsVector gravity{0, 0, -kGravity, 0};
        PhysicsSimulator* sim = PhysicsSimulator::Create(&sizes, nullptr, &gravity);
        const int32_t contactAndCount = PhysicsCollisionTable::kContactResponse | PhysicsCollisionTable::kCallbackResponse;
        sim->GetCollisionTable().Set(0, 0, contactAndCount);
        sim->GetCollisionTable().Set(0, PhysicsCollisionTable::kTerrainClass, contactAndCount);
        sim->SetCollisionCallback(CountContact);
        const Ground ground(scene.heightfield);
        sim->SetTerrainMesh({ground.vertices.data(), static_cast<int32_t>(ground.vertices.size()),
                             ground.triangles.data(), static_cast<int32_t>(ground.triangles.size())});
        for (const PhysicsVector& p : scene.staticBoxes) {
            PhysicsAnimatedBody* box = sim->CreateAnimatedBody();
            box->AddGeometry()->SetBox(1, 1, 1);
            box->UpdateBoundingInfo();
            box->SetPos(p);
        }
        std::vector<PhysicsRigidBody*> bodies;
        for (const Body& b : scene.bodies) {
            PhysicsRigidBody* body = sim->CreateRigidBody();
            PhysicsGeometry* shape = body->AddGeometry();
            if (b.capsule) {
                shape->SetCylinder(0.8f, 0.8f);
                body->SetInertiaTensor({0.1f, 0.064f, 0.1f, 0});
            } else {
                shape->SetBox(1, 1, 1);
                body->SetInertiaTensor({1 / 6.0f, 1 / 6.0f, 1 / 6.0f, 0});
            }
            body->UpdateBoundingInfo();
            body->SetPos(b.position);
            bodies.push_back(body);
        }
        Report(state, Run(
                          scene,
                          [&] {
                              g_oursContacts = 0;
                              sim->Simulate(kStep, 1, nullptr);
                              if (!sleeping)
                                  for (PhysicsRigidBody* body : bodies) body->Wake();
                              return g_oursContacts;
                          },
                          [&](size_t i) { return bodies[i]->GetPos(); },
                          [&] { return std::all_of(bodies.begin(), bodies.end(), [](auto* b) { return b->IsAtRest(); }); }));
        PhysicsSimulator::Destroy(sim);
    }
}

#ifdef VX_HAVE_ODE
struct OdeScene {
    dWorldID world;
    dSpaceID space;
    dJointGroupID contacts;
    int touching = 0;
};

// The trimesh build call that matches dReal, so that ODE reads the vertices it is given.
void OdeBuildTriMesh(dTriMeshDataID mesh, const std::vector<dReal>& vertices, const std::vector<dTriIndex>& indices)
{
    const int vertexCount = static_cast<int>(vertices.size() / 3);
    const int indexCount = static_cast<int>(indices.size());
    if constexpr (sizeof(dReal) == sizeof(double))
        dGeomTriMeshDataBuildDouble(mesh, vertices.data(), 3 * sizeof(dReal), vertexCount, indices.data(), indexCount,
                                    3 * sizeof(dTriIndex));
    else
        dGeomTriMeshDataBuildSingle(mesh, vertices.data(), 3 * sizeof(dReal), vertexCount, indices.data(), indexCount,
                                    3 * sizeof(dTriIndex));
}

void OdeNear(void* data, dGeomID a, dGeomID b)
{
    auto* s = static_cast<OdeScene*>(data);
    dBodyID ba = dGeomGetBody(a), bb = dGeomGetBody(b);
    if ((!ba || !dBodyIsEnabled(ba)) && (!bb || !dBodyIsEnabled(bb))) return;
    dContact contact[4];
    const int n = dCollide(a, b, 4, &contact[0].geom, sizeof(dContact));
    if (n > 0) ++s->touching;
    for (int i = 0; i < n; ++i) {
        contact[i].surface.mode = dContactBounce | dContactApprox1 | dContactSoftCFM | dContactSoftERP;
        contact[i].surface.mu = kFriction;
        contact[i].surface.bounce = kRestitution;
        contact[i].surface.bounce_vel = 0.1;
        contact[i].surface.soft_erp = 0.2;
        contact[i].surface.soft_cfm = 1e-5;
        dJointAttach(dJointCreateContact(s->world, s->contacts, &contact[i]), ba, bb);
    }
}

void Ode(benchmark::State& state, Scene (*make)(), bool sleeping)
{
    const Scene scene = make();
    for (auto _ : state) {
        dInitODE2(0);
        OdeScene s{dWorldCreate(), dHashSpaceCreate(nullptr), dJointGroupCreate(0)};
        dWorldSetGravity(s.world, 0, 0, -kGravity);
        dWorldSetQuickStepNumIterations(s.world, 20);
        dWorldSetAutoDisableFlag(s.world, sleeping ? 1 : 0);
        const Ground ground(scene.heightfield);
        std::vector<dReal> vertices;
        std::vector<dTriIndex> indices;
        dTriMeshDataID mesh = nullptr;
        if (scene.heightfield) {
            for (const PhysicsVector& v : ground.vertices) vertices.insert(vertices.end(), {v.x, v.y, v.z});
            for (const PhysicsMeshTriangle& t : ground.triangles)
                indices.insert(indices.end(), {static_cast<dTriIndex>(t.vertex[0]), static_cast<dTriIndex>(t.vertex[1]),
                                               static_cast<dTriIndex>(t.vertex[2])});
            mesh = dGeomTriMeshDataCreate();
            OdeBuildTriMesh(mesh, vertices, indices);
            dCreateTriMesh(s.space, mesh, nullptr, nullptr, nullptr);
        } else {
            dCreatePlane(s.space, 0, 0, 1, 0);
        }
        for (const PhysicsVector& p : scene.staticBoxes) dGeomSetPosition(dCreateBox(s.space, 1, 1, 1), p.x, p.y, p.z);
        std::vector<dBodyID> bodies;
        for (const Body& b : scene.bodies) {
            dBodyID body = dBodyCreate(s.world);
            dMass mass;
            dGeomID geom;
            if (b.capsule) {
                dMassSetCapsuleTotal(&mass, 1, 2, 0.4, 0.8);  // along y
                geom = dCreateCapsule(s.space, 0.4, 0.8);
            } else {
                dMassSetBoxTotal(&mass, 1, 1, 1, 1);
                geom = dCreateBox(s.space, 1, 1, 1);
            }
            dBodySetMass(body, &mass);
            dGeomSetBody(geom, body);
            if (b.capsule) {
                dMatrix3 r;
                dRFromAxisAndAngle(r, 1, 0, 0, M_PI / 2);
                dGeomSetOffsetRotation(geom, r);
            }
            dBodySetPosition(body, b.position.x, b.position.y, b.position.z);
            bodies.push_back(body);
        }
        Report(state, Run(
                          scene,
                          [&] {
                              s.touching = 0;
                              dSpaceCollide(s.space, &s, OdeNear);
                              dWorldQuickStep(s.world, kStep);
                              dJointGroupEmpty(s.contacts);
                              return s.touching;
                          },
                          [&](size_t i) {
                              const dReal* p = dBodyGetPosition(bodies[i]);
                              return PhysicsVector{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]), 0};
                          },
                          [&] { return std::none_of(bodies.begin(), bodies.end(), [](dBodyID b) { return dBodyIsEnabled(b); }); }));
        dJointGroupDestroy(s.contacts);
        dSpaceDestroy(s.space);
        if (mesh) dGeomTriMeshDataDestroy(mesh);
        dWorldDestroy(s.world);
        dCloseODE();
    }
}
#endif

#ifdef VX_HAVE_BULLET
// Bullet multiplies the two objects' friction and restitution: the square roots give the products.
const float kBulletFriction = std::sqrt(kFriction);
const float kBulletRestitution = std::sqrt(kRestitution);

int BulletTouchingPairs(btCollisionDispatcher& dispatcher)
{
    int touching = 0;
    for (int i = 0; i < dispatcher.getNumManifolds(); ++i)
        if (dispatcher.getManifoldByIndexInternal(i)->getNumContacts() > 0) ++touching;
    return touching;
}

void Bullet(benchmark::State& state, Scene (*make)(), bool sleeping)
{
    const Scene scene = make();
    for (auto _ : state) {
        btDefaultCollisionConfiguration configuration;
        btCollisionDispatcher dispatcher(&configuration);
        btDbvtBroadphase broadphase;
        btSequentialImpulseConstraintSolver solver;
        btDiscreteDynamicsWorld world(&dispatcher, &broadphase, &solver, &configuration);
        world.setGravity(btVector3(0, 0, -kGravity));
        const Ground ground(scene.heightfield);
        std::vector<int> indices;
        std::vector<btScalar> vertices;
        for (const PhysicsVector& v : ground.vertices) vertices.insert(vertices.end(), {v.x, v.y, v.z});
        for (const PhysicsMeshTriangle& t : ground.triangles) indices.insert(indices.end(), {t.vertex[0], t.vertex[1], t.vertex[2]});
        btTriangleIndexVertexArray meshArray(static_cast<int>(ground.triangles.size()), indices.data(), 3 * sizeof(int),
                                             static_cast<int>(ground.vertices.size()), vertices.data(), 3 * sizeof(btScalar));
        btStaticPlaneShape plane(btVector3(0, 0, 1), 0);
        btBvhTriangleMeshShape terrain(&meshArray, true);
        btBoxShape box(btVector3(0.5f, 0.5f, 0.5f));
        btCapsuleShape capsule(0.4f, 0.8f);  // along y
        std::vector<btCollisionObject*> statics;
        auto addStatic = [&](btCollisionShape* shape, const btVector3& at) {
            auto* object = new btCollisionObject();
            object->setCollisionShape(shape);
            object->getWorldTransform().setOrigin(at);
            object->setFriction(kBulletFriction);
            object->setRestitution(kBulletRestitution);
            world.addCollisionObject(object);
            statics.push_back(object);
        };
        if (scene.heightfield) addStatic(&terrain, btVector3(0, 0, 0));
        else addStatic(&plane, btVector3(0, 0, 0));
        for (const PhysicsVector& p : scene.staticBoxes) addStatic(&box, btVector3(p.x, p.y, p.z));
        std::vector<btRigidBody*> bodies;
        std::vector<btDefaultMotionState*> states;
        for (const Body& b : scene.bodies) {
            btCollisionShape* shape = b.capsule ? static_cast<btCollisionShape*>(&capsule) : &box;
            btVector3 inertia;
            shape->calculateLocalInertia(1, inertia);
            states.push_back(new btDefaultMotionState(btTransform(btQuaternion::getIdentity(),
                                                                  btVector3(b.position.x, b.position.y, b.position.z))));
            btRigidBody::btRigidBodyConstructionInfo info(1, states.back(), shape, inertia);
            info.m_friction = kBulletFriction;
            info.m_restitution = kBulletRestitution;
            bodies.push_back(new btRigidBody(info));
            if (!sleeping) bodies.back()->setActivationState(DISABLE_DEACTIVATION);
            world.addRigidBody(bodies.back());
        }
        Report(state, Run(
                          scene,
                          [&] {
                              world.stepSimulation(kStep, 1, kStep);
                              return BulletTouchingPairs(dispatcher);
                          },
                          [&](size_t i) {
                              const btVector3& p = bodies[i]->getWorldTransform().getOrigin();
                              return PhysicsVector{p.x(), p.y(), p.z(), 0};
                          },
                          [&] {
                              return std::all_of(bodies.begin(), bodies.end(),
                                                 [](btRigidBody* b) { return b->getActivationState() == ISLAND_SLEEPING; });
                          }));
        for (btRigidBody* body : bodies) {
            world.removeRigidBody(body);
            delete body;
        }
        for (btDefaultMotionState* s : states) delete s;
        for (btCollisionObject* object : statics) {
            world.removeCollisionObject(object);
            delete object;
        }
    }
}
#endif

void Register(const char* name, Scene (*make)())
{
    for (const bool sleeping : {true, false}) {
        const std::string scene = std::string(name) + (sleeping ? "/sleep_on" : "/sleep_off");
        benchmark::RegisterBenchmark(("Ours/" + scene).c_str(), Ours, make, sleeping)->Iterations(1)->Unit(benchmark::kMillisecond);
#ifdef VX_HAVE_ODE
        benchmark::RegisterBenchmark(("Ode/" + scene).c_str(), Ode, make, sleeping)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif
#ifdef VX_HAVE_BULLET
        benchmark::RegisterBenchmark(("Bullet/" + scene).c_str(), Bullet, make, sleeping)->Iterations(1)->Unit(benchmark::kMillisecond);
#endif
    }
}

const bool registered = [] {
    Register("S1_box_on_plane", S1);
    Register("S2_stack10_pyramid20", S2);
    Register("S3_500_on_heightfield", S3);
    Register("S4_500_rain_on_1000_static", S4);
    return true;
}();

}  // namespace
