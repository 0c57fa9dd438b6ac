#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/PRenderObjectBase.h"
#include "Render/PTexModifier.h"

class CPAnimation;
class CPGameObject;

// What a vertex-animated scene object shows: its animations by name, the one being played first,
// the model scale and time factor the object loader gives it, and its texture modifiers.
//
// Not done yet: playing (the frame at a time, loops, reports, the frames drawn); the object
// writes no geometry.
class CPAnimatedObject : public CPRenderObjectBase {
public:
    explicit CPAnimatedObject(CPGameObject* owner);
    ~CPAnimatedObject() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPAnimatedObject"; }

    int32_t GetType() const override { return m_type; }
    void SetType(int32_t type) override { m_type = type; }
    int32_t GetVertexCount() const override { return 0; }
    int32_t GetIndexCount() const override { return 0; }
    void WriteGeometry(SPVertex*, uint16_t*, uint16_t) override {}
    TPtr<CPMaterial> GetMaterial() const override;
    void SetMaterial(TPtr<CPMaterial> material);

    // Files the animation under name (replacing); the first one added becomes the current one.
    void AddAnimation(const std::string& name, TPtr<CPAnimation> animation);
    TPtr<CPAnimation> GetAnimation(const std::string& name) const;
    const TPtr<CPAnimation>& GetCurrent() const { return m_current; }
    size_t GetAnimationCount() const { return m_animations.size(); }

    void AddModifier(std::unique_ptr<IPTexModifier> modifier);
    bool HasModifiers() const { return !m_modifiers.empty(); }

    CPGameObject* GetOwner() const { return m_owner; }
    float scale = 1.0f;
    float speed = 1.0f;

private:
    CPGameObject* m_owner;
    TPtr<CPMaterial> m_material;
    std::unordered_map<std::string, TPtr<CPAnimation>> m_animations;
    TPtr<CPAnimation> m_current;
    std::vector<std::unique_ptr<IPTexModifier>> m_modifiers;
    int32_t m_type = Dynamic;
};
