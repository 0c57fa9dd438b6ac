#pragma once
#include "weapons/PWeaponObject.h"

// "simple": a model shown where its description places it, turned along the launch direction,
// live until the weapons are cleared. Fields: 0 model, 1 owner tag, 2 and 3 numbers, 4 a name,
// last the sound; only the model and the sound are used.
class CPSimple : public CPWeaponObject {
public:
    explicit CPSimple(const std::string& name) : CPWeaponObject(name) {}

    TPtr<CPWeaponObject> Clone() override;
    bool Update() override { return true; }
    bool SetParams(const WeaponFields& fields) override;
};
