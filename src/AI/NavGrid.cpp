#include "AI/NavGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr int32_t kStraightCost = 10;
constexpr int32_t kDiagonalCost = 14;

}  // namespace

void CPNavGrid::Create(int32_t newRows, int32_t newColumns, float newCellSize)
{
    rows = std::max(newRows, 0);
    columns = std::max(newColumns, 0);
    cellSize = newCellSize;
    searchCounter = 10;
    const size_t cellCount = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    cells.assign(cellCount, 0);
    listMarks.assign(cellCount, 0);
    parent.assign(cellCount, {});
    cellG.assign(cellCount, 0);
    openHeap.assign(cellCount + 2, 0);
    itemCell.assign(cellCount + 2, {});
    itemF.assign(cellCount + 2, 0);
    itemH.assign(cellCount + 2, 0);
}

bool CPNavGrid::IsCellFree(float x, float y) const
{
    // The level's cells are 2 units: half a cell a unit, from the grid's middle.
    const float row = std::floor(static_cast<float>(rows / 2) + 0.5f * x);
    const float column = std::floor(static_cast<float>(columns / 2) + 0.5f * y);
    if (!(row >= 0.0f && row < static_cast<float>(rows) && column >= 0.0f && column < static_cast<float>(columns))) {
        return false;
    }
    return GetCell(static_cast<int32_t>(row), static_cast<int32_t>(column)) == 0;
}

void CPNavGrid::SetCell(int32_t row, int32_t column, uint8_t value)
{
    if (row < 0 || row >= rows || column < 0 || column >= columns) return;
    cells[CellAt(row, column)] = value;
}

uint8_t CPNavGrid::GetCell(int32_t row, int32_t column) const
{
    if (row < 0 || row >= rows || column < 0 || column >= columns) return 1;
    return cells[CellAt(row, column)];
}

bool CPNavGrid::LocalCell(int32_t x, int32_t y, SPNavPath::Cell& cell) const
{
    if (x < 0 || y < 0 || !(cellSize > 0.0f)) return false;
    const float row = std::trunc(static_cast<float>(x) / cellSize);
    const float column = std::trunc(static_cast<float>(y) / cellSize);
    if (!(row < static_cast<float>(rows) && column < static_cast<float>(columns))) return false;
    cell = {static_cast<int32_t>(row), static_cast<int32_t>(column)};
    return true;
}

int32_t CPNavGrid::FindPath(SPNavPath& path, int32_t startX, int32_t startY, int32_t targetX, int32_t targetY)
{
    SPNavPath::Cell start;
    SPNavPath::Cell target;
    if (!LocalCell(startX, startY, start) || !LocalCell(targetX, targetY, target)) return kNoPath;
    if (start == target) return path.index > 0 ? kPathHeld : kNoPath;
    if (IsBlocked(target.row, target.column)) {
        path.waypointX = static_cast<float>(startX);
        path.waypointY = static_cast<float>(startY);
        return kNoPath;
    }
    if (searchCounter > kCounterLimit) {
        std::fill(listMarks.begin(), listMarks.end(), 0);
        searchCounter = 10;
    }
    searchCounter += 2;
    const int32_t openMark = searchCounter - 1;
    const int32_t closedMark = searchCounter;

    path.length = 0;
    path.index = 0;
    cellG[CellAt(start.row, start.column)] = 0;
    openHeap[1] = 1;
    itemCell[1] = start;
    openCount = 1;
    itemCount = 0;

    for (;;) {
        const SPNavPath::Cell current = PopOpen();
        listMarks[CellAt(current.row, current.column)] = closedMark;
        const int32_t currentG = cellG[CellAt(current.row, current.column)];
        for (int32_t column = current.column - 1; column <= current.column + 1; ++column) {
            for (int32_t row = current.row - 1; row <= current.row + 1; ++row) {
                if (row < 0 || row >= rows || column < 0 || column >= columns) continue;
                const size_t cell = CellAt(row, column);
                if (listMarks[cell] == closedMark || IsBlocked(row, column)) continue;
                if (!CanStep(current.row, current.column, row, column)) continue;
                const bool diagonal = row != current.row && column != current.column;
                const int32_t g = currentG + (diagonal ? kDiagonalCost : kStraightCost);
                if (listMarks[cell] != openMark) {
                    OpenCell(row, column, current.row, current.column, g, target);
                    listMarks[cell] = openMark;
                } else if (g < cellG[cell]) {
                    ReopenCell(row, column, current.row, current.column, g);
                }
            }
        }
        if (listMarks[CellAt(target.row, target.column)] == openMark) break;
        if (openCount == 0) return kNoPath;
    }
    BuildPath(path, start, target);
    AdvanceWaypoint(path, startX, startY, 1);
    return kPathHeld;
}

bool CPNavGrid::CanStep(int32_t row, int32_t column, int32_t toRow, int32_t toColumn) const
{
    if (row == toRow || column == toColumn) return true;
    // A diagonal step needs both cells beside it free.
    return !IsBlocked(row, toColumn) && !IsBlocked(toRow, column);
}

