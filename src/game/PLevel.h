#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/ISceneGameRules.h"
#include "Render/PDeviceObject.h"
#include "Render/ShadowProjection.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"
#include "physics/ICollisionHandler.h"
#include "math/PMath.h"
#include "platform/gfx/Light.h"

class CPBaseCamera;
class CPCamera;
class CPGameObject;
class CPPerspectiveCamera;
class IPTask;
class CPLevelBranch;
class CPMiniMap;
class CPPlayerCar;
struct SPLevelFile;
struct SPLevelRecord;
struct SPLevelRecordName;
struct SPRayQuery;

// One check point of the level, in file order.
struct SPCheckPoint {
    std::string numberText;  // what follows "chk" in the object's name: digits or "-"
    int32_t number = 0;      // numberText as a number
    TPtr<CPGameObject> object;
};

// The cells of the parked objects that lie within kPlayerRange of a point, clamped to the grid:
// columns firstColumn..lastColumn, rows firstRow..lastRow (empty when a last is below its first).
struct SPCellWindow {
    int32_t firstColumn = 0;
    int32_t lastColumn = -1;
    int32_t firstRow = 0;
    int32_t lastRow = -1;
};

// Where a level is in its life: loaded, running (its tasks in the kernel), stopped (awaiting its
// deletion; it does not start again).
enum class LevelState { Loaded, Running, Stopped };

