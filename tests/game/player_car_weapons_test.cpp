// The player car's weapon: what each weapon mounts and fires, the magazine and the cooldown,
// aiming (degenerate aims included), the laser sight, slot cycling and the flame's burning.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Render/PGameObject.h"
#include "Render/PParticle.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRenderObject.h"
#include "Render/ViewCamera.h"
#include "core/PGlobalTimer.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PPlayerCar.h"
#include "game/player_car_fixture.h"
#include "math/PMathConstants.h"
#include "physics/PPhysics.h"
#include "physics/unit_shape.h"
#include "platform/Random.h"
#include "weapons/PWeaponsSystem.h"

namespace {

// Every model child the car carries for its weapons.
const char* const kModels[] = {"lgun", "ssrlauncher", "firethrower", "lgun2x", "hmgun", "shotgun", "mgun",
                               "mgun2x", "gauss", "rlauncher", "autoshotgun", "plasma"};
// Every prototype a weapon fires, each a plain object that stays live and keeps its launch.
const char* const kPrototypes[] = {"trasser11", "trasser12", "trasser13", "trasser14",  "trasser15",
                                   "srocket1",  "srocket1_1", "srocket1_2", "rocket1", "plazma",
                                   "plazma_2",  "plazma_3",  "gauss1"};

// A car at the origin facing -y with every weapon model on its roof (mount at (0, 0.5, 1.5)), each
// with its four flashes one unit ahead; the game data whose first slot holds the weapon under
// test; and a weapons system with the prototypes.
class PlayerCarWeaponsTest : public PlayerCarFixture {
protected:
    void SetUp() override {
        platform::Srand(1);
        ASSERT_NO_FATAL_FAILURE(PlayerCarFixture::SetUp());
        m_weapons = new CPWeaponsSystem;
        std::string definitions;
        for (const char* name : kPrototypes) definitions += std::string(name) + " simple m;player;1;2;n;none\n";
        m_weapons->LoadDefinitions(definitions.data(), static_cast<int32_t>(definitions.size()));
        for (const char* name : kModels) m_car->AddChild(WeaponModel(name));
        m_car->UpdateTransform();
    }
    void TearDown() override {
        m_weapons->Clear();
        m_weapons = nullptr;
        m_level.reset();
        PlayerCarFixture::TearDown();
    }

    static TPtr<CPGameObject> WeaponModel(const std::string& name) {
        TPtr<CPGameObject> model(new CPGameObject(name));
        model->SetPosition({0.0f, 0.5f, 1.5f});
        const std::string flare = "flare_" + name;
        for (const std::string& flash : {flare, flare + "_01", flare + "_02", flare + "_03"}) {
            TPtr<CPGameObject> child(new CPGameObject(flash));
            child->SetPosition({0.0f, -1.0f, 0.0f});
            model->AddChild(child);
        }
        if (name == "hmgun") model->AddChild(TPtr<CPGameObject>(new CPGameObject("stvol")));
        return model;
    }

    // Mounts the item from slot 0 with the record (shot cost, capacity, fire rate, damage).
    void Mount(const std::string& item, int32_t shotCost = 1, int32_t capacity = 100, float fireRate = 10.0f) {
        CPWeaponInfo info;
        info.shotCost = shotCost;
        info.capacity = capacity;
        info.fireRate = fireRate;
        info.damage = 7.0f;
        info.rechargeRate = 2.0f;
        m_data.weaponInfos[item] = info;
        m_data.committedSetup.weapons = {item, "", ""};
        m_car->SelectFirstWeapon();
    }

    // One frame: the car's update, then the aim at the point with the trigger held.
    void Frame(float seconds, const PVector3& aim = {0.0f, -20.0f, 1.5f}) {
        PlayerCarFixture::Frame(seconds);
        m_car->SetWeaponPos(aim, nullptr);
    }

    // The live objects spawned of the prototype.
    std::vector<CPWeaponObject*> Spawned(const std::string& prototype) const {
        std::vector<CPWeaponObject*> found;
        for (const TPtr<CPWeaponObject>& object : m_weapons->GetLiveObjects()) {
            if (object->GetName() == prototype) found.push_back(object.Get());
        }
        return found;
    }

    int InterfaceUpdates() {
        int updates = 0;
        for (const std::string& command : Commands()) updates += command.starts_with("update_game_interface(");
        return updates;
    }

