#include "weapons/PSimple.h"

TPtr<CPWeaponObject> CPSimple::Clone() {
    TPtr<CPSimple> clone(new CPSimple(GetName()));
    CopySoundTo(*clone);
    clone->CopyFrom(TPtr<CPGameObject>(this));
    return clone;
}

bool CPSimple::SetParams(const WeaponFields& fields) {
    LoadModel(fields[0]);
    return CPWeaponObject::SetParams(fields);
}
