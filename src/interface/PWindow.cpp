#include "interface/PWindow.h"

#include <cstdio>

#include "interface/PInterface.h"
#include "interface/ScreenAnchor.h"
#include "script/PScriptManager.h"

namespace {

constexpr float kDesignWidth = 1024.0f;
constexpr float kDesignHeight = 768.0f;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

void SendToInterfaceScripts(const char* command, const std::string& name) {
    if (CPScriptManager* scripts = GetScriptManager()) scripts->SendCommandByCategory("interface", command, name);
}

}  // namespace

CPWindow::CPWindow(CPInterface* owner) : m_owner(owner) {
    for (SPVertex& vertex : m_vertices) {
        vertex.normal = {0.0f, 0.0f, -1.0f};
        vertex.diffuse = kOpaqueWhite;
    }
}

void CPWindow::Load(const SPWindowDef& definition, int32_t screenWidth, int32_t screenHeight) {
    m_name = definition.name;
    x = definition.x;
    y = definition.y;
    w = definition.w;
    h = definition.h;
    if (definition.visible) m_visible = *definition.visible;
    if (definition.anchor == "stretch") {
        w = w * static_cast<float>(screenWidth) / kDesignWidth;
        h = h * static_cast<float>(screenHeight) / kDesignHeight;
    } else {
        ApplyAnchor(x, y, definition.anchor, screenWidth, screenHeight);
    }
    PlaceCorners(w, h);
    m_vertices[0].tex0 = {definition.left, definition.top};
    m_vertices[1].tex0 = {definition.right, definition.top};
    m_vertices[2].tex0 = {definition.right, definition.bottom};
    m_vertices[3].tex0 = {definition.left, definition.bottom};
}

void CPWindow::SetQuadSize(float width, float height) { PlaceCorners(width, height); }

void CPWindow::PlaceCorners(float width, float height) {
    m_vertices[0].position = {0.0f, 0.0f, 0.0f};
    m_vertices[1].position = {width, 0.0f, 0.0f};
    m_vertices[2].position = {width, height, 0.0f};
    m_vertices[3].position = {0.0f, height, 0.0f};
}

bool CPWindow::HitTest(float px, float py) const { return QuadContains(m_vertices, px, py); }

bool CPWindow::QuadContains(const std::array<SPVertex, 4>& quad, float px, float py) const {
    return px >= x + quad[0].position.x && px <= x + quad[1].position.x && py >= y + quad[0].position.y &&
           py <= y + quad[2].position.y;
}

bool CPWindow::OnMouseOver(float, float) {
    SendToInterfaceScripts("mouse_window_over", m_name);
    return false;
}

bool CPWindow::OnMouseOut(float, float) {
    SendToInterfaceScripts("mouse_window_out", m_name);
    return false;
}

bool CPWindow::OnButtonDown(int32_t, float, float) { return false; }

bool CPWindow::OnButtonUp(int32_t, float px, float py) {
    if (!HitTest(px, py)) return false;
    char position[96];
    std::snprintf(position, sizeof(position), ",%f,%f", static_cast<double>(px), static_cast<double>(py));
    SendToScreenScript("window", m_name + position);
    return false;
}

void CPWindow::SendToScreenScript(const char* command, const std::string& params) const {
    CPScriptManager* scripts = GetScriptManager();
    TPtr<CPLuaScript> script = m_owner ? m_owner->GetScript() : nullptr;
    if (scripts && script) scripts->SendCommandByObject(script, command, params);
}