    // A level with the car as its player and the object among its active ones.
    void StartLevel(const TPtr<CPGameObject>& object) {
        m_level = std::make_unique<CPLevel>();
        m_level->playerCar = m_car;
        m_level->activeObjects.push_back(object);
        m_level->stageTargetObjects[0].push_back(object);
    }

    CPGameData m_data;
    TPtr<CPWeaponsSystem> m_weapons;
    std::unique_ptr<CPLevel> m_level;
};

bool IsFinite(const PVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

TEST_F(PlayerCarWeaponsTest, EachWeaponShowsItsModelAndFiresItsShotsOnePullAtATime) {
    const struct {
        const char* item;
        const char* model;
        const char* prototype;  // null: nothing spawned
        size_t shots;
        bool super;
        float damage;  // the spawn's damage; -1 keeps the prototype's
    } cases[] = {
        {"lgun", "lgun", "trasser11", 1, false, 7.0f},
        {"lgun2x", "lgun2x", "trasser11", 1, false, 7.0f},
        {"mgun", "mgun", "trasser11", 1, false, 7.0f},
        {"mgun2x", "mgun2x", "trasser11", 1, false, 7.0f},
        {"hmgun", "hmgun", "trasser12", 2, false, 7.0f},
        {"hmgun2", "hmgun", "trasser14", 3, false, 7.0f},
        {"hmgun3", "hmgun", "trasser15", 3, true, 7.0f},
        {"ssrlauncher", "ssrlauncher", "srocket1", 1, false, -1.0f},
        {"ssrlauncher2", "ssrlauncher", "srocket1_1", 2, false, -1.0f},
        {"ssrlauncher3", "ssrlauncher", "srocket1_2", 3, false, -1.0f},
        {"rlauncher", "rlauncher", "rocket1", 1, false, 7.0f},
        {"firethrower", "firethrower", "plazma", 1, false, 7.0f},  // the plasma gun, despite its name
        {"firethrower2", "firethrower", "plazma_2", 2, false, 7.0f},
        {"firethrower3", "firethrower", "plazma_3", 2, true, 7.0f},
        {"shotgun", "shotgun", "trasser13", 6, false, 7.0f},  // one pellet per shot cost
        {"autoshotgun", "autoshotgun", "trasser13", 6, false, 7.0f},
        {"gauss", "gauss", "gauss1", 1, false, 7.0f},
        {"plasma", "plasma", nullptr, 0, false, 0.0f},  // the flame throws particles
        {"lgun", "lgun", "trasser11", 1, false, 7.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        m_weapons->Clear();
        m_car->reloading = false;
        m_car->magazine = {1.0f, 1.0f, 1.0f};
        Mount(c.item, 6, 600);
        for (const char* model : kModels) EXPECT_EQ(m_car->FindChild(model)->IsVisible(), c.model == std::string(model)) << model;
        EXPECT_EQ(m_car->weaponModel.Get(), m_car->FindChild(c.model).Get());
        m_car->SetFireTrigger(true);
        m_car->fireCooldown = -0.01f;
        Frame(0.0f);
        Frame(0.0f);  // the cooldown holds the second pass
        EXPECT_EQ(m_weapons->GetLiveObjects().size(), c.shots);
        EXPECT_FLOAT_EQ(m_car->fireCooldown, 0.1f);
        EXPECT_FLOAT_EQ(m_car->magazine[0], 0.99f) << "a pull costs shot cost / capacity";
        if (!c.prototype) continue;
        const std::vector<CPWeaponObject*> shots = Spawned(c.prototype);
        ASSERT_EQ(shots.size(), c.shots);
        for (const CPWeaponObject* shot : shots) {
            EXPECT_EQ(shot->GetSuperFlag(), c.super);
            EXPECT_EQ(shot->GetDamageOverride(), c.damage);
            EXPECT_TRUE(IsFinite(shot->GetLaunchPosition()) && IsFinite(shot->GetLaunchDirection()));
        }
    }
}

TEST_F(PlayerCarWeaponsTest, AnUnknownWeaponFlashesButFiresNothingAndSpendsNothing) {
    m_car->AddChild(WeaponModel("laser_gun"));
    Mount("laser_gun");
    EXPECT_EQ(m_car->weaponModel->GetName(), "laser_gun");
    m_car->SetFireTrigger(true);
    m_car->fireCooldown = -0.01f;
    for (int pass = 1; pass <= 3; ++pass) {
        Frame(0.0f);
        EXPECT_TRUE(m_car->flashVisible);
        EXPECT_EQ(m_car->flashIndex, (pass - 1) % 4) << "the flashes take turns";
        EXPECT_TRUE(m_car->flashes[m_car->flashIndex]->IsVisible());
    }
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_EQ(m_car->fireCooldown, -0.01f);
    EXPECT_EQ(m_car->magazine[0], 1.0f);
}

// Shot cost 1 of capacity 4: a quarter of the magazine a shot, five shots a second. With frames of
// 1/16 s the cooldown of 0.2 runs out in the fourth frame after a shot (set, not added). The
// fourth shot empties the magazine: the refill (2 per second of 4: half the magazine a second)
// takes two seconds, and the trigger fires again once it is full.
TEST_F(PlayerCarWeaponsTest, ShotsFollowTheCooldownAndAnEmptyMagazineRefillsBeforeTheNextShot) {
    Mount("lgun", 1, 4, 5.0f);
    m_car->SetFireTrigger(true);
    std::vector<int> shotFrames;
    for (int frame = 1; frame <= 60; ++frame) {
        const size_t before = m_weapons->GetLiveObjects().size();
        Frame(0.0625f);
        if (m_weapons->GetLiveObjects().size() > before) shotFrames.push_back(frame);
    }
    EXPECT_EQ(shotFrames, (std::vector<int>{1, 5, 9, 13, 46, 50, 54, 58}));
}

TEST_F(PlayerCarWeaponsTest, EquipmentHalvesTheCostOrTheCooldown) {
    const struct {
        float magazineFactor, fireRateFactor, fill, cooldown;
    } cases[] = {{1.0f, 1.0f, 0.75f, 0.2f}, {2.0f, 1.0f, 0.875f, 0.2f}, {1.0f, 2.0f, 0.75f, 0.1f}};
    for (const auto& c : cases) {
        Mount("lgun", 1, 4, 5.0f);
        m_car->magazine[0] = 1.0f;
        m_car->magazineFactor = c.magazineFactor;
        m_car->fireRateFactor = c.fireRateFactor;
        m_car->fireCooldown = -1.0f;
        m_car->SetFireTrigger(true);
        m_car->SetWeaponPos({0.0f, -20.0f, 1.5f}, nullptr);
        EXPECT_EQ(m_car->magazine[0], c.fill);
        EXPECT_FLOAT_EQ(m_car->fireCooldown, c.cooldown);
    }
}

TEST_F(PlayerCarWeaponsTest, AMagazineShortOfOneShotSpendsNothingShowsNoFlashAndRefills) {
    Mount("lgun", 1, 4, 5.0f);
    m_car->magazine[0] = 0.2f;
    m_car->SetFireTrigger(true);
    InterfaceUpdates();
    m_car->fireCooldown = -1.0f;
    m_car->SetWeaponPos({0.0f, -20.0f, 1.5f}, nullptr);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_FALSE(m_car->flashVisible);
    EXPECT_EQ(m_car->magazine[0], 0.2f);
    EXPECT_TRUE(m_car->reloading);
    EXPECT_EQ(InterfaceUpdates(), 1);
}

TEST_F(PlayerCarWeaponsTest, AWeaponWithoutARecordCapacityOrFireRateDoesNotFire) {
    const struct {
        const char* what;
        int32_t capacity;
        float fireRate;
        bool record;
    } cases[] = {{"no record", 10, 5.0f, false}, {"capacity 0", 0, 5.0f, true}, {"fire rate 0", 10, 0.0f, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Mount("gauss", 1, c.capacity, c.fireRate);
        if (!c.record) {
            m_data.weaponInfos.clear();
            m_car->MountWeapons();
            EXPECT_TRUE(m_data.weaponInfos.empty()) << "mounting looks the record up without inserting one";
        }
        m_car->SetFireTrigger(true);
        m_car->fireCooldown = -1.0f;
        Frame(0.1f);
        EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
        EXPECT_FALSE(m_car->flashVisible);
        EXPECT_EQ(m_car->magazine[0], 1.0f);
    }
}

TEST_F(PlayerCarWeaponsTest, MissingFlashesAndBarrelAreSkipped) {
    m_car = new CPPlayerCar;
    TPtr<CPGameObject> bare(new CPGameObject("hmgun"));
    bare->SetPosition({0.0f, 0.5f, 1.5f});
    m_car->AddChild(bare);
    m_car->UpdateTransform();
    Mount("hmgun3");
    m_car->SetFireTrigger(true);
    m_car->fireCooldown = -1.0f;
    Frame(0.1f);
    ASSERT_EQ(Spawned("trasser15").size(), 3u);
    EXPECT_NEAR(Spawned("trasser15")[0]->GetLaunchPosition().z, 1.5f, 0.2f) << "fired from the weapon itself";
    EXPECT_FLOAT_EQ(m_car->barrelAngle, 1.05f);
}

TEST_F(PlayerCarWeaponsTest, TheHeavyGunsBarrelSpinsWhileTheTriggerIsHeld) {
    Mount("hmgun");
    m_car->SetFireTrigger(true);
    Frame(0.5f);
    EXPECT_FLOAT_EQ(m_car->barrelAngle, 5.25f);
    const PQuaternion spin = m_car->FindChild("stvol")->GetRotation();
    EXPECT_NEAR(spin.y, std::sin(5.25f / 2.0f), 1e-5f);
    m_car->SetFireTrigger(false);
    Frame(0.5f);
    EXPECT_FLOAT_EQ(m_car->barrelAngle, 5.25f);
}

// The car faces -y; its weapon turns about z toward the aim's ground direction. Aims straight
// above or below the mount keep the weapon ahead; distant lobs take 45 degrees.
TEST_F(PlayerCarWeaponsTest, TheWeaponTurnsTowardTheAimAndLobsAtTheSteeperAngle) {
    const float lob10 = kPi / 2.0f - std::asin(9.8f * 10.0f / 289.0f) / 2.0f;
    const struct {
        const char* what;
        PVector3 aim;
        PVector3 forward;  // where the weapon's -y points after the turn
        float elevation;
    } cases[] = {
        {"ahead", {0.0f, -9.5f, 1.5f}, {0.0f, -1.0f, 0.0f}, lob10},
        {"to +x", {10.0f, 0.5f, 1.5f}, {1.0f, 0.0f, 0.0f}, lob10},
        {"behind", {0.0f, 10.5f, 1.5f}, {0.0f, 1.0f, 0.0f}, lob10},
        {"far to -x", {-100.0f, 0.5f, 1.5f}, {-1.0f, 0.0f, 0.0f}, kPi / 4.0f},
        {"straight above", {0.0f, 0.5f, 50.0f}, {0.0f, -1.0f, 0.0f}, kPi / 2.0f},
        {"straight below", {0.0f, 0.5f, -50.0f}, {0.0f, -1.0f, 0.0f}, kPi / 2.0f},
    };
    m_car->ApplyLoadout();
    Mount("lgun");
    m_car->laserSight = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_car->SetWeaponPos(c.aim, nullptr);
        const PVector3 forward = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, m_car->weaponModel->GetWorld());
        EXPECT_NEAR(forward.x, c.forward.x, 1e-5f);
        EXPECT_NEAR(forward.y, c.forward.y, 1e-5f);
        EXPECT_NEAR(m_car->aimElevation, c.elevation, 1e-5f);
        EXPECT_EQ(m_car->aimDirection.z, 0.0f) << "without a target the aim is flat";
        for (const SPVertex& corner : m_car->laserRenderObject->GetVertices()) EXPECT_TRUE(IsFinite(corner.position));
    }
}

TEST_F(PlayerCarWeaponsTest, TheLobbingLauncherTiltsUpAndItsRocketCarriesTheElevation) {
    Mount("rlauncher");
    m_car->SetFireTrigger(true);
    m_car->fireCooldown = -1.0f;
    m_car->SetWeaponPos({0.0f, -100.0f, 0.0f}, nullptr);
    const PVector3 barrel = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, m_car->weaponModel->GetWorld());
    EXPECT_NEAR(barrel.z, std::sin(kPi / 4.0f), 1e-5f);
    EXPECT_NEAR(barrel.y, -std::cos(kPi / 4.0f), 1e-5f);
    ASSERT_EQ(Spawned("rocket1").size(), 1u);
    const PVector3 direction = Spawned("rocket1")[0]->GetLaunchDirection();
    EXPECT_EQ(direction.x, 0.0f);
    EXPECT_FLOAT_EQ(direction.y, -100.5f) << "the ground part of the aim";
    EXPECT_FLOAT_EQ(direction.z, kPi / 4.0f) << "the third value is the launch elevation";
}

// A target with a physics body is aimed at its centre height; one without is aimed flat.
TEST_F(PlayerCarWeaponsTest, ATargetWithABodyIsAimedAtItsCentreHeight) {
    TPtr<CPPhysics> physics(new CPPhysics);
    physics->Init();
    TPtr<CPGameObject> target(new CPGameObject("target"));
    target->SetPosition({0.0f, -20.0f, 6.0f});
    target->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
    target->UpdateTransform();
    Mount("lgun");
    m_car->SetWeaponPos({0.0f, -20.0f, 0.0f}, target);
    EXPECT_EQ(m_car->aimDirection.z, 0.0f);
    GiveUnitShape(*target, 1.0f)->AddToWorld();
    m_car->SetWeaponPos({0.0f, -20.0f, 0.0f}, target);
    EXPECT_NEAR(m_car->aimDirection.z, 6.0f - 1.5f, 1e-4f);
    physics->Stop();
}

TEST_F(PlayerCarWeaponsTest, TheLaserRunsNinetyUnitsFromTheFlashAndFacesTheEye) {
    TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    camera->SetEye({0.0f, 0.0f, 100.0f});
    SetViewCamera(camera);
    m_car->ApplyLoadout();
    Mount("lgun");
    m_car->laserSight = true;
    m_car->SetWeaponPos({30.0f, 0.5f, 1.5f}, nullptr);
    const std::vector<SPVertex>& corners = m_car->laserRenderObject->GetVertices();
    ASSERT_EQ(corners.size(), 4u);
    const PVector3 flash = Vec3TransformCoord({0.0f, 0.0f, 0.0f}, m_car->flashes[3]->GetWorld());
    const PVector3 start = (corners[0].position + corners[3].position) * 0.5f;
    const PVector3 end = (corners[1].position + corners[2].position) * 0.5f;
    EXPECT_NEAR(Vec3Length(start - flash), 0.0f, 1e-4f);
    EXPECT_NEAR(end.x - start.x, 90.0f, 1e-3f);
    EXPECT_NEAR(Vec3Length(corners[0].position - corners[3].position), 0.1f, 1e-5f);
    EXPECT_NEAR(std::fabs(corners[0].position.y - corners[3].position.y), 0.1f, 1e-5f) << "seen from above: across y";
    SetViewCamera(nullptr);
}

// Weapons ("hmgun", "", "firethrower"): both directions from slot 0 reach slot 2; with one weapon
// both stay; without any the car has none.
TEST_F(PlayerCarWeaponsTest, CyclingSkipsEmptySlotsAndWraps) {
    const struct {
        std::array<std::string, 3> weapons;
        int32_t from;
        int32_t previous, next;
    } cases[] = {
        {{"hmgun", "", "firethrower"}, 0, 2, 2},
        {{"hmgun", "", ""}, 0, 0, 0},
        {{"", "gauss", ""}, -1, 1, 1},
        {{"lgun", "gauss", "shotgun"}, 1, 0, 2},
        {{"", "", ""}, 1, -1, -1},
    };
    for (const auto& c : cases) {
        m_data.committedSetup.weapons = c.weapons;
        m_car->currentWeapon = c.from;
        m_car->SelectPrevWeapon();
        EXPECT_EQ(m_car->currentWeapon, c.previous);
        m_car->currentWeapon = c.from;
        m_car->SelectNextWeapon();
        EXPECT_EQ(m_car->currentWeapon, c.next);
        if (c.next >= 0) {
            EXPECT_EQ(m_car->currentWeaponName, c.weapons[static_cast<size_t>(c.next)]);
        } else {
            EXPECT_FALSE(m_car->weaponModel);
        }
    }
}

TEST_F(PlayerCarWeaponsTest, TheTriggersHoldOnlyWhenTheCarCanFire) {
    Mount("lgun");
    m_car->SetFireTrigger(true);
    EXPECT_TRUE(m_car->fireTrigger);
    m_car->reloading = true;
    m_car->SetFireTrigger(true);
    EXPECT_FALSE(m_car->fireTrigger) << "refilling";
    m_car->reloading = false;
    m_car->currentWeapon = -1;
    m_car->SetFireTrigger(true);
    EXPECT_FALSE(m_car->fireTrigger) << "no weapon";
    m_car->SetMineTrigger(true);
    EXPECT_FALSE(m_car->mineTrigger) << "no mine layer";
    m_car->hasMineLayer = true;
    m_car->SetMineTrigger(true);
    EXPECT_TRUE(m_car->mineTrigger);
    Mount("plasma");
    m_car->flameTickTimer = 0.15f;
    m_car->SetFireTrigger(true);
    EXPECT_EQ(m_car->flameTickTimer, 0.0f) << "the flame's first tick comes at the next aim";
}

TEST_F(PlayerCarWeaponsTest, NothingHappensWhileDead) {
    Mount("lgun");
    m_car->dead = true;
    m_car->SetFireTrigger(true);
    m_car->fireCooldown = -1.0f;
    m_car->SetWeaponPos({5.0f, 5.0f, 0.0f}, nullptr);
    EXPECT_TRUE(m_weapons->GetLiveObjects().empty());
    EXPECT_EQ(m_car->aimPoint.x, 0.0f);
    m_data.committedSetup.weapons = {"lgun", "gauss", ""};
    m_car->SelectNextWeapon();
    EXPECT_EQ(m_car->weaponModel->GetName(), "lgun") << "nothing is mounted";
}

// A flame particle passing through a box and one touching another: both burn at the next aim,
// once per 0.2 s tick of its frame, and only then; the car itself never burns.
TEST_F(PlayerCarWeaponsTest, WhatTheFlameTouchesBurnsOncePerTickAtTheNextAim) {
    auto box = [](const char* name, const PVector3& at) {
        TPtr<CPGameObject> object(new CPGameObject(name));
        object->SetPosition(at);
        object->GetParts().emplace_back(PVector4{0.0f, 0.0f, 0.0f, 1.0f}, PVector4{1.0f, 1.0f, 1.0f, 0.0f});
        object->SetDamageClass(CPGameObject::kDestructible);
        object->SetHealth(1000.0f);
        object->UpdateTransform();
        return object;
    };
    m_car->GetParts().emplace_back(PVector4{0.0f, 0.0f, 1.0f, 1.0f}, PVector4{1.0f, 2.0f, 1.0f, 0.0f});
    m_car->UpdateTransform();
    const TPtr<CPGameObject> crossed = box("crossed", {0.0f, -10.0f, 1.0f});
    const TPtr<CPGameObject> touched = box("touched", {5.0f, -10.0f, 1.0f});
    Mount("plasma");
    SPParticle particle;
    particle.previousPosition = {0.0f, -8.0f, 1.0f};
    particle.position = {0.0f, -12.0f, 1.0f};
    particle.size = 0.1f;
    CPPlayerCar::OnFlameParticle(m_car.Get(), particle);
    EXPECT_TRUE(m_car->burningObjects.empty()) << "without a level nothing burns";
    EXPECT_EQ(particle.age, 0.0f);

    StartLevel(crossed);
    m_level->activeObjects.push_back(touched);
    m_level->stageTargetObjects[0].push_back(touched);
    CPPlayerCar::OnFlameParticle(m_car.Get(), particle);
    EXPECT_EQ(particle.age, 1000.0f) << "a particle that hit something ends";
    SPParticle near;
    near.previousPosition = near.position = {5.0f, -8.5f, 1.0f};
    near.size = 1.0f;
    CPPlayerCar::OnFlameParticle(m_car.Get(), near);
    SPParticle onCar;
    onCar.previousPosition = {0.0f, 0.5f, 1.0f};
    onCar.position = {0.0f, -0.5f, 1.0f};
    onCar.size = 2.0f;
    CPPlayerCar::OnFlameParticle(m_car.Get(), onCar);
    EXPECT_EQ(m_car->burningObjects.size(), 2u);
    CPPlayerCar::OnFlameParticle(m_car.Get(), particle);
    EXPECT_EQ(m_car->burningObjects.size(), 2u) << "each once";

    m_car->SetFireTrigger(true);
    g_frameDelta = 0.5f;
    m_car->SetWeaponPos({0.0f, -10.0f, 1.0f}, nullptr);
    EXPECT_EQ(crossed->GetHealth(), 1000.0f - 3 * 7.0f) << "ticks at 0, 0.2 and 0.4 of the frame";
    EXPECT_EQ(touched->GetHealth(), 1000.0f - 3 * 7.0f);
    EXPECT_TRUE(m_car->burningObjects.empty());
    g_frameDelta = 0.5f;
    m_car->SetWeaponPos({0.0f, -10.0f, 1.0f}, nullptr);
    EXPECT_EQ(crossed->GetHealth(), 1000.0f - 3 * 7.0f) << "nothing touched since";
}

}  // namespace
