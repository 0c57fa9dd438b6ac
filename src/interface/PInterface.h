#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/PSmartPointer.h"
#include "interface/PWindow.h"
#include "platform/gfx/Light.h"
#include "Render/PGameObject.h"

class CPRenderObject;
struct SPInterfaceLayout;
struct SPTextDef;

// A text of a screen: its object (whose mesh the font manager fills), font, place and whether
// later texts are centred on x.
struct SPInterfaceText {
    TPtr<CPGameObject> object;
    std::string font;
    float x = 0.0f;
    float y = 0.0f;
    bool centred = false;
};

// One interface screen (a menu, the shop, the HUD): a scene object whose mesh holds one quad per
// visible window or button, whose children are its texts and cursors, and whose script receives
// its elements' commands. It is read from Data\Interface\<name>1024.int (PInterfaceLayout.h) and
// placed on the actual screen by anchors.
//
// While active it follows the mouse: its cursor object moves with it and the first enabled,
// visible element under it (in layout order) is hovered. Clicks go to the hovered element of an
// active screen; a left press released over another element is forgotten by the element it
// began on, and so is a press on a screen that is deactivated. Every screen that exists is in the live list, in creation order; script
// functions accept a screen only when it is there.
class CPInterface : public CPGameObject {
public:
    CPInterface();
    ~CPInterface() override;

    // "CPInterface - " followed by the screen's name.
    std::string GetClassName() const override;
    // Follows the mouse at once (the input task's cursor), then enters the world.
    void Activate(int32_t priority) override;
    void Deactivate() override;

    // Reads the layout of the screen of that name; variant selects the render layers (screen
    // 200 + variant, cursors 206 + variant; held within kLayerOffsetLimit). A missing file
    // leaves an empty screen.
    void Load(const std::string& name, int32_t variant);
    // Rebuilds the quads from the visible elements in layout order.
    void BuildGeometry();

    void OnMouseMove(float x, float y);
    void OnButtonDown(int32_t button, float x, float y);
    void OnButtonUp(int32_t button, float x, float y);

    // Disables or enables the element of that name; an element locked while hovered shows its
    // mouse-over look (the scripts hear nothing of it) and is hovered no more.
    void SetElementLocked(const std::string& name, bool locked);
    // Hides the current cursor; the one of that name (if the layout has it) becomes current,
    // shown at the mouse.
    void SetCursorObject(const std::string& name);

    // The element or text of that name, or null.
    CPWindow* FindElement(const std::string& name) const;
    SPInterfaceText* FindText(const std::string& name);
    // Rebuilds the named text's mesh with the string.
    void SetTextString(const std::string& name, const std::string& text);

    const std::string& GetCursorName() const { return m_cursorName; }
    // The hovered element; a hidden element is never hovered.
    CPWindow* GetHovered() const { return m_hovered && m_hovered->IsVisible() ? m_hovered.Get() : nullptr; }
    bool IsScreenActive() const { return m_screenActive; }
    bool HasLight() const { return m_hasLight; }
    const platform::gfx::Light& GetLight() const { return m_light; }
    float GetMouseX() const { return m_mouseX; }
    float GetMouseY() const { return m_mouseY; }

    // The screen at that address when it is alive, else null.
    static CPInterface* FindLive(const void* address);
    // Every screen, in creation order.
    static const std::vector<CPInterface*>& GetLiveList();

private:
    void LoadLayout(const SPInterfaceLayout& layout, int32_t variant);
    void AddElement(TPtr<CPWindow> element);
    void AddCursor(const std::string& name, const std::string& objectName, int32_t variant);
    void AddText(const SPTextDef& definition);
    void AppendQuad(const CPWindow& element);
    // The element the left press went to forgets it.
    void DropPress();

    float m_mouseX = 0.0f;
    float m_mouseY = 0.0f;
    TPtr<CPRenderObject> m_quads;
    std::unordered_map<std::string, TPtr<CPWindow>> m_elementByName;
    std::vector<TPtr<CPWindow>> m_elements;
    TPtr<CPWindow> m_hovered;
    TPtr<CPWindow> m_pressed;  // the element the left button went down on, until it comes up
    std::unordered_map<std::string, SPInterfaceText> m_texts;
    platform::gfx::Light m_light{};
    bool m_hasLight = false;
    TPtr<CPGameObject> m_cursor;
    std::unordered_map<std::string, TPtr<CPGameObject>> m_cursors;
    bool m_screenActive = false;
    std::string m_cursorName;
};

// The mouse, handed to every screen in creation order. A move also tells the category
// "interface" where the cursor is, as fractions of the screen ("mouse_move", "%f,%f").
void InterfacesMouseMove(float x, float y);
void InterfacesButtonDown(int32_t button, float x, float y);
void InterfacesButtonUp(int32_t button, float x, float y);
