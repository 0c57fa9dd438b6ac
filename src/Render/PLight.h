#pragma once
#include <cstdint>
#include <string>

#include "core/PMMObject.h"
#include "platform/gfx/Light.h"

class CPGameObject;

// The light that a light object shows: a fixed-function light record that follows its scene
// object. Its creator fills the type, colours, range and attenuation; the position is the
// followed object's, taken each time the light is read.
class CPLight : public IPMMObject {
public:
    // Every field of the record zero, nothing followed.
    CPLight();

    int32_t GetSize() const override;
    std::string GetClassName() const override;

    // The record, its position first set to the followed object's world position (kept as it is
    // while nothing is followed).
    virtual const platform::gfx::Light& GetLight();
    void SetLight(const platform::gfx::Light& light) { m_light = light; }

    // The scene object the light follows; not counted.
    void SetFollowed(CPGameObject* followed) { m_followed = followed; }
    CPGameObject* GetFollowed() const { return m_followed; }

private:
    platform::gfx::Light m_light{};
    CPGameObject* m_followed = nullptr;
};
