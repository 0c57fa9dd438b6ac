#pragma once
#include "Render/PGameObject.h"
#include "Render/PPerspectiveCamera.h"
#include "core/PSmartPointer.h"

// The scene that the sample data's script "main" shows while models cannot be loaded from object
// descriptions yet: a textured cube lit by a directional light under a perspective camera (layer
// 20), a glowing sprite beside it (layer 21) and a translucent panel on the screen layer (200),
// all children of one group node. Its textures, sample_checker.tga and sample_glow.tga, are
// drawn by the texgen tool at build time; its effects are the sample_*.fx files.
//
// Making it puts the camera on layer 20, publishes it as the view camera that sprites face, and
// sends the script "main" the command "sample_scene" with two parameters: the scene's handle and
// the cube's. The script places the cube (SetPTransformation) and hands the scene to the
// renderer (DrawDynamicObject) in every frame it wants it shown.
class SampleScene {
public:
    static constexpr int32_t kSceneLayer = 20;
    static constexpr int32_t kSpriteLayer = 21;
    static constexpr int32_t kPanelLayer = 200;

    SampleScene();
    // Takes the view camera back and lets the objects go.
    ~SampleScene();
    SampleScene(const SampleScene&) = delete;
    SampleScene& operator=(const SampleScene&) = delete;

private:
    TPtr<CPPerspectiveCamera> m_camera;
    TPtr<CPGameObject> m_scene;
};
