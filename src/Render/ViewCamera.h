#pragma once
#include "Render/PPerspectiveCamera.h"
#include "core/PSmartPointer.h"

// The program-wide view camera: the camera that sprites and particles turn to face. The level's
// chase camera publishes its camera here when it is created. Until then, and after
// SetViewCamera(nullptr), a default camera stands in: at the origin with the identity view, so
// camera-facing geometry lies in the world's x-y plane.
//
// The published camera is held with a reference, so it outlives any owner that forgets to take
// it back; whoever ends the level sets nullptr to let it go.
CPPerspectiveCamera& GetViewCamera();
void SetViewCamera(TPtr<CPPerspectiveCamera> camera);
// The published camera, or null while the default stands in.
TPtr<CPPerspectiveCamera> GetPublishedViewCamera();
// Lets both cameras go at shutdown, before the report of engine objects still alive; a later
// GetViewCamera makes a new default camera.
void ReleaseViewCameras();
