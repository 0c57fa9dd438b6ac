#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "AI/NavPath.h"

// The navigation grid: rows of cells along world x, columns along world y, centred on the world
// origin, each cell free (0) or blocked (1); and the A* search over it with the work arrays it
// reuses from search to search (sized once per grid, so a search allocates nothing but, at most,
// the growth of a path's cell storage).
//
// The search runs over eight neighbours with integer costs (10 straight, 14 diagonal, a Manhattan
// heuristic × 10), never cuts a corner of a blocked cell, and stops as soon as the target enters
// the open list, so its path need not be the cheapest.
class CPNavGrid {
public:
    // FindPath's results.
    static constexpr int32_t kPathHeld = 1;
    static constexpr int32_t kNoPath = 2;
    // The cell edge the level uses; the world-to-grid shift is two units per half row.
    static constexpr float kLevelCellSize = 2.0f;

    // Replaces the grid: every cell free, the work arrays sized, the mark counter back to 10.
    // Negative sizes count as 0.
    void Create(int32_t rows, int32_t columns, float cellSize);

    // The cell under the world point is free; false outside the grid.
    bool IsCellFree(float x, float y) const;
    // Marks a cell (1 blocked, 0 free); nothing outside the grid.
    void SetCell(int32_t row, int32_t column, uint8_t value);
    // The cell's value; 1 (blocked) outside the grid.
    uint8_t GetCell(int32_t row, int32_t column) const;

    // The grid-local integer coordinate of a world coordinate along x (rows) or y (columns).
    int32_t LocalX(float worldX) const { return static_cast<int32_t>(worldX + 2.0f * static_cast<float>(rows / 2)); }
    int32_t LocalY(float worldY) const { return static_cast<int32_t>(worldY + 2.0f * static_cast<float>(columns / 2)); }
    // The world coordinate of a grid-local one.
    float WorldX(float localX) const { return localX - 2.0f * static_cast<float>(rows / 2); }
    float WorldY(float localY) const { return localY - 2.0f * static_cast<float>(columns / 2); }

    // Searches from the start to the target (grid-local coordinates). kPathHeld when the path
    // holds a path: a new one, or the current one when start and target share a cell and the
    // path has begun. kNoPath when the target is blocked (the way-point then stays at the start),
    // unreachable, or when start or target lie outside the grid (the path is then untouched).
    // The caller stores the result in path.status after the call.
    int32_t FindPath(SPNavPath& path, int32_t startX, int32_t startY, int32_t targetX, int32_t targetY);
    // Moves the way-point along a followed path: to the first cell at once, to the next one once
    // both truncated differences to the current way-point are below the tolerance; after the last
    // cell is reached in the same way the path is done (status idle). Without a path the
    // way-point is the given position.
    void AdvanceWaypoint(SPNavPath& path, int32_t x, int32_t y, int32_t tolerance) const;

    int32_t Rows() const { return rows; }
    int32_t Columns() const { return columns; }
    float CellSize() const { return cellSize; }
    int32_t SearchCounter() const { return searchCounter; }

private:
    // Where the marks are cleared and the counter restarts.
    static constexpr int32_t kCounterLimit = 1000000;

    // What the search knows about a cell. A cell is open in this search when its mark is the
    // counter - 1, closed when it is the counter, else untouched.
    struct SearchNode {
        int32_t mark = 0;
        int32_t g = 0;
        int32_t h = 0;
        uint32_t parent = 0;
    };
    // An open heap entry: the cell's F cost beside it, so the heap orders without a look-up.
    struct OpenEntry {
        int32_t f = 0;
        uint32_t cell = 0;
    };

    size_t CellAt(int32_t row, int32_t column) const {
        return static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column);
    }
    SPNavPath::Cell CellOf(uint32_t cell) const {
        return {static_cast<int32_t>(cell / static_cast<uint32_t>(columns)),
                static_cast<int32_t>(cell % static_cast<uint32_t>(columns))};
    }
    bool IsBlocked(int32_t row, int32_t column) const { return cells[CellAt(row, column)] != 0; }
    // The cell of a grid-local point, false when it lies outside the grid.
    bool LocalCell(int32_t x, int32_t y, SPNavPath::Cell& cell) const;
    void OpenCell(size_t cell, int32_t row, int32_t column, uint32_t from, int32_t g, const SPNavPath::Cell& target);
    void ReopenCell(size_t cell, uint32_t from, int32_t g);
    uint32_t PopOpen();
    void PlaceInHeap(int32_t position, const OpenEntry& entry);
    // Places the entry at the position, or higher while it costs less than (or, with
    // movesOnEqual, as much as) the entry above.
    void SiftUp(int32_t position, const OpenEntry& entry, bool movesOnEqual);
    void BuildPath(SPNavPath& path, const SPNavPath::Cell& start, const SPNavPath::Cell& target) const;
    float PathPointX(const SPNavPath& path) const;
    float PathPointY(const SPNavPath& path) const;

    int32_t searchCounter = 10;
    int32_t rows = 0;
    int32_t columns = 0;
    float cellSize = kLevelCellSize;
    std::vector<uint8_t> cells;

    // Per cell; the heap positions apart, as the heap moves them often.
    std::vector<SearchNode> nodes;
    std::vector<int32_t> heapPositions;
    // The open list: a binary heap at positions 1..openCount, the smallest F first.
    std::vector<OpenEntry> openHeap;
    int32_t openCount = 0;
};
