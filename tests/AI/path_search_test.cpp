// The path search over the navigation grid: compared with a plain reference search written from
// the same rules on seeded random grids, checked for legal steps and for finding a path exactly
// when one exists, and its way-point stepping.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <queue>
#include <string>
#include <vector>

#include "AI/NavGrid.h"

namespace {

using Cell = SPNavPath::Cell;

// A grid drawn as text, one string per row (world x), '#' blocked.
CPNavGrid Drawn(const std::vector<std::string>& rows)
{
    CPNavGrid grid;
    grid.Create(static_cast<int32_t>(rows.size()), static_cast<int32_t>(rows[0].size()), 2.0f);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) grid.SetCell(int32_t(r), int32_t(c), rows[r][c] == '#' ? 1 : 0);
    }
    return grid;
}

// The reference: the same search written plainly over 2D arrays, a heap of cells with their F
// cost, the same tie rules.
struct ReferenceSearch {
    struct Item {
        int r, c, f, h;
    };
    int rows, columns;
    std::vector<std::vector<int>> blocked;

    int Search(int sr, int sc, int tr, int tc, std::vector<Cell>& out) const
    {
        if (sr == tr && sc == tc) return 2;
        if (blocked[tr][tc]) return 2;
        enum { kUntouched, kOpen, kClosed };
        std::vector<std::vector<int>> state(rows, std::vector<int>(columns, kUntouched));
        std::vector<std::vector<int>> g(rows, std::vector<int>(columns, 0));
        std::vector<std::vector<Cell>> from(rows, std::vector<Cell>(columns));
        std::vector<Item> heap(1);  // position 0 unused
        heap.push_back({sr, sc, 0, 0});
        auto up = [&](size_t m, bool onEqual) {
            while (m != 1 && (onEqual ? heap[m].f <= heap[m / 2].f : heap[m].f < heap[m / 2].f)) {
                std::swap(heap[m], heap[m / 2]);
                m /= 2;
            }
        };
        for (;;) {
            const Item top = heap[1];
            heap[1] = heap.back();
            heap.pop_back();
            const size_t n = heap.size() - 1;
            for (size_t v = 1;;) {
                size_t u = v;
                if (2 * v <= n && heap[u].f >= heap[2 * v].f) u = 2 * v;
                if (2 * v + 1 <= n && heap[u].f >= heap[2 * v + 1].f) u = 2 * v + 1;
                if (u == v) break;
                std::swap(heap[u], heap[v]);
                v = u;
            }
            state[top.r][top.c] = kClosed;
            for (int b = top.c - 1; b <= top.c + 1; ++b) {
                for (int a = top.r - 1; a <= top.r + 1; ++a) {
                    if (a < 0 || a >= rows || b < 0 || b >= columns) continue;
                    if (state[a][b] == kClosed || blocked[a][b]) continue;
                    const bool diagonal = a != top.r && b != top.c;
                    if (diagonal && (blocked[a][top.c] || blocked[top.r][b])) continue;
                    const int step = diagonal ? 14 : 10;
                    if (state[a][b] != kOpen) {
                        g[a][b] = g[top.r][top.c] + step;
                        const int h = 10 * (std::abs(a - tr) + std::abs(b - tc));
                        from[a][b] = {top.r, top.c};
                        heap.push_back({a, b, g[a][b] + h, h});
                        up(heap.size() - 1, true);
                        state[a][b] = kOpen;
                    } else if (g[top.r][top.c] + step < g[a][b]) {
                        g[a][b] = g[top.r][top.c] + step;
                        from[a][b] = {top.r, top.c};
                        for (size_t m = 1; m < heap.size(); ++m) {
                            if (heap[m].r == a && heap[m].c == b) {
                                heap[m].f = g[a][b] + heap[m].h;
                                up(m, false);
                                break;
                            }
                        }
                    }
                }
            }
            if (state[tr][tc] == kOpen) break;
            if (heap.size() == 1) return 2;
        }
        out.clear();
        for (Cell cell{tr, tc}; !(cell.row == sr && cell.column == sc); cell = from[cell.row][cell.column]) {
            out.insert(out.begin(), cell);
        }
        return 1;
    }
};

