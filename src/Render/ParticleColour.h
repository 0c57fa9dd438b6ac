#pragma once
#include <cstdint>
#include <vector>

// One colour key of a particle effect: colour (each 0 to 1) and half-size at one point of the
// particle's life. The keys of an effect are spread evenly over the life.
struct SPColourKey {
    float alpha = 0.0f;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float size = 0.0f;
};

// A colour channel from a value of 0 to 1 times 255, cut toward zero and held within 0..255
// (a value past 1 stays 255 rather than wrapping; NaN reads 0).
uint32_t ColourChannel(float scaled);
uint32_t PackArgb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue);

// The colour and half-size of a keyed particle of that age: the first key at the start, the last
// at the end of its life, in between interpolated between the two keys around that point. A
// single key holds for the whole life; a life of 0 or less shows the last key.
uint32_t KeyedColour(const std::vector<SPColourKey>& keys, float age, float life, float& halfSize);

// The colour of a particle without keys: white, or grey darkening with the remaining life when
// darken is set; with fade the alpha follows the remaining life (255 at birth, 0 at the end).
uint32_t LifeColour(float age, float life, bool fade, bool darken);

// The colour of a spot: white until 60% of its life; with fade, black with its alpha falling to
// 0 over the rest.
uint32_t SpotColour(float age, float life, bool fade);

// The texture frame a particle of that age shows, 0 .. count - 1.
int32_t FrameAt(float frameRate, float age, int32_t count);
