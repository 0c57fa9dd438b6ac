#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/Rect.h"
#include "platform/gfx/Vertex.h"

namespace platform::gfx {
class Device;
class Texture;
}  // namespace platform::gfx

// The renderer's own small bitmap font for the statistics text: fixed pitch, 12 × 16 pixels a
// character (5 × 7 glyphs drawn twice their size), no font file. It knows digits, capital
// letters (small letters are drawn as capitals), the blank and . , : ; - + / = ( ) % _ ! ?;
// other characters leave a blank. The glyphs live in a small managed texture that survives
// device resets.
class StatisticsFont {
public:
    static constexpr int32_t kAdvance = 12;
    static constexpr int32_t kLineHeight = 16;

    StatisticsFont();
    ~StatisticsFont();
    StatisticsFont(const StatisticsFont&) = delete;
    StatisticsFont& operator=(const StatisticsFont&) = delete;

    // Builds the glyph texture on the device; false when it cannot be made.
    bool Create(platform::gfx::Device& device);
    void Release();

    // Draws the text from the rectangle's top-left corner in the colour, line by line at each
    // '\n'; characters that would leave the rectangle are not drawn. The device's states are
    // as they were afterwards.
    void Draw(platform::gfx::Device& device, const char* text, const platform::gfx::Rect& rect, uint32_t colour);

private:
    void AppendGlyph(char character, float left, float top, uint32_t colour);

    std::unique_ptr<platform::gfx::Texture> m_texture;
    std::vector<platform::gfx::ScreenVertex> m_vertices;  // reused from frame to frame
};
