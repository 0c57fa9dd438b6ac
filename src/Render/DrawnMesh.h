#pragma once

class CPRenderObjectBase;
struct SPMeshBuffers;

// The prebuilt mesh a static or vertex-animated render object is drawn from (the static mesh
// cache's record); null when it has none. The render block groups such objects by it and the
// draw pass binds it.
const SPMeshBuffers* DrawnMesh(const CPRenderObjectBase& object);
