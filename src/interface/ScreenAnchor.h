#pragma once
#include <string>

// Layouts are written for a 1024 × 768 screen. An anchor moves a position to the actual screen
// size: "lu" keeps it, "ld", "ru", "rd" keep its distance to the named corner, "cu" and "cd" to
// the middle of the top or bottom edge, "center" to the centre. Other names keep the position.
void ApplyAnchor(float& x, float& y, const std::string& anchor, int screenWidth, int screenHeight);
