#include "Render/ViewCamera.h"

namespace {

TPtr<CPPerspectiveCamera> g_defaultCamera;
TPtr<CPPerspectiveCamera> g_publishedCamera;

}  // namespace

CPPerspectiveCamera& GetViewCamera() {
    if (g_publishedCamera) return *g_publishedCamera;
    if (!g_defaultCamera) g_defaultCamera = TPtr<CPPerspectiveCamera>(new CPPerspectiveCamera);
    return *g_defaultCamera;
}

void SetViewCamera(TPtr<CPPerspectiveCamera> camera) { g_publishedCamera = std::move(camera); }

TPtr<CPPerspectiveCamera> GetPublishedViewCamera() { return g_publishedCamera; }

void ReleaseViewCameras() {
    g_publishedCamera = nullptr;
    g_defaultCamera = nullptr;
}
