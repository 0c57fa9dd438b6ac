#include "Render/PObjectLoader.h"

#include "Render/ModelFile.h"
#include "Render/PGameObject.h"
#include "Render/PObb.h"
#include "Render/PPartAnimation.h"
#include "core/Fields.h"
#include "core/PBinaryReader.h"
#include "core/PFile.h"
#include "core/PLog.h"
#include "core/Result.h"
#include "core/TextHelpers.h"

namespace {

constexpr char kMeshFolder[] = "Data\\Meshes\\";
constexpr char kAnimationFolder[] = "Data\\Animations\\";
constexpr char kFallback[] = "wrong.rdf";
// The bytes of one key of a part-animation file: a duration and 12 matrix values.
constexpr size_t kKeySize = 13 * 4;

// Reads a whole file; false (and a line in the log) when it cannot be read.
bool ReadWholeFile(const std::string& path, CPFile& file) {
    if (file.Load() == S_OK) return true;
    GetLog()->Print(0, "%s cannot be read\n", path.c_str());
    return false;
}

bool ReadMeshes(const std::string& meshName, bool physics, modelfile::SPMeshFile& meshes) {
    const std::string path = kMeshFolder + meshName;
    CPFile file(path);
    if (!ReadWholeFile(path, file)) return false;
    std::string error;
    if (modelfile::ReadMeshFile(file.GetData(), static_cast<size_t>(file.GetSize()), physics, meshes, error)) return true;
    GetLog()->Print(0, "The mesh file %s cannot be read: %s\n", path.c_str(), error.c_str());
    return false;
}

bool ReadAnimation(const std::string& fileName, modelfile::SPAnimatedFile& animation) {
    const std::string path = kMeshFolder + fileName;
    CPFile file(path);
    if (!ReadWholeFile(path, file)) return false;
    std::string error;
    if (modelfile::ReadAnimatedFile(file.GetData(), static_cast<size_t>(file.GetSize()), animation, error)) return true;
    GetLog()->Print(0, "The animation file %s cannot be read: %s\n", path.c_str(), error.c_str());
    return false;
}

// The keys of one part, or false when the data ends early.
bool ReadPartKeys(CPBinaryReader& reader, std::vector<PMatrix>& keys, std::vector<float>& durations) {
    const int32_t keyCount = reader.ReadInt();
    if (keyCount < 0 || static_cast<size_t>(keyCount) > reader.GetRemaining() / kKeySize) return false;
    for (int32_t k = 0; k < keyCount; ++k) {
        durations.push_back(reader.ReadFloat());
        PMatrix key = MatrixIdentity();
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 4; ++row) key.m[row][column] = reader.ReadFloat();
        }
        keys.push_back(key);
    }
    return !reader.HasFailed();
}

}  // namespace

TPtr<CPGameObject> CPObjectLoader::LoadObject(const std::string& name, int32_t layerBase) {
    const std::string path = kMeshFolder + name;
    CPFile file(path);
    if (file.Load() != S_OK) {
        std::string lowerName = name;
        if (StrToLower(lowerName) == kFallback) {
            GetLog()->Print(0, "The object description %s cannot be read and nothing stands in for it\n", path.c_str());
            return nullptr;
        }
        GetLog()->Print(0, "The object description %s cannot be read; %s stands in for it\n", path.c_str(), kFallback);
        return LoadObject(kFallback, layerBase);
    }
    const SPObjectDescription description =
        ParseObjectDescription(reinterpret_cast<const char*>(file.GetData()), static_cast<size_t>(file.GetSize()), path);
    const std::vector<std::string> items = SplitFields(description.value, ";");
    if (!items.empty() && items[0] == "anim") return LoadAnimatedModel(description, items, layerBase);
    return LoadStaticModel(description, name, layerBase);
}

TPtr<CPGameObject> CPObjectLoader::LoadStaticModel(const SPObjectDescription& description, const std::string& name,
                                                   int32_t layerBase) {
    m_meshName = description.value;
    StrToLower(m_meshName);
    const bool physics = modelfile::IsPhysicsName(m_meshName);
    TPtr<CPGameObject> root;
    modelfile::SPMeshFile meshes;
    if (ReadMeshes(m_meshName, physics, meshes)) {
        if (meshes.nodes.size() == 1) {
            root = BuildMeshNode(meshes.nodes[0], physics, description, layerBase);
        } else {
            root = new CPGameObject(name);
            for (const modelfile::SPMeshNode& node : meshes.nodes) {
                root->AddChild(BuildMeshNode(node, physics, description, layerBase));
            }
        }
        if (meshes.hasMatrixTable) root->UpdateTransform();
    }
    AddSprites(root, description, layerBase);
    AddLights(root, description);
    AddEmitters(root, description);
    return root;
}

TPtr<CPGameObject> CPObjectLoader::BuildMeshNode(const modelfile::SPMeshNode& node, bool physics,
                                                 const SPObjectDescription& description, int32_t layerBase) {
    return physics ? ReadPhysicsNode(node, description, layerBase) : ReadMeshNode(node, description, layerBase);
}

TPtr<CPGameObject> CPObjectLoader::LoadAnimatedModel(const SPObjectDescription& description,
                                                     const std::vector<std::string>& items, int32_t layerBase) {
    TPtr<CPGameObject> root;
    for (size_t i = 1; i < items.size(); ++i) {
        const std::vector<std::string> fields = SplitFields(items[i], ",");
        const std::string animationName = fields.empty() ? std::string() : fields[0];
        m_animationFileName = fields.size() > 1 ? fields[1] : std::string();
        modelfile::SPAnimatedFile animation;
        if (!ReadAnimation(m_animationFileName, animation)) continue;
        if (!root) {
            root = ReadAnimatedNode(animation.root, description, layerBase, animationName);
        } else {
            AddAnimationNode(root, animation.root, animationName, description.scale, description.speed);
        }
        root->UpdateTransform();
    }
    return root;
}

std::string CPObjectLoader::MeshKey(const std::string& nodeName) const {
    return std::to_string(m_meshName.size()) + ":" + m_meshName + nodeName;
}

void CPObjectLoader::LoadPartAnimations(const std::string& fileName, PartAnimations& animations) {
    const std::string path = kAnimationFolder + fileName;
    CPFile file(path);
    if (!ReadWholeFile(path, file)) return;
    CPBinaryReader reader(file.GetData(), static_cast<size_t>(file.GetSize()));
    const int32_t partCount = reader.ReadInt();
    PartAnimations read;
    for (int32_t part = 0; part < partCount; ++part) {
        std::string name = reader.ReadString();
        StrToLower(name);
        std::vector<PMatrix> keys;
        std::vector<float> durations;
        if (!ReadPartKeys(reader, keys, durations)) {
            GetLog()->Print(0, "The part-animation file %s cannot be read: it ends early\n", path.c_str());
            return;
        }
        if (keys.size() < CPPartAnimation::kMinKeys) {
            GetLog()->Print(0, "The part %s of %s is left out: it has %d keys, a part needs %d\n", name.c_str(),
                            path.c_str(), static_cast<int>(keys.size()), static_cast<int>(CPPartAnimation::kMinKeys));
            continue;
        }
        TPtr<CPPartAnimation> animation(new CPPartAnimation);
        animation->SetKeys(std::move(keys), std::move(durations));
        read[name] = animation;
    }
    for (auto& [name, animation] : read) animations[name] = std::move(animation);
}