void CPNavGrid::OpenCell(int32_t row, int32_t column, int32_t fromRow, int32_t fromColumn, int32_t g,
                         const SPNavPath::Cell& target)
{
    const int32_t id = ++itemCount;
    ++openCount;
    openHeap[static_cast<size_t>(openCount)] = id;
    itemCell[static_cast<size_t>(id)] = {row, column};
    const size_t cell = CellAt(row, column);
    cellG[cell] = g;
    itemH[static_cast<size_t>(id)] = kStraightCost * (std::abs(row - target.row) + std::abs(column - target.column));
    itemF[static_cast<size_t>(id)] = g + itemH[static_cast<size_t>(id)];
    parent[cell] = {fromRow, fromColumn};
    SiftUp(openCount, true);
}

void CPNavGrid::ReopenCell(int32_t row, int32_t column, int32_t fromRow, int32_t fromColumn, int32_t g)
{
    const size_t cell = CellAt(row, column);
    parent[cell] = {fromRow, fromColumn};
    cellG[cell] = g;
    for (int32_t position = 1; position <= openCount; ++position) {
        const int32_t id = openHeap[static_cast<size_t>(position)];
        if (itemCell[static_cast<size_t>(id)] == SPNavPath::Cell{row, column}) {
            itemF[static_cast<size_t>(id)] = g + itemH[static_cast<size_t>(id)];
            SiftUp(position, false);
            return;
        }
    }
}

void CPNavGrid::SiftUp(int32_t position, bool movesOnEqual)
{
    auto f = [this](int32_t at) { return itemF[static_cast<size_t>(openHeap[static_cast<size_t>(at)])]; };
    while (position != 1 && (movesOnEqual ? f(position) <= f(position / 2) : f(position) < f(position / 2))) {
        std::swap(openHeap[static_cast<size_t>(position)], openHeap[static_cast<size_t>(position / 2)]);
        position /= 2;
    }
}

SPNavPath::Cell CPNavGrid::PopOpen()
{
    auto f = [this](int32_t at) { return itemF[static_cast<size_t>(openHeap[static_cast<size_t>(at)])]; };
    const SPNavPath::Cell top = itemCell[static_cast<size_t>(openHeap[1])];
    openHeap[1] = openHeap[static_cast<size_t>(openCount)];
    --openCount;
    // Equal costs move the parent down; between equal children the right one wins.
    int32_t v = 1;
    for (;;) {
        int32_t u = v;
        if (2 * v <= openCount && f(u) >= f(2 * v)) u = 2 * v;
        if (2 * v + 1 <= openCount && f(u) >= f(2 * v + 1)) u = 2 * v + 1;
        if (u == v) break;
        std::swap(openHeap[static_cast<size_t>(v)], openHeap[static_cast<size_t>(u)]);
        v = u;
    }
    return top;
}

void CPNavGrid::BuildPath(SPNavPath& path, const SPNavPath::Cell& start, const SPNavPath::Cell& target) const
{
    int32_t length = 0;
    for (SPNavPath::Cell cell = target; !(cell == start); cell = parent[CellAt(cell.row, cell.column)]) ++length;
    path.length = length;
    if (path.cells.size() < static_cast<size_t>(length)) path.cells.resize(static_cast<size_t>(length));
    SPNavPath::Cell cell = target;
    for (int32_t i = length - 1; i >= 0; --i) {
        path.cells[static_cast<size_t>(i)] = cell;
        cell = parent[CellAt(cell.row, cell.column)];
    }
}

void CPNavGrid::AdvanceWaypoint(SPNavPath& path, int32_t x, int32_t y, int32_t tolerance) const
{
    if (path.status != SPNavPath::kFollowing) {
        path.waypointX = static_cast<float>(x);
        path.waypointY = static_cast<float>(y);
        return;
    }
    auto isNear = [&] {
        return std::abs(static_cast<int32_t>(static_cast<float>(x) - path.waypointX)) < tolerance &&
               std::abs(static_cast<int32_t>(static_cast<float>(y) - path.waypointY)) < tolerance;
    };
    if (path.index < path.length) {
        if (path.index == 0 || isNear()) ++path.index;
    }
    if (path.index < 1 || path.index > path.length) return;
    path.waypointX = PathPointX(path);
    path.waypointY = PathPointY(path);
    if (path.index == path.length && isNear()) path.status = SPNavPath::kIdle;
}

float CPNavGrid::PathPointX(const SPNavPath& path) const
{
    return (static_cast<float>(path.cells[static_cast<size_t>(path.index - 1)].row) + 0.5f) * cellSize;
}

float CPNavGrid::PathPointY(const SPNavPath& path) const
{
    return (static_cast<float>(path.cells[static_cast<size_t>(path.index - 1)].column) + 0.5f) * cellSize;
}
