// The model tool's animation files: the frames of an OBJ become one animated node the game reads
// back, and key text becomes a part-animation file with the keys in the game's layout.
#include <gtest/gtest.h>

#include <cstring>

#include "AnimationSources.h"
#include "ObjConverter.h"
#include "SideFile.h"

namespace {

constexpr char kFrames[] = R"(o first
v 0 0 0
v 1 0 0
v 0 1 0
f 1 2 3
o second
v 0 0 0
v 2 0 0
v 0 1 0
f 4 5 6
)";

TEST(ModelToolAnimation, EveryObjectIsAFrameOfOneNode) {
    modelfile::SPMeshFile frames;
    std::string error;
    ASSERT_TRUE(vxmodel::ConvertObj(kFrames, {}, false, frames, error)) << error;
    modelfile::SPAnimatedFile file;
    ASSERT_TRUE(vxmodel::BuildAnimatedFile(frames, "walker", 600.0f, file, error)) << error;
    const std::vector<uint8_t> bytes = modelfile::WriteAnimatedFile(file);
    modelfile::SPAnimatedFile read;
    ASSERT_TRUE(modelfile::ReadAnimatedFile(bytes.data(), bytes.size(), read, error)) << error;
    EXPECT_EQ(read.root.name, "walker");
    EXPECT_EQ(read.root.animation.frameTimeTicks, 600.0f);
    ASSERT_EQ(read.root.animation.frames.size(), 2u);
    EXPECT_EQ(read.root.animation.frames[1].indices.size(), 3u);
    EXPECT_FALSE(vxmodel::BuildAnimatedFile(frames, "walker", 0.0f, file, error)) << "no frame time";
}

TEST(ModelToolAnimation, KeysBecomeTurnsAndMovesInFileLayout) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(vxmodel::BuildPartAnimationFile("part blade\nkey 0.5 0\nkey 0.5 90 1 2 3\nkey 1 180\n", bytes, error))
        << error;
    // count, name length, name, key count, three keys of 13 floats
    ASSERT_EQ(bytes.size(), 4u + 4u + 5u + 4u + 3u * 13u * 4u);
    float second[13];
    std::memcpy(second, bytes.data() + 17 + 52, sizeof(second));
    EXPECT_EQ(second[0], 0.5f) << "duration";
    EXPECT_NEAR(second[1], 0.0f, 1e-6f) << "_11 of a quarter turn";
    EXPECT_NEAR(second[2], -1.0f, 1e-6f) << "_21";
    EXPECT_EQ(second[4], 1.0f) << "_41: the move in x";
    for (const char* bad : {"part blade\nkey 1 0\nkey 1 90\n", "key 1 0\n", "part\n", "part a\nkey x\n", ""}) {
        EXPECT_FALSE(vxmodel::BuildPartAnimationFile(bad, bytes, error)) << bad;
    }
}

}  // namespace
