#include "Render/StatisticsFont.h"

#include <array>

#include "platform/gfx/Device.h"
#include "platform/gfx/Texture.h"

namespace {

using namespace platform::gfx;

// A glyph: seven rows of five pixels, the leftmost pixel in bit 4.
struct Glyph {
    char character;
    std::array<uint8_t, 7> rows;
};

constexpr Glyph kGlyphs[] = {
    {'0', {0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110}},
    {'1', {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'2', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111}},
    {'3', {0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110}},
    {'4', {0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010}},
    {'5', {0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110}},
    {'6', {0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110}},
    {'7', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000}},
    {'8', {0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110}},
    {'9', {0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100}},
    {'A', {0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'B', {0b11110, 0b10001, 0b10001, 0b11110, 0b10001, 0b10001, 0b11110}},
    {'C', {0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110}},
    {'D', {0b11100, 0b10010, 0b10001, 0b10001, 0b10001, 0b10010, 0b11100}},
    {'E', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111}},
    {'F', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'G', {0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111}},
    {'H', {0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
    {'I', {0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
    {'J', {0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100}},
    {'K', {0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001}},
    {'L', {0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111}},
    {'M', {0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001}},
    {'N', {0b10001, 0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001}},
    {'O', {0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'P', {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000}},
    {'Q', {0b01110, 0b10001, 0b10001, 0b10001, 0b10101, 0b10010, 0b01101}},
    {'R', {0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001}},
    {'S', {0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110}},
    {'T', {0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100}},
    {'U', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
    {'V', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
    {'W', {0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010}},
    {'X', {0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001}},
    {'Y', {0b10001, 0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100}},
    {'Z', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111}},
    {'.', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100}},
    {',', {0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b00100, 0b01000}},
    {':', {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b01100, 0b00000}},
    {';', {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b00100, 0b01000}},
    {'-', {0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000}},
    {'+', {0b00000, 0b00100, 0b00100, 0b11111, 0b00100, 0b00100, 0b00000}},
    {'/', {0b00000, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b00000}},
    {'=', {0b00000, 0b00000, 0b11111, 0b00000, 0b11111, 0b00000, 0b00000}},
    {'(', {0b00010, 0b00100, 0b01000, 0b01000, 0b01000, 0b00100, 0b00010}},
    {')', {0b01000, 0b00100, 0b00010, 0b00010, 0b00010, 0b00100, 0b01000}},
    {'%', {0b11000, 0b11001, 0b00010, 0b00100, 0b01000, 0b10011, 0b00011}},
    {'_', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b11111}},
    {'!', {0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00000, 0b00100}},
    {'?', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b00000, 0b00100}},
};

// The texture holds one cell per character code 32..127, sixteen cells a row; a cell is the
// glyph with one blank column and row after it.
constexpr int32_t kFirstCode = 32;
constexpr int32_t kCodeCount = 96;
constexpr int32_t kCellWidth = 6;
constexpr int32_t kCellHeight = 8;
constexpr int32_t kColumns = 16;
constexpr int32_t kTextureWidth = kColumns * kCellWidth;
constexpr int32_t kTextureHeight = kCodeCount / kColumns * kCellHeight;
constexpr uint32_t kInk = 0xFFFFFFFFu;
constexpr uint32_t kPaper = 0x00FFFFFFu;

// Small letters share the capitals' glyphs.
char GlyphCharacter(char character) {
    return character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character;
}

void PaintGlyph(const Glyph& glyph, std::vector<uint32_t>& pixels) {
    const int32_t cell = glyph.character - kFirstCode;
    const int32_t left = cell % kColumns * kCellWidth;
    const int32_t top = cell / kColumns * kCellHeight;
    for (int32_t row = 0; row < 7; ++row) {
        for (int32_t column = 0; column < 5; ++column) {
            if (glyph.rows[static_cast<size_t>(row)] & (0b10000 >> column)) {
                pixels[static_cast<size_t>((top + row) * kTextureWidth + left + column)] = kInk;
            }
        }
    }
}

// Render and stage states the text changes, restored when it is drawn.
class SavedStates {
public:
    explicit SavedStates(Device& device) : m_device(device) {
        for (size_t i = 0; i < kRenderStates.size(); ++i) m_render[i] = device.GetRenderState(kRenderStates[i]);
        for (size_t i = 0; i < kStageStates.size(); ++i) m_stage[i] = device.GetTextureStageState(0, kStageStates[i]);
        for (size_t i = 0; i < kSamplerStates.size(); ++i) m_sampler[i] = device.GetSamplerState(0, kSamplerStates[i]);
        m_texture = device.GetTexture(0);
    }
    ~SavedStates() {
        for (size_t i = 0; i < kRenderStates.size(); ++i) m_device.SetRenderState(kRenderStates[i], m_render[i]);
        for (size_t i = 0; i < kStageStates.size(); ++i) m_device.SetTextureStageState(0, kStageStates[i], m_stage[i]);
        for (size_t i = 0; i < kSamplerStates.size(); ++i) m_device.SetSamplerState(0, kSamplerStates[i], m_sampler[i]);
        m_device.SetTexture(0, m_texture);
    }
    SavedStates(const SavedStates&) = delete;
    SavedStates& operator=(const SavedStates&) = delete;

private:
    static constexpr std::array kRenderStates = {RenderState::ZEnable, RenderState::ZWriteEnable,
                                                 RenderState::CullMode, RenderState::AlphaBlendEnable,
                                                 RenderState::SrcBlend, RenderState::DestBlend,
                                                 RenderState::AlphaTestEnable, RenderState::FillMode};
    static constexpr std::array kStageStates = {TextureStageState::ColorOp, TextureStageState::ColorArg2,
                                                TextureStageState::AlphaOp, TextureStageState::AlphaArg1,
                                                TextureStageState::AlphaArg2};
    static constexpr std::array kSamplerStates = {SamplerState::MinFilter, SamplerState::MagFilter,
                                                  SamplerState::MipFilter};

    Device& m_device;
    std::array<uint32_t, kRenderStates.size()> m_render{};
    std::array<uint32_t, kStageStates.size()> m_stage{};
    std::array<uint32_t, kSamplerStates.size()> m_sampler{};
    const Texture* m_texture = nullptr;
};

void SetTextStates(Device& device, const Texture* glyphs) {
    device.SetRenderState(RenderState::ZEnable, false);
    device.SetRenderState(RenderState::ZWriteEnable, false);
    device.SetRenderState(RenderState::CullMode, CullMode::None);
    device.SetRenderState(RenderState::AlphaBlendEnable, true);
    device.SetRenderState(RenderState::SrcBlend, BlendFactor::SrcAlpha);
    device.SetRenderState(RenderState::DestBlend, BlendFactor::InvSrcAlpha);
    device.SetRenderState(RenderState::AlphaTestEnable, false);
    device.SetRenderState(RenderState::FillMode, FillMode::Solid);
    device.SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
    device.SetTextureStageState(0, TextureStageState::ColorArg2, TextureArg::Diffuse);
    device.SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Modulate);
    device.SetTextureStageState(0, TextureStageState::AlphaArg1, TextureArg::Texture);
    device.SetTextureStageState(0, TextureStageState::AlphaArg2, TextureArg::Diffuse);
    device.SetSamplerState(0, SamplerState::MinFilter, TextureFilter::Point);
    device.SetSamplerState(0, SamplerState::MagFilter, TextureFilter::Point);
    device.SetSamplerState(0, SamplerState::MipFilter, TextureFilter::None);
    device.SetTexture(0, glyphs);
}

}  // namespace

StatisticsFont::StatisticsFont() = default;
StatisticsFont::~StatisticsFont() = default;

bool StatisticsFont::Create(Device& device) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kTextureWidth * kTextureHeight), kPaper);
    for (const Glyph& glyph : kGlyphs) PaintGlyph(glyph, pixels);
    m_texture = device.CreateTexture(kTextureWidth, kTextureHeight, 1, Format::A8R8G8B8, TextureUsage::Normal,
                                     Pool::Managed);
    if (!m_texture) return false;
    if (!m_texture->Update(0, nullptr, pixels.data(), kTextureWidth * sizeof(uint32_t))) {
        m_texture.reset();
        return false;
    }
    return true;
}

