#include "Render/ParticleColour.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of life left, times 256, held to 0..255; 0 for a life of 0 or less.
uint32_t RemainingLife(float age, float life, float scale) {
    if (!(life > 0.0f)) return 0;
    return ColourChannel((life - age) * 256.0f / life * scale);
}

float Lerp(float from, float to, float f) { return from + f * (to - from); }

}  // namespace

uint32_t ColourChannel(float scaled) {
    if (!(scaled > 0.0f)) return 0;
    if (scaled >= 255.0f) return 255;
    return static_cast<uint32_t>(scaled);
}

uint32_t PackArgb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
    return alpha << 24 | red << 16 | green << 8 | blue;
}

uint32_t KeyedColour(const std::vector<SPColourKey>& keys, float age, float life, float& halfSize) {
    if (keys.empty()) return 0xFFFFFFFFu;
    const float t = life > 0.0f ? age / life : 1.0f;
    SPColourKey key;
    if (keys.size() == 1 || t <= 0.0f) {
        key = keys.front();
    } else if (!(t < 1.0f)) {
        key = keys.back();
    } else {
        const int32_t n = static_cast<int32_t>(keys.size()) - 1;
        const int32_t i = std::min(static_cast<int32_t>(t * static_cast<float>(n)), n - 1);
        const float f = (t - static_cast<float>(i) / static_cast<float>(n)) * static_cast<float>(n);
        const SPColourKey& a = keys[static_cast<size_t>(i)];
        const SPColourKey& b = keys[static_cast<size_t>(i) + 1];
        key = {Lerp(a.alpha, b.alpha, f), Lerp(a.red, b.red, f), Lerp(a.green, b.green, f), Lerp(a.blue, b.blue, f),
               Lerp(a.size, b.size, f)};
    }
    halfSize = key.size;
    return PackArgb(ColourChannel(key.alpha * 255.0f), ColourChannel(key.red * 255.0f),
                    ColourChannel(key.green * 255.0f), ColourChannel(key.blue * 255.0f));
}

uint32_t LifeColour(float age, float life, bool fade, bool darken) {
    const uint32_t c = RemainingLife(age, life, 1.0f);
    uint32_t alpha = 255;
    if (fade) alpha = life > age ? c : 0;
    return darken ? PackArgb(alpha, c, c, c) : PackArgb(alpha, 255, 255, 255);
}

uint32_t SpotColour(float age, float life, bool fade) {
    if (!fade || age <= 0.6f * life) return 0xFFFFFFFFu;
    if (age >= life) return 0;
    return PackArgb(RemainingLife(age, life, 2.5f), 0, 0, 0);
}

int32_t FrameAt(float frameRate, float age, int32_t count) {
    if (count <= 1) return 0;
    const float frames = frameRate * age;
    if (!(frames > 0.0f)) return 0;
    const float wrapped = std::fmod(frames, static_cast<float>(count));
    return std::clamp(static_cast<int32_t>(wrapped), 0, count - 1);
}
