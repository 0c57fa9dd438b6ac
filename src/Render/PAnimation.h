#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Render/PObb.h"
#include "Render/PVertex.h"
#include "core/PMMObject.h"

struct SPMeshBuffers;
namespace modelfile {
struct SPAnimationBlock;
}

// One frame of a vertex animation: a static mesh in the renderer's mesh cache under name.
struct SPAnimationFrame {
    std::vector<SPVertex> vertices;  // empty once uploaded
    std::vector<uint16_t> indices;   // empty once uploaded
    int32_t index = 0;
    std::string name;  // the animation's name followed by the frame number
    SPMeshBuffers* meshBuffers = nullptr;  // owned by the renderer; null without one
};

// One named vertex animation: its frames, each a complete mesh uploaded once, and the box around
// the scaled positions of all of them. It enters the animation cache under its name when made
// and leaves it when destroyed.
class CPAnimation : public IPMMObject {
public:
    // The seconds of one tick of the stored frame time.
    static constexpr float kSecondsPerTick = 0.00041666668f;

    explicit CPAnimation(const std::string& name);
    ~CPAnimation() override;

    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "CPAnimation"; }

    // Takes in a block read from an animation file: positions × scale, every diffuse colour the
    // object loader's vertex colour, each frame handed to the renderer's mesh cache (where a mesh
    // of the same name stays as it was), the box recomputed. An animation that already has
    // frames keeps them, its frame count and its frame time (objects may be showing them, and
    // the meshes of their names would not change anyway); only its box follows the new block.
    void Load(const modelfile::SPAnimationBlock& block, float scale);

    // The number of the frame shown t seconds after frame 0: past the duration the time wraps
    // (a time equal to the duration stays), before 0 it is frame 0, past the last frame it is
    // the last. Constant time whatever t; an animation without a positive duration, or a time
    // that is not finite, shows frame 0. -1 without frames.
    int32_t FrameIndexAt(double t) const;

    const std::string& GetName() const { return m_name; }
    int32_t GetFrameCount() const { return m_frameCount; }
    float GetFrameTime() const { return m_frameTime; }
    float GetDuration() const { return m_duration; }
    const std::vector<SPAnimationFrame>& GetFrames() const { return m_frames; }
    const CPObb& GetBox() const { return m_box; }

private:
    // Fills the frame and hands its mesh to the renderer's mesh cache; no copy is kept.
    void Upload(SPAnimationFrame& frame, int32_t index, const std::vector<SPVertex>& vertices,
                const std::vector<uint16_t>& indices);

    std::string m_name;
    float m_duration = 0.0f;
    int32_t m_frameCount = 0;
    float m_frameTime = 0.0f;
    std::vector<SPAnimationFrame> m_frames;
    CPObb m_box;
};
