#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/PMMObject.h"
#include "core/PSmartPointer.h"

class CPMaterial;

// One glyph's place on a font page, in texture coordinates.
struct SPGlyphRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// The shape of a bitmap font: a page of 10 rows of 16 character cells, each glyph's rectangle
// on it and the width of its quad in pixels, indexed by the character's byte. A character
// without a glyph has an empty rectangle and no width.
struct SPFontGlyphs {
    std::array<SPGlyphRect, 256> rects{};
    std::array<float, 256> advances{};
    float lineHeight = 0.0f;
};

// A loaded font: its glyphs, the page's material and the two numbers of the font list that shape
// the text: scale (the overlap of neighbouring quads) and spacing (added to every glyph).
class SPFont : public IPMMObject {
public:
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "SPFont"; }

    // How far the pen moves after the character: its quad is wider than that by
    // scale + spacing / 2, so neighbouring quads overlap.
    float PenStep(uint8_t character) const { return glyphs.advances[character] - scale - spacing / 2.0f; }

    TPtr<CPMaterial> material;
    SPFontGlyphs glyphs;
    float scale = 2.0f;
    float spacing = 0.0f;
};
