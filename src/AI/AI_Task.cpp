#include "AI/AI_Task.h"

#include <algorithm>
#include <cmath>

void AI_Task::CreateNavGrid(int32_t rows, int32_t columns, float newCellSize)
{
    gridRows = std::max(rows, 0);
    gridColumns = std::max(columns, 0);
    cellSize = newCellSize;
    searchCounter = 10;
    gridCells.assign(static_cast<size_t>(gridRows) * static_cast<size_t>(gridColumns), 0);
    gridCells.shrink_to_fit();
}

bool AI_Task::IsCellFree(float x, float y) const
{
    // The level's cells are 2 units: half a cell a unit, from the grid's middle.
    const float row = std::floor(static_cast<float>(gridRows / 2) + 0.5f * x);
    const float column = std::floor(static_cast<float>(gridColumns / 2) + 0.5f * y);
    if (!(row >= 0.0f && row < static_cast<float>(gridRows) && column >= 0.0f &&
          column < static_cast<float>(gridColumns))) {
        return false;
    }
    return GetCell(static_cast<int32_t>(row), static_cast<int32_t>(column)) == 0;
}

void AI_Task::SetCell(int32_t row, int32_t column, uint8_t value)
{
    if (row < 0 || row >= gridRows || column < 0 || column >= gridColumns) return;
    gridCells[static_cast<size_t>(row) * static_cast<size_t>(gridColumns) + static_cast<size_t>(column)] = value;
}

uint8_t AI_Task::GetCell(int32_t row, int32_t column) const
{
    if (row < 0 || row >= gridRows || column < 0 || column >= gridColumns) return 1;
    return gridCells[static_cast<size_t>(row) * static_cast<size_t>(gridColumns) + static_cast<size_t>(column)];
}
