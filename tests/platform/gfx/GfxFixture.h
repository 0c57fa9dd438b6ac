#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Device.h"
#include "platform/gfx/Effect.h"
#include "platform/gfx/IndexBuffer.h"
#include "platform/gfx/Texture.h"
#include "platform/gfx/VertexBuffer.h"
#include "support/WindowTest.h"
#include "support/ColourAssertions.h"

namespace gfxtest {

using namespace platform::gfx;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// A window of kWidth × kHeight with a device on it, per test.
class GfxTest : public testsupport::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual DeviceOptions Options() const { return {}; }

    Device& Dev() { return *device_; }
    // The whole current target, row by row from the top.
    std::vector<uint32_t> ReadTarget();
    uint32_t Pixel(int32_t x, int32_t y);

    // Clears colour and depth of the current target.
    void ClearAll(uint32_t colour) { Dev().Clear(ClearTarget | ClearZBuffer, colour, 1.0f); }
    // Draws the screen rectangle [left, right] × [top, bottom] (pixel centres on whole
    // numbers) as a strip of two clockwise triangles.
    void DrawScreenRect(float left, float top, float right, float bottom, uint32_t colour, float u0 = 0.0f,
                        float v0 = 0.0f, float u1 = 1.0f, float v1 = 1.0f);
    // Draws over the whole current target, texture coordinates 0..1.
    void DrawFullScreen(uint32_t colour);
    // Lighting off and the vertex colour alone, as the renderer's screen quads are drawn.
    void UseVertexColour();

private:
    std::unique_ptr<Device> device_;
};

// An engine vertex at a position with a colour.
Vertex MakeVertex(float x, float y, float z, uint32_t colour, float u = 0.0f, float v = 0.0f);

using testsupport::ColourNear;

}  // namespace gfxtest
