#pragma once
#include <cstdint>

#include "Render/PGameObject.h"
#include "physics/PPhysicData.h"

// Gives the object a physics binding of the mass with one shape of unit sides (a box, or a
// cylinder of diameter 1) in a unit main box; the body comes with AddToWorld.
inline TPtr<CPPhysicData> GiveUnitShape(CPGameObject& object, float mass, int32_t type = CPPhysicShape::Box) {
    TPtr<CPPhysicData> data(new CPPhysicData(&object));
    data->mass = mass;
    data->mainSizes = {1.0f, 1.0f, 1.0f};
    CPPhysicShape shape;
    shape.type = type;
    shape.s0 = shape.s1 = shape.s2 = shape.s3 = 1.0f;
    data->shapes.push_back(shape);
    object.SetPhysicData(data);
    return data;
}
