// The running level: its start, its per-frame update with the streaming of the dynamic objects,
// and its stop.
#include <cmath>
#include <cstdio>

#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PParticlesManager.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRender.h"
#include "Render/PRenderBlock.h"
#include "Render/ViewCamera.h"
#include "core/GeometryHelpers.h"
#include "core/PGlobalTimer.h"
#include "core/PKernel.h"
#include "core/PLog.h"
#include "core/PObjUpdater.h"
#include "game/PCamera.h"
#include "game/PGameData.h"
#include "game/PLevel.h"
#include "game/PLevelBranch.h"
#include "game/PMiniMap.h"
#include "game/PPlayerCar.h"
#include "physics/PCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "script/PScriptManager.h"
#include "Sound/NAudio.h"
#include "weapons/PWeaponsSystem.h"

namespace {

// The camera follows a point this high above the car's ground position.
constexpr float kFollowHeight = 0.1f;
constexpr float kListenerPeriod = 0.2f;
constexpr float kShakeLength = 0.4f;
constexpr PVector3 kTimeBonusOffset{10.0f, 10.0f, 0.0f};
constexpr PVector3 kUp{0.0f, 0.0f, 1.0f};

// Time since the listener last followed the car; it runs on across levels.
float g_listenerTimer = 0.0f;

void SendByName(const char* script, const char* command, const std::string& params)
{
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByName(script, command, params);
}

void Spawn(const char* name, const PVector3& position, const PVector3& direction)
{
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) weapons->Spawn(name, position, direction, -1.0f, nullptr, nullptr, false);
}

void ClearParticles()
{
    if (CPParticlesManager* particles = GetParticlesManager()) particles->Clear();
}

// An object and its second pass with the renderer's overlay material.
void DrawWithOverlay(CPRenderBlock& block, const TPtr<CPMaterial>& overlay, const TPtr<CPGameObject>& object)
{
    block.AddObjectTree(object);
    if (overlay) block.AddObjectTreeWithMaterial(overlay, object);
}

}  // namespace

