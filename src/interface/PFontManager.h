#pragma once
#include "core/Singleton.h"

// The bitmap fonts of the interface. Created after the tasks at start-up and destroyed first
// at shutdown.
//
// Not done yet: the font list, the font files and text drawing; Load reads nothing yet.
class CPFontManager : public TSingleton<CPFontManager> {
public:
    CPFontManager() = default;
    virtual ~CPFontManager() = default;

    // Reads the font list and the font files; false while they cannot be read yet.
    bool Load() { return false; }
};

// The font manager, null before its construction and after its destruction.
inline CPFontManager* GetFontManager() { return CPFontManager::Instance(); }
