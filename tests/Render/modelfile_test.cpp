// Model files: what is written reads back the same, and every damaged file is refused without
// reading outside its data or allocating for counts it cannot hold.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

#include "model_fixture.h"

namespace {

using namespace modeltest;

SPMeshFile PhysicsFile() {
    SPMeshNode body = Node("Body", {Node("fr"), Node("lf", {Node("hub")})});
    body.transform.position = {1.0f, 2.0f, 3.0f};
    body.transform.rotation = {0.0f, 0.0f, 0.7071f, 0.7071f};
    body.body = Box(2.0f, 1.0f, 4.0f, {0.0f, 0.0f, 0.0f});
    body.shapes = {Box(2.0f, 4.0f, 6.0f, {0.0f, 0.0f, 1.0f})};
    return MeshFile(true, {body});
}

SPMeshFile PlainFile() {
    SPMeshNode node = Node("a", {Node("b")});
    node.boxes = {SPBoxRecord{{0.0f, 0.0f, 1.0f, 9.0f}, {1.0f, 2.0f, 3.0f, 9.0f}}};
    return MeshFile(false, {node, Node("c")});
}

TEST(ModelFile, WhatIsWrittenReadsBackTheSame) {
    for (SPMeshFile written : {PlainFile(), PhysicsFile()}) {
        written.hasMatrixTable = true;
        written.matrices = {SPMatrixEntry{"body", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}};
        const std::vector<uint8_t> bytes = WriteMeshFile(written);
        SPMeshFile read;
        std::string error;
        ASSERT_TRUE(ReadMeshFile(bytes.data(), bytes.size(), written.physics, read, error)) << error;
        EXPECT_EQ(WriteMeshFile(read), bytes);
        ASSERT_EQ(read.nodes.size(), written.nodes.size());
        EXPECT_EQ(read.nodes[0].name, written.nodes[0].name);
        EXPECT_EQ(read.nodes[0].children.size(), written.nodes[0].children.size());
        EXPECT_EQ(read.matrices.at(0).values[11], 12.0f);
    }
    const std::vector<uint8_t> animated = WriteAnimatedFile(AnimatedFile(AnimatedNode("root", {AnimatedNode("leg")})));
    SPAnimatedFile read;
    std::string error;
    ASSERT_TRUE(ReadAnimatedFile(animated.data(), animated.size(), read, error)) << error;
    EXPECT_EQ(WriteAnimatedFile(read), animated);
}

TEST(ModelFile, EveryTruncatedPrefixIsRefused) {
    const std::vector<uint8_t> plain = WriteMeshFile(PlainFile());
    const std::vector<uint8_t> physics = WriteMeshFile(PhysicsFile());
    const std::vector<uint8_t> animated = WriteAnimatedFile(AnimatedFile(AnimatedNode("root", {AnimatedNode("leg")})));
    for (size_t length = 0; length < plain.size(); ++length) {
        // Each prefix in a buffer of its own size, so a read past it is a sanitizer report.
        std::vector<uint8_t> prefix(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(length));
        SPMeshFile file;
        std::string error;
        EXPECT_FALSE(ReadMeshFile(prefix.data(), prefix.size(), false, file, error)) << length;
    }
    for (size_t length = 0; length < physics.size(); ++length) {
        std::vector<uint8_t> prefix(physics.begin(), physics.begin() + static_cast<std::ptrdiff_t>(length));
        SPMeshFile file;
        std::string error;
        EXPECT_FALSE(ReadMeshFile(prefix.data(), prefix.size(), true, file, error)) << length;
    }
    for (size_t length = 0; length < animated.size(); ++length) {
        std::vector<uint8_t> prefix(animated.begin(), animated.begin() + static_cast<std::ptrdiff_t>(length));
        SPAnimatedFile file;
        std::string error;
        EXPECT_FALSE(ReadAnimatedFile(prefix.data(), prefix.size(), file, error)) << length;
    }
}

// Byte offsets in a plain file of one node named "a": reserved, nodeCount, tag, name, then the
// vertex count.
constexpr size_t kNodeCount = 4;
constexpr size_t kName = 12;
constexpr size_t kVertexCount = kName + kNameSize;
constexpr size_t kVertices = kVertexCount + 4;
constexpr size_t kIndexCount = kVertices + 4 * kVertexSize;
constexpr size_t kIndices = kIndexCount + 4;

void PutInt(std::vector<uint8_t>& bytes, size_t at, int32_t value) { std::memcpy(&bytes[at], &value, 4); }

TEST(ModelFile, DamagedFilesAreRefused) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"a node count beyond the data", [](auto& b) { PutInt(b, kNodeCount, 0x7FFFFFFF); }},
        {"a negative node count", [](auto& b) { PutInt(b, kNodeCount, -1); }},
        {"a vertex count beyond the data", [](auto& b) { PutInt(b, kVertexCount, 1000000); }},
        {"an index count beyond the data", [](auto& b) { PutInt(b, kIndexCount, 0x40000000); }},
        {"an index count that is no multiple of 3", [](auto& b) { PutInt(b, kIndexCount, 5); }},
        {"an index past the vertices", [](auto& b) { b[kIndices + 4] = 4; }},
        {"a name without its terminating zero", [](auto& b) { std::memset(&b[kName], 'x', kNameSize); }},
        {"bytes left over", [](auto& b) { b.push_back(0); }},
        {"a matrix table that ends early", [](auto& b) { b.insert(b.end(), {1, 0, 0, 0}); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = WriteMeshFile(MeshFile(false, {Node("a")}));
        c.damage(bytes);
        SPMeshFile file;
        std::string error;
        EXPECT_FALSE(ReadMeshFile(bytes.data(), bytes.size(), false, file, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(ModelFile, AnAnimationWhoseFrameTimeIsNotFiniteIsRefused) {
    for (const float ticks : {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()}) {
        SPAnimatedFile written = AnimatedFile(AnimatedNode("root", {AnimatedNode("leg")}));
        written.root.children[0].animation.frameTimeTicks = ticks;
        const std::vector<uint8_t> bytes = WriteAnimatedFile(written);
        SPAnimatedFile read;
        std::string error;
        EXPECT_FALSE(ReadAnimatedFile(bytes.data(), bytes.size(), read, error)) << ticks;
        EXPECT_NE(error.find("frame time"), std::string::npos) << error;
    }
}

TEST(ModelFile, MeshesOverTheVertexLimitAndTooDeepTreesAreRefused) {
    SPMeshNode big = Node("big");
    big.vertices.resize(kMaxMeshVertices + 1);
    std::vector<uint8_t> bytes = WriteMeshFile(MeshFile(false, {big}));
    SPMeshFile file;
    std::string error;
    EXPECT_FALSE(ReadMeshFile(bytes.data(), bytes.size(), false, file, error));
    EXPECT_NE(error.find("65,535"), std::string::npos) << error;

    big.vertices.resize(kMaxMeshVertices);
    bytes = WriteMeshFile(MeshFile(false, {big}));
    EXPECT_TRUE(ReadMeshFile(bytes.data(), bytes.size(), false, file, error)) << error;

    for (const int32_t depth : {kMaxDepth, kMaxDepth + 1}) {
        SPMeshNode chain = Node("leaf");
        for (int32_t level = 1; level < depth; ++level) chain = Node("n", {chain});
        bytes = WriteMeshFile(MeshFile(false, {chain}));
        EXPECT_EQ(ReadMeshFile(bytes.data(), bytes.size(), false, file, error), depth <= kMaxDepth) << depth;
    }
}

TEST(ModelFile, ThePhysicsFormatGoesByTheLastThreeLetters) {
    EXPECT_TRUE(IsPhysicsName("car.p3d"));
    EXPECT_TRUE(IsPhysicsName("CAR.P3D"));
    EXPECT_TRUE(IsPhysicsName("p3d"));
    EXPECT_FALSE(IsPhysicsName("p3"));
    EXPECT_FALSE(IsPhysicsName("car.msh"));
    EXPECT_FALSE(IsPhysicsName(""));
}

}  // namespace
