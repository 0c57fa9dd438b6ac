#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Render/ModelFile.h"
#include "Render/PAnimationCache.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PRenderObject.h"
#include "model_fixture.h"
#include "resource_fixture.h"

namespace loadertest {

// A started renderer and material manager (ResourceTest) with the object loader and the
// animation cache, in a working folder whose data/meshes the tests fill.
class ObjectLoaderTest : public restest::ResourceTest {
protected:
    void SetUp() override {
        ResourceTest::SetUp();
        m_animations = std::make_unique<CPAnimationCache>();
        m_loader = std::make_unique<CPObjectLoader>();
    }
    void TearDown() override {
        CollectGarbage();
        m_loader.reset();
        m_animations.reset();
        ResourceTest::TearDown();
    }

    CPObjectLoader& Loader() { return *m_loader; }

    static void WriteMesh(const std::string& name, const modelfile::SPMeshFile& file) {
        WriteFile("data/meshes/" + name, modelfile::WriteMeshFile(file));
    }
    static void WriteAnimation(const std::string& name, const modelfile::SPAnimatedFile& file) {
        WriteFile("data/meshes/" + name, modelfile::WriteAnimatedFile(file));
    }
    static void WriteDescription(const std::string& name, const std::string& text) {
        WriteText("data/meshes/" + name, text);
    }
    TPtr<CPGameObject> Load(const std::string& name, int32_t layerBase = 20) {
        return m_loader->LoadObject(name, layerBase);
    }

    static CPRenderObject* Mesh(const TPtr<CPGameObject>& object) {
        return object ? object->GetAttachment().Get<CPRenderObject>() : nullptr;
    }

private:
    std::unique_ptr<CPAnimationCache> m_animations;
    std::unique_ptr<CPObjectLoader> m_loader;
};

}  // namespace loadertest