// Whether the target can be reached by steps to free 8-neighbours that cut no corner.
bool Reachable(const CPNavGrid& grid, Cell start, Cell target)
{
    std::vector<char> seen(size_t(grid.Rows() * grid.Columns()), 0);
    std::queue<Cell> todo;
    todo.push(start);
    seen[size_t(start.row * grid.Columns() + start.column)] = 1;
    while (!todo.empty()) {
        const Cell cell = todo.front();
        todo.pop();
        if (cell == target) return true;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                const Cell next{cell.row + dr, cell.column + dc};
                if (next.row < 0 || next.row >= grid.Rows() || next.column < 0 || next.column >= grid.Columns()) continue;
                if (grid.GetCell(next.row, next.column)) continue;
                if (dr && dc && (grid.GetCell(cell.row, next.column) || grid.GetCell(next.row, cell.column))) continue;
                char& mark = seen[size_t(next.row * grid.Columns() + next.column)];
                if (!mark) {
                    mark = 1;
                    todo.push(next);
                }
            }
        }
    }
    return false;
}

// A small generator of its own, so the grids do not depend on the game's random sequence.
struct Lcg {
    uint32_t state;
    int Next(int n) { return int(((state = state * 1664525u + 1013904223u) >> 8) % uint32_t(n)); }
};

// The grid-local point at the middle of a cell.
int32_t Local(int32_t index) { return index * 2 + 1; }

TEST(PathSearchTest, RandomGridsGiveTheReferenceCellsWithLegalStepsExactlyWhenReachable)
{
    struct Case {
        int rows, columns, blockedPercent;
    };
    const Case cases[] = {{6, 6, 10}, {13, 7, 25}, {20, 31, 35}, {32, 32, 45}};
    Lcg random{12345};
    int found = 0, missing = 0;
    for (const Case& c : cases) {
        for (int round = 0; round < 25; ++round) {
            CPNavGrid grid;
            grid.Create(c.rows, c.columns, 2.0f);
            ReferenceSearch reference{c.rows, c.columns, std::vector<std::vector<int>>(c.rows, std::vector<int>(c.columns))};
            for (int r = 0; r < c.rows; ++r) {
                for (int col = 0; col < c.columns; ++col) {
                    const int blocked = random.Next(100) < c.blockedPercent;
                    grid.SetCell(r, col, uint8_t(blocked));
                    reference.blocked[r][col] = blocked;
                }
            }
            for (int pair = 0; pair < 8; ++pair) {
                const Cell start{random.Next(c.rows), random.Next(c.columns)};
                const Cell target{random.Next(c.rows), random.Next(c.columns)};
                SCOPED_TRACE(testing::Message() << c.rows << "x" << c.columns << " " << start.row << "," << start.column
                                                << " -> " << target.row << "," << target.column);
                SPNavPath path;
                const int32_t result = grid.FindPath(path, Local(start.row), Local(start.column), Local(target.row),
                                                     Local(target.column));
                std::vector<Cell> expected;
                ASSERT_EQ(result, reference.Search(start.row, start.column, target.row, target.column, expected));
                if (start == target) continue;
                const bool reachable = !grid.GetCell(target.row, target.column) && Reachable(grid, start, target);
                EXPECT_EQ(result == CPNavGrid::kPathHeld, reachable);
                if (result != CPNavGrid::kPathHeld) {
                    ++missing;
                    continue;
                }
                ++found;
                ASSERT_EQ(path.length, int32_t(expected.size()));
                Cell previous = start;
                for (int32_t i = 0; i < path.length; ++i) {
                    const Cell cell = path.cells[size_t(i)];
                    EXPECT_EQ(cell, expected[size_t(i)]) << "cell " << i;
                    EXPECT_EQ(grid.GetCell(cell.row, cell.column), 0);
                    const int dr = cell.row - previous.row, dc = cell.column - previous.column;
                    EXPECT_TRUE(std::abs(dr) <= 1 && std::abs(dc) <= 1 && (dr || dc));
                    if (dr && dc) {
                        EXPECT_EQ(grid.GetCell(previous.row, cell.column), 0) << "cuts a corner at " << i;
                        EXPECT_EQ(grid.GetCell(cell.row, previous.column), 0) << "cuts a corner at " << i;
                    }
                    previous = cell;
                }
                EXPECT_EQ(previous, target);
            }
        }
    }
    EXPECT_GT(found, 100);
    EXPECT_GT(missing, 20) << "the densest grids must also give unreachable targets";
}

