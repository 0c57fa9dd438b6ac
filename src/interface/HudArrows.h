#pragma once
#include "math/PVector3.h"

// Where the HUD's arrows to off-screen targets sit: on the screen's border, 20 pixels inside,
// turned toward the target.

// The point where the ray from the screen's centre toward (px, py) (screen pixels) leaves the
// screen, moved 20 pixels back toward the centre. False (no arrow) when (px, py) is the centre
// or the ray meets no edge.
bool BorderPoint(float px, float py, int screenWidth, int screenHeight, float& x, float& y);

// The arrow for a target seen from the car, in the horizontal plane: its place on the border and
// its angle (radians). False (no arrow) when the target stands where the car stands.
bool ArrowToward(const PVector3& target, const PVector3& car, int screenWidth, int screenHeight, float& x, float& y,
                 float& angle);
