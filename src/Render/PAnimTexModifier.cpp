#include "Render/PAnimTexModifier.h"

#include <cassert>
#include <cmath>

#include "Render/PVertex.h"
#include "core/PGlobalTimer.h"

bool CPAnimTexModifier::IsValidGrid(int32_t columns, int32_t rows)
{
    return columns > 0 && rows > 0 && int64_t{columns} * rows <= kMaxCells;
}

CPAnimTexModifier::CPAnimTexModifier(int32_t columns, int32_t rows, float fps)
    : m_fps(fps),
      m_cellWidth(1.0f / static_cast<float>(columns)),
      m_cellHeight(1.0f / static_cast<float>(rows))
{
    assert(IsValidGrid(columns, rows));
    m_cellU.reserve(static_cast<size_t>(columns) * rows);
    m_cellV.reserve(static_cast<size_t>(columns) * rows);
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            m_cellU.push_back(static_cast<float>(c) * m_cellWidth);
            m_cellV.push_back(static_cast<float>(r) * m_cellHeight);
        }
    }
}

// The whole cells elapsed, counted round the atlas. A negative rate runs backwards through the
// same cells; a clock too large for an integer still lands on a cell.
void CPAnimTexModifier::Update(float dt)
{
    m_time += dt;
    const double count = static_cast<double>(m_cellU.size());
    double cell = std::fmod(std::trunc(static_cast<double>(m_time * m_fps)), count);
    if (cell < 0.0) cell += count;
    m_frame = std::isfinite(cell) ? static_cast<int32_t>(cell) : 0;
}

void CPAnimTexModifier::Apply(SPVertex* destination, const SPVertex* source, int32_t n)
{
    Update(g_frameDelta);
    const float cellU = m_cellU[m_frame];
    const float cellV = m_cellV[m_frame];
    for (int32_t i = 0; i < n; ++i) {
        destination[i] = source[i];
        destination[i].tex0.x = source[i].tex0.x * m_cellWidth + cellU;
        destination[i].tex0.y = source[i].tex0.y * m_cellHeight + cellV;
    }
}

std::unique_ptr<IPTexModifier> CPAnimTexModifier::Clone() const { return std::make_unique<CPAnimTexModifier>(*this); }