// Every result and cell of searches on large seeded grids and on a serpentine, folded into one
// number. The value was taken from the first, plain version of the search; a faster search must
// give it unchanged.
TEST(PathSearchTest, LargeSeededGridsGiveThePinnedPaths)
{
    struct Case {
        int rows, columns, blockedPercent;
    };
    const Case cases[] = {{64, 64, 10}, {96, 128, 30}, {128, 96, 40}, {256, 256, 25}};
    Lcg random{2024};
    uint64_t fingerprint = 1469598103934665603ull;
    int found = 0;
    auto fold = [&fingerprint](int64_t value) { fingerprint = (fingerprint ^ uint64_t(value)) * 1099511628211ull; };
    CPNavGrid grid;  // one grid reused, as the game reuses the level's
    for (const Case& c : cases) {
        grid.Create(c.rows, c.columns, 2.0f);
        for (int r = 0; r < c.rows; ++r) {
            for (int col = 0; col < c.columns; ++col) grid.SetCell(r, col, uint8_t(random.Next(100) < c.blockedPercent));
        }
        SPNavPath path;
        for (int pair = 0; pair < 6; ++pair) {
            const int32_t result = grid.FindPath(path, Local(random.Next(c.rows)), Local(random.Next(c.columns)),
                                                 Local(random.Next(c.rows)), Local(random.Next(c.columns)));
            found += result == CPNavGrid::kPathHeld;
            fold(result);
            fold(path.length);
            for (int32_t i = 0; i < path.length; ++i) {
                fold(path.cells[size_t(i)].row);
                fold(path.cells[size_t(i)].column);
            }
        }
    }
    // Walls on every fourth row with a gap at alternate ends: the search opens most of the grid.
    grid.Create(128, 128, 2.0f);
    for (int32_t row = 2; row < 127; row += 4) {
        for (int32_t column = 0; column < 128; ++column) {
            const bool gap = (row / 4) % 2 == 1 ? column < 2 : column >= 126;
            if (!gap) grid.SetCell(row, column, 1);
        }
    }
    SPNavPath serpentine;
    fold(grid.FindPath(serpentine, 1, 1, 255, 255));
    fold(serpentine.length);
    for (int32_t i = 0; i < serpentine.length; ++i) {
        fold(serpentine.cells[size_t(i)].row);
        fold(serpentine.cells[size_t(i)].column);
    }
    EXPECT_GT(serpentine.length, 4000);
    EXPECT_GE(found, 12) << "most pairs must give a path for the number to mean much";
    EXPECT_EQ(fingerprint, 18297345287492223801ull);
}

TEST(PathSearchTest, AStraightRunOnAnOpenGridStopsAtTheTarget)
{
    CPNavGrid grid;
    grid.Create(10, 10, 2.0f);
    SPNavPath path;
    ASSERT_EQ(grid.FindPath(path, 1, 1, 9, 1), CPNavGrid::kPathHeld);
    ASSERT_EQ(path.length, 4);
    const std::vector<Cell> expected{{1, 0}, {2, 0}, {3, 0}, {4, 0}};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(path.cells[i], expected[i]);
}

TEST(PathSearchTest, DiagonalsNeverPassABlockedOrthogonalNeighbour)
{
    // From the top left to the bottom right the straight diagonal is closed by single blocks.
    CPNavGrid grid = Drawn({
        "..#..",
        ".#...",
        ".....",
    });
    SPNavPath path;
    ASSERT_EQ(grid.FindPath(path, Local(0), Local(0), Local(2), Local(2)), CPNavGrid::kPathHeld);
    Cell previous{0, 0};
    for (int32_t i = 0; i < path.length; ++i) {
        const Cell cell = path.cells[size_t(i)];
        if (cell.row != previous.row && cell.column != previous.column) {
            EXPECT_EQ(grid.GetCell(previous.row, cell.column), 0);
            EXPECT_EQ(grid.GetCell(cell.row, previous.column), 0);
        }
        previous = cell;
    }
    EXPECT_EQ(path.cells[0], (Cell{1, 0})) << "(0,0) to (1,1) would cut the corner of (0,1)";
}