void CPLevel::ResetListener()
{
    if (CNAudio* audio = GetAudio()) audio->SetListenerPosition({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
}

bool CPLevel::Start()
{
    if (state != LevelState::Loaded) {
        GetLog()->Print(0, "Level: a level starts once; this one was started before\n");
        return false;
    }
    state = LevelState::Running;
    g_frameDelta = 0.0f;
    if (AI_Task* ai = GetAITask()) ai->SetPriority(kAIPriority);
    CPKernel* kernel = GetKernel();
    if (CPPhysics* physics = GetPhysics(); physics && kernel) {
        physics->SetPriority(kPhysicsPriority);
        kernel->AddTask(TPtr<IPTask>(physics));
    }
    TakeOverCameras();
    StartTasks();
    if (playerCar) playerCar->Activate(kObjectPriority);
    if (levelObject) levelObject->Activate(kObjectPriority);
    ShowFirstCheckPoint();
    levelTime = kLevelTime;
    if (playerCar) Spawn("time_bonus", playerCar->GetPosition() + kTimeBonusOffset, kUp);
    SendStartCommands();
    return true;
}

// The chase camera becomes the camera of the shadow layer and of the layers after it, and the
// view camera; layer 20's own camera would win over it there, so it is taken off.
void CPLevel::TakeOverCameras()
{
    CPRender* render = GetRender();
    if (!camera || !render) return;
    camera->Activate(kShadowLayer);
    render->SetLayerWorldMatrix(MatrixIdentity(), kObjectLayer);
    render->SetLayerWorldMatrix(g_shadowProjection, kShadowLayer);
    savedLayerCamera = render->GetLayerCamera(kModelLayer);
    savedViewCamera = GetPublishedViewCamera();
    render->SetLayerCamera(kModelLayer, nullptr);
    SetViewCamera(camera->GetRenderCamera());
    camerasTaken = true;
}

void CPLevel::GiveBackCameras()
{
    if (!camerasTaken) return;
    camerasTaken = false;
    if (CPRender* render = GetRender()) {
        render->SetLayerCamera(kShadowLayer, nullptr);
        render->SetLayerCamera(kModelLayer, savedLayerCamera);
    }
    SetViewCamera(savedViewCamera);
    savedLayerCamera = nullptr;
    savedViewCamera = nullptr;
}

void CPLevel::StartTasks()
{
    CPKernel* kernel = GetKernel();
    lightTask = new CPObjUpdater(this, &CPLevel::SubmitLight, 1);
    lightTask->SetPriority(kLightPriority);
    updateTask = new CPObjUpdater(this, &CPLevel::Update, 1);
    updateTask->SetPriority(kUpdatePriority);
    if (!kernel) return;
    kernel->AddTask(lightTask);
    kernel->AddTask(updateTask);
    if (AI_Task* ai = GetAITask()) kernel->AddTask(TPtr<IPTask>(ai));
}

void CPLevel::ShowFirstCheckPoint()
{
    nextCheckPoint = checkPoints.begin();
    checkPointIndex = 0;
    currentCheckPoint = checkPoints.empty() ? nullptr : checkPoints.front().object;
    if (currentCheckPoint) currentCheckPoint->SetVisible(true);
    if (miniMap) miniMap->SetTarget(currentCheckPoint);
}

void CPLevel::SendStartCommands() const
{
    const CPGameData* data = GetGameData();
    if (!data) return;
    char text[128];
    std::snprintf(text, sizeof(text), "%f", data->money);
    SendByName("gamemenu", "set_money", text);
    SendByName("gamemenu", "init_game_interface", "");
    const std::string& engine = data->committedSetup.engine;
    if (engine.empty()) return;
    if (const SPEngineInfo* info = data->FindEngineInfo(engine)) {
        std::snprintf(text, sizeof(text), "%f,%f,%f", info->carParams[0], info->carParams[1], info->carParams[2]);
        SendByName("jeep", "set_car_params", text);
    }
}

void CPLevel::Stop()
{
    if (state != LevelState::Running) return;
    state = LevelState::Stopped;
    ClearParticles();
    if (CPWeaponsSystem* weapons = GetWeaponsSystem()) weapons->Clear();
    if (levelObject) levelObject->Deactivate();
    activeObjects.clear();
    if (playerCar) playerCar->Deactivate();
    if (AI_Task* ai = GetAITask()) {
        ai->StopLevel();
        ai->Stop();
    }
    if (CPPhysics* physics = GetPhysics()) physics->Stop();
    if (tree) tree->RemoveObjectsFromWorld();
    updateTask->Stop();
    lightTask->Stop();
    lightTask = nullptr;
    updateTask = nullptr;
    std::vector<ObjectList>().swap(parkedCells);
    ClearParticles();
}

void CPLevel::SubmitLight()
{
    if (CPRender* render = GetRender()) render->AddLight(light);
}

void CPLevel::Update()
{
    const float dt = g_frameDelta;
    if (dfTextRequested) {
        dfTextRequested = false;
        if (const CPGameData* data = GetGameData()) SendByName("gamemenu", "mission_text", data->GetText("df"));
    }
    UpdateShake(dt);
    levelTime -= dt;
    UpdateDynamicObjects();
    CPPlayerCar* car = GetPlayerCar();
    if (!car) return;
    car->Update();
    const PVector3 position = car->GetPosition();
    if (tree) tree->UpdateActive(position.x, position.y, kPlayerRange);
    if (camera) {
        camera->position = {position.x, position.y, kFollowHeight};
        camera->changed = true;
    }
    UpdateListener(*car, dt);
    const PVector3 flat = FlatForward(*car);
    TestCheckPoint(*car);
    const float heading = flat.y < 0.0f ? -ClampedAcos(flat.x) : ClampedAcos(flat.x);
    const TPtr<CPCar> model = car->GetCar();
    playerSpeed = model ? model->speed : 0.0f;
    if (AI_Task* ai = GetAITask()) ai->UpdateTargetVehicle(*car, flat, car->throttle >= 0.0f ? -playerSpeed : playerSpeed);
    playerHeading = heading;
    if (!camera) return;
    camera->targetHeading = WrapAngle(heading);
    camera->changed = true;
    camera->offsetX = ShakeOffset();
    camera->Update();
    if (miniMap && CameraZoom < 0.0f) miniMap->Update(position, heading);
    DrawObjects(*camera->GetRenderCamera());
}

void CPLevel::UpdateShake(float frameDelta)
{
    if (shakeTime >= 0.0f) {
        shakeTime += frameDelta;
        if (shakeTime >= kShakeLength) {
            shakeTime = -1.0f;
            shakeStrength = 0.0f;
        }
    }
    if (shakeCooldown > 0.0f) {
        shakeCooldown -= frameDelta;
        if (shakeCooldown < 0.0f) shakeCooldown = 0.0f;
    }
}

float CPLevel::ShakeOffset() const
{
    if (shakeTime < 0.0f) return 0.0f;
    return std::sin(shakeTime * 60.0f) * (0.1f - shakeTime * 0.25f) * shakeStrength;
}

PVector3 CPLevel::FlatForward(const CPGameObject& car)
{
    const PVector3 forward = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, MatrixRotationQuaternion(car.GetRotation()));
    const float length = std::sqrt(forward.x * forward.x + forward.y * forward.y);
    if (std::isfinite(length) && length > 1e-6f) lastFlatForward = {forward.x / length, forward.y / length, 0.0f};
    return lastFlatForward;
}

void CPLevel::UpdateListener(const CPGameObject& car, float frameDelta) const
{
    g_listenerTimer += frameDelta;
    if (g_listenerTimer < kListenerPeriod) return;
    g_listenerTimer = 0.0f;
    if (CNAudio* audio = GetAudio()) audio->SetListenerPosition(car.GetPosition(), {0.0f, 0.0f, 0.0f});
}

void CPLevel::TestCheckPoint(const CPGameObject& car)
{
    if (!currentCheckPoint || nextCheckPoint == checkPoints.end()) return;
    const PVector3 point = currentCheckPoint->GetPosition();
    const float dx = car.GetPosition().x - point.x;
    const float dy = car.GetPosition().y - point.y;
    if (!(dx * dx + dy * dy < kCheckPointRadius * kCheckPointRadius)) return;
    respawnPoint = point;
    Spawn("check_sparks", point, kUp);
    currentCheckPoint->SetVisible(false);
    char text[160];
    std::snprintf(text, sizeof(text), "%s,%f,%f,%d", nextCheckPoint->numberText.c_str(), point.x, point.y,
                  checkPointIndex);
    if (CPScriptManager* scripts = GetScriptManager()) {
        scripts->SendCommandByCategory("level", "check_point", text);
        scripts->SendCommandByName("gamemenu", "check_point", text);
        scripts->SendCommandByCategory("main", "say_point", "");
    }
    ++nextCheckPoint;
    ++checkPointIndex;
    if (miniMap) miniMap->SetTarget(nullptr);
    currentCheckPoint = nullptr;
    SetCheckPointGlass(true);
}

void CPLevel::DrawObjects(const CPPerspectiveCamera& view) const
{
    CPRender* render = GetRender();
    const TPtr<CPRenderBlock> block = render ? render->GetRenderBlock() : nullptr;
    if (!block) return;
    const TPtr<CPMaterial> overlay = render->GetShadowMaterial();
    if (currentCheckPoint) {
        const CPBoundingBox bounds = LevelTreeBounds(*currentCheckPoint);
        if (view.TestBox(bounds.min, bounds.max)) {
            block->AddObjectTree(currentCheckPoint);
            if (overlay) block->AddObjectTreeWithMaterial(overlay, currentCheckPoint);
        }
    }
    if (miniMap && CameraZoom < 0.0f) {
        if (const TPtr<CPGameObject> marker = miniMap->GetMarkerModel()) block->AddObjectTree(marker);
        if (const TPtr<CPGameObject> build = miniMap->GetBuildObject()) block->AddObjectTree(build);
        block->AddRenderObject(miniMap);
    }
    for (const ObjectList* list : {&activeObjects, &enemyObjects}) {
        for (const TPtr<CPGameObject>& object : *list) {
            const CPBoundingBox bounds = LevelTreeBounds(*object);
            if (view.TestBox(bounds.min, bounds.max)) DrawWithOverlay(*block, overlay, object);
        }
    }
    DrawWithOverlay(*block, overlay, playerCar);
    if (tree) tree->CollectVisible(view);
}

bool CPLevel::WithinRange(const PVector3& position, const PVector3& car) const
{
    return std::fabs(position.x - car.x) <= kPlayerRange && std::fabs(position.y - car.y) <= kPlayerRange;
}

void CPLevel::ParkActive(ObjectList::iterator object)
{
    CPGameObject& parked = **object;
    parked.Deactivate();
    if (CPPhysics* physics = GetPhysics()) physics->DeactivateObject(*object);
    if (const TPtr<CPPhysicData>& data = parked.GetPhysicData()) data->RemoveFromWorld();
    const int32_t cell = CellIndexAt(parked.GetPosition().x, parked.GetPosition().y);
    if (cell < 0 || static_cast<size_t>(cell) >= parkedCells.size()) {
        activeObjects.erase(object);
        return;
    }
    ObjectList& list = parkedCells[static_cast<size_t>(cell)];
    list.splice(list.end(), activeObjects, object);
}

void CPLevel::UnparkCell(ObjectList& cell, const PVector3& car)
{
    for (auto it = cell.begin(); it != cell.end();) {
        const auto next = std::next(it);
        CPGameObject& object = **it;
        if (object.HasCollision() && WithinRange(object.GetPosition(), car)) {
            activeObjects.splice(activeObjects.end(), cell, it);
            if (const TPtr<CPPhysicData>& data = object.GetPhysicData()) data->AddToWorld();
            if (CPPhysics* physics = GetPhysics()) physics->TrackObject(TPtr<CPGameObject>(&object));
            object.Activate(kObjectPriority);
        }
        it = next;
    }
}

// An object changes lists only when it crosses kPlayerRange: a parked object of a border cell of
// the window that lies farther stays parked, so no object is parked and brought back in turn.
void CPLevel::UpdateDynamicObjects()
{
    if (!playerCar) return;
    const PVector3 car = playerCar->GetPosition();
    for (auto it = activeObjects.begin(); it != activeObjects.end();) {
        const auto next = std::next(it);
        if (!WithinRange((*it)->GetPosition(), car)) ParkActive(it);
        it = next;
    }
    const SPCellWindow window = CellWindowAround(car.x, car.y);
    for (int32_t column = window.firstColumn; column <= window.lastColumn; ++column) {
        for (int32_t row = window.firstRow; row <= window.lastRow; ++row) {
            UnparkCell(parkedCells[static_cast<size_t>(column * cellsY + row)], car);
        }
    }
}
