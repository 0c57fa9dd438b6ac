#pragma once
#include "math/PVector3.h"

// An oriented frame in the z-up world: side, up and forward axes and a position. Local
// coordinates run (side, forward, up). The frames are right-handed: side = forward × up.
class CPLocalFrame {
public:
    CPLocalFrame() { ResetFrame(); }

    const PVector3& Side() const { return side; }
    const PVector3& Up() const { return up; }
    const PVector3& Forward() const { return forward; }
    const PVector3& Position() const { return position; }
    void SetForward(const PVector3& value) { forward = value; }
    void SetPosition(const PVector3& value) { position = value; }

    // Forward along +y, side (-1, 0, 0) (a quarter turn of forward), up +z, at the origin. Note
    // that this side is the opposite of what a rebuild from the same axes gives; the frame keeps
    // it until its first rebuild.
    void ResetFrame();
    // forward = f as given (not normalised); side = forward × up (normalised when not zero);
    // up = side × forward.
    void RebuildFromForward(const PVector3& f);

protected:
    PVector3 side{};
    PVector3 up{};
    PVector3 forward{};
    PVector3 position{};
};