TEST(PathSearchTest, SpecialCasesAnswerWithoutASearch)
{
    CPNavGrid grid = Drawn({
        "....",
        "..#.",
        "....",
    });
    struct Case {
        const char* what;
        int32_t startX, startY, targetX, targetY, index, expected;
    };
    const Case cases[] = {
        {"same cell while following", 1, 1, 0, 0, 2, CPNavGrid::kPathHeld},
        {"same cell before the first way-point", 1, 1, 0, 0, 0, CPNavGrid::kNoPath},
        {"target outside the grid", 1, 1, 7, 1, 2, CPNavGrid::kNoPath},
        {"start outside the grid", 1, 9, 1, 1, 2, CPNavGrid::kNoPath},
        {"negative start", -1, 1, 1, 1, 2, CPNavGrid::kNoPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SPNavPath path;
        path.cells = {{2, 2}, {2, 3}};
        path.length = 2;
        path.index = c.index;
        path.waypointX = 7.5f;
        const int32_t counter = grid.SearchCounter();
        EXPECT_EQ(grid.FindPath(path, c.startX, c.startY, c.targetX, c.targetY), c.expected);
        EXPECT_EQ(path.length, 2);
        EXPECT_EQ(path.index, c.index);
        EXPECT_EQ(path.cells[1], (Cell{2, 3}));
        EXPECT_EQ(path.waypointX, 7.5f);
        EXPECT_EQ(grid.SearchCounter(), counter) << "no search ran";
    }

    SPNavPath blocked;
    blocked.index = 3;
    EXPECT_EQ(grid.FindPath(blocked, 1, 3, Local(1), Local(2)), CPNavGrid::kNoPath);
    EXPECT_EQ(blocked.waypointX, 1.0f) << "a blocked target leaves the way-point at the start";
    EXPECT_EQ(blocked.waypointY, 3.0f);
    EXPECT_EQ(blocked.index, 3);

    CPNavGrid empty;
    empty.Create(0, 0, 2.0f);
    SPNavPath none;
    EXPECT_EQ(empty.FindPath(none, 0, 0, 1, 1), CPNavGrid::kNoPath);
}

TEST(PathSearchTest, AnEnclosedTargetGivesNoPathAndResetsTheIndex)
{
    CPNavGrid grid = Drawn({
        ".....",
        "..###",
        "..#..",
        "..###",
    });
    SPNavPath path;
    path.index = 4;
    EXPECT_EQ(grid.FindPath(path, Local(0), Local(0), Local(2), Local(4)), CPNavGrid::kNoPath);
    EXPECT_EQ(path.index, 0);
    EXPECT_EQ(path.length, 0);
}

TEST(PathSearchTest, SearchesStayRightWhenTheMarkCounterWrapsAround)
{
    CPNavGrid grid = Drawn({
        "...",
        ".#.",
        "...",
    });
    SPNavPath first;
    ASSERT_EQ(grid.FindPath(first, Local(0), Local(0), Local(2), Local(2)), CPNavGrid::kPathHeld);
    SPNavPath path;
    while (grid.SearchCounter() <= 1000000) grid.FindPath(path, Local(0), Local(0), Local(0), Local(1));
    SPNavPath again;
    ASSERT_EQ(grid.FindPath(again, Local(0), Local(0), Local(2), Local(2)), CPNavGrid::kPathHeld);
    EXPECT_EQ(grid.SearchCounter(), 12) << "the counter starts again after its limit";
    ASSERT_EQ(again.length, first.length);
    for (int32_t i = 0; i < again.length; ++i) EXPECT_EQ(again.cells[size_t(i)], first.cells[size_t(i)]);
}

TEST(PathSearchTest, TheWaypointStepsAlongThePathWithinTheTolerance)
{
    CPNavGrid grid;
    grid.Create(10, 10, 2.0f);
    SPNavPath path;
    path.status = grid.FindPath(path, 1, 1, 9, 1);
    ASSERT_EQ(path.status, SPNavPath::kFollowing);
    EXPECT_EQ(path.index, 0);
    EXPECT_EQ(path.waypointX, 1.0f) << "a new path's way-point stays at the start until the next call";

    grid.AdvanceWaypoint(path, 100, 100, 3);
    EXPECT_EQ(path.index, 1) << "the first cell comes at once, however far";
    EXPECT_EQ(path.waypointX, 3.0f);
    EXPECT_EQ(path.waypointY, 1.0f);

    grid.AdvanceWaypoint(path, 6, 1, 3);
    EXPECT_EQ(path.index, 1) << "3 away is not yet passed";
    grid.AdvanceWaypoint(path, 5, 3, 3);
    EXPECT_EQ(path.index, 2) << "differences of 2 pass";
    EXPECT_EQ(path.waypointX, 5.0f);

    grid.AdvanceWaypoint(path, 5, 1, 3);
    grid.AdvanceWaypoint(path, 6, 1, 3);
    EXPECT_EQ(path.index, 4);
    EXPECT_EQ(path.status, SPNavPath::kFollowing);
    grid.AdvanceWaypoint(path, 9, 1, 3);
    EXPECT_EQ(path.status, SPNavPath::kIdle) << "the last cell reached ends the path";

    grid.AdvanceWaypoint(path, 4, 6, 3);
    EXPECT_EQ(path.waypointX, 4.0f) << "without a path the way-point is the position";
    EXPECT_EQ(path.waypointY, 6.0f);
}

}  // namespace
