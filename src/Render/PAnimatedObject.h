#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/PRenderObjectBase.h"
#include "Render/PTexModifier.h"
#include "math/PMath.h"

class CPAnimation;
class CPGameObject;
class CPLuaScript;
struct SPAnimationFrame;
struct SPAnimationRequest;
struct SPMeshBuffers;

// What a vertex-animated scene object shows: its animations by name, the one being played, the
// model scale and time factor the object loader gives it, and its texture modifiers.
//
// Playing: the frame shown follows (total time − start time) × speed; each wrap of that time
// ends a pass, counts a loop and re-arms the report and the mark. With a loop limit above 0 the
// animation stops once that many passes ended: the frame before the last stays on screen and
// the listener gets "animation_stopped". The report frame sends "animation_report" once per
// pass; the mark frame calls the owner's mark handler once per pass. The render block advances
// the animation through WriteGeometry and draws the shown frame's mesh with the world matrix.
//
// Frames keep no vertices once uploaded, so an object left at dynamic geometry (type 0) writes
// none: its counts are 0 and WriteGeometry only advances the animation.
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
    // Advances the animation unless it stopped; writes nothing (see above).
    void WriteGeometry(SPVertex* vertices, uint16_t* indices, uint16_t base) override;
    TPtr<CPMaterial> GetMaterial() const override;
    void SetMaterial(TPtr<CPMaterial> material);
    // Shares the source's animations and copies its playing state, material, scale and type;
    // the modifiers are cloned. The owner stays as it is.
    virtual void CopyFrom(TPtr<CPAnimatedObject> source);

    // Files the animation under name (replacing); the first one added becomes the current one.
    void AddAnimation(const std::string& name, TPtr<CPAnimation> animation);
    TPtr<CPAnimation> GetAnimation(const std::string& name) const;
    const TPtr<CPAnimation>& GetCurrent() const { return m_current; }
    size_t GetAnimationCount() const { return m_animations.size(); }
    // Starts the requested animation from the current total time plus the request's offset.
    // Without restart an animation of the same name that is playing goes on undisturbed. False
    // (nothing changed) for a name the object does not have.
    bool Play(const SPAnimationRequest& request, bool restart);

    // The frame on screen: the one the last advance chose, else the frame at the current time
    // (speed not applied); null without frames.
    const SPAnimationFrame* GetShownFrame() const;
    const SPMeshBuffers* GetShownMesh() const;
    const std::string& GetCurrentName() const { return m_currentName; }
    bool IsStopped() const { return m_stopped; }
    int32_t GetLoopsPlayed() const { return m_loopsPlayed; }
    // The frame at which the mark fired in this pass; -1 before it fires.
    int32_t GetMarkedFrame() const { return m_markedFrame; }

    // The owner's world matrix, copied by its UpdateTransform.
    void SetWorld(const PMatrix& world) { m_world = world; }
    const PMatrix& GetWorld() const { return m_world; }

    void AddModifier(std::unique_ptr<IPTexModifier> modifier);
    bool HasModifiers() const { return !m_modifiers.empty(); }

    CPGameObject* GetOwner() const { return m_owner; }
    void SetOwner(CPGameObject* owner) { m_owner = owner; }
    float scale = 1.0f;
    float speed = 1.0f;

private:
    void Advance();
    void EndPass();
    void StopPlaying();
    void ReportAndMark(int32_t frame);
    void SendToListener(const char* command) const;
    int32_t FrameCount() const;

    CPGameObject* m_owner;
    TPtr<CPMaterial> m_material;
    std::unordered_map<std::string, TPtr<CPAnimation>> m_animations;
    TPtr<CPAnimation> m_current;
    double m_startTime = 0.0;
    int32_t m_loopLimit = 0;
    int32_t m_loopsPlayed = 0;
    int32_t m_reportedFrame = -1;
    int32_t m_markedFrame = -1;
    int32_t m_reportFrame = -1;
    int32_t m_markFrame = -1;
    TPtr<CPLuaScript> m_listener;
    // The number of the frame shown, -1 until the first advance; an index, so that it never
    // points at a frame that is gone.
    int32_t m_currentFrame = -1;
    bool m_stopped = false;
    std::string m_currentName;
    std::vector<std::unique_ptr<IPTexModifier>> m_modifiers;
    int32_t m_type = Dynamic;
    PMatrix m_world = MatrixIdentity();
};
