#include "interface/PFontManager.h"

#include "core/PFile.h"
#include "core/PLog.h"
#include "core/PTokenizer.h"
#include "interface/FontFiles.h"
#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PRenderObject.h"

namespace {

constexpr char kFontFolder[] = "Data\\Fonts\\";
constexpr int32_t kFontLayer = 201;
constexpr char kFontEffect[] = "interface.fx";
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

// The width of a line that a "^" leads to; a text ending in "^" has no such line.
float LineWidth(const std::vector<float>& widths, size_t line) { return line < widths.size() ? widths[line] : 0.0f; }

SPVertex GlyphCorner(float x, float y, float u, float v) {
    SPVertex vertex{};
    vertex.position = {x, y, 0.0f};
    vertex.normal = {0.0f, 0.0f, -1.0f};
    vertex.diffuse = kOpaqueWhite;
    vertex.tex0 = {u, v};
    return vertex;
}

void AppendGlyph(const SPFont& font, uint8_t character, float x, float y, std::vector<SPVertex>& vertices,
                 std::vector<uint16_t>& indices) {
    const SPGlyphRect& rect = font.glyphs.rects[character];
    const float right = x + font.glyphs.advances[character];
    const float bottom = y + font.glyphs.lineHeight;
    const auto base = static_cast<uint16_t>(vertices.size());
    vertices.push_back(GlyphCorner(x, y, rect.left, rect.top));
    vertices.push_back(GlyphCorner(right, y, rect.right, rect.top));
    vertices.push_back(GlyphCorner(right, bottom, rect.right, rect.bottom));
    vertices.push_back(GlyphCorner(x, bottom, rect.left, rect.bottom));
    for (const uint16_t corner : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<uint16_t>(base + corner));
}

}  // namespace

bool CPFontManager::Load() {
    const std::string listName = std::string(kFontFolder) + "fonts.dat";
    CPFile list(listName);
    if (list.Load() < 0) {
        GetLog()->Print(0, "Fonts: cannot read %s; no text will show", listName.c_str());
        return false;
    }
    CPMaterialManager* materials = GetMaterialManager();
    for (const SPFontListEntry& entry : ParseFontList(list.GetData(), list.GetSize())) {
        const std::string metricsName = kFontFolder + entry.name + ".fnt";
        CPFile metrics(metricsName);
        if (metrics.Load() < 0) {
            GetLog()->Print(0, "Fonts: cannot read %s; the font %s is left out", metricsName.c_str(), entry.name.c_str());
            continue;
        }
        TPtr<SPFont> font(new SPFont);
        font->scale = entry.scale;
        font->spacing = entry.spacing;
        if (!ParseFontMetrics(metrics.GetData(), metrics.GetSize(), entry.scale, entry.spacing, font->glyphs)) {
            GetLog()->Print(0, "Fonts: %s is no font's metrics; the font %s is left out", metricsName.c_str(),
                            entry.name.c_str());
            continue;
        }
        if (materials) {
            font->material = materials->GetMaterial(kFontLayer + entry.layerOffset, kFontEffect, {entry.name + ".tga"});
        }
        m_fonts.insert_or_assign(entry.name, font);
    }
    return true;
}

const SPFont* CPFontManager::FindFont(const std::string& name) const {
    const auto found = m_fonts.find(name);
    return found != m_fonts.end() ? found->second.Get() : nullptr;
}

float CPFontManager::MeasureText(const std::string& fontName, const std::string& text) const {
    const SPFont* font = FindFont(fontName);
    if (!font) return 0.0f;
    float width = 0.0f;
    for (const char c : text) width += font->PenStep(static_cast<uint8_t>(c));
    return width;
}

std::vector<float> CPFontManager::MeasureLines(const std::string& fontName, const std::string& text) const {
    std::vector<float> widths;
    CPTokenizer lines(text, "^", true);
    std::string line;
    while (lines.NextToken(line)) widths.push_back(MeasureText(fontName, line));
    if (widths.empty()) widths.push_back(MeasureText(fontName, text));
    return widths;
}

TPtr<CPRenderObject> CPFontManager::MakeText(CPGameObject* object, float x, float y, const std::string& fontName,
                                             const std::string& text, bool centred) const {
    if (!object || object->GetKind() != CPGameObject::kMesh) return nullptr;
    TPtr<CPRenderObject> mesh = TPtr<CPRenderObject>::From(object->GetAttachment());
    if (!mesh) return nullptr;
    std::vector<SPVertex>& vertices = mesh->GetVertices();
    std::vector<uint16_t>& indices = mesh->GetIndices();
    vertices.clear();
    indices.clear();
    const SPFont* font = FindFont(fontName);
    if (!font && m_missingFonts.insert(fontName).second) {
        GetLog()->Print(0, "Fonts: no font %s is loaded; its texts show nothing", fontName.c_str());
    }
    if (font) {
        mesh->SetMaterial(font->material);
        const std::vector<float> widths = centred ? MeasureLines(fontName, text) : std::vector<float>();
        size_t line = 0;
        float penX = centred ? x - LineWidth(widths, line) / 2.0f : x;
        float penY = y;
        for (const char c : text) {
            if (vertices.size() + 4 > static_cast<size_t>(kMaxMeshVertices)) break;
            if (c == '^') {
                ++line;
                penY += font->glyphs.lineHeight;
                penX = centred ? x - LineWidth(widths, line) / 2.0f : x;
                continue;
            }
            const auto character = static_cast<uint8_t>(c);
            AppendGlyph(*font, character, penX, penY, vertices, indices);
            penX += font->PenStep(character);
        }
    }
    mesh->GeometryChanged();
    return mesh;
}
