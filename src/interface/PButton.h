#pragma once
#include <array>

#include "core/PSmartPointer.h"
#include "interface/PWindow.h"

// A window with three looks, normal, hover and pressed, each a window of its own, that sends
// "button" with its name to the screen's script when the left button is released over it after
// a press that began on it. Its place is the normal look's; the other looks lend their size and
// texture.
class CPButton : public CPWindow {
public:
    enum State : int32_t { kNormal = 0, kHover = 1, kPressed = 2 };

    explicit CPButton(CPInterface* owner);

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPButton"; }

    // The three looks from their layout lines; the button takes the normal look's name, place
    // and visibility.
    void Load(const SPWindowDef (&looks)[3], int32_t screenWidth, int32_t screenHeight);

    // Back to the normal look, the press forgotten; the screen redraws.
    void SetEnabled(bool enabled) override;
    // Back to the normal look, the press forgotten.
    void SetVisible(bool visible) override;
    // The normal look's rectangle at the button's place, which scripts may have moved.
    bool HitTest(float px, float py) const override;
    const std::array<SPVertex, 4>& GetVertices() const override { return m_looks[m_state]->GetVertices(); }
    const std::array<uint16_t, 6>& GetIndices() const override { return m_looks[m_state]->GetIndices(); }

    // Every look takes the size.
    void SetQuadSize(float width, float height) override;

    bool OnMouseOver(float px, float py) override;
    bool OnMouseOut(float px, float py) override;
    bool OnButtonDown(int32_t button, float px, float py) override;
    bool OnButtonUp(int32_t button, float px, float py) override;
    bool ShowHoverLook() override;
    // The press is forgotten; the pressed look becomes the normal one.
    bool DropPress() override;

    State GetState() const { return m_state; }

private:
    std::array<TPtr<CPWindow>, 3> m_looks;
    State m_state = kNormal;
    bool m_pressedHere = false;  // the left button went down on this button and is not yet up
};
