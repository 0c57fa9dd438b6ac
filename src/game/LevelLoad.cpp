// CPLevel::Load: the level file is read and checked whole, then the level is built from it.
#include <cmath>

#include "AI/AI_Task.h"
#include "Render/PGameObject.h"
#include "Render/PMaterialManager.h"
#include "Render/PObjectLoader.h"
#include "Render/PPerspectiveCamera.h"
#include "Render/PRenderObject.h"
#include "Render/VertexBounds.h"
#include "core/GeometryHelpers.h"
#include "core/PLog.h"
#include "game/DataFileReader.h"
#include "game/LevelFile.h"
#include "game/LevelRecordName.h"
#include "game/PCamera.h"
#include "game/PLevel.h"
#include "game/PLevelBranch.h"
#include "game/PMiniMap.h"
#include "game/PPlayerCar.h"
#include "physics/PPhysicData.h"
#include "physics/PPhysics.h"
#include "platform/Random.h"

namespace {

constexpr float kCameraZoom = -3.0f;
constexpr float kCameraDistance = 40.0f;
// The render layer of the placed models' parts is CPLevel::kModelLayer; the level's own model's:
constexpr int32_t kLevelModelLayer = 0;
constexpr int32_t kTerrainLayer = 18;
constexpr float kFogHeight = 0.2f;
constexpr float kCarHeight = 2.5f;
// Collision classes: the player's car, barriers.
constexpr int32_t kCarClass = 2;
constexpr int32_t kBarrierClass = 3;

void Log(const std::string& levelName, const std::string& what)
{
    GetLog()->Print(0, "Level %s: %s\n", levelName.c_str(), what.c_str());
}

// Reads and checks the whole level file; false with a log line when it cannot be read.
bool ReadLevel(const std::string& levelName, SPLevelFile& file)
{
    const std::string path = "Data\\Levels\\" + levelName + ".lvl";
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadDataFile(path, false, bytes)) {
        error = "the file cannot be read";
    } else if (ReadLevelFile(bytes.data(), bytes.size(), file, error)) {
        return true;
    }
    GetLog()->Print(0, "Level file %s not loaded: %s\n", path.c_str(), error.c_str());
    return false;
}

TPtr<CPGameObject> LoadModel(const std::string& name, int32_t layer)
{
    CPObjectLoader* loader = GetObjectLoader();
    return loader ? loader->LoadObject(name, layer) : TPtr<CPGameObject>();
}

// Makes copies of one model loaded once: each copy equals a fresh load of it.
class ModelCopies {
public:
    ModelCopies(const std::string& levelName, const std::string& modelName)
        : m_model(LoadModel(modelName, CPLevel::kModelLayer))
    {
        if (!m_model) Log(levelName, modelName + " cannot be loaded; it is left out");
    }

    explicit operator bool() const { return static_cast<bool>(m_model); }
    const TPtr<CPGameObject>& Model() const { return m_model; }

    TPtr<CPGameObject> Make() const
    {
        TPtr<CPGameObject> copy(new CPGameObject(m_model->GetName()));
        copy->CopyFrom(m_model);
        copy->SetCollision(m_model->HasCollision());
        copy->SetParam(m_model->GetParam());
        return copy;
    }

private:
    TPtr<CPGameObject> m_model;
};

void Place(CPGameObject& object, const PVector3& position, const PQuaternion& rotation)
{
    object.SetPosition(position);
    object.SetRotation(rotation);
    object.UpdateTransform();
}

void SetBarrierClass(CPGameObject& object)
{
    if (object.GetPhysicData()) object.GetPhysicData()->SetCollisionClass(kBarrierClass);
}

// The car's start when the file names none, by level.
PVector3 DefaultCarStart(const std::string& levelName)
{
    if (levelName == "level2" || levelName == "level4" || levelName == "level6") return {-100.0f, -100.0f, 0.0f};
    if (levelName == "level7" || levelName == "level8" || levelName == "level9") return {100.0f, -100.0f, 0.0f};
    return {100.0f, 100.0f, 0.0f};
}

// The light's direction from the stored 3 x 4 matrix: the point (0, 0, -1) minus the origin,
// both through the matrix, which is the negated third row.
PVector3 LightDirection(const SPLevelLight& light)
{
    const std::array<float, 12>& m = light.matrix;
    return {-m[2], -m[6], -m[10]};
}

