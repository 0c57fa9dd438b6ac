#include "interface/PInterface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/PFile.h"
#include "core/SettingsVariables.h"
#include "Input/NInput.h"
#include "interface/PButton.h"
#include "interface/PFontManager.h"
#include "interface/LayerOffset.h"
#include "interface/PInterfaceLayout.h"
#include "interface/PWindow.h"
#include "interface/ScreenAnchor.h"
#include "math/PMatrix.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PRenderObject.h"
#include "script/PScriptManager.h"

namespace {

constexpr int32_t kScreenLayer = 200;
constexpr int32_t kCursorLayer = 206;
constexpr float kLightRange = 10000.0f;

std::vector<CPInterface*>& LiveList() {
    static std::vector<CPInterface*> screens;
    return screens;
}

platform::gfx::Light DirectionalLight(const PVector3& direction, const PVector3& colour) {
    platform::gfx::Light light{};
    light.type = platform::gfx::LightType::Directional;
    light.diffuse = {colour.x, colour.y, colour.z, 1.0f};
    light.specular = light.diffuse;
    light.direction = direction;
    light.range = kLightRange;
    return light;
}

}  // namespace

CPInterface::CPInterface() : CPGameObject("Interface"), m_quads(new CPRenderObject(this)) {
    SetAttachment(kMesh, m_quads);
    LiveList().push_back(this);
}

CPInterface::~CPInterface() {
    std::vector<CPInterface*>& screens = LiveList();
    screens.erase(std::remove(screens.begin(), screens.end(), this), screens.end());
}

std::string CPInterface::GetClassName() const { return "CPInterface - " + GetName(); }

CPInterface* CPInterface::FindLive(const void* address) {
    const std::vector<CPInterface*>& screens = LiveList();
    const auto found = std::find(screens.begin(), screens.end(), address);
    return found != screens.end() ? *found : nullptr;
}

const std::vector<CPInterface*>& CPInterface::GetLiveList() { return LiveList(); }

void CPInterface::Load(const std::string& name, int32_t variant) {
    SetName(name);
    CPFile file("Data\\Interface\\" + name + "1024.int");
    if (file.Load() >= 0) LoadLayout(ParseInterfaceLayout(file.GetData(), file.GetSize()), ClampLayerOffset(variant));
    BuildGeometry();
}

void CPInterface::LoadLayout(const SPInterfaceLayout& layout, int32_t variant) {
    m_hasLight = layout.light;
    if (m_hasLight) m_light = DirectionalLight(layout.lightDirection, layout.lightColour);
    if (CPMaterialManager* materials = GetMaterialManager()) {
        const char* effect = layout.smooth ? "interface2.fx" : "interface.fx";
        m_quads->SetMaterial(materials->GetMaterial(kScreenLayer + variant, effect, {layout.texture}));
    }
    if (CPScriptManager* scripts = GetScriptManager()) SetScript(scripts->GetScript(layout.script));
    for (const SPLayoutElement& element : layout.elements) {
        switch (element.kind) {
        case SPLayoutElement::Kind::Window: {
            TPtr<CPWindow> window(new CPWindow(this));
            window->Load(element.looks[0], g_screenWidth, g_screenHeight);
            if (window->GetName() != "cursor") AddElement(window);
            break;
        }
        case SPLayoutElement::Kind::Button: {
            TPtr<CPButton> button(new CPButton(this));
            const SPWindowDef looks[3] = {element.looks[0], element.looks[1], element.looks[2]};
            button->Load(looks, g_screenWidth, g_screenHeight);
            AddElement(button);
            break;
        }
        case SPLayoutElement::Kind::Cursor:
            AddCursor(element.cursorName, element.cursorObject, variant);
            break;
        case SPLayoutElement::Kind::Text:
            AddText(element.text);
            break;
        }
    }
}

void CPInterface::AddElement(TPtr<CPWindow> element) {
    m_elementByName.insert_or_assign(element->GetName(), element);
    m_elements.push_back(std::move(element));
}

void CPInterface::AddCursor(const std::string& name, const std::string& objectName, int32_t variant) {
    CPObjectLoader* loader = GetObjectLoader();
    TPtr<CPGameObject> cursor = loader ? loader->LoadObject(objectName, kCursorLayer + variant) : nullptr;
    if (!cursor) return;
    if (!m_cursor) {
        m_cursor = cursor;
        m_cursorName = name;
    } else {
        cursor->SetVisible(false);
    }
    AddChild(cursor);
    m_cursors.insert_or_assign(name, cursor);
}

void CPInterface::AddText(const SPTextDef& definition) {
    TPtr<CPGameObject> object(new CPGameObject("text"));
    object->SetAttachment(kMesh, new CPRenderObject(object.Get()));
    SPInterfaceText text{object, definition.font, definition.x, definition.y, definition.centred};
    ApplyAnchor(text.x, text.y, definition.anchor, g_screenWidth, g_screenHeight);
    m_texts.insert_or_assign(definition.name, text);
    AddChild(object);
    if (CPFontManager* fonts = GetFontManager()) fonts->MakeText(object.Get(), text.x, text.y, text.font, definition.text, true);
}

void CPInterface::BuildGeometry() {
    std::vector<SPVertex>& vertices = m_quads->GetVertices();
    std::vector<uint16_t>& indices = m_quads->GetIndices();
    vertices.clear();
    indices.clear();
    for (const TPtr<CPWindow>& element : m_elements) {
        if (!element->IsVisible()) continue;
        if (vertices.size() + 4 > static_cast<size_t>(kMaxMeshVertices)) break;
        AppendQuad(*element);
    }
    m_quads->GeometryChanged();
}

