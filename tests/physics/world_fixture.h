#pragma once
#include <gtest/gtest.h>

#include "Render/PGameObject.h"
#include "core/PGlobalTimer.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "physics/engine/PhysicsSimulator.h"
#include "physics/unit_shape.h"

// A physics world with its simulator made, run by frames of a chosen length.
class PhysicsWorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_frameDelta = 0.0f;
        m_physics = new CPPhysics;
        m_physics->Init();
        ASSERT_TRUE(m_physics->GetSimulator());
    }
    void TearDown() override {
        g_frameDelta = 0.0f;
        m_physics = nullptr;
        CollectGarbage();
    }

    CPPhysics& Physics() { return *m_physics; }
    PhysicsSimulator& Simulator() { return *m_physics->GetSimulator(); }

    // One task pass with a frame of the given length.
    void Frame(float seconds) {
        g_frameDelta = seconds;
        m_physics->Update();
    }

    // A scene object with one shape of unit sides (a box, or a cylinder of diameter 1) of the
    // given mass at the position.
    static TPtr<CPGameObject> ShapeObject(PVector3 position, float mass, int32_t type = CPPhysicShape::Box) {
        TPtr<CPGameObject> object(new CPGameObject("crate"));
        GiveShape(*object, position, mass, type);
        return object;
    }
    static void GiveShape(CPGameObject& object, PVector3 position, float mass, int32_t type = CPPhysicShape::Box) {
        GiveUnitShape(object, mass, type);
        object.SetPosition(position);
    }

    // In the world and driven by its rigid body.
    TPtr<CPGameObject> TrackedBox(PVector3 position, float mass = 1.0f) {
        TPtr<CPGameObject> object = ShapeObject(position, mass);
        object->GetPhysicData()->AddToWorld();
        m_physics->TrackObject(object);
        return object;
    }

    // The player's car as a tracked unit box of mass 1 in the player's collision class.
    TPtr<CPPlayerCar> PlayerCarBox(PVector3 position) {
        TPtr<CPPlayerCar> car(new CPPlayerCar);
        GiveShape(*car, position, 1.0f);
        car->GetPhysicData()->AddToWorld();
        m_physics->TrackObject(car);
        car->GetPhysicData()->SetBodyCollisionClass(2);
        return car;
    }

private:
    TPtr<CPPhysics> m_physics;
};
