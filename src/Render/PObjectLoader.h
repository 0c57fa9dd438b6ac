#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "Render/ObjectDescription.h"
#include "core/PSmartPointer.h"
#include "core/Singleton.h"

class CPGameObject;
class CPPartAnimation;
namespace modelfile {
struct SPAnimatedNode;
struct SPMeshFile;
struct SPMeshNode;
}

// The object loader: turns the name of an object description (.rdf in Data\Meshes) into a new
// tree of scene objects, one per node of the mesh file or of the first animation file it names,
// each configured from the description's properties of its name, plus the description's sprites,
// lights and emitters. Nothing is cached here: every call reads the files again and builds new
// objects; static geometry is shared through the renderer's mesh cache, vertex animations through
// the animation cache. Created at start-up, destroyed at shutdown.
//
// A description that cannot be read gives the object of "wrong.rdf"; when that cannot be read
// either, the result is null (the log says why).
class CPObjectLoader : public TSingleton<CPObjectLoader> {
public:
    using PartAnimations = std::unordered_map<std::string, TPtr<CPPartAnimation>>;

    CPObjectLoader() = default;
    virtual ~CPObjectLoader() = default;

    // The root of the new tree, not active; null when nothing could be built. layerBase is
    // added to each node's "type" to give its material's layer.
    TPtr<CPGameObject> LoadObject(const std::string& name, int32_t layerBase);
    // A stand-alone emitter object named "psystem", neither attached nor active.
    TPtr<CPGameObject> CreateParticleSystemObject(const std::vector<std::string>& emitterNames, float interval);
    // Applies a node's properties: materials, flags, script, vertex effects or the upload of its
    // static mesh, part animations.
    void ConfigurePart(TPtr<CPGameObject> object, const PropertyMap& properties, int32_t layerBase);
    // Reads a part-animation file of Data\Animations into the map (part name → animation); a
    // file that cannot be read adds nothing; a part with fewer than three keys is left out.
    void LoadPartAnimations(const std::string& fileName, PartAnimations& animations);

    // The node readers: one node of a static mesh file (plain or physics format) or of an
    // animation file, its children first, then the node configured.
    TPtr<CPGameObject> ReadMeshNode(const modelfile::SPMeshNode& node, const SPObjectDescription& description,
                                    int32_t layerBase);
    TPtr<CPGameObject> ReadPhysicsNode(const modelfile::SPMeshNode& node, const SPObjectDescription& description,
                                       int32_t layerBase);
    TPtr<CPGameObject> ReadAnimatedNode(const modelfile::SPAnimatedNode& node, const SPObjectDescription& description,
                                        int32_t layerBase, const std::string& animationName);
    // Adds the node's animation of a second or later file to the object of the same name, and
    // so on down the tree; a node without its object is passed over with its subtree.
    void AddAnimationNode(const TPtr<CPGameObject>& object, const modelfile::SPAnimatedNode& node,
                          const std::string& animationName, float scale, float speed);

    // Written into the diffuse colour of every vertex read; opaque white until set.
    uint32_t GetVertexColour() const { return m_vertexColour; }
    void SetVertexColour(uint32_t colour) { m_vertexColour = colour; }
    // The mesh file of the last static model, lower-cased.
    const std::string& GetMeshName() const { return m_meshName; }
    // The key under which a node of the current mesh file is uploaded. It holds the mesh file
    // name's length, so no two (mesh file, node) pairs share a key.
    std::string MeshKey(const std::string& nodeName) const;

private:
    TPtr<CPGameObject> LoadStaticModel(const SPObjectDescription& description, const std::string& name,
                                       int32_t layerBase);
    TPtr<CPGameObject> LoadAnimatedModel(const SPObjectDescription& description, const std::vector<std::string>& items,
                                         int32_t layerBase);
    TPtr<CPGameObject> BuildMeshNode(const modelfile::SPMeshNode& node, bool physics,
                                     const SPObjectDescription& description, int32_t layerBase);
    void AddSprites(const TPtr<CPGameObject>& root, const SPObjectDescription& description, int32_t layerBase);
    void AddLights(const TPtr<CPGameObject>& root, const SPObjectDescription& description);
    void AddEmitters(const TPtr<CPGameObject>& root, const SPObjectDescription& description);

    uint32_t m_vertexColour = 0xFFFFFFFFu;
    std::string m_meshName;
    std::string m_animationFileName;
};

// The object loader, null before its construction and after its destruction.
inline CPObjectLoader* GetObjectLoader() { return CPObjectLoader::Instance(); }