void CPInterface::AppendQuad(const CPWindow& element) {
    std::vector<SPVertex>& vertices = m_quads->GetVertices();
    std::vector<uint16_t>& indices = m_quads->GetIndices();
    const auto base = static_cast<uint16_t>(vertices.size());
    // A turned element turns about its own centre, which then lies at (x, y).
    const bool turned = element.angle != 0.0f;
    const PMatrix turn = turned ? MatrixTranslation(-element.x - element.w / 2.0f, -element.y - element.h / 2.0f, 0.0f) *
                                      MatrixRotationZ(element.angle) * MatrixTranslation(element.x, element.y, 0.0f)
                                : MatrixIdentity();
    for (SPVertex vertex : element.GetVertices()) {
        vertex.position = {vertex.position.x + element.x, vertex.position.y + element.y, vertex.position.z};
        if (turned) {
            const PVector4 turnedPosition = Vec3Transform(vertex.position, turn);
            vertex.position = {turnedPosition.x, turnedPosition.y, turnedPosition.z};
        }
        vertices.push_back(vertex);
    }
    for (const uint16_t index : element.GetIndices()) indices.push_back(static_cast<uint16_t>(base + index));
}

void CPInterface::Activate(int32_t priority) {
    m_screenActive = true;
    int32_t x = 0, y = 0;
    if (CNInput* input = GetInput()) input->GetMousePosition(x, y);
    InterfacesMouseMove(static_cast<float>(x), static_cast<float>(y));
    CPGameObject::Activate(priority);
}

void CPInterface::Deactivate() {
    m_screenActive = false;
    DropPress();
    CPGameObject::Deactivate();
}

void CPInterface::DropPress() {
    const TPtr<CPWindow> pressed = std::move(m_pressed);
    if (pressed && pressed->DropPress()) BuildGeometry();
}

void CPInterface::OnMouseMove(float x, float y) {
    m_mouseX = x;
    m_mouseY = y;
    if (!m_screenActive || !m_cursor) return;
    m_cursor->SetPosition({x, y, 0.0f});
    m_cursor->UpdateTransform();
    bool changed = false;
    if (!GetHovered()) m_hovered = nullptr;  // hidden since: dropped without a word
    if (m_hovered && !m_hovered->HitTest(x, y)) {
        changed = m_hovered->OnMouseOut(x, y);
        m_hovered = nullptr;
    }
    for (const TPtr<CPWindow>& element : m_elements) {
        if (!element->IsEnabled() || !element->IsVisible() || !element->HitTest(x, y)) continue;
        m_hovered = element;
        changed = element->OnMouseOver(x, y) || changed;
        break;
    }
    if (changed) BuildGeometry();
}

void CPInterface::OnButtonDown(int32_t button, float x, float y) {
    CPWindow* element = GetHovered();
    if (!m_screenActive || !element) return;
    if (button == 0) {
        DropPress();
        m_pressed = element;
    }
    if (element->OnButtonDown(button, x, y)) BuildGeometry();
}

void CPInterface::OnButtonUp(int32_t button, float x, float y) {
    if (!m_screenActive) return;
    // The element may send a command whose handler releases the screen; keep it alive meanwhile.
    const TPtr<CPWindow> element(GetHovered());
    if (element && element->OnButtonUp(button, x, y)) BuildGeometry();
    if (button == 0) DropPress();
}

void CPInterface::SetElementLocked(const std::string& name, bool locked) {
    CPWindow* element = FindElement(name);
    if (!element) return;
    element->SetEnabled(!locked);
    if (!locked || element != m_hovered.Get()) return;
    // Locked under the mouse: the element keeps its mouse-over look and is hovered no more.
    if (element->ShowHoverLook()) BuildGeometry();
    m_hovered = nullptr;
}

void CPInterface::SetCursorObject(const std::string& name) {
    if (m_cursor) m_cursor->SetVisible(false);
    m_cursor = m_cursors[name];
    m_cursorName = name;
    if (!m_cursor) return;
    m_cursor->SetVisible(true);
    m_cursor->SetPosition({m_mouseX, m_mouseY, 0.0f});
    m_cursor->UpdateTransform();
}

CPWindow* CPInterface::FindElement(const std::string& name) const {
    const auto found = m_elementByName.find(name);
    return found != m_elementByName.end() ? found->second.Get() : nullptr;
}

SPInterfaceText* CPInterface::FindText(const std::string& name) {
    const auto found = m_texts.find(name);
    return found != m_texts.end() ? &found->second : nullptr;
}

void CPInterface::SetTextString(const std::string& name, const std::string& text) {
    const SPInterfaceText* entry = FindText(name);
    CPFontManager* fonts = GetFontManager();
    if (entry && fonts) fonts->MakeText(entry->object.Get(), entry->x, entry->y, entry->font, text, entry->centred);
}

void InterfacesMouseMove(float x, float y) {
    if (CPScriptManager* scripts = GetScriptManager()) {
        char position[96];
        const float width = static_cast<float>(std::max(g_screenWidth, 1));
        const float height = static_cast<float>(std::max(g_screenHeight, 1));
        std::snprintf(position, sizeof(position), "%f,%f", static_cast<double>(x / width), static_cast<double>(y / height));
        scripts->SendCommandByCategory("interface", "mouse_move", position);
    }
    for (CPInterface* screen : CPInterface::GetLiveList()) screen->OnMouseMove(x, y);
}

void InterfacesButtonDown(int32_t button, float x, float y) {
    for (CPInterface* screen : CPInterface::GetLiveList()) screen->OnButtonDown(button, x, y);
}

void InterfacesButtonUp(int32_t button, float x, float y) {
    for (CPInterface* screen : CPInterface::GetLiveList()) screen->OnButtonUp(button, x, y);
}
