#include "game/PMiniMap.h"

#include <algorithm>
#include <cmath>

#include "Render/PGameObject.h"
#include "Render/PMaterial.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"
#include "core/PLog.h"
#include "core/SettingsVariables.h"
#include "game/PLevel.h"
#include "math/PMathConstants.h"
#include "math/PMatrix.h"

namespace {

constexpr int32_t kMapLayer = 198;
constexpr int32_t kMarkerLayerBase = 200;
// The map and its markers are turned 135 degrees past the heading.
constexpr float kArrowTurn = 8.6393795f;  // 2.75 pi
constexpr float kMapTurn = 5.4977875f;    // 1.75 pi

// The named child of the model, or null (logged) when the model or the child is missing.
TPtr<CPGameObject> Marker(const TPtr<CPGameObject>& model, const char* modelName, const char* child) {
    TPtr<CPGameObject> marker = model ? model->GetChild(child) : nullptr;
    if (!marker) GetLog()->Print(0, "Minimap: %s has no \"%s\"; that marker is left out\n", modelName, child);
    return marker;
}

// Moves a marker to a screen point and refreshes its transform.
void Place(CPGameObject& marker, const PVector3& point) {
    marker.SetPosition(point);
    marker.UpdateTransform();
}

}  // namespace

CPMiniMap::~CPMiniMap() = default;

void CPMiniMap::Load(const std::string& levelName, float levelWidth, float levelDepth) {
    viewScale = 0.2f;
    if (CPMaterialManager* materials = GetMaterialManager()) {
        material = materials->GetMaterial(kMapLayer, "interface3.fx", {levelName + "\\map.tga"});
    }
    width = levelWidth;
    depth = levelDepth;
    screenX = static_cast<float>(g_screenWidth) - kScreenMargin;
    screenY = static_cast<float>(g_screenHeight) - kScreenMargin;
    LoadMarkers();
    LoadTargetMarkers();
    targetCount = 0;
    targets.fill(nullptr);
}

void CPMiniMap::LoadMarkers() {
    CPObjectLoader* loader = GetObjectLoader();
    markerModel = loader ? loader->LoadObject("minimap_obj.rdf", kMarkerLayerBase) : nullptr;
    arrowMarker = Marker(markerModel, "minimap_obj.rdf", "arrow");
    checkPointMarker = Marker(markerModel, "minimap_obj.rdf", "checkpoint");
    if (arrowMarker) arrowMarker->SetVisible(true);
    if (checkPointMarker) checkPointMarker->SetVisible(false);
}

void CPMiniMap::LoadTargetMarkers() {
    CPObjectLoader* loader = GetObjectLoader();
    const TPtr<CPGameObject> model = loader ? loader->LoadObject("minimap_obj2.rdf", kMarkerLayerBase) : nullptr;
    const TPtr<CPGameObject> source = Marker(model, "minimap_obj2.rdf", "checkpoint");
    buildObject = new CPGameObject("build");
    for (int32_t i = 0; i < kTargetMarkerCount; ++i) {
        TPtr<CPGameObject> marker(new CPGameObject("build" + std::to_string(i)));
        if (source) marker->CopyFrom(source);
        marker->SetVisible(false);
        targetMarkers[i] = marker;
        buildObject->AddChild(marker);
    }
}

void CPMiniMap::SetTarget(TPtr<CPGameObject> checkPoint) {
    target = std::move(checkPoint);
    if (target) {
        if (arrowMarker) arrowMarker->SetVisible(true);
        if (checkPointMarker) checkPointMarker->SetVisible(true);
    } else if (checkPointMarker) {
        checkPointMarker->SetVisible(false);
    }
}

