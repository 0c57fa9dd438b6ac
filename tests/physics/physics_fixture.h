#pragma once
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "physics/engine/PhysicsSimulator.h"

// A simulator that is destroyed with the test, and the messages it logged.
struct SimulatorDeleter {
    void operator()(PhysicsSimulator* simulator) const { PhysicsSimulator::Destroy(simulator); }
};
using SimulatorPtr = std::unique_ptr<PhysicsSimulator, SimulatorDeleter>;

inline constexpr float kStep = 1.0f / 150.0f;

std::vector<std::string>& LoggedMessages();

// A simulator with the given sizes and gravity whose messages (level 1) go to LoggedMessages().
SimulatorPtr MakeSimulator(const PhysicsSizeInfo& sizes = PhysicsSizeInfo{}, PhysicsVector gravity = {0, 0, -25.8f, 0});

// A rigid body with one box of the given full sizes at the position.
PhysicsRigidBody* AddBox(PhysicsSimulator& simulator, PhysicsVector position, PhysicsVector size = {1, 1, 1, 0});

// An animated body with one box of the given full sizes at the position.
PhysicsAnimatedBody* AddAnimatedBox(PhysicsSimulator& simulator, PhysicsVector position,
                                    PhysicsVector size = {1, 1, 1, 0});

inline std::ostream& operator<<(std::ostream& out, const PhysicsVector& v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
