#include "AI/NavGrid.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace {

constexpr int32_t kStraightCost = 10;
constexpr int32_t kDiagonalCost = 14;

// A step to one of the eight neighbours.
struct NeighbourStep {
    int32_t rows;
    int32_t columns;
};
// The neighbours in the order the search opens them: column by column from the lower one, and
// in each column row by row from the lower one.
constexpr NeighbourStep kNeighbourSteps[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
constexpr size_t kNeighbourCount = sizeof(kNeighbourSteps) / sizeof(kNeighbourSteps[0]);

}  // namespace

void CPNavGrid::Create(int32_t newRows, int32_t newColumns, float newCellSize)
{
    rows = std::max(newRows, 0);
    columns = std::max(newColumns, 0);
    cellSize = newCellSize;
    searchCounter = 10;
    const size_t cellCount = static_cast<size_t>(rows) * static_cast<size_t>(columns);
    cells.assign(cellCount, 0);
    nodes.assign(cellCount, {});
    heapPositions.assign(cellCount, 0);
    openHeap.assign(cellCount + 2, {});
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
        for (SearchNode& node : nodes) node.mark = 0;
        searchCounter = 10;
    }
    searchCounter += 2;
    const int32_t openMark = searchCounter - 1;
    const int32_t closedMark = searchCounter;

    path.length = 0;
    path.index = 0;
    const size_t startCell = CellAt(start.row, start.column);
    const size_t targetCell = CellAt(target.row, target.column);
    nodes[startCell].g = 0;
    openHeap[1] = {0, static_cast<uint32_t>(startCell)};
    openCount = 1;

    // Each neighbour's distance in the cell arrays.
    ptrdiff_t neighbourOffsets[kNeighbourCount];
    for (size_t i = 0; i < kNeighbourCount; ++i) {
        neighbourOffsets[i] = static_cast<ptrdiff_t>(kNeighbourSteps[i].rows) * columns + kNeighbourSteps[i].columns;
    }

    for (;;) {
        const uint32_t currentCell = PopOpen();
        const SPNavPath::Cell current = CellOf(currentCell);
        nodes[currentCell].mark = closedMark;
        const int32_t currentG = nodes[currentCell].g;
        const bool awayFromTheEdge =
            current.row > 0 && current.row + 1 < rows && current.column > 0 && current.column + 1 < columns;
        for (size_t i = 0; i < kNeighbourCount; ++i) {
            const NeighbourStep step = kNeighbourSteps[i];
            const int32_t row = current.row + step.rows;
            const int32_t column = current.column + step.columns;
            if (!awayFromTheEdge && (row < 0 || row >= rows || column < 0 || column >= columns)) continue;
            const size_t cell = currentCell + static_cast<size_t>(neighbourOffsets[i]);
            SearchNode& node = nodes[cell];
            if (node.mark == closedMark || cells[cell] != 0) continue;
            const bool diagonal = step.rows != 0 && step.columns != 0;
            // A diagonal step needs both cells beside it free.
            if (diagonal && (cells[currentCell + static_cast<size_t>(step.columns)] != 0 ||
                             cells[cell - static_cast<size_t>(step.columns)] != 0)) {
                continue;
            }
            const int32_t g = currentG + (diagonal ? kDiagonalCost : kStraightCost);
            if (node.mark != openMark) {
                OpenCell(cell, row, column, currentCell, g, target);
                node.mark = openMark;
            } else if (g < node.g) {
                ReopenCell(cell, currentCell, g);
            }
        }
        // The search stops once the target is open, so the path need not be the cheapest.
        if (nodes[targetCell].mark == openMark) break;
        if (openCount == 0) return kNoPath;
    }
    BuildPath(path, start, target);
    AdvanceWaypoint(path, startX, startY, 1);
    return kPathHeld;
}

void CPNavGrid::OpenCell(size_t cell, int32_t row, int32_t column, uint32_t from, int32_t g,
                         const SPNavPath::Cell& target)
{
    SearchNode& node = nodes[cell];
    node.g = g;
    node.h = kStraightCost * (std::abs(row - target.row) + std::abs(column - target.column));
    node.parent = from;
    ++openCount;
    SiftUp(openCount, {g + node.h, static_cast<uint32_t>(cell)}, true);
}

void CPNavGrid::ReopenCell(size_t cell, uint32_t from, int32_t g)
{
    SearchNode& node = nodes[cell];
    node.parent = from;
    node.g = g;
    SiftUp(heapPositions[cell], {g + node.h, static_cast<uint32_t>(cell)}, false);
}

void CPNavGrid::PlaceInHeap(int32_t position, const OpenEntry& entry)
{
    openHeap[static_cast<size_t>(position)] = entry;
    heapPositions[entry.cell] = position;
}

void CPNavGrid::SiftUp(int32_t position, const OpenEntry& entry, bool movesOnEqual)
{
    while (position != 1) {
        const OpenEntry above = openHeap[static_cast<size_t>(position / 2)];
        if (!(movesOnEqual ? entry.f <= above.f : entry.f < above.f)) break;
        PlaceInHeap(position, above);
        position /= 2;
    }
    PlaceInHeap(position, entry);
}

uint32_t CPNavGrid::PopOpen()
{
    const uint32_t top = openHeap[1].cell;
    const int32_t count = --openCount;
    const OpenEntry last = openHeap[static_cast<size_t>(count + 1)];
    // The last entry sinks from the top. Equal costs move it down; between equal children the
    // right one wins.
    int32_t v = 1;
    for (;;) {
        int32_t u = v;
        int32_t smallest = last.f;
        if (2 * v <= count && smallest >= openHeap[static_cast<size_t>(2 * v)].f) {
            u = 2 * v;
            smallest = openHeap[static_cast<size_t>(u)].f;
        }
        if (2 * v + 1 <= count && smallest >= openHeap[static_cast<size_t>(2 * v + 1)].f) u = 2 * v + 1;
        if (u == v) break;
        PlaceInHeap(v, openHeap[static_cast<size_t>(u)]);
        v = u;
    }
    PlaceInHeap(v, last);
    return top;
}

void CPNavGrid::BuildPath(SPNavPath& path, const SPNavPath::Cell& start, const SPNavPath::Cell& target) const
{
    const size_t startCell = CellAt(start.row, start.column);
    const size_t targetCell = CellAt(target.row, target.column);
    int32_t length = 0;
    for (size_t cell = targetCell; cell != startCell; cell = nodes[cell].parent) ++length;
    path.length = length;
    if (path.cells.size() < static_cast<size_t>(length)) path.cells.resize(static_cast<size_t>(length));
    size_t cell = targetCell;
    for (int32_t i = length - 1; i >= 0; --i) {
        path.cells[static_cast<size_t>(i)] = CellOf(static_cast<uint32_t>(cell));
        cell = nodes[cell].parent;
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
