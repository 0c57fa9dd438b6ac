#include "math/PMath.h"

#include <gtest/gtest.h>

#include "MathExpect.h"

namespace {

const PVector3 kX{1.0f, 0.0f, 0.0f};
const PVector3 kY{0.0f, 1.0f, 0.0f};
const PVector3 kZ{0.0f, 0.0f, 1.0f};

struct RotationCase {
    const char* name;
    PMatrix rotation;
    PVector3 in;
    PVector3 out;
};

}  // namespace

TEST(Matrix, QuarterTurnsMoveAxesAsRowVectors)
{
    const float q = Degrees(90.0f);
    const RotationCase cases[] = {
        {"Z: x to y", MatrixRotationZ(q), kX, kY},
        {"Z: y to -x", MatrixRotationZ(q), kY, -kX},
        {"X: y to z", MatrixRotationX(q), kY, kZ},
        {"X: z to -y", MatrixRotationX(q), kZ, -kY},
        {"Y: z to x", MatrixRotationY(q), kZ, kX},
        {"Y: x to -z", MatrixRotationY(q), kX, -kZ},
        {"Z -90: x to -y", MatrixRotationZ(-q), kX, -kY},
        {"axis z: x to y", MatrixRotationAxis(kZ, q), kX, kY},
        {"axis x: y to z", MatrixRotationAxis(kX, q), kY, kZ},
        {"axis y: z to x", MatrixRotationAxis(kY, q), kZ, kX},
        {"unnormalised axis", MatrixRotationAxis({0.0f, 0.0f, 5.0f}, q), kX, kY},
        {"axis (1,1,1) third turn", MatrixRotationAxis({1.0f, 1.0f, 1.0f}, Degrees(120.0f)), kX, kY},
    };
    for (const RotationCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Near(Vec3TransformNormal(c.in, c.rotation), c.out));
        EXPECT_TRUE(Near(Vec3TransformCoord(c.in, c.rotation), c.out));
    }
}

TEST(Matrix, RotationAxisAgreesWithTheSingleAxisRotations)
{
    for (float angle : {0.3f, -1.2f, 2.9f}) {
        EXPECT_TRUE(Near(MatrixRotationAxis(kX, angle), MatrixRotationX(angle)));
        EXPECT_TRUE(Near(MatrixRotationAxis(kY, angle), MatrixRotationY(angle)));
        EXPECT_TRUE(Near(MatrixRotationAxis(-kZ, angle), MatrixRotationZ(-angle)));
    }
}

TEST(Matrix, RotationAxisWithZeroAxisStillTurnsADirectionToItsOpposite)
{
    // Callers turn a unit vector u onto d with axis u × d and angle acos(u · d); for d = ±u the
    // axis vanishes and the result must still carry u to d.
    EXPECT_TRUE(Near(MatrixRotationAxis({0.0f, 0.0f, 0.0f}, 0.0f), MatrixIdentity()));
    const PMatrix half = MatrixRotationAxis({0.0f, 0.0f, 0.0f}, kPi);
    EXPECT_TRUE(Near(Vec3TransformNormal(kZ, half), -kZ));
    EXPECT_TRUE(Near(Vec3TransformNormal(kY, half), -kY));
}

TEST(Matrix, YawPitchRollAppliesRollThenPitchThenYaw)
{
    const float q = Degrees(90.0f);
    // Hand values: each would come out differently in any other order.
    EXPECT_TRUE(Near(Vec3TransformNormal(kY, MatrixRotationYawPitchRoll(q, q, 0.0f)), kX));
    EXPECT_TRUE(Near(Vec3TransformNormal(kX, MatrixRotationYawPitchRoll(0.0f, q, q)), kZ));
    EXPECT_TRUE(Near(Vec3TransformNormal(kY, MatrixRotationYawPitchRoll(q, 0.0f, q)), kZ));
    EXPECT_TRUE(Near(Vec3TransformNormal(kY, MatrixRotationYawPitchRoll(q, q, q)), kZ));

    const float angles[][3] = {{0.4f, -0.7f, 1.9f}, {3.0f, 0.2f, -2.5f}, {-1.1f, 1.4f, 0.05f}};
    for (const auto& a : angles) {
        const PMatrix composed = MatrixRotationZ(a[2]) * MatrixRotationX(a[1]) * MatrixRotationY(a[0]);
        EXPECT_TRUE(Near(MatrixRotationYawPitchRoll(a[0], a[1], a[2]), composed));
    }
}

