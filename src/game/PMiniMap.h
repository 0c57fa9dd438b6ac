#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "Render/PRenderObjectBase.h"
#include "core/PSmartPointer.h"
#include "math/PVector3.h"

class CPGameObject;
class CPMaterial;

// The minimap: the level's map image in a 147 x 147 pixel square at the bottom right of the
// screen, turned and centred on the player's car, with an arrow for the car, a blinking marker
// toward the current check point and blinking markers for up to ten current targets (those of
// the current stage first, then of the current check point). The level creates it on load,
// updates it and hands it to the renderer every frame; the renderer draws it as a render object
// of its own (the map quad) and the marker objects as scene objects.
//
// The markers come from "minimap_obj.rdf" (children "arrow" and "checkpoint") and the
// "checkpoint" child of "minimap_obj2.rdf"; a model that lacks one of them leaves that marker
// out.
class CPMiniMap : public CPRenderObjectBase {
public:
    static constexpr float kSide = 147.0f;
    static constexpr float kHalfSide = 73.5f;
    // Distance of the square's top-left corner from the screen's right and bottom edges.
    static constexpr float kScreenMargin = 193.0f;
    static constexpr int32_t kTargetMarkerCount = 10;
    // Blink periods, seconds.
    static constexpr float kCheckPointBlink = 0.25f;
    static constexpr float kTargetBlink = 0.5f;

    CPMiniMap() = default;
    ~CPMiniMap() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPMiniMap"; }
    int32_t GetType() const override { return Dynamic; }
    void SetType(int32_t) override {}
    int32_t GetVertexCount() const override { return 4; }
    int32_t GetIndexCount() const override { return 6; }
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    TPtr<CPMaterial> GetMaterial() const override { return material; }

    // The map image of the level's folder and the marker models, for a level of that extent.
    void Load(const std::string& levelName, float levelWidth, float levelDepth);
    // The check point the marker points to; null hides the marker.
    void SetTarget(TPtr<CPGameObject> checkPoint);
    // Follows the car: the arrow, the check-point marker and the target markers.
    void Update(const PVector3& carPosition, float heading);
    // Where a world point lies on the screen; points beyond the square land on its edge.
    PVector3 MapPoint(const PVector3& position, const PVector3& carPosition) const;

    TPtr<CPGameObject> GetMarkerModel() const { return markerModel; }
    TPtr<CPGameObject> GetBuildObject() const { return buildObject; }
    TPtr<CPGameObject> GetCheckPointMarker() const { return checkPointMarker; }
    TPtr<CPGameObject> GetArrowMarker() const { return arrowMarker; }
    const std::array<TPtr<CPGameObject>, kTargetMarkerCount>& GetTargetMarkers() const { return targetMarkers; }
    int32_t GetTargetCount() const { return targetCount; }

private:
    void UpdateCheckPointMarker(const PVector3& carPosition);
    void CollectTargets();
    void UpdateTargetMarkers(const PVector3& carPosition);
    void LoadMarkers();
    void LoadTargetMarkers();

    float mapX = 0.0f;
    float mapY = 0.0f;
    float width = 0.0f;
    float depth = 0.0f;
    // Half the side of the shown window, as a share of the map.
    float viewScale = 0.2f;
    float mapAngle = 0.0f;
    float screenX = 0.0f;
    float screenY = 0.0f;
    TPtr<CPGameObject> target;
    TPtr<CPGameObject> markerModel;
    TPtr<CPGameObject> arrowMarker;
    TPtr<CPGameObject> checkPointMarker;
    std::array<TPtr<CPGameObject>, kTargetMarkerCount> targetMarkers;
    // The targets shown this frame (plain pointers: the level's lists hold them).
    std::array<CPGameObject*, kTargetMarkerCount> targets{};
    int32_t targetCount = 0;
    TPtr<CPGameObject> buildObject;
    TPtr<CPMaterial> material;
    float checkPointBlink = 0.0f;
    float targetBlink = 0.0f;
    bool targetsShown = true;
};
