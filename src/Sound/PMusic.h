#pragma once
#include <cstdint>
#include <string>

#include "core/PTask.h"
#include "core/Singleton.h"

// The music task: plays one track of "Data\Music" at a time, fades between tracks and loops
// them (a system task at priority 12, added before the input task of the same priority).
//
// Not done yet: Play, Open, the fades, looping and the volume; Update does nothing for now.
class CPMusic : public IPTask, public TSingleton<CPMusic> {
public:
    CPMusic() = default;

    void Update() override {}
    int32_t GetType() const override { return 3; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPMusic"; }
};

// The music task, null before its construction and after its destruction.
inline CPMusic* GetMusic() { return CPMusic::Instance(); }
