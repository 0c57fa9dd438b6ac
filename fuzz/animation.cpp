// Animation files: the bytes as a part-animation file of Data\Animations read by the object
// loader, each part then played over frames from a paused one to a very long stall; and the same
// bytes as a vertex-animation file, its animation taken in (twice, as a cached one is) and asked
// for the frame at times from before its start to far past its end.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Render/ModelFile.h"
#include "Render/PAnimation.h"
#include "Render/PAnimationCache.h"
#include "Render/PGameObject.h"
#include "Render/PObjectLoader.h"
#include "Render/PPartAnimation.h"
#include "core/PGlobalTimer.h"
#include "core/PMMObject.h"
#include "support/FuzzFolder.h"

namespace {

constexpr float kFrameDeltas[] = {0.0f, 0.016f, 0.1f, 2.5f, 3600.0f, 1e30f};
constexpr double kTimes[] = {-1.0, 0.0, 0.5, 7.25, 1e9, 1e300};

void PlayParts(const uint8_t* data, size_t size) {
    fuzz::WriteFile("Data/Animations/fuzz.pan", data, size);
    CPObjectLoader loader;
    CPObjectLoader::PartAnimations parts;
    loader.LoadPartAnimations("fuzz.pan", parts);
    for (auto& [name, animation] : parts) {
        TPtr<CPGameObject> target(new CPGameObject(name));
        animation->SetTarget(target.Get());
        animation->SetLoop(name.size() % 2 == 0);
        animation->Start();
        for (const float delta : kFrameDeltas) {
            g_frameDelta = delta;
            animation->Update();
        }
        animation->SetTarget(nullptr);
    }
}

void PlayFrames(const uint8_t* data, size_t size) {
    modelfile::SPAnimatedFile file;
    std::string error;
    if (!modelfile::ReadAnimatedFile(data, size, file, error)) return;
    CPAnimationCache cache;
    for (int pass = 0; pass < 2; ++pass) {
        const TPtr<CPAnimation> animation = cache.GetAnimation("fuzz", file.root.animation, 1.0f);
        for (const double t : kTimes) animation->FrameIndexAt(t);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnterTemporaryFolder();
    PlayParts(data, size);
    PlayFrames(data, size);
    CollectGarbage();
    g_frameDelta = 0.0f;
    return 0;
}
