#include "interface/FontFiles.h"

#include <array>

#include "core/PTextReader.h"
#include "core/PTokenizer.h"
#include "core/TextHelpers.h"
#include "interface/LayerOffset.h"

namespace {

constexpr int32_t kRows = 10;
constexpr int32_t kColumns = 16;

std::vector<std::string> SplitFields(const std::string& line, bool quotes) {
    CPTokenizer tokenizer(line, "\t", quotes);
    std::vector<std::string> fields;
    std::string field;
    while (tokenizer.NextToken(field)) fields.push_back(field);
    return fields;
}

float FiniteOr(const std::string& text, float fallback) {
    float value = fallback;
    return FiniteAtoF(text, value) ? value : fallback;
}

// Reads the next line as "keyword<tab>integer"; false when it is missing or names another keyword.
bool ReadHeaderLine(CPTextReader& reader, const char* keyword, int32_t& value) {
    std::string line;
    if (!reader.ReadLine(line)) return false;
    const std::vector<std::string> fields = SplitFields(line, true);
    if (fields.empty() || fields[0] != keyword) return false;
    value = fields.size() > 1 ? AtoI(fields[1]) : 0;
    return true;
}

uint8_t GlyphCharacter(const std::string& field) {
    if (field == "space") return ' ';
    return field.empty() ? 0 : static_cast<uint8_t>(field[0]);
}

}  // namespace

std::vector<SPFontListEntry> ParseFontList(const void* data, int32_t size) {
    std::vector<SPFontListEntry> fonts;
    CPTextReader reader(data, size);
    std::string line;
    while (reader.ReadLine(line)) {
        const std::vector<std::string> fields = SplitFields(line, true);
        if (fields.empty() || fields[0].empty()) continue;
        SPFontListEntry entry;
        entry.name = fields[0];
        if (fields.size() > 1) entry.scale = FiniteOr(fields[1], 2.0f);
        if (fields.size() > 2) entry.layerOffset = ClampLayerOffset(AtoI(fields[2]));
        if (fields.size() > 3) entry.spacing = static_cast<float>(AtoI(fields[3]));
        fonts.push_back(std::move(entry));
    }
    return fonts;
}

bool ParseFontMetrics(const void* data, int32_t size, float scale, float spacing, SPFontGlyphs& glyphs) {
    CPTextReader reader(data, size);
    int32_t width = 0, height = 0, cellWidth = 0, cellHeight = 0;
    if (!ReadHeaderLine(reader, "width", width) || !ReadHeaderLine(reader, "height", height) ||
        !ReadHeaderLine(reader, "x", cellWidth) || !ReadHeaderLine(reader, "y", cellHeight)) {
        return false;
    }
    const float pageWidth = static_cast<float>(width);
    if (width <= 0 || height <= 0 || pageWidth + scale == 0.0f) return false;

    glyphs = SPFontGlyphs{};
    glyphs.lineHeight = static_cast<float>(cellHeight);
    const float cellU = static_cast<float>(cellWidth) / pageWidth;
    const float cellV = static_cast<float>(cellHeight) / static_cast<float>(height);
    std::string line;
    for (int32_t row = 0; row < kRows; ++row) {
        for (int32_t column = 0; column < kColumns; ++column) {
            if (!reader.ReadLine(line)) continue;
            const std::vector<std::string> fields = SplitFields(line, false);
            const uint8_t character = GlyphCharacter(fields.empty() ? std::string() : fields[0]);
            const float glyphWidth = fields.size() > 1 ? FiniteOr(fields[1], 0.0f) : 0.0f;
            const float advance = glyphWidth + spacing + scale;
            SPGlyphRect& rect = glyphs.rects[character];
            rect.left = static_cast<float>(column) * cellU;
            rect.top = static_cast<float>(row) * cellV;
            rect.right = rect.left + advance / (pageWidth + scale);
            rect.bottom = rect.top + cellV;
            glyphs.advances[character] = advance;
        }
    }
    return true;
}
