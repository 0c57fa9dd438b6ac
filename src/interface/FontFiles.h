#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "interface/PFont.h"

// The two text files that describe the fonts, read apart from loading pages so they can be
// checked on their own.
//
// The font list (Data\Fonts\fonts.dat), one font a line, fields separated by a tab, double quotes
// grouping: name, scale (2.0 when missing), layer offset (the page is drawn on layer
// 201 + offset; held within kLayerOffsetLimit), spacing (added to every glyph's width).
//
// A font's metrics (Data\Fonts\<name>.fnt), fields separated by a tab: four header lines
// "width", "height" (the page in texels), "x", "y" (one character cell in texels; y is also the
// line height in pixels), then up to 160 glyph lines, one per cell in row-major order from the
// top left: the character ("space" for the blank, else the field's first byte) and its width in
// texels.

struct SPFontListEntry {
    std::string name;
    float scale = 2.0f;
    int32_t layerOffset = 0;
    float spacing = 0.0f;
};

// The fonts of the list, in file order; lines without a name are left out. A scale or spacing
// that is no finite number takes its default.
std::vector<SPFontListEntry> ParseFontList(const void* data, int32_t size);

// The glyphs of a metrics file for a font of that scale and spacing, or false when the file
// cannot make a font: a header line missing or with another keyword, a page width or height of
// 0 or less, or a page width plus scale of 0 (glyph rectangles are divided by it). A glyph width
// that is no finite number counts as 0.
bool ParseFontMetrics(const void* data, int32_t size, float scale, float spacing, SPFontGlyphs& glyphs);
