#include "app/StartCamera.h"

#include "Render/PRender.h"
#include "Render/ViewCamera.h"

StartCamera::StartCamera() : m_camera(new CPPerspectiveCamera) {
    m_camera->SetEye({0.0f, -7.0f, 3.5f});
    m_camera->SetTarget({0.0f, 0.0f, 0.3f});
    m_camera->SetUp({0.0f, 0.0f, 1.0f});
    m_camera->SetFieldOfView(0.9f);
    m_camera->SetNearClip(1.0f);
    m_camera->SetFarClip(100.0f);
    m_camera->UpdateMatrices();
    SetViewCamera(m_camera);
    if (CPRender* render = GetRender()) render->SetLayerCamera(kSceneLayer, m_camera);
}

StartCamera::~StartCamera() { SetViewCamera(nullptr); }
