#pragma once
#include <cstdint>
#include <string>

#include "Render/PRenderObjectBase.h"

class CPGameObject;

// A square quad centred on its owner's world position that always faces the view camera
// (ViewCamera.h) and turns about the viewing direction by its angle; the owner's own rotation
// does not show. It is written every frame, straight into the destination.
class CPSprite : public CPRenderObjectBase {
public:
    // size: half the side of the quad.
    explicit CPSprite(float size);

    int32_t GetSize() const override;
    std::string GetClassName() const override;

    // Always dynamic.
    int32_t GetType() const override { return Dynamic; }
    void SetType(int32_t) override {}
    int32_t GetVertexCount() const override { return 4; }
    int32_t GetIndexCount() const override { return 6; }
    // Corners (-size, -size), (size, -size), (size, size), (-size, size) in the camera's view
    // plane, with the texture rectangle's corners in the same order, every vertex in the
    // sprite's colour; indices base + 0, 2, 1, 0, 3, 2. Without an owner the quad is centred on
    // the origin.
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    TPtr<CPMaterial> GetMaterial() const override { return m_material; }
    void SetMaterial(TPtr<CPMaterial> material) { m_material = std::move(material); }

    // The scene object the quad is centred on; not counted.
    void SetOwner(CPGameObject* owner) { m_owner = owner; }
    CPGameObject* GetOwner() const { return m_owner; }

    // Half the side of the quad.
    float GetSpriteSize() const { return m_size; }
    // Rotation about the viewing direction, radians.
    void SetAngle(float angle) { m_angle = angle; }
    float GetAngle() const { return m_angle; }
    // ARGB colour of every vertex.
    void SetColour(uint32_t colour) { m_colour = colour; }
    uint32_t GetColour() const { return m_colour; }
    // Texture coordinates of the first corner and of the opposite one.
    void SetTextureRect(float uMin, float vMin, float uMax, float vMax);

private:
    CPGameObject* m_owner = nullptr;
    TPtr<CPMaterial> m_material;
    float m_size;
    float m_angle = 0.0f;
    uint32_t m_colour = 0xFFFFFFFFu;
    float m_uMin = 0.0f;
    float m_vMin = 0.0f;
    float m_uMax = 1.0f;
    float m_vMax = 1.0f;
};