// A direction the planar shadow onto z = 0 can use: finite, not zero and not parallel to the
// ground.
bool UsableLightDirection(const PVector3& d)
{
    return std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z) && d.z != 0.0f;
}

}  // namespace

bool CPLevel::Load(const std::string& levelName)
{
    CameraZoom = kCameraZoom;
    SPLevelFile file;
    const bool loaded = ReadLevel(levelName, file);
    if (loaded) Build(levelName, file);
    BuildNavGrid();
    return loaded;
}

void CPLevel::Build(const std::string& levelName, const SPLevelFile& file)
{
    spawnSources.clear();
    if (CPObjectLoader* loader = GetObjectLoader()) loader->SetVertexColour(0xFFFFFFFFu);
    camera = new CPCamera();
    camera->distance = kCameraDistance;
    camera->changed = true;
    width = 2.0f * file.halfWidth;
    depth = 2.0f * file.halfDepth;
    miniMap = new CPMiniMap();
    miniMap->Load(levelName, width, depth);
    SetLight(file);

    Objects statics, dynamics;
    PVector3 carStart = DefaultCarStart(levelName);
    PQuaternion carRotation = QuaternionIdentity();
    PlaceRecords(file, statics, dynamics, carStart, carRotation);
    AddFogBorder(levelName, statics);
    cellsX = static_cast<int32_t>(width * 0.1f);
    cellsY = static_cast<int32_t>(depth * 0.1f);
    parkedCells.assign(static_cast<size_t>(cellsX) * static_cast<size_t>(cellsY), ObjectList());

    levelObject = LoadModel(levelName + ".rdf", kLevelModelLayer);
    if (!levelObject) Log(levelName, levelName + ".rdf cannot be loaded; the level has no model of its own");
    tree = new CPLevelBranch();
    camera->Update();
    StartPhysics();
    AddTerrainTiles(levelName, statics);
    tree->SetObjects(statics);
    tree->Build(0);
    if (AI_Task* ai = GetAITask()) ai->LoadTypes();
    CreateCar(carStart, carRotation);
    for (const TPtr<CPGameObject>& object : dynamics) ParkObject(object);
    if (CPPlayerCar* car = GetPlayerCar()) {
        car->SelectFirstWeapon();
        car->ApplyLoadout();
    }
}

void CPLevel::SetLight(const SPLevelFile& file)
{
    light = {};
    light.type = platform::gfx::LightType::Directional;
    light.range = 10000.0f;
    PVector3 direction{0.0f, 0.0f, -1.0f};
    platform::gfx::ColorValue colour{1.0f, 1.0f, 1.0f, 1.0f};
    if (file.lightCount > 0 && UsableLightDirection(LightDirection(file.light))) {
        direction = LightDirection(file.light);
        const uint32_t c = file.light.colour;
        colour = {static_cast<float>((c >> 16) & 0xFF) / 256.0f, static_cast<float>((c >> 8) & 0xFF) / 256.0f,
                  static_cast<float>(c & 0xFF) / 256.0f, 1.0f};
    }
    light.direction = direction;
    light.diffuse = colour;
    light.specular = colour;
    g_shadowProjection = MatrixShadow({direction.x, direction.y, direction.z, 0.0f}, {0.0f, 0.0f, -1.0f, 0.0f});
}

void CPLevel::PlaceRecords(const SPLevelFile& file, Objects& statics, Objects& dynamics, PVector3& carStart,
                           PQuaternion& carRotation)
{
    for (const SPLevelRecord& record : file.records) {
        const SPLevelRecordName name = ClassifyLevelRecord(record.name);
        switch (name.kind) {
        case LevelRecordKind::Player:
            carStart = {record.position.x, record.position.y, 0.0f};
            carRotation = record.rotation;
            break;
        case LevelRecordKind::CheckPoint:
            LoadCheckPoint(record, name);
            break;
        case LevelRecordKind::SpawnSource:
            spawnSources[name.model] = record.position;
            break;
        case LevelRecordKind::Model:
            PlaceModel(record, name, statics, dynamics);
            break;
        }
    }
}

