#include "Render/ViewCamera.h"

namespace {

// Made with the program, so the engine objects alive at the start of a run already count it.
const TPtr<CPPerspectiveCamera> g_defaultCamera(new CPPerspectiveCamera);
TPtr<CPPerspectiveCamera> g_publishedCamera;

}  // namespace

CPPerspectiveCamera& GetViewCamera() { return g_publishedCamera ? *g_publishedCamera : *g_defaultCamera; }

void SetViewCamera(TPtr<CPPerspectiveCamera> camera) { g_publishedCamera = std::move(camera); }