void StatisticsFont::Release() { m_texture.reset(); }

void StatisticsFont::Draw(Device& device, const char* text, const Rect& rect, uint32_t colour) {
    if (!m_texture) return;
    m_vertices.clear();
    int32_t x = rect.left;
    int32_t y = rect.top;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            x = rect.left;
            y += kLineHeight;
            continue;
        }
        if (x + kAdvance <= rect.right && y + kLineHeight <= rect.bottom) {
            AppendGlyph(*c, static_cast<float>(x) - 0.5f, static_cast<float>(y) - 0.5f, colour);
        }
        x += kAdvance;
    }
    if (m_vertices.empty()) return;
    SavedStates saved(device);
    SetTextStates(device, m_texture.get());
    device.DrawPrimitiveUP(PrimitiveType::TriangleList, static_cast<uint32_t>(m_vertices.size() / 3),
                           m_vertices.data());
}

void StatisticsFont::AppendGlyph(char character, float left, float top, uint32_t colour) {
    const int32_t code = static_cast<unsigned char>(GlyphCharacter(character)) - kFirstCode;
    if (code <= 0 || code >= kCodeCount) return;  // the blank and what the font lacks
    const float u0 = static_cast<float>(code % kColumns * kCellWidth) / kTextureWidth;
    const float v0 = static_cast<float>(code / kColumns * kCellHeight) / kTextureHeight;
    const float u1 = u0 + static_cast<float>(kCellWidth) / kTextureWidth;
    const float v1 = v0 + static_cast<float>(kCellHeight) / kTextureHeight;
    const float right = left + 2 * kCellWidth;
    const float bottom = top + 2 * kCellHeight;
    const ScreenVertex topLeft{left, top, 0.0f, 1.0f, colour, u0, v0};
    const ScreenVertex topRight{right, top, 0.0f, 1.0f, colour, u1, v0};
    const ScreenVertex bottomLeft{left, bottom, 0.0f, 1.0f, colour, u0, v1};
    const ScreenVertex bottomRight{right, bottom, 0.0f, 1.0f, colour, u1, v1};
    for (const ScreenVertex& vertex : {topLeft, topRight, bottomLeft, topRight, bottomRight, bottomLeft}) {
        m_vertices.push_back(vertex);
    }
}
