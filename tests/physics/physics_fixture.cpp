#include "physics/physics_fixture.h"

std::vector<std::string>& LoggedMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

namespace {

void Collect(const char* message) { LoggedMessages().emplace_back(message); }

}  // namespace

SimulatorPtr MakeSimulator(const PhysicsSizeInfo& sizes, PhysicsVector gravity)
{
    LoggedMessages().clear();
    SimulatorPtr simulator(PhysicsSimulator::Create(&sizes, nullptr, &gravity));
    simulator->SetLogCallback(Collect, 1);
    return simulator;
}

PhysicsRigidBody* AddBox(PhysicsSimulator& simulator, PhysicsVector position, PhysicsVector size)
{
    PhysicsRigidBody* body = simulator.CreateRigidBody();
    if (!body) return nullptr;
    if (PhysicsGeometry* box = body->AddGeometry()) box->SetBoxVector(size);
    body->UpdateBoundingInfo();
    body->SetPos(position);
    return body;
}

PhysicsAnimatedBody* AddAnimatedBox(PhysicsSimulator& simulator, PhysicsVector position, PhysicsVector size)
{
    PhysicsAnimatedBody* body = simulator.CreateAnimatedBody();
    if (!body) return nullptr;
    if (PhysicsGeometry* box = body->AddGeometry()) box->SetBoxVector(size);
    body->UpdateBoundingInfo();
    body->SetPos(position);
    return body;
}
