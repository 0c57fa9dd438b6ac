#pragma once
#include <cstdint>
#include <vector>

// The path an enemy follows over the navigation grid, in grid-local coordinates (world
// coordinates shifted to the grid's corner).
struct SPNavPath {
    struct Cell {
        int32_t row = 0;
        int32_t column = 0;
        bool operator==(const Cell&) const = default;
    };
    // Kind of path held.
    enum Status : int32_t { kIdle = 0, kFollowing = 1, kNoPath = 2 };

    // The cells from the one next to the start to the target; the first `length` are valid (the
    // storage is reused from search to search).
    std::vector<Cell> cells;
    int32_t length = 0;
    // 1-based index of the cell being approached; 0 before the first.
    int32_t index = 0;
    int32_t status = kIdle;
    // The point to steer to.
    float waypointX = 0.0f;
    float waypointY = 0.0f;
};
