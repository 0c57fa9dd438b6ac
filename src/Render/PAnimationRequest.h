#pragma once
#include <cstdint>
#include <string>

#include "core/PSmartPointer.h"

class CPLuaScript;

// A request to play a vertex animation on a scene object and its children
// (CPGameObject::PlayAnimation).
struct SPAnimationRequest {
    // The animation's name in the animated object's animation map.
    std::string name;
    // Playback speed factor: 1 plays the animation at its own rate.
    float speed = 1.0f;
    // Loops after which the animation stops; below 1 it runs endlessly.
    int32_t loops = 0;
    // The script that receives the animation's events; may be null.
    TPtr<CPLuaScript> listener;
    // Frame at which "animation_report" is sent; -1 for none.
    int32_t reportFrame = -1;
    // Frame that triggers the owner's mark handler once; -1 for none.
    int32_t markFrame = -1;
    // Seconds added to the current total time to give the start time.
    float startOffset = 0.0f;
};