void CPLevel::PlaceModel(const SPLevelRecord& record, const SPLevelRecordName& name, Objects& statics,
                         Objects& dynamics)
{
    if (!name.error.empty()) {
        GetLog()->Print(0, "Level object %s is in no list: %s\n", record.name.c_str(), name.error.c_str());
    }
    const TPtr<CPGameObject> object = LoadModel(name.model + ".rdf", kModelLayer);
    if (!object) return;
    Place(*object, record.position, QuaternionConjugate(record.rotation));
    if (object->GetKind() == CPGameObject::kAnimated) {
        SPAnimationRequest idle;
        idle.name = "idle";
        idle.startOffset = platform::RandUnit();
        idle.speed = 0.8f + 0.4f * platform::RandUnit();
        object->PlayAnimation(idle, false);
    }
    if (name.model.compare(0, 6, "glass_") == 0) SetBarrierClass(*object);
    const TPtr<CPPhysicData>& physics = object->GetPhysicData();
    (physics && physics->mass > 0.0f ? dynamics : statics).push_back(object);

    const size_t index = static_cast<size_t>(name.listIndex);
    switch (name.list) {
    case LevelList::None:
        break;
    case LevelList::StageGate:
        SetBarrierClass(*object);
        stageGateObjects[index].push_back(object);
        break;
    case LevelList::StageTarget:
        stageTargetObjects[index].push_back(object);
        break;
    case LevelList::CheckPointGlass:
        SetBarrierClass(*object);
        if (const TPtr<CPGameObject> glass = object->GetChild("glass")) glass->SetEnabled(false);
        RemoveFromWorld(*object);
        checkPointGlassObjects[index].push_back(object);
        break;
    case LevelList::CheckPointBarrier:
        SetBarrierClass(*object);
        if (name.number != 0) {
            object->SetEnabled(false);
            RemoveFromWorld(*object);
        }
        checkPointBarrierObjects[index].push_back(object);
        break;
    case LevelList::CheckPointTarget:
        object->SetCheckPoint(name.number);
        checkPointTargetObjects[index].push_back(object);
        break;
    case LevelList::CheckPointGate:
        SetBarrierClass(*object);
        checkPointGateObjects[index].push_back(object);
        break;
    }
}

void CPLevel::LoadCheckPoint(const SPLevelRecord& record, const SPLevelRecordName& name)
{
    const TPtr<CPGameObject> object = LoadModel(name.model + ".rdf", kModelLayer);
    if (!object) return;
    object->SetVisible(false);
    Place(*object, record.position, QuaternionConjugate(record.rotation));
    checkPoints.push_back({name.numberText, name.checkPointNumber, object});
    if (nextCheckPoint == checkPoints.end()) nextCheckPoint = checkPoints.begin();
}

// The fog border: corners and edge pieces along the terrain's rim, turned about z.
void CPLevel::AddFogBorder(const std::string& levelName, Objects& statics) const
{
    const float hw = width * 0.5f;
    const float hd = depth * 0.5f;
    auto add = [&](const ModelCopies& model, float x, float y, float angle) {
        const TPtr<CPGameObject> piece = model.Make();
        Place(*piece, {x, y, kFogHeight}, QuaternionRotationYawPitchRoll(0.0f, 0.0f, angle));
        statics.push_back(piece);
    };
    const ModelCopies corner(levelName, "fogu.rdf");
    if (corner) {
        add(corner, 5.0f - hw, 5.0f - hd, 0.0f);
        add(corner, hw - 5.0f, 5.0f - hd, kPi / 2.0f);
        add(corner, hw - 5.0f, hd - 5.0f, kPi);
        add(corner, 5.0f - hw, hd - 5.0f, 3.0f * kPi / 2.0f);
    }
    const ModelCopies edge(levelName, "fog.rdf");
    if (!edge) return;
    for (int32_t i = 0; static_cast<float>(i) < (width - 40.0f) * 0.1f - 0.1f; ++i) {
        const float x = 25.0f - hw + 10.0f * static_cast<float>(i);
        add(edge, x, hd - 5.0f, 3.0f * kPi / 2.0f);
        add(edge, x, 5.0f - hd, kPi / 2.0f);
    }
    for (int32_t i = 0; static_cast<float>(i) < (depth - 40.0f) * 0.1f - 0.1f; ++i) {
        const float y = 25.0f - hd + 10.0f * static_cast<float>(i);
        add(edge, hw - 5.0f, y, kPi);
        add(edge, 5.0f - hw, y, 0.0f);
    }
}

