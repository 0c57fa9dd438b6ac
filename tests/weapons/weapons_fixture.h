#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "game/PLevel.h"
#include "platform/Random.h"
#include "Render/PGameObject.h"
#include "weapons/PWeaponsSystem.h"
#include "weapons/WeaponWorld.h"

// A world of a few scene objects for the weapons: every object is tested by the segment and
// sphere queries, the enemies also by the wedge, the player's car only when asked for.
class FixtureWorld : public IPWeaponWorld {
public:
    bool CrossRay(SPRayQuery& query, bool enemies) override {
        bool hit = TestAll(query, objects);
        if (enemies) hit = TestAll(query, this->enemies) || hit;
        if (car) hit = car->RayHit(query) || hit;
        query.hitPoint = query.origin + query.direction * query.distance;
        return hit;
    }
    bool CrossRayNoPlayer(SPRayQuery& query) override {
        const bool hit = TestAll(query, objects) | TestAll(query, enemies);
        query.hitPoint = query.origin + query.direction * query.distance;
        return hit;
    }
    void QueryObjects(const PVector3& centre, float radius, std::vector<TPtr<CPGameObject>>& found,
                      bool skipPlayer) override {
        for (const TPtr<CPGameObject>& object : objects) {
            if (object->GetPartBounds().IntersectsSphere(centre, radius)) found.push_back(object);
        }
        if (car && !skipPlayer && car->GetPartBounds().IntersectsSphere(centre, radius)) found.emplace_back(car);
    }
    void CollectObjectsInWedge(const PVector3& line1, const PVector3& line2,
                               std::vector<TPtr<CPGameObject>>& found) override {
        for (const TPtr<CPGameObject>& enemy : enemies) {
            const PVector3& p = enemy->GetPosition();
            if (line1.x * p.x + line1.y * p.y + line1.z > 0.0f && line2.x * p.x + line2.y * p.y + line2.z < 0.0f) {
                found.push_back(enemy);
            }
        }
    }
    PVector3 GetEye() override { return eye; }
    CPGameObject* GetPlayerCar() override { return car; }

    std::vector<TPtr<CPGameObject>> objects;
    std::vector<TPtr<CPGameObject>> enemies;
    CPGameObject* car = nullptr;
    PVector3 eye{0.0f, 0.0f, 100.0f};

private:
    static bool TestAll(SPRayQuery& query, const std::vector<TPtr<CPGameObject>>& list) {
        bool hit = false;
        for (const TPtr<CPGameObject>& object : list) hit = object->RayHit(query) || hit;
        return hit;
    }
};

// A weapons system with the fixture world installed and a level whose stage 0 lists the
// targets, so that damage takes their health.
class WeaponsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::Srand(1);
        g_frameDelta = 0.0f;
        SetWeaponWorld(&m_world);
        m_level = std::make_unique<CPLevel>();
        m_weapons = new CPWeaponsSystem;
    }
    void TearDown() override {
        m_weapons->Clear();
        m_weapons = nullptr;
        m_world.objects.clear();
        m_world.enemies.clear();
        m_level.reset();
        SetWeaponWorld(nullptr);
        g_frameDelta = 0.0f;
        CollectGarbage();
    }

    void Load(const std::string& text) { m_weapons->LoadDefinitions(text.data(), static_cast<int32_t>(text.size())); }

    // One weapons update with a frame of the given length.
    void Frame(float seconds) {
        g_frameDelta = seconds;
        m_weapons->Update();
    }

    // A unit box (half size 1) at the position with 1000 health, a target of the current stage.
    TPtr<CPGameObject> Target(const PVector3& position) {
        TPtr<CPGameObject> object(new CPGameObject("target"));
        object->SetPosition(position);
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
        object->SetDamageClass(CPGameObject::kDestructible);
        object->SetHealth(kHealth);
        object->UpdateTransform();
        m_level->stageTargetObjects[0].push_back(object);
        m_world.objects.push_back(object);
        return object;
    }

    void Spawn(const std::string& name, const PVector3& position, const PVector3& direction, bool super = false) {
        m_weapons->Spawn(name, position, direction, -1.0f, nullptr, nullptr, super);
    }

    size_t PoolSize(const std::string& name) const {
        const auto* pool = m_weapons->GetPool(name);
        return pool ? pool->size() : 0;
    }

    static constexpr float kHealth = 1000.0f;
    FixtureWorld m_world;
    std::unique_ptr<CPLevel> m_level;
    TPtr<CPWeaponsSystem> m_weapons;
};