TEST(Matrix, TranslationMovesPointsButNotDirections)
{
    const PMatrix t = MatrixTranslation(1.0f, -2.0f, 3.0f);
    EXPECT_EQ(t.m[3][0], 1.0f);
    EXPECT_EQ(t.m[3][1], -2.0f);
    EXPECT_EQ(t.m[3][2], 3.0f);
    EXPECT_EQ(Vec3TransformCoord({1.0f, 1.0f, 1.0f}, t), (PVector3{2.0f, -1.0f, 4.0f}));
    EXPECT_EQ(Vec3TransformNormal({1.0f, 1.0f, 1.0f}, t), (PVector3{1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(Vec3Transform({1.0f, 1.0f, 1.0f}, t), (PVector4{2.0f, -1.0f, 4.0f, 1.0f}));
    EXPECT_EQ(Vec4Transform({1.0f, 1.0f, 1.0f, 0.0f}, t), (PVector4{1.0f, 1.0f, 1.0f, 0.0f}));
    EXPECT_EQ(Vec3TransformCoord({1.0f, 2.0f, 3.0f}, MatrixScaling(2.0f, 3.0f, -1.0f)), (PVector3{2.0f, 6.0f, -3.0f}));
}

TEST(Matrix, ProductAppliesTheLeftTransformFirst)
{
    const PMatrix rotate = MatrixRotationZ(Degrees(90.0f));
    const PMatrix move = MatrixTranslation(1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(Near(Vec3TransformCoord(kX, rotate * move), {1.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord(kX, move * rotate), {0.0f, 2.0f, 0.0f}));
    EXPECT_EQ(MatrixMultiply(rotate, move), rotate * move);

    PMatrix m = rotate;
    m *= move;
    EXPECT_EQ(m, rotate * move);
    EXPECT_EQ(MatrixIdentity() * m, m);
}

TEST(Matrix, TransformCoordDividesByW)
{
    PMatrix m = MatrixScaling(2.0f, 2.0f, 2.0f);
    m.m[3][3] = 4.0f;
    EXPECT_EQ(Vec3TransformCoord({1.0f, 2.0f, 3.0f}, m), (PVector3{0.5f, 1.0f, 1.5f}));

    // A point sent to infinity gives zeros, never infinities or NaNs.
    PMatrix toInfinity = MatrixIdentity();
    toInfinity.m[3][3] = 0.0f;
    EXPECT_EQ(Vec3TransformCoord({1.0f, 2.0f, 3.0f}, toInfinity), (PVector3{0.0f, 0.0f, 0.0f}));
}

TEST(Matrix, TransposeSwapsRowsAndColumns)
{
    PMatrix m;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m.m[i][j] = static_cast<float>(i * 4 + j);
        }
    }
    const PMatrix t = MatrixTranspose(m);
    EXPECT_EQ(t.m[0][3], 12.0f);
    EXPECT_EQ(t.m[3][0], 3.0f);
    EXPECT_EQ(MatrixTranspose(t), m);
}

TEST(Matrix, InverseUndoesTheTransform)
{
    const PMatrix general{{{2.0f, 1.0f, 0.5f, 0.0f}, {-1.0f, 3.0f, 0.0f, 0.25f}, {0.0f, 1.0f, 4.0f, 1.0f}, {5.0f, -2.0f, 1.0f, 2.0f}}};
    const PMatrix matrices[] = {
        MatrixIdentity(),
        MatrixRotationYawPitchRoll(0.3f, -1.1f, 2.0f) * MatrixTranslation(10.0f, -4.0f, 7.5f),
        MatrixScaling(2.0f, 0.5f, -3.0f) * MatrixRotationAxis({1.0f, 2.0f, 3.0f}, 0.8f),
        MatrixLookAtLH({5.0f, 6.0f, -7.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}),
        MatrixPerspectiveFovLH(Degrees(60.0f), 4.0f / 3.0f, 1.0f, 100.0f),
        general,
    };
    for (const PMatrix& m : matrices) {
        SCOPED_TRACE(::testing::PrintToString(m));
        float det = 0.0f;
        const PMatrix inverse = MatrixInverse(m, &det);
        EXPECT_NEAR(det, MatrixDeterminant(m), 1e-6f * std::fabs(det));
        EXPECT_TRUE(Near(m * inverse, MatrixIdentity(), 1e-4f));
        EXPECT_TRUE(Near(inverse * m, MatrixIdentity(), 1e-4f));
    }
}

TEST(Matrix, DeterminantOfKnownMatrices)
{
    EXPECT_FLOAT_EQ(MatrixDeterminant(MatrixIdentity()), 1.0f);
    EXPECT_FLOAT_EQ(MatrixDeterminant(MatrixScaling(2.0f, 3.0f, 4.0f)), 24.0f);
    EXPECT_FLOAT_EQ(MatrixDeterminant(MatrixScaling(2.0f, 3.0f, 4.0f) * MatrixTranslation(9.0f, 8.0f, 7.0f)), 24.0f);
    EXPECT_NEAR(MatrixDeterminant(MatrixRotationYawPitchRoll(1.0f, 2.0f, 3.0f)), 1.0f, 1e-6f);
    // Swapping two rows changes the sign.
    PMatrix swapped = MatrixScaling(2.0f, 3.0f, 4.0f);
    std::swap(swapped.m[0], swapped.m[1]);
    EXPECT_FLOAT_EQ(MatrixDeterminant(swapped), -24.0f);
}

TEST(Matrix, SingularMatrixInvertsToIdentityAndReportsZeroDeterminant)
{
    PMatrix flat = MatrixScaling(1.0f, 1.0f, 0.0f);
    float det = 1.0f;
    EXPECT_EQ(MatrixInverse(flat, &det), MatrixIdentity());
    EXPECT_EQ(det, 0.0f);

    PMatrix zero{};
    EXPECT_EQ(MatrixInverse(zero), MatrixIdentity());

    // A determinant whose reciprocal overflows counts as singular too.
    const PMatrix tiny = MatrixScaling(1e-13f, 1e-13f, 1e-13f);
    EXPECT_EQ(MatrixInverse(tiny, &det), MatrixIdentity());
    EXPECT_GT(std::fabs(det), 0.0f);
}

TEST(Matrix, LookAtPutsTheEyeAtTheOriginLookingAlongZ)
{
    const PMatrix straight = MatrixLookAtLH({0.0f, 0.0f, -10.0f}, {0.0f, 0.0f, 0.0f}, kY);
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 0.0f}, straight), {0.0f, 0.0f, 10.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({1.0f, 2.0f, 0.0f}, straight), {1.0f, 2.0f, 10.0f}));

    // From +x looking at the origin, y up: in a left-handed frame world +z is to the right.
    const PMatrix side = MatrixLookAtLH({5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 3.0f, 0.0f});
    EXPECT_TRUE(Near(Vec3TransformCoord({5.0f, 0.0f, 0.0f}, side), {0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 0.0f}, side), {0.0f, 0.0f, 5.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord(kZ, side), {1.0f, 0.0f, 5.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord(kY, side), {0.0f, 1.0f, 5.0f}));

    // A z-up camera behind and above the origin: right = up × forward is world -x.
    const PMatrix zUp = MatrixLookAtLH({0.0f, -10.0f, 10.0f}, {0.0f, 0.0f, 0.0f}, kZ);
    const float h = std::sqrt(0.5f);
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 0.0f}, zUp), {0.0f, 0.0f, 20.0f * h}, 1e-4f));
    EXPECT_TRUE(Near(Vec3TransformCoord({5.0f, 0.0f, 0.0f}, zUp), {-5.0f, 0.0f, 20.0f * h}, 1e-4f));
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 5.0f}, zUp), {0.0f, 5.0f * h, 15.0f * h}, 1e-4f));
}