// The physics world's terrain is one quad over the whole level; Init builds it.
void CPLevel::StartPhysics()
{
    CPPhysics* physics = GetPhysics();
    if (!physics) return;
    const float hw = width * 0.5f;
    const float hd = depth * 0.5f;
    TPtr<CPGameObject> terrain(new CPGameObject("terrain"));
    TPtr<CPRenderObject> quad(new CPRenderObject(terrain.Get()));
    std::vector<SPVertex> vertices(4, SPVertex{});
    vertices[0].position = {-hw, -hd, 0.0f};
    vertices[1].position = {hw, -hd, 0.0f};
    vertices[2].position = {hw, hd, 0.0f};
    vertices[3].position = {-hw, hd, 0.0f};
    quad->SetGeometry(std::move(vertices), std::vector<uint16_t>{0, 1, 2, 0, 2, 3});
    terrain->SetAttachment(CPGameObject::kMesh, quad);
    terrain->UpdateTransform();
    physics->AddTerrainObject(quad);
    physics->Init();
}

// Terrain tiles of kCellSize, copies of land.rdf with the terrain material, their first texture
// coordinates spanning the whole terrain.
void CPLevel::AddTerrainTiles(const std::string& levelName, Objects& statics) const
{
    const ModelCopies land(levelName, "land.rdf");
    if (!land) return;
    if (land.Model()->GetKind() != CPGameObject::kMesh || !land.Model()->GetAttachment()) {
        Log(levelName, "land.rdf has no mesh at its root; the level has no terrain tiles");
        return;
    }
    TPtr<CPMaterial> material;
    if (CPMaterialManager* materials = GetMaterialManager()) {
        const std::string folder = levelName + "\\";
        material = materials->GetMaterial(kTerrainLayer, "land.fx",
                                          {folder + "color.dds", folder + "detail1.dds", folder + "detail2.dds"});
    }
    const bool ownDetail = levelName == "level9" || levelName == "level10";
    for (int32_t row = 0; row < cellsY; ++row) {
        for (int32_t column = 0; column < cellsX; ++column) {
            const float x = 5.0f - width * 0.5f + kCellSize * static_cast<float>(column);
            const float y = 5.0f - depth * 0.5f + kCellSize * static_cast<float>(row);
            const TPtr<CPGameObject> tile = land.Make();
            auto* mesh = static_cast<CPRenderObject*>(tile->GetAttachment().Get());
            mesh->SetMaterial(material);
            mesh->SetType(CPRenderObject::Dynamic);
            tile->SetPhysicData(nullptr);
            tile->SetScript(nullptr);
            const float ou = platform::RandUnit() > 0.5f ? 0.5f : 0.0f;
            const float ov = platform::RandUnit() > 0.5f ? 0.5f : 0.0f;
            for (SPVertex& vertex : mesh->GetVertices()) {
                const PVector2 uv = vertex.tex0;
                vertex.tex1 = ownDetail ? uv : PVector2{uv.x * 0.5f + ou, uv.y * 0.5f + ov};
                vertex.tex0 = {(width * 0.5f + vertex.position.x + x) / width,
                               1.0f - (depth * 0.5f + vertex.position.y + y) / depth};
            }
            mesh->GetWorldVertices() = mesh->GetVertices();
            // The tile's box is its mesh's, so that the view culls tiles by what they show.
            SPVertexBounds bounds;
            for (const SPVertex& vertex : mesh->GetVertices()) bounds.Add(vertex.position);
            tile->SetObb(bounds.Box());
            Place(*tile, {x, y, 0.0f}, QuaternionIdentity());
            statics.push_back(tile);
        }
    }
}

void CPLevel::CreateCar(const PVector3& start, const PQuaternion& rotation)
{
    const TPtr<CPGameObject> jeep = LoadModel("jeep.rdf", kModelLayer);
    if (!jeep) {
        GetLog()->Print(0, "Level: jeep.rdf cannot be loaded; the level has no car\n");
        return;
    }
    TPtr<CPPlayerCar> car(new CPPlayerCar());
    car->CopyFrom(jeep);
    Place(*car, {start.x, start.y, kCarHeight}, rotation);
    const PVector3 forward = Vec3TransformNormal({0.0f, -1.0f, 0.0f}, MatrixRotationQuaternion(rotation));
    const float heading = ClampedAcos(forward.x);
    camera->SetHeading(forward.y < 0.0f ? -heading : heading);
    playerCar = car;
    CPPhysics* physics = GetPhysics();
    if (!physics) return;
    physics->TrackObject(car);
    physics->AddObject(car, true);
    physics->CreateCar(car);
    if (car->GetPhysicData()) car->GetPhysicData()->SetBodyCollisionClass(kCarClass);
}
