// The navigation grid from the level: cells of 2 units over the terrain, centred on the origin,
// blocked where a short rising probe from the cell's corner hits something.
#include "AI/AI_Task.h"
#include "Render/PRayQuery.h"
#include "game/PLevel.h"

namespace {

// The probes from a cell's start corner, in the order they run; each rises 0.5 a unit across.
constexpr float kProbes[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr float kProbeRise = 0.5f;
constexpr float kProbeLength = 2.0f;

}  // namespace

void CPLevel::BuildNavGrid()
{
    AI_Task* ai = GetAITask();
    if (!ai) return;
    ai->CreateNavGrid(static_cast<int32_t>(width * 0.5f), static_cast<int32_t>(depth * 0.5f), kNavCellSize);
    for (int32_t row = 0; row < ai->GetGridRows(); ++row) {
        for (int32_t column = 0; column < ai->GetGridColumns(); ++column) {
            ai->SetCell(row, column, IsCellOpen(row, column) ? 0 : 1);
        }
    }
}

bool CPLevel::IsCellOpen(int32_t row, int32_t column)
{
    const AI_Task* ai = GetAITask();
    const int32_t rows = ai ? ai->GetGridRows() : 0;
    const int32_t columns = ai ? ai->GetGridColumns() : 0;
    const float x0 = kNavCellSize * static_cast<float>(row) - kNavCellSize * static_cast<float>(rows / 2);
    const float y0 = kNavCellSize * static_cast<float>(column) - kNavCellSize * static_cast<float>(columns / 2);
    for (const auto& probe : kProbes) {
        SPRayQuery query;
        query.origin = {x0, y0, 0.0f};
        query.direction = {probe[0], probe[1], kProbeRise};
        query.distance = kProbeLength;
        if (CrossRay(query, true)) return false;
    }
    return true;
}