PVector3 CPMiniMap::MapPoint(const PVector3& position, const PVector3& carPosition) const {
    const PVector3 d = Vec3TransformNormal(position - carPosition, MatrixRotationZ(kArrowTurn - mapAngle));
    const float scale = width > 0.0f ? kHalfSide / (viewScale * width) : 0.0f;
    float x = d.x * scale;
    float y = d.y * scale;
    const float largest = std::max(std::fabs(x), std::fabs(y));
    if (largest > kHalfSide) {
        x *= kHalfSide / largest;
        y *= kHalfSide / largest;
    }
    return {x + screenX + kHalfSide, y + screenY + kHalfSide, 0.0f};
}

void CPMiniMap::Update(const PVector3& carPosition, float heading) {
    mapX = width / 2.0f + carPosition.x;
    mapY = depth / 2.0f - carPosition.y;
    mapAngle = -kHalfPi;
    if (arrowMarker) {
        arrowMarker->SetVisible(true);
        arrowMarker->SetRotation(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, heading + kArrowTurn));
        Place(*arrowMarker, {screenX + kHalfSide, screenY + kHalfSide, 0.0f});
    }
    UpdateCheckPointMarker(carPosition);
    CollectTargets();
    UpdateTargetMarkers(carPosition);
}

void CPMiniMap::UpdateCheckPointMarker(const PVector3& carPosition) {
    if (!target || !checkPointMarker) return;
    checkPointMarker->SetPosition(MapPoint(target->GetPosition(), carPosition));
    checkPointBlink += g_frameDelta;
    if (checkPointBlink >= kCheckPointBlink) {
        checkPointBlink = 0.0f;
        checkPointMarker->SetVisible(!checkPointMarker->IsVisible());
    }
    checkPointMarker->UpdateTransform();
}

void CPMiniMap::CollectTargets() {
    targetCount = 0;
    targets.fill(nullptr);
    const CPLevel* level = GetLevel();
    if (!level) return;
    for (const CPLevel::ObjectList* list : {CPLevel::ListAt(level->stageTargetObjects, level->stageIndex),
                                                     CPLevel::ListAt(level->checkPointTargetObjects, level->checkPointIndex)}) {
        if (!list) continue;
        for (const TPtr<CPGameObject>& object : *list) {
            if (targetCount >= kTargetMarkerCount) return;
            targets[targetCount++] = object.Get();
        }
    }
}

void CPMiniMap::UpdateTargetMarkers(const PVector3& carPosition) {
    targetBlink += g_frameDelta;
    if (targetBlink >= kTargetBlink) {
        targetBlink = 0.0f;
        targetsShown = !targetsShown;
    }
    for (int32_t i = 0; i < kTargetMarkerCount; ++i) {
        CPGameObject& marker = *targetMarkers[i];
        if (i >= targetCount) {
            marker.SetVisible(false);
            continue;
        }
        marker.SetVisible(targetsShown);
        Place(marker, MapPoint(targets[i]->GetPosition(), carPosition));
    }
}

void CPMiniMap::WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) {
    const float u = width > 0.0f ? mapX / width : 0.0f;
    const float v = depth > 0.0f ? mapY / depth : 0.0f;
    const PMatrix turn = MatrixRotationZ(kMapTurn - mapAngle) * MatrixTranslation(u, v, 0.0f);
    const float s = viewScale;
    const struct {
        float x, y, u, v;
    } corners[4] = {{screenX + kSide, screenY, -s, -s},
                    {screenX, screenY, s, -s},
                    {screenX, screenY + kSide, s, s},
                    {screenX + kSide, screenY + kSide, -s, s}};
    for (int32_t i = 0; i < 4; ++i) {
        const PVector3 uv = Vec3TransformCoord({corners[i].u, corners[i].v, 0.0f}, turn);
        vertices[i].position = {corners[i].x, corners[i].y, 0.0f};
        vertices[i].tex0 = {uv.x, uv.y};
    }
    const uint16_t quad[6] = {0, 1, 2, 0, 2, 3};
    for (int32_t i = 0; i < 6; ++i) indices[i] = static_cast<uint16_t>(base + quad[i]);
}
