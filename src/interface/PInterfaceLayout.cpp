#include "interface/PInterfaceLayout.h"

#include "core/PTextReader.h"
#include "core/Fields.h"
#include "core/TextHelpers.h"

namespace {

constexpr float kHalfPixel = 0.5f;

// The field as a number; 0 when it is missing or no finite number.
float Number(const std::vector<std::string>& fields, size_t index) {
    float value = 0.0f;
    return FiniteAtoF(FieldAt(fields, index), value) ? value : 0.0f;
}

// A texel count as a texture coordinate; 0 for a texture without that size.
float TextureCoordinate(float texels, int32_t size) { return size > 0 ? texels / static_cast<float>(size) : 0.0f; }

// The name before the first blank and the definition's fields after it.
std::vector<std::string> DefinitionFields(const std::string& line, std::string& name) {
    const std::vector<std::string> parts = SplitFields(line, " ");
    name = FieldAt(parts, 0);
    return SplitFields(FieldAt(parts, 1), ",");
}

SPTextDef ParseTextLine(const std::string& line) {
    SPTextDef text;
    const std::vector<std::string> fields = DefinitionFields(line, text.name);
    text.font = FieldAt(fields, 0);
    text.x = Number(fields, 1) + kHalfPixel;
    text.y = Number(fields, 2) + kHalfPixel;
    text.text = FieldAt(fields, 3);
    text.anchor = FieldAt(fields, 4);
    text.centred = FieldAt(fields, 5) == "true";
    return text;
}

void ParseLightLine(const std::string& line, SPInterfaceLayout& layout) {
    const std::vector<std::string> fields = SplitFields(line, ",");
    layout.light = FieldAt(fields, 1) == "on";
    if (layout.light) {
        layout.lightDirection = {Number(fields, 2), Number(fields, 3), Number(fields, 4)};
        layout.lightColour = {Number(fields, 5), Number(fields, 6), Number(fields, 7)};
    }
    layout.smooth = FieldAt(fields, 8) == "smooth";
}

// Reads the next line, "" at the end of the file.
std::string NextLine(CPTextReader& reader) {
    std::string line;
    reader.ReadLine(line);
    return line;
}

void ParseElements(CPTextReader& reader, SPInterfaceLayout& layout) {
    std::string line;
    while (reader.ReadLine(line)) {
        std::string keyword = line;
        StrToLower(keyword);
        SPLayoutElement element;
        if (keyword == "window") {
            element.kind = SPLayoutElement::Kind::Window;
            element.looks.push_back(ParseWindowLine(NextLine(reader), layout.textureWidth, layout.textureHeight));
        } else if (keyword == "button") {
            element.kind = SPLayoutElement::Kind::Button;
            for (int look = 0; look < 3; ++look) {
                element.looks.push_back(ParseWindowLine(NextLine(reader), layout.textureWidth, layout.textureHeight));
            }
        } else if (keyword == "cursor") {
            element.kind = SPLayoutElement::Kind::Cursor;
            const std::vector<std::string> parts = SplitFields(NextLine(reader), " ");
            element.cursorName = FieldAt(parts, 0);
            element.cursorObject = FieldAt(parts, 1);
        } else if (keyword == "text") {
            element.kind = SPLayoutElement::Kind::Text;
            element.text = ParseTextLine(NextLine(reader));
        } else {
            continue;
        }
        layout.elements.push_back(std::move(element));
    }
}

}  // namespace

SPWindowDef ParseWindowLine(const std::string& line, int32_t textureWidth, int32_t textureHeight) {
    SPWindowDef window;
    const std::vector<std::string> fields = DefinitionFields(line, window.name);
    window.x = Number(fields, 0) - kHalfPixel;
    window.y = Number(fields, 1) - kHalfPixel;
    window.w = Number(fields, 2);
    window.h = Number(fields, 3);
    window.left = TextureCoordinate(Number(fields, 4), textureWidth);
    window.top = TextureCoordinate(Number(fields, 5), textureHeight);
    window.right = window.left + TextureCoordinate(Number(fields, 6), textureWidth);
    window.bottom = window.top + TextureCoordinate(Number(fields, 7), textureHeight);
    if (fields.size() > 8) window.visible = fields[8] != "false";
    if (fields.size() > 9) window.anchor = fields[9];
    return window;
}

SPInterfaceLayout ParseInterfaceLayout(const void* data, int32_t size) {
    SPInterfaceLayout layout;
    CPTextReader reader(data, size);
    layout.script = NextLine(reader);
    const std::vector<std::string> texture = SplitFields(NextLine(reader), ",");
    layout.texture = FieldAt(texture, 0);
    layout.textureWidth = AtoI(FieldAt(texture, 1));
    layout.textureHeight = AtoI(FieldAt(texture, 2));
    ParseLightLine(NextLine(reader), layout);
    ParseElements(reader, layout);
    return layout;
}
