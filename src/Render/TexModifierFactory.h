#pragma once
#include <memory>
#include <string>
#include <vector>

#include "Render/PTexModifier.h"

// Makes the modifier that one "vertexeffect" item of an object description names: the keyword
// (any letter case) and its numeric arguments.
//
//   "anim"      columns, rows, fps          texture atlas animation
//   "flick"     frequency, minimum, maximum normals to the second texture coordinates
//   "movingtex" speedU, speedV              scrolling texture
//   "fade"      rate                        fade to transparent white
//
// Null for an unknown keyword, a wrong number of arguments, an argument that is not a number
// (only digits, '-' and '.'; an empty argument reads as 0), an integer too large for an int, a
// rate (fps, speed, frequency) beyond ±kMaxTexModifierRate, and an atlas without cells or with
// more than CPAnimTexModifier::kMaxCells. Numbers are read the same in every locale.
constexpr float kMaxTexModifierRate = 1.0e6f;

std::unique_ptr<IPTexModifier> CreateTexModifier(std::string keyword, const std::vector<std::string>& arguments);
