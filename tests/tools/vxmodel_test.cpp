// The model tool: OBJ models become mesh files whose dump shows the OBJ's nodes and counts.
#include <gtest/gtest.h>

#include "ObjConverter.h"
#include "SideFile.h"

namespace {

// A cube (8 corners, 6 quads) and a triangle with normals and texture coordinates.
constexpr char kObj[] = R"(# two objects
o Box
v -1 -1 -1
v 1 -1 -1
v 1 1 -1
v -1 1 -1
v -1 -1 1
v 1 -1 1
v 1 1 1
v -1 1 1
f 1 4 3 2
f 5 6 7 8
f 1 2 6 5
f 2 3 7 6
f 3 4 8 7
f 4 1 5 8
g wheel
v 0 0 3
v 1 0 3
v 0 1 3
vn 0 0 1
vt 0 0
vt 1 0
vt 0 1
f 9/1/1 10/2/1 11/3/1
)";

constexpr char kSide[] = R"(# the wheel hangs below the box
node Box mass=1200 body=2,1,4
node wheel parent=Box pivot=0.5,3,0.3 mass=20
box Box size=2,1,4 at=0,0,-1 turn=90 mass=1200
cylinder wheel height=0.3 diameter=0.7 at=0,0,0 mass=20
)";

modelfile::SPMeshFile Convert(bool physics, const vxmodel::SideFile& side) {
    modelfile::SPMeshFile file;
    std::string error;
    EXPECT_TRUE(vxmodel::ConvertObj(kObj, side, physics, file, error)) << error;
    return file;
}

// The dump of what the game reads back from the written bytes.
std::string RoundTrip(const modelfile::SPMeshFile& file) {
    const std::vector<uint8_t> bytes = modelfile::WriteMeshFile(file);
    modelfile::SPMeshFile read;
    std::string error;
    EXPECT_TRUE(modelfile::ReadMeshFile(bytes.data(), bytes.size(), file.physics, read, error)) << error;
    return vxmodel::DumpMeshFile(read);
}

TEST(ModelTool, ObjToPlainMeshFileKeepsNodesAndCounts) {
    EXPECT_EQ(RoundTrip(Convert(false, {})),
              "plain format, 2 top-level nodes\n"
              "Box: 8 vertices, 12 triangles\n"
              "wheel: 3 vertices, 1 triangles\n");
}

TEST(ModelTool, TheSideFileNestsPlacesAndShapesThePhysicsFormat) {
    vxmodel::SideFile side;
    std::string error;
    ASSERT_TRUE(vxmodel::ParseSideFile(kSide, side, error)) << error;
    const modelfile::SPMeshFile file = Convert(true, side);
    EXPECT_EQ(RoundTrip(file),
              "physics format, 1 top-level node\n"
              "Box: 8 vertices, 12 triangles, position 0,0,0, mass 1200, body 2,1,4\n"
              "  - box size 2,1,4 diameter 0 at 0,0,-1 mass 1200\n"
              "  wheel: 3 vertices, 1 triangles, position 0.5,3,0.3, mass 20, body 1,1,0\n"
              "    - cylinder size 0,0.3,0 diameter 0.7 at 0,0,0 mass 20\n");
    // OBJ y up: the wheel's triangle at OBJ z = 3 lies at game y = 3, relative to its pivot.
    const modelfile::SPMeshNode& wheel = file.nodes[0].children[0];
    EXPECT_EQ(wheel.vertices[0].position, (PVector3{-0.5f, 0.0f, -0.3f}));
    EXPECT_EQ(wheel.vertices[0].normal, (PVector3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(wheel.vertices[2].tex0.y, 0.0f) << "v flipped";
    EXPECT_EQ(wheel.indices, (std::vector<uint16_t>{0, 2, 1})) << "wound clockwise";
    EXPECT_NEAR(file.nodes[0].shapes[0].rotation.z, -0.70710678f, 1e-6f) << "stored as the conjugate";
}

TEST(ModelTool, MissingNormalsPointOutOfTheFaces) {
    const modelfile::SPMeshFile file = Convert(false, {});
    // Corner 1 of the OBJ (-1, -1, -1) stays (-1, -1, -1) in the game: its normal points out of
    // the cube along all three axes.
    const SPVertex& corner = file.nodes[0].vertices[0];
    EXPECT_EQ(corner.position, (PVector3{-1.0f, -1.0f, -1.0f}));
    EXPECT_LT(corner.normal.x, 0.0f);
    EXPECT_LT(corner.normal.y, 0.0f);
    EXPECT_LT(corner.normal.z, 0.0f);
}

TEST(ModelTool, BadInputIsRefusedWithAReason) {
    struct Case {
        const char* obj;
        const char* side;
        const char* reason;
    };
    const Case cases[] = {
        {"v 0 0 0\nf 1 2 3\n", "", "does not exist"},
        {"o a\nv 0 0 0\nf 1 1 1\n", "node a parent=ghost\n", "is no node"},
        {"o a\nv 0 0 0\nf 1 1 1\n", "node a parent=b\nnode b parent=a\n", "circle"},
    };
    for (const Case& c : cases) {
        vxmodel::SideFile side;
        std::string error;
        ASSERT_TRUE(vxmodel::ParseSideFile(c.side, side, error)) << error;
        modelfile::SPMeshFile file;
        EXPECT_FALSE(vxmodel::ConvertObj(c.obj, side, true, file, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    vxmodel::SideFile side;
    std::string error;
    EXPECT_FALSE(vxmodel::ParseSideFile("node a\nbox a size=1,2\n", side, error));
    EXPECT_EQ(error, "line 2: the value of size is no number or x,y,z");
    EXPECT_FALSE(vxmodel::ParseSideFile("sphere a\n", side, error));
}

}  // namespace
