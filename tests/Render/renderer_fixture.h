#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Render/PRenderBlock.h"
#include "Render/PRenderObject.h"
#include "platform/gfx/Device.h"
#include "started_renderer.h"
#include "support/ColourAssertions.h"

namespace rendertest {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// Effects the tests draw with, written into the working folder's data/effects.
constexpr char kVertexColour[] = "vertexcolour.fx";  // the vertex colour, unlit, no culling
constexpr char kLit[] = "lit.fx";                    // the fixed-function lighting, no culling

// A started renderer whose folder holds the test effects. The frame counter advances with every
// frame.
class RendererTest : public StartedRendererTest {
protected:
    static constexpr int32_t kMiddleX = kWidth / 2;
    static constexpr int32_t kMiddleY = kHeight / 2;

    void PrepareFolder() override;

    CPRenderBlock& Block() { return *Render().GetRenderBlock(); }

    // Runs one frame of the renderer after handOver has handed this frame's objects over, and
    // returns what it drew (empty when the frame was not drawn).
    CapturedFrame Frame(const std::function<void()>& handOver = {});
    // Runs frames that hand over the same objects until one has been drawn with them (the
    // renderer fills at the start of an update what its previous update submitted).
    CapturedFrame Drawn(const std::function<void()>& handOver);

    // The material on a layer with one of the test effects and no textures.
    static TPtr<CPMaterial> Material(int32_t layer, const std::string& effect = kVertexColour);
    // A camera in pixel coordinates of the screen, y down (what the screen layer has).
    static TPtr<CPBaseCamera> PixelCamera();
    // A dynamic quad over the pixels [left, right) × [top, bottom) at depth z.
    static TPtr<CPRenderObject> Quad(const TPtr<CPMaterial>& material, float left, float top, float right,
                                     float bottom, uint32_t colour, float z = 0.5f);
    static TPtr<CPRenderObject> FullScreenQuad(const TPtr<CPMaterial>& material, uint32_t colour) {
        return Quad(material, 0.0f, 0.0f, kWidth, kHeight, colour);
    }

    static void WriteEffect(const std::string& name, const std::string& text);
    // A 4 × 4 texture of one colour in data/textures.
    static void WriteTexture(const std::string& name, uint32_t colour);
};

// Red, green and blue of two colours 0xAARRGGBB differ by at most tolerance (alpha ignored).
inline ::testing::AssertionResult ColourNear(uint32_t expected, uint32_t actual, int tolerance = 1) {
    return testsupport::RgbNear(expected, actual, tolerance);
}

}  // namespace rendertest
