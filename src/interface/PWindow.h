#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "core/PMMObject.h"
#include "interface/PInterfaceLayout.h"
#include "Render/PVertex.h"

class CPInterface;

// One element of an interface screen: a rectangle cut out of the screen's texture, placed at
// (x, y) in screen pixels, that tells the scripts when the mouse enters or leaves it
// ("mouse_window_over", "mouse_window_out" to the category "interface") and when a mouse button
// is released over it ("window" with "name,x,y" to the screen's script).
//
// The mouse handlers return whether the element's look changed, so the screen redraws.
class CPWindow : public IPMMObject {
public:
    // owner: the screen the window belongs to; not counted.
    explicit CPWindow(CPInterface* owner);

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPWindow"; }

    // Takes the window's name, place, size, texture rectangle, visibility (when the line gives
    // one) and anchor from its layout line, for a screen of that size: "stretch" scales the size
    // from the 1024 × 768 design to the screen, another anchor moves the position.
    void Load(const SPWindowDef& definition, int32_t screenWidth, int32_t screenHeight);

    virtual void SetEnabled(bool enabled) { m_enabled = enabled; }
    virtual void SetVisible(bool visible) { m_visible = visible; }
    // Whether (px, py) lies in the quad's rectangle at the window's place, edges included;
    // visibility and angle play no part.
    virtual bool HitTest(float px, float py) const;
    // The quad: four vertices relative to the window's place and its six indices.
    virtual const std::array<SPVertex, 4>& GetVertices() const { return m_vertices; }
    virtual const std::array<uint16_t, 6>& GetIndices() const { return m_indices; }

    virtual bool OnMouseOver(float px, float py);
    virtual bool OnMouseOut(float px, float py);
    virtual bool OnButtonDown(int32_t button, float px, float py);
    virtual bool OnButtonUp(int32_t button, float px, float py);
    // Shows the mouse-over look without telling anyone; a window has one look.
    virtual bool ShowHoverLook() { return false; }
    // Forgets a left press the element took whose release it will not see; a window keeps none.
    virtual bool DropPress() { return false; }

    // The quad's corners become (0, 0), (w, 0), (w, h), (0, h); nothing else changes.
    virtual void SetQuadSize(float width, float height);

    const std::string& GetName() const { return m_name; }
    bool IsVisible() const { return m_visible; }
    bool IsEnabled() const { return m_enabled; }
    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;  // radians; the element turns about its centre
    float w = 0.0f;
    float h = 0.0f;

protected:
    CPInterface* GetOwner() const { return m_owner; }
    // Whether (px, py) lies in the quad's rectangle placed at the window's (x, y).
    bool QuadContains(const std::array<SPVertex, 4>& quad, float px, float py) const;
    // Sends the command to the owner screen's script.
    void SendToScreenScript(const char* command, const std::string& params) const;

private:
    void PlaceCorners(float width, float height);

    CPInterface* m_owner;
    std::array<SPVertex, 4> m_vertices{};
    std::array<uint16_t, 6> m_indices{0, 1, 2, 0, 2, 3};
    std::string m_name;
    bool m_visible = true;
    bool m_enabled = true;
};
