#pragma once
#include <cstdint>
#include <string>

#include "Render/PPerspectiveCamera.h"
#include "core/PMMObject.h"
#include "core/PSmartPointer.h"
#include "math/PVector3.h"

// The level's chase camera: it looks at a followed point (the player's car) from `distance`
// away, from behind and above, along `heading` about the vertical axis, tilted 40 degrees down
// (or straight down while the camera zoom is above 0), and drives the perspective camera that
// the renderer uses for the level's layer. Whoever writes a member sets `changed`.
//
// Every update turns the heading toward targetHeading (the car's heading, which the level
// writes each frame) the short way round, by a share of what is left, so the view eases in
// behind the car after a turn. A heading the level loader or a script sets is where that turn
// starts from.
class CPCamera : public IPMMObject {
public:
    static constexpr float kFieldOfView = 1.0471976f;  // 60 degrees
    static constexpr float kNearClip = 1.0f;
    static constexpr float kFarClip = 500.0f;
    // The tilt of the view below the horizontal, radians (40 degrees).
    static constexpr float kPitch = -0.6981317f;
    // The longest frame delta the heading's motion takes, seconds.
    static constexpr float kMaxFrameDelta = 0.1f;

    CPCamera();

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPCamera"; }

    // Recomputes the render camera's eye, target and up from the members, then its matrices.
    void Update();
    // Makes the render camera the camera of the render layer.
    void Activate(int32_t layer);
    TPtr<CPPerspectiveCamera> GetRenderCamera() const { return renderCamera; }
    // Turns the view about the vertical axis. A heading that is not finite is refused (false):
    // it would leave the view undefined.
    bool SetHeading(float newHeading);

    float distance = 0.0f;
    // Radians about z; brought into [0, 2 pi) by every Update.
    float heading = -1.5707964f;
    float targetHeading = 0.0f;
    // Heading change per second of the last update.
    float angularSpeed = 0.0f;
    bool changed = true;
    // The followed point.
    PVector3 position{};
    TPtr<CPPerspectiveCamera> renderCamera;
    // Added to the followed point's x: the level's camera shake.
    float offsetX = 0.0f;
};

// The angle brought into [0, 2 pi); an angle that is not finite gives 0.
float WrapAngle(float angle);
