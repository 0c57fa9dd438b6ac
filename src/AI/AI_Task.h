#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "AI/EnemyType.h"
#include "AI/NavGrid.h"
#include "core/PSmartPointer.h"
#include "core/PTask.h"
#include "core/Singleton.h"
#include "math/PVector3.h"

class AI_Entity;
class CPAIManager;
class CPGameObject;
class SimpleVehicle;

// The AI task: everything about enemies that is not one enemy. It holds the enemy kinds (read
// from Data\ai.dat and the kind files of Data\Ai on the first level load), one prototype enemy per
// kind, the live enemies (CPAIManager), a live count per kind with the kind's looping sound, the
// count of live walkers, the vehicle that stands for the player's car, and the navigation grid
// with its path search. A level task created at start-up; a level start gives it priority 100 and
// adds it to the kernel, and its update moves the live enemies every frame.
class AI_Task : public IPTask, public TSingleton<AI_Task> {
public:
    using Prototypes = std::unordered_map<std::string, TPtr<AI_Entity>>;

    AI_Task();
    ~AI_Task() override;

    // Updates the live enemies with the frame delta; nothing while the frame timer is stopped.
    void Update() override;
    int32_t GetType() const override { return 1; }
    int32_t GetSize() const override { return static_cast<int32_t>(sizeof(*this)); }
    std::string GetClassName() const override { return "AI_Task"; }

    // Whether the entity is one of the live enemies.
    bool IsEnemy(const AI_Entity* entity) const;
    // Reads the enemy kinds and builds their prototypes (without models); only the first call
    // does anything. The level loader calls it on every load.
    void LoadTypes();
    // Reads one kind file into kind; false when the file cannot be read.
    static bool LoadKindFile(const std::string& path, SPKindFile& kind);

    // Spawns an enemy of the kind at the ground point and counts it: false, logged, when the kind
    // has no prototype or its prototype no model (the mission did not preload it).
    bool AddEnemy(const std::string& kind, float x, float y);
    // An enemy of the kind left play: its kind's count (and the walker count) goes down; the last
    // one of the kind stops the kind's sound.
    void OnEnemyRemoved(const std::string& kind);
    // Removes every live enemy (the level stops), silences every sound the kinds name (a
    // one-shot hit included) and stops the task.
    void StopLevel();

    // The player's car as the enemies' target: its position, size, flat direction of travel and
    // speed (a negative speed turns the direction round). A direction without a flat part keeps
    // the previous forward.
    void UpdateTargetVehicle(const CPGameObject& car, const PVector3& direction, float speed);
    const TPtr<SimpleVehicle>& TargetVehicle() const { return targetVehicle; }

    // Whether the kind is one of the three walker kinds.
    static bool IsWalkerKind(const std::string& kind);

    const std::unordered_map<std::string, CPEnemyType>& EnemyTypes() const { return enemyTypes; }
    const Prototypes& GetPrototypes() const { return prototypes; }
    // The kind's prototype, or null; never adds an entry.
    AI_Entity* FindPrototype(const std::string& kind) const;
    int32_t LiveCount(const std::string& kind) const;
    int32_t WalkerCount() const { return walkerCount; }
    CPAIManager& Manager() const { return *manager; }

    // The navigation grid (the level fills it) and its path search.
    CPNavGrid& NavGrid() { return navGrid; }
    const CPNavGrid& NavGrid() const { return navGrid; }
    void CreateNavGrid(int32_t rows, int32_t columns, float cellSize) { navGrid.Create(rows, columns, cellSize); }
    bool IsCellFree(float x, float y) const { return navGrid.IsCellFree(x, y); }
    void SetCell(int32_t row, int32_t column, uint8_t value) { navGrid.SetCell(row, column, value); }
    uint8_t GetCell(int32_t row, int32_t column) const { return navGrid.GetCell(row, column); }
    int32_t GetGridRows() const { return navGrid.Rows(); }
    int32_t GetGridColumns() const { return navGrid.Columns(); }
    float GetCellSize() const { return navGrid.CellSize(); }
    int32_t GetSearchCounter() const { return navGrid.SearchCounter(); }

    // A list the enemies' obstacle queries fill and empty again, so they allocate nothing.
    std::vector<TPtr<CPGameObject>>& ScratchObjects() { return scratchObjects; }

private:
    void BuildPrototypes();
    void StopEnemySounds() const;

    // The kinds come first so that they outlive the prototypes and enemies that point to them.
    std::unordered_map<std::string, CPEnemyType> enemyTypes;
    std::unique_ptr<CPAIManager> manager;
    TPtr<SimpleVehicle> targetVehicle;
    Prototypes prototypes;
    std::unordered_map<std::string, std::string> kindSounds;
    std::unordered_map<std::string, int32_t> liveCounts;
    int32_t walkerCount = 0;
    bool typesLoaded = false;
    CPNavGrid navGrid;
    std::vector<TPtr<CPGameObject>> scratchObjects;
};

// The AI task, null before its construction and after its destruction.
inline AI_Task* GetAITask() { return AI_Task::Instance(); }