TEST(Matrix, PerspectiveMapsTheFrustumToClipSpace)
{
    const PMatrix proj = MatrixPerspectiveFovLH(Degrees(90.0f), 2.0f, 1.0f, 100.0f);
    struct {
        PVector3 view;
        PVector3 ndc;
    } const cases[] = {
        {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f}},          // centre of the near plane: depth 0
        {{0.0f, 0.0f, 100.0f}, {0.0f, 0.0f, 1.0f}},        // centre of the far plane: depth 1
        {{2.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 0.0f}},          // top right corner of the near plane
        {{-200.0f, -100.0f, 100.0f}, {-1.0f, -1.0f, 1.0f}}, // bottom left corner of the far plane
        {{0.0f, 0.0f, 10.0f}, {0.0f, 0.0f, 100.0f / 99.0f * 0.9f}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Near(Vec3TransformCoord(c.view, proj), c.ndc));
    }
    // w carries the view depth.
    EXPECT_FLOAT_EQ(Vec3Transform({3.0f, 4.0f, 7.0f}, proj).w, 7.0f);
}

TEST(Matrix, LookAtThenPerspectiveMapsWorldPointsToClipCoordinates)
{
    const PMatrix view = MatrixLookAtLH({0.0f, 0.0f, -10.0f}, {0.0f, 0.0f, 0.0f}, kY);
    const PMatrix proj = MatrixPerspectiveFovLH(Degrees(90.0f), 1.0f, 1.0f, 21.0f);
    const PMatrix viewProj = view * proj;
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, -9.0f}, viewProj), {0.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 11.0f}, viewProj), {0.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({10.0f, -10.0f, 0.0f}, viewProj), {1.0f, -1.0f, 21.0f / 20.0f * 0.9f}));

    // Unprojecting through the inverse recovers the world point.
    const PVector3 world{3.0f, -2.0f, 4.0f};
    const PVector3 clip = Vec3TransformCoord(world, viewProj);
    EXPECT_TRUE(Near(Vec3TransformCoord(clip, MatrixInverse(viewProj)), world, 1e-4f));
}

