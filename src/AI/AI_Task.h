#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PVector3.h"

class AI_Entity;
class CPGameObject;

// The AI task: a level task created at start-up and held by the application; a level start
// gives it priority 100 and adds it to the kernel. It holds the navigation grid that the level
// fills when it loads (CPLevel::BuildNavGrid).
//
// Not done yet: the enemy kinds (LoadTypes reads nothing), the AI manager, the per-frame update
// of the enemies (which is to skip its work while the frame timer is stopped) and the path
// search over the grid; Update does nothing for now.
class AI_Task : public IPTask, public TSingleton<AI_Task> {
public:
    AI_Task() = default;

    void Update() override {}
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "AI_Task"; }

    // Whether the entity is one of the live enemies; none is yet, there is no AI manager.
    bool IsEnemy(const AI_Entity* entity) const { return false; }
    // Reads the enemy kinds; the level loader calls it. Reads nothing yet.
    void LoadTypes() {}

    // Replaces the grid by one of rows cells along world x and columns along y, each cellSize
    // square, centred on the world origin, every cell free. Negative sizes count as 0.
    void CreateNavGrid(int32_t rows, int32_t columns, float cellSize);
    // The cell under the world point (x, y) is free; false outside the grid.
    bool IsCellFree(float x, float y) const;
    // Marks a cell (1 blocked, 0 free); nothing outside the grid.
    void SetCell(int32_t row, int32_t column, uint8_t value);
    // The cell's value; 1 (blocked) outside the grid.
    uint8_t GetCell(int32_t row, int32_t column) const;

    int32_t GetGridRows() const { return gridRows; }
    int32_t GetGridColumns() const { return gridColumns; }
    float GetCellSize() const { return cellSize; }
    int32_t GetSearchCounter() const { return searchCounter; }

    // The player's car as the enemies' target: its position, size, flat forward direction and
    // signed speed, each frame of a running level. There are no enemies to aim yet.
    void UpdateTargetVehicle(const CPGameObject& car, const PVector3& forward, float speed) {}
    // Removes the live enemies when the level stops. There are none yet.
    void StopLevel() {}

private:
    // Raised by 2 per path search; 10 for a new grid.
    int32_t searchCounter = 10;
    // Row by row: the cell of row r and column c at r × gridColumns + c. 1 blocked, 0 free.
    std::vector<uint8_t> gridCells;
    int32_t gridRows = 0;
    int32_t gridColumns = 0;
    float cellSize = 2.0f;
};

// The AI task, null before its construction and after its destruction.
inline AI_Task* GetAITask() { return AI_Task::Instance(); }
