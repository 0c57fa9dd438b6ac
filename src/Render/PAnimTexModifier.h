#pragma once
#include <cstdint>
#include <vector>

#include "Render/PTexModifier.h"

// Steps a mesh's first texture coordinates through the cells of a texture atlas of columns ×
// rows cells at fps cells per second. The cells are read left to right, top row first; cell 0
// lies at texture coordinate (0, 0). A mesh whose coordinates span 0..1 shows one whole cell.
class CPAnimTexModifier : public IPTexModifier {
public:
    // The largest atlas accepted, in cells.
    static constexpr int32_t kMaxCells = 65536;

    // True for a grid this modifier can show: at least one column and one row, at most kMaxCells
    // cells.
    static bool IsValidGrid(int32_t columns, int32_t rows);

    // The grid must be valid (IsValidGrid).
    CPAnimTexModifier(int32_t columns, int32_t rows, float fps);

    void Update(float dt) override;
    void Apply(SPVertex* destination, const SPVertex* source, int32_t n) override;
    std::unique_ptr<IPTexModifier> Clone() const override;

    // The cell shown now.
    int32_t GetFrame() const { return m_frame; }

private:
    float m_fps;
    float m_time = 0.0f;
    std::vector<float> m_cellU;
    std::vector<float> m_cellV;
    float m_cellWidth;
    float m_cellHeight;
    int32_t m_frame = 0;
};
