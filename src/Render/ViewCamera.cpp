#include "Render/ViewCamera.h"

namespace {

TPtr<CPPerspectiveCamera>& PublishedCamera()
{
    static TPtr<CPPerspectiveCamera> camera;
    return camera;
}

CPPerspectiveCamera& DefaultCamera()
{
    static TPtr<CPPerspectiveCamera> camera(new CPPerspectiveCamera);
    return *camera;
}

}  // namespace

CPPerspectiveCamera& GetViewCamera()
{
    const TPtr<CPPerspectiveCamera>& camera = PublishedCamera();
    return camera ? *camera : DefaultCamera();
}

void SetViewCamera(TPtr<CPPerspectiveCamera> camera) { PublishedCamera() = std::move(camera); }
