#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "math/PVector3.h"

// An interface screen's layout file (Data\Interface\<screen>1024.int) as plain records, before
// any window, texture or text exists. Comments are removed and lines trimmed as in every text
// file; numbers read as atof reads them (a missing field is 0).
//
//   line 1   the screen's script
//   line 2   texture, texture width, texture height (texels)
//   line 3   unused, "on" for a light, its direction x, y, z and colour r, g, b, "smooth"
//   then records, each a keyword line (any case) and its definition lines; other lines are skipped:
//   window   one line:   name x,y,w,h,tx,ty,tw,th[,false|true[,anchor|stretch]]
//   button   three lines of the window form: the normal, hover and pressed looks
//   cursor   one line:   name object-description
//   text     one line:   name font,x,y,text[,anchor[,true]]
// Names and definitions are separated by a blank, fields by ","; double quotes group.

// One window line: the rectangle in design pixels (already moved by the half pixel that lines
// up texels with pixels) and its texture rectangle.
struct SPWindowDef {
    std::string name;
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    std::optional<bool> visible;  // the ninth field: "false" hides, anything else shows
    std::string anchor;           // the tenth field: an anchor name or "stretch"
};

struct SPTextDef {
    std::string name;
    std::string font;
    float x = 0.0f, y = 0.0f;  // design pixels, moved by half a pixel
    std::string text;
    std::string anchor;
    bool centred = false;
};

struct SPLayoutElement {
    enum class Kind { Window, Button, Cursor, Text };
    Kind kind = Kind::Window;
    std::vector<SPWindowDef> looks;  // a window's one line, a button's three
    std::string cursorName;
    std::string cursorObject;
    SPTextDef text;
};

struct SPInterfaceLayout {
    std::string script;
    std::string texture;
    int32_t textureWidth = 0;
    int32_t textureHeight = 0;
    bool light = false;
    PVector3 lightDirection{0.0f, 0.0f, 0.0f};
    PVector3 lightColour{0.0f, 0.0f, 0.0f};
    bool smooth = false;
    std::vector<SPLayoutElement> elements;
};

// The layout of the file's text. A texture width or height of 0 (or no line 2) leaves the
// texture coordinates of that axis at 0.
SPInterfaceLayout ParseInterfaceLayout(const void* data, int32_t size);

// One window line for a texture of that size in texels.
SPWindowDef ParseWindowLine(const std::string& line, int32_t textureWidth, int32_t textureHeight);