// The current level: exists while a level is loaded, GetLevel returns null between levels.
// Load reads the level file (Data\Levels\<name>.lvl) whole and checks it before it builds
// anything: the terrain tiles and the fog border, the placed models (static ones in the level
// tree, dynamic ones parked in 10-unit cells), the check points, the stage and check-point lists
// chosen by name prefix (LevelRecordName.h), the spawn sources, the light and its shadow, the
// camera, the minimap and the player's car, the physics world's terrain, and the navigation grid.
//
// While it exists the level is the scene objects' game rules (LevelTargetRules.cpp): its stage and
// check point decide which objects are targets, and a destroyed target pays its reward. It is also
// the physics world's collision handler (LevelCollisions.cpp).
//
// Start (LevelRun.cpp) puts the level into the kernel: the physics and AI tasks and two updaters,
// the light at priority 30 and Update at 500, which streams the dynamic objects, drives the car,
// the camera, the minimap and the listener, detects reached check points and hands what is in
// view to the renderer. While it runs, the chase camera is the view camera and the camera of the
// level's layers (layer 20's own camera is taken off it); the destructor gives both back. The
// stages, gates, barriers and glass walls are in LevelStages.cpp.
//
// A level whose load failed (no car, camera, tree or minimap) is safe to start, update, stop and
// delete: what is missing is passed over.
class CPLevel : public IPDeviceObject,
                public ISceneGameRules,
                public ICollisionHandler,
                public TSingleton<CPLevel> {

public:
    // Stages and check points a level can have, numbered from 0.
    static constexpr int32_t kListCount = 20;
    // Objects farther than this from the player's car (in x or y) leave the world.
    static constexpr float kPlayerRange = 160.0f;
    // Task priorities of a running level.
    static constexpr int32_t kLightPriority = 30;
    static constexpr int32_t kAIPriority = 100;
    static constexpr int32_t kPhysicsPriority = 400;
    static constexpr int32_t kUpdatePriority = 500;
    static constexpr int32_t kObjectPriority = 200;
    // The render layers of the shadows, of the level's objects (drawn with the identity world)
    // and of the placed models.
    static constexpr int32_t kShadowLayer = 16;
    static constexpr int32_t kObjectLayer = 17;
    static constexpr int32_t kModelLayer = 20;
    // A check point is reached within this distance (by x and y).
    static constexpr float kCheckPointRadius = 4.0f;
    // Seconds of a level.
    static constexpr float kLevelTime = 600.0f;
    // The edge of a parking cell and of a terrain tile.
    static constexpr float kCellSize = 10.0f;
    // The edge of a navigation grid cell.
    static constexpr float kNavCellSize = 2.0f;
    using ObjectList = std::list<TPtr<CPGameObject>>;
    using ObjectLists = std::array<ObjectList, kListCount>;
    using Objects = std::vector<TPtr<CPGameObject>>;

    CPLevel();
    ~CPLevel() override;

    void OnLostDevice() override {}
    // The renderer dropped the frame's lights: the level light goes in again.
    void OnResetDevice() override { SubmitLight(); }
    std::string GetClassName() const { return "CPLevel"; }
    // The 3D listener at (0, 0, 5), standing still; where a deleted level that ran leaves it.
    void ResetListener();

    // Reads and builds the level; false, with a log line naming the file and the reason, when the
    // file cannot be read or is damaged: nothing of it is built then. The navigation grid is
    // built in every case.
    bool Load(const std::string& levelName);

    // The player's car, or null.
    CPPlayerCar* GetPlayerCar() const;

    // LevelRun.cpp. Starts a loaded level; false (logged) when it was started before.
    bool Start();
    // Stops a running level: effects, weapons and enemies cleared, the objects out of the world,
    // the tasks stopped and the parked objects let go. Nothing when it is not running.
    void Stop();
    LevelState GetState() const { return state; }
    // The priority-500 task: one frame of the running level.
    void Update();
    // The priority-30 task: hands the level light to the renderer (unless 30 are queued).
    void SubmitLight();
    // Parks the active objects that left kPlayerRange of the car and brings the parked ones of
    // the car's cell window that are within it (and in the world) into the world.
    void UpdateDynamicObjects();

    // Appends a dynamic object to the list of the cell under it; an object outside the grid is
    // not parked (false).
    bool ParkObject(const TPtr<CPGameObject>& object);
    // The parked cell under (x, y), as column × cellsY + row, or -1 outside the grid.
    int32_t CellIndexAt(float x, float y) const;
    // The cells within kPlayerRange of (x, y): the streaming's window around the car; empty while
    // there are no parked cells.
    SPCellWindow CellWindowAround(float x, float y) const;

    // A living enemy's model joins the level, and a dead one's leaves it.
    void AddEnemyObject(const TPtr<CPGameObject>& object);
    void RemoveObject(const CPGameObject* object);

    // The segment test (LevelQueries.cpp): the tree, and, when the segment passes within
    // kPlayerRange of the car, the car, the active objects and (when asked) the enemies.
    bool CrossRay(SPRayQuery& query, bool withEnemies);
    // The same without the car and always with the enemies (the player's shots).
    bool CrossRayNoPlayer(SPRayQuery& query);
    // Appends every object whose part bounds meet the sphere: the tree (without "land" objects
    // when all three skips are set), the car, the active objects near the car, the parked ones
    // within kPlayerRange of the car (the streaming's rule) and the enemies.
    void QueryObjects(const PVector3& centre, float radius, Objects& out, bool skipPlayer, bool skipEnemies,
                      bool skipParked) const;
    // Appends the living enemies between two ground lines: a1 x + b1 y + c1 > 0 and
    // a2 x + b2 y + c2 < 0.
    void CollectObjectsInWedge(const PVector3& line1, const PVector3& line2, Objects& out) const;
    // Passes the aim on to the car.
    void SetWeaponPos(const PVector3& aim, const TPtr<CPGameObject>& target);

    // Sizes the navigation grid to the terrain and blocks the cells a probe finds something in.
    void BuildNavGrid();
    // True when none of the cell's eight probe segments hits anything.
    bool IsCellOpen(int32_t row, int32_t column);

    // The list of index, or null when the index is outside the lists.
    static const ObjectList* ListAt(const std::array<ObjectList, kListCount>& lists, int32_t index);

    // True when the object is a target of the current stage.
    bool IsStageTarget(const CPGameObject* object) const;
    // Takes a destroyed object off the target lists of the current stage and the current check
    // point; the stage opens when its list empties, the check point's barrier clears when its
    // list empties.
    void RemoveTarget(const CPGameObject* object);
    // The scene objects' game rules: the game data's damage multiplier; the current check point's
    // or stage's targets; a destroyed target leaves the lists (RemoveTarget) and pays its reward,
    // rounded up, into the money (announced to "gamemenu" by "change_money") and the score.
    float GetDamageFactor() const override;
    bool IsCurrentTarget(const CPGameObject& object, int32_t checkPoint) const override;
    void OnTargetDestroyed(const CPGameObject& object, float reward) override;
    // LevelCollisions.cpp. The physics world's collision rules for the player's car: the body it
    // touches stops its hold, an enemy hit above speed 5 takes ram damage, a barrier touched near
    // the current check point asks for the "df" text.
    void OnCollision(const PhysicsCollisionInfo& info) override;
    // LevelStages.cpp. Opens the current stage: its gates leave the world, the interface hears
    // "ffd" and the next stage becomes current; false when the stage has no gates.
    bool OpenStage();
    // The barriers of the current check point leave the world; the interface hears "ffd".
    void ClearCheckPointBarrier();
    // On: the glass walls of the check point just reached come into the world. Off: they leave
    // it and their list is emptied.
    void SetCheckPointGlass(bool on);
    // The barriers of the current check point come into the world.
    void AddCheckPointObjects();
    // The gates of the check point just reached leave the world; the interface hears "ffd".
    void RemoveCheckPointObjects();
    // Shows the next check point (the script function ShowCheckPoint): the glass walls go, the
    // minimap points to it, its barriers come and the gates of the one reached go. After the
    // last one there is no current check point.
    void ShowNextCheckPoint();
    // Takes an object out of the world: out of streaming and ray tests, inactive, without a body.
    static void RemoveFromWorld(CPGameObject& object);
    // Brings an object into the world: shown, in streaming and ray tests, active, with a body of
    // the barrier class when it has physics data.
    static void BringIntoWorld(CPGameObject& object);
    // Asks the next level update to send "mission_text" with the text of the key "df" to the
    // script "gamemenu" (the player drove into a check point's barrier).
    void RequestDfText() { dfTextRequested = true; }

    // Objects of the lists chosen by name prefix (LevelRecordName.h).
    ObjectLists checkPointGlassObjects;
    ObjectLists stageGateObjects;
    ObjectLists stageTargetObjects;
    ObjectLists checkPointBarrierObjects;
    ObjectLists checkPointTargetObjects;
    ObjectLists checkPointGateObjects;
    // One position per spawn-source key.
    std::unordered_map<std::string, PVector3> spawnSources;
    std::list<SPCheckPoint> checkPoints;
    // The check point shown or next to be shown; checkPoints.end() after the last one.
    std::list<SPCheckPoint>::iterator nextCheckPoint;
    // Check points reached since the start.
    int32_t checkPointIndex = 0;
    // The shown check-point object; null when none.
    TPtr<CPGameObject> currentCheckPoint;
    // The level's own model, <level>.rdf.
    TPtr<CPGameObject> levelObject;
    TPtr<CPLevelBranch> tree;
    // Dynamic objects near the player, in the world.
    ObjectList activeObjects;
    // Dynamic objects parked outside the active area: cellsX × cellsY lists, the cell of column
    // ix and row iy at ix × cellsY + iy.
    std::vector<ObjectList> parkedCells;
    // The models of the living enemies.
    ObjectList enemyObjects;
    TPtr<CPCamera> camera;
    platform::gfx::Light light{};
    // The terrain's extent along x and y.
    float width = 10.0f;
    float depth = 10.0f;
    // Seconds left.
    float levelTime = 0.0f;
    float playerSpeed = 0.0f;
    int32_t cellsX = 0;
    int32_t cellsY = 0;
    // The player's car, a CPPlayerCar (kept as a scene object: code that only needs the scene
    // object, the physics world's benchmark for one, sets any object here).
    TPtr<CPGameObject> playerCar;
    // The player's heading about z, radians (0: along +x).
    float playerHeading = 0.0f;
    TPtr<CPMiniMap> miniMap;
    int32_t stageIndex = 0;
    // Where the last check point reached stands.
    PVector3 respawnPoint{0.0f, 0.0f, 0.0f};
    // Set by RequestDfText; the level update that shows the text clears it.
    bool dfTextRequested = false;
    // The running level's two updaters (null before Start and after Stop).
    TPtr<IPTask> updateTask;
    TPtr<IPTask> lightTask;
    // Seconds since a camera shake began, -1 while none runs; seconds before one may start; its
    // amplitude.
    float shakeTime = -1.0f;
    float shakeCooldown = 0.0f;
    float shakeStrength = 3.0f;

private:
    // LevelRun.cpp: the steps of Start, Stop and Update.
    void TakeOverCameras();
    void GiveBackCameras();
    void StartTasks();
    void ShowFirstCheckPoint();
    void SendStartCommands() const;
    void UpdateShake(float frameDelta);
    float ShakeOffset() const;
    // The car's flat forward direction (unit, z = 0); the last one when the car points up or down.
    PVector3 FlatForward(const CPGameObject& car);
    void UpdateListener(const CPGameObject& car, float frameDelta) const;
    void TestCheckPoint(const CPGameObject& car);
    void DrawObjects(const CPPerspectiveCamera& view) const;
    // Moves an active object to its parked cell (dropped outside the grid).
    void ParkActive(ObjectList::iterator object);
    bool WithinRange(const PVector3& position, const PVector3& car) const;
    // The parked objects of a cell that are within range and in the world become active.
    void UnparkCell(ObjectList& cell, const PVector3& car);

    LevelState state = LevelState::Loaded;
    // The flat forward direction of the last update.
    PVector3 lastFlatForward{0.0f, -1.0f, 0.0f};
    // What the level took over at Start: layer 20's camera and the view camera.
    TPtr<CPBaseCamera> savedLayerCamera;
    TPtr<CPPerspectiveCamera> savedViewCamera;
    bool camerasTaken = false;

    // LevelLoad.cpp: the steps of Load once the file was read.
    void Build(const std::string& levelName, const SPLevelFile& file);
    void SetLight(const SPLevelFile& file);
    void PlaceRecords(const SPLevelFile& file, Objects& statics, Objects& dynamics, PVector3& carStart,
                      PQuaternion& carRotation);
    void PlaceModel(const SPLevelRecord& record, const SPLevelRecordName& name, Objects& statics,
                    Objects& dynamics);
    void LoadCheckPoint(const SPLevelRecord& record, const SPLevelRecordName& name);
    void AddFogBorder(const std::string& levelName, Objects& statics) const;
    // Gives the physics world the terrain quad and starts it.
    void StartPhysics();
    void AddTerrainTiles(const std::string& levelName, Objects& statics) const;
    void CreateCar(const PVector3& start, const PQuaternion& rotation);

    // Whether the segment passes within kPlayerRange of the car (by x and y).
    bool IsNearPlayer(const SPRayQuery& query) const;
    // CrossRay's second step: the objects near the player.
    bool CrossNearObjects(SPRayQuery& query, bool withPlayer, bool withEnemies);

    // Erases the object from the list; true when the list was emptied by it.
    static bool EraseTarget(ObjectList& list, const CPGameObject* object);
};

// The level, null between levels.
inline CPLevel* GetLevel() { return CPLevel::Instance(); }
