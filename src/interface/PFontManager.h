#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "interface/PFont.h"

class CPGameObject;
class CPRenderObject;

// The bitmap fonts of the interface, read once at start-up from Data\Fonts (the font list
// fonts.dat, each font's metrics <name>.fnt and its page <name>.tga, see FontFiles.h), and the
// texts built from them: one textured quad per character. Created after the tasks at start-up
// and destroyed first at shutdown.
class CPFontManager : public TSingleton<CPFontManager> {
public:
    CPFontManager() = default;
    virtual ~CPFontManager() = default;

    // Reads every font of the list; a font whose metrics are missing or unusable is left out.
    // False when the list itself cannot be read (there are no fonts then). What is missing is
    // logged.
    bool Load();

    // The font of that name (compared exactly), or null.
    const SPFont* FindFont(const std::string& name) const;

    // The width the pen moves over the text (one line: "^" counts like any other character);
    // 0 for a font that is not loaded.
    float MeasureText(const std::string& fontName, const std::string& text) const;

    // Rebuilds the text object's mesh from the text: (x, y) is the top-left corner, or with
    // centred the top centre of the first line; "^" starts a new line, which a centred text
    // centres on x again. With a font that is not loaded the mesh is left empty (logged once
    // per font name). Returns the
    // object's mesh, or null (and changes nothing) when the object shows no mesh.
    TPtr<CPRenderObject> MakeText(CPGameObject* object, float x, float y, const std::string& fontName,
                                  const std::string& text, bool centred) const;

private:
    // The widths of the "^"-separated lines of a centred text.
    std::vector<float> MeasureLines(const std::string& fontName, const std::string& text) const;

    std::unordered_map<std::string, TPtr<SPFont>> m_fonts;
    // The fonts asked for but not loaded, logged once each.
    mutable std::unordered_set<std::string> m_missingFonts;
};

// The font manager, null before its construction and after its destruction.
inline CPFontManager* GetFontManager() { return CPFontManager::Instance(); }
