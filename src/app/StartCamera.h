#pragma once
#include "Render/PPerspectiveCamera.h"
#include "core/PSmartPointer.h"

// The camera the scene layer (20) is seen through until a level brings its own: from 7 units
// behind and 3.5 above the origin (z up), looking at a point just above it. Making it puts it on
// layer 20 and publishes it as the view camera that sprites face; destroying it takes the view
// camera back.
class StartCamera {
public:
    static constexpr int32_t kSceneLayer = 20;

    StartCamera();
    ~StartCamera();
    StartCamera(const StartCamera&) = delete;
    StartCamera& operator=(const StartCamera&) = delete;

private:
    TPtr<CPPerspectiveCamera> m_camera;
};
