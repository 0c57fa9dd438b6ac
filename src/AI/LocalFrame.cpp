#include "AI/LocalFrame.h"

void CPLocalFrame::ResetFrame()
{
    forward = {0.0f, 1.0f, 0.0f};
    side = {-forward.y, forward.x, forward.z};
    up = {0.0f, 0.0f, 1.0f};
    position = {0.0f, 0.0f, 0.0f};
}

void CPLocalFrame::RebuildFromForward(const PVector3& f)
{
    forward = f;
    side = Vec3Cross(forward, up);
    if (Vec3Length(side) > 0.0f) side = Vec3Normalize(side);
    up = Vec3Cross(side, forward);
}
