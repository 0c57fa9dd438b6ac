#pragma once
#include "core/PSmartPointer.h"
#include "math/PPlane.h"
#include "math/PVector3.h"

class CPGameObject;

// A segment query through scene objects (CPGameObject::RayHit): the segment from origin along
// the unit direction for distance. Passing the same record through several trees finds the
// nearest hit of them all.
struct SPRayQuery {
    // This object and its whole subtree are not tested (the shooter, say); not counted.
    CPGameObject* skip = nullptr;
    // The object whose part box was hit nearest.
    TPtr<CPGameObject> hitObject;
    // The hit object's nearest scripted ancestor-or-self, or the top of its tree.
    TPtr<CPGameObject> hitOwner;
    // origin + distance × direction; the level writes it after the search.
    PVector3 hitPoint{0.0f, 0.0f, 0.0f};
    // The segment length on entry, the distance to the nearest hit so far on return.
    float distance = 0.0f;
    // The face plane that was hit.
    PPlane hitPlane{0.0f, 0.0f, 0.0f, 0.0f};
    PVector3 origin{0.0f, 0.0f, 0.0f};
    PVector3 direction{0.0f, 0.0f, 1.0f};
};