TEST(Matrix, OrthographicProjectionsMapTheBoxToClipSpace)
{
    const PMatrix ortho = MatrixOrthoLH(20.0f, 10.0f, 1.0f, 11.0f);
    EXPECT_TRUE(Near(Vec3TransformCoord({10.0f, 5.0f, 1.0f}, ortho), {1.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({-10.0f, -5.0f, 11.0f}, ortho), {-1.0f, -1.0f, 1.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 6.0f}, ortho), {0.0f, 0.0f, 0.5f}));

    // A screen-like box with y growing downwards.
    const PMatrix screen = MatrixOrthoOffCenterLH(0.0f, 640.0f, 480.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(Near(Vec3TransformCoord({0.0f, 0.0f, 0.0f}, screen), {-1.0f, 1.0f, 0.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({640.0f, 480.0f, 1.0f}, screen), {1.0f, -1.0f, 1.0f}));
    EXPECT_TRUE(Near(Vec3TransformCoord({320.0f, 240.0f, 0.5f}, screen), {0.0f, 0.0f, 0.5f}));

    const PMatrix offCentre = MatrixOrthoOffCenterLH(-10.0f, 10.0f, -5.0f, 5.0f, 1.0f, 11.0f);
    EXPECT_TRUE(Near(offCentre, ortho));
}

TEST(Matrix, ShadowFlattensPointsOntoThePlaneAlongTheLight)
{
    struct {
        const char* name;
        PVector4 light;
        PPlane plane;
        PVector3 point;
        PVector3 shadow;
    } const cases[] = {
        {"directional, ground z = 0", {1.0f, 0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 10.0f}, {10.0f, 0.0f, 0.0f}},
        {"directional, downward normal", {0.0f, 1.0f, -2.0f, 0.0f}, {0.0f, 0.0f, -1.0f, 0.0f}, {1.0f, 1.0f, 4.0f}, {1.0f, 3.0f, 0.0f}},
        {"directional, unnormalised tilted plane", {0.0f, 0.0f, -1.0f, 0.0f}, {2.0f, 2.0f, 2.0f, -6.0f}, {1.0f, 1.0f, 5.0f}, {1.0f, 1.0f, 1.0f}},
        {"point light", {0.0f, 0.0f, 10.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 5.0f}, {2.0f, 0.0f, 0.0f}},
        {"point light, raised ground", {4.0f, 4.0f, 9.0f, 1.0f}, {0.0f, 0.0f, 3.0f, -3.0f}, {4.0f, 6.0f, 5.0f}, {4.0f, 8.0f, 1.0f}},
        {"point on the plane stays", {1.0f, 2.0f, -3.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {7.0f, -2.0f, 0.0f}, {7.0f, -2.0f, 0.0f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PMatrix shadow = MatrixShadow(c.light, c.plane);
        const PVector3 flat = Vec3TransformCoord(c.point, shadow);
        EXPECT_TRUE(Near(flat, c.shadow, 1e-4f));
        EXPECT_NEAR(PlaneDotCoord(PlaneNormalize(c.plane), flat), 0.0f, 1e-4f);
    }
}

TEST(Matrix, ShadowNormalisesThePlaneAndKeepsWPositiveForALightShiningDown)
{
    // The game's ground plane (0, 0, -1, 0) with a light whose direction points down: the
    // homogeneous w of a shadow point must be positive or the projection clips it away.
    const PVector4 down{0.3f, -0.2f, -1.0f, 0.0f};
    const PMatrix shadow = MatrixShadow(down, {0.0f, 0.0f, -1.0f, 0.0f});
    EXPECT_GT(Vec3Transform({2.0f, 3.0f, 4.0f}, shadow).w, 0.0f);
    EXPECT_EQ(MatrixShadow(down, {0.0f, 0.0f, -4.0f, 0.0f}), shadow);
    EXPECT_FLOAT_EQ(shadow.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(shadow.m[2][0], 0.3f);
    EXPECT_FLOAT_EQ(shadow.m[2][2], 0.0f);
    EXPECT_FLOAT_EQ(shadow.m[3][3], 1.0f);
}
