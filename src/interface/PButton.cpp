#include "interface/PButton.h"

#include "interface/PInterface.h"

CPButton::CPButton(CPInterface* owner) : CPWindow(owner) {}

void CPButton::Load(const SPWindowDef (&looks)[3], int32_t screenWidth, int32_t screenHeight) {
    m_state = kNormal;
    for (size_t look = 0; look < m_looks.size(); ++look) {
        m_looks[look] = new CPWindow(GetOwner());
        m_looks[look]->Load(looks[look], screenWidth, screenHeight);
    }
    const CPWindow& normal = *m_looks[kNormal];
    CPWindow::Load(looks[kNormal], screenWidth, screenHeight);
    SetVisible(normal.IsVisible());
}

void CPButton::SetEnabled(bool enabled) {
    m_state = kNormal;
    m_pressedHere = false;
    if (CPInterface* owner = GetOwner()) owner->BuildGeometry();
    CPWindow::SetEnabled(enabled);
}

void CPButton::SetVisible(bool visible) {
    m_state = kNormal;
    m_pressedHere = false;
    CPWindow::SetVisible(visible);
}

bool CPButton::HitTest(float px, float py) const { return QuadContains(m_looks[kNormal]->GetVertices(), px, py); }

void CPButton::SetQuadSize(float width, float height) {
    CPWindow::SetQuadSize(width, height);
    for (const TPtr<CPWindow>& look : m_looks) {
        if (look) look->SetQuadSize(width, height);
    }
}

bool CPButton::OnMouseOver(float, float) { return ShowHoverLook(); }

bool CPButton::ShowHoverLook() {
    m_state = kHover;
    return true;
}

bool CPButton::OnMouseOut(float, float) {
    m_state = kNormal;
    return true;
}

bool CPButton::OnButtonDown(int32_t button, float, float) {
    if (button != 0) return false;
    m_state = kPressed;
    m_pressedHere = true;
    return true;
}

bool CPButton::OnButtonUp(int32_t button, float px, float py) {
    if (button != 0) return false;
    const bool pressedHere = m_pressedHere;
    m_pressedHere = false;
    if (HitTest(px, py)) {
        m_state = kHover;
        if (pressedHere) SendToScreenScript("button", GetName());
    } else {
        m_state = kNormal;
    }
    return true;
}

bool CPButton::DropPress() {
    m_pressedHere = false;
    if (m_state != kPressed) return false;
    m_state = kNormal;
    return true;
}
