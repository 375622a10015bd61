// Vector and matrix functions: the thresholds of normalise and project, the
// row-vector conventions, aliasing of out with the inputs, and null handling.
#include "gfx/math/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace gfx;

namespace {

constexpr float kPi = 3.14159265f;

D3DXMATRIX filled(float start) {
    D3DXMATRIX m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = start + static_cast<float>(r * 4 + c);
    return m;
}

void expectMatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "row " << r << " col " << c;
}

D3DXVECTOR3 transformPoint(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR4 h;
    D3DXVec3Transform(&h, &v, &m);
    return {h.x / h.w, h.y / h.w, h.z / h.w};
}

} // namespace

TEST(Normalize, ScalesToUnitLengthAndHandlesAliasing) {
    D3DXVECTOR3 v{3.0f, 0.0f, 4.0f};
    ASSERT_EQ(D3DXVec3Normalize(&v, &v), &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);
}

TEST(Normalize, CopiesNearUnitVectorsUnchanged) {
    // |v|^2 = 1 + 2^-23 exactly: within the threshold, so copied bit for bit.
    const float x = std::sqrt(1.0f + 1.1920929e-7f);
    const D3DXVECTOR3 v{x, 0.0f, 0.0f};
    ASSERT_NEAR(x * x, 1.0f, 1.2e-7f);
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    EXPECT_EQ(std::memcmp(&out, &v, sizeof v), 0);

    // Clearly longer than unit: divided.
    const D3DXVECTOR3 longer{1.001f, 0.0f, 0.0f};
    D3DXVec3Normalize(&out, &longer);
    EXPECT_EQ(out.x, 1.0f);
}

TEST(Normalize, TinyZeroAndNullGiveZeroOrNull) {
    D3DXVECTOR3 out{9, 9, 9};
    const D3DXVECTOR3 tiny{1e-20f, 0.0f, 0.0f}; // |v|^2 underflows below FLT_MIN
    D3DXVec3Normalize(&out, &tiny);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    EXPECT_EQ(out.z, 0.0f);

    // Just above the smallest normal float: still divided.
    const D3DXVECTOR3 small{2e-19f, 0.0f, 0.0f};
    D3DXVec3Normalize(&out, &small);
    EXPECT_FLOAT_EQ(out.x, 1.0f);

    const D3DXVECTOR3 zero{};
    D3DXVec3Normalize(&out, &zero);
    EXPECT_EQ(out.x, 0.0f);

    EXPECT_EQ(D3DXVec3Normalize(nullptr, &zero), nullptr);
    EXPECT_EQ(D3DXVec3Normalize(&out, nullptr), nullptr);
}

TEST(Transform, KeepsAllFourComponentsWithoutDividing) {
    D3DXMATRIX m = filled(1.0f);
    const D3DXVECTOR3 v{1.0f, 2.0f, 3.0f};
    D3DXVECTOR4 out;
    ASSERT_EQ(D3DXVec3Transform(&out, &v, &m), &out);
    // (1, 2, 3, 1) times rows (1..4), (5..8), (9..12), (13..16).
    EXPECT_FLOAT_EQ(out.x, 1 + 10 + 27 + 13);
    EXPECT_FLOAT_EQ(out.y, 2 + 12 + 30 + 14);
    EXPECT_FLOAT_EQ(out.z, 3 + 14 + 33 + 15);
    EXPECT_FLOAT_EQ(out.w, 4 + 16 + 36 + 16);
    EXPECT_EQ(D3DXVec3Transform(&out, &v, nullptr), nullptr);
}

TEST(Project, MapsClipSpaceIntoTheViewport) {
    const D3DVIEWPORT8 viewport{10, 20, 640, 480, 0.25f, 0.75f};
    D3DXVECTOR3 out;
    const D3DXVECTOR3 centre{0.0f, 0.0f, 0.0f};
    ASSERT_EQ(D3DXVec3Project(&out, &centre, &viewport, nullptr, nullptr, nullptr), &out);
    EXPECT_FLOAT_EQ(out.x, 10 + 320);
    EXPECT_FLOAT_EQ(out.y, 20 + 240);
    EXPECT_FLOAT_EQ(out.z, 0.25f);

    const D3DXVECTOR3 corner{1.0f, 1.0f, 1.0f}; // right, top, far
    D3DXVec3Project(&out, &corner, &viewport, nullptr, nullptr, nullptr);
    EXPECT_FLOAT_EQ(out.x, 650);
    EXPECT_FLOAT_EQ(out.y, 20); // y grows downward on screen
    EXPECT_FLOAT_EQ(out.z, 0.75f);

    EXPECT_EQ(D3DXVec3Project(&out, &corner, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST(Project, ComposesWorldViewProjectionAndDividesByW) {
    const D3DVIEWPORT8 viewport{0, 0, 100, 100, 0.0f, 1.0f};
    D3DXMATRIX world, view, projection;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 5.0f);
    D3DXMatrixScaling(&view, 2.0f, 2.0f, 1.0f);
    D3DXMatrixPerspectiveFovLH(&projection, kPi / 2, 1.0f, 1.0f, 100.0f);
    const D3DXVECTOR3 v{1.0f, 0.0f, 0.0f};
    D3DXVECTOR3 out;
    D3DXVec3Project(&out, &v, &viewport, &projection, &view, &world);
    // world then view: (2, 0, 5); projected x = 2 / 5 after the division.
    EXPECT_NEAR(out.x, 50.0f * (1.0f + 0.4f), 1e-4f);
    EXPECT_NEAR(out.y, 50.0f, 1e-4f);

    // The order matters: view applied before world would put x at 3 / 5.
    D3DXVec3Project(&out, &v, &viewport, &projection, nullptr, &world);
    EXPECT_NEAR(out.x, 50.0f * (1.0f + 0.2f), 1e-4f);
}

TEST(Project, LeavesWNearOneUndivided) {
    const D3DVIEWPORT8 viewport{0, 0, 2, 2, 0.0f, 1.0f};
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m.m[3][3] = 1.0f + 1.1920929e-7f; // within 2^-23 of 1: no division
    const D3DXVECTOR3 v{0.5f, 0.0f, 0.0f};
    D3DXVECTOR3 out;
    D3DXVec3Project(&out, &v, &viewport, &m, nullptr, nullptr);
    EXPECT_EQ(out.x, 1.5f);

    m.m[3][3] = 2.0f; // divided: x = 0.25
    D3DXVec3Project(&out, &v, &viewport, &m, nullptr, nullptr);
    EXPECT_FLOAT_EQ(out.x, 1.25f);
}

TEST(Multiply, AppliesLeftFactorFirstAndAllowsAliasing) {
    D3DXMATRIX translation, scaling, product;
    D3DXMatrixTranslation(&translation, 1.0f, 0.0f, 0.0f);
    D3DXMatrixScaling(&scaling, 2.0f, 2.0f, 2.0f);
    D3DXMatrixMultiply(&product, &translation, &scaling);
    const D3DXVECTOR3 p = transformPoint({1.0f, 0.0f, 0.0f}, product);
    EXPECT_FLOAT_EQ(p.x, 4.0f); // (1 + 1) * 2

    const D3DXMATRIX a = filled(1.0f), b = filled(-3.0f);
    D3DXMATRIX expected;
    D3DXMatrixMultiply(&expected, &a, &b);
    D3DXMATRIX left = a, right = b;
    ASSERT_EQ(D3DXMatrixMultiply(&left, &left, &b), &left);
    ASSERT_EQ(D3DXMatrixMultiply(&right, &a, &right), &right);
    D3DXMATRIX both = a, square;
    D3DXMatrixMultiply(&square, &a, &a);
    D3DXMatrixMultiply(&both, &both, &both);
    EXPECT_EQ(std::memcmp(&left, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&right, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&both, &square, sizeof square), 0);
    EXPECT_EQ(D3DXMatrixMultiply(&left, nullptr, &b), nullptr);
}

TEST(Inverse, InvertsAndReportsTheDeterminant) {
    D3DXMATRIX scaling, rotation, translation, m;
    D3DXMatrixScaling(&scaling, 2.0f, 3.0f, 4.0f);
    D3DXMatrixRotationY(&rotation, 0.7f);
    D3DXMatrixTranslation(&translation, 5.0f, -6.0f, 7.0f);
    D3DXMatrixMultiply(&m, &scaling, &rotation);
    D3DXMatrixMultiply(&m, &m, &translation);

    D3DXMATRIX inverse, product, identity;
    float determinant = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &m), &inverse);
    EXPECT_NEAR(determinant, 24.0f, 1e-4f);
    D3DXMatrixMultiply(&product, &m, &inverse);
    expectMatrixNear(product, *D3DXMatrixIdentity(&identity), 1e-5f);

    // In place, without the determinant.
    D3DXMATRIX same = m;
    ASSERT_EQ(D3DXMatrixInverse(&same, nullptr, &same), &same);
    expectMatrixNear(same, inverse, 1e-6f);
}

TEST(Inverse, SingularMatrixGivesNullAndLeavesOutAlone) {
    D3DXMATRIX singular;
    D3DXMatrixScaling(&singular, 1.0f, 0.0f, 1.0f);
    D3DXMATRIX out = filled(7.0f);
    const D3DXMATRIX before = out;
    float determinant = 99.0f;
    EXPECT_EQ(D3DXMatrixInverse(&out, &determinant, &singular), nullptr);
    EXPECT_EQ(determinant, 0.0f);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);

    // A determinant whose reciprocal overflows is as singular as zero.
    D3DXMATRIX tiny;
    D3DXMatrixScaling(&tiny, 1e-13f, 1e-13f, 1e-13f);
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &tiny), nullptr);
}

TEST(Rotation, YAndAxisFollowTheLeftHandedConvention) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationY(&rotation, kPi / 2);
    const D3DXVECTOR3 x = transformPoint({1.0f, 0.0f, 0.0f}, rotation);
    EXPECT_NEAR(x.x, 0.0f, 1e-6f);
    EXPECT_NEAR(x.z, -1.0f, 1e-6f); // rows (cos, 0, -sin), (0, 1, 0), (sin, 0, cos)

    // An axis of any length is normalised first: (0, 2, 0) is RotationY.
    D3DXMATRIX axisRotation;
    const D3DXVECTOR3 up{0.0f, 2.0f, 0.0f};
    ASSERT_EQ(D3DXMatrixRotationAxis(&axisRotation, &up, 0.4f), &axisRotation);
    D3DXMatrixRotationY(&rotation, 0.4f);
    expectMatrixNear(axisRotation, rotation, 1e-6f);

    // The tilt of the planets' orbit plane: 23.45 degrees about -x carries
    // the y axis to (0, 0.9174, -0.3979).
    const D3DXVECTOR3 minusX{-1.0f, 0.0f, 0.0f};
    D3DXMatrixRotationAxis(&axisRotation, &minusX, 23.45f * kPi / 180.0f);
    const D3DXVECTOR3 y = transformPoint({0.0f, 1.0f, 0.0f}, axisRotation);
    EXPECT_NEAR(y.x, 0.0f, 1e-6f);
    EXPECT_NEAR(y.y, 0.9174f, 1e-4f);
    EXPECT_NEAR(y.z, -0.3979f, 1e-4f);
    EXPECT_EQ(D3DXMatrixRotationAxis(&axisRotation, nullptr, 1.0f), nullptr);
}

TEST(View, LookAtPutsTheTargetOnThePositiveZAxis) {
    const D3DXVECTOR3 eye{3.0f, 4.0f, -5.0f}, at{3.0f, 4.0f, 5.0f}, up{0.0f, 1.0f, 0.0f};
    D3DXMATRIX view;
    ASSERT_EQ(D3DXMatrixLookAtLH(&view, &eye, &at, &up), &view);
    const D3DXVECTOR3 target = transformPoint(at, view);
    EXPECT_NEAR(target.x, 0.0f, 1e-5f);
    EXPECT_NEAR(target.y, 0.0f, 1e-5f);
    EXPECT_NEAR(target.z, 10.0f, 1e-5f);
    const D3DXVECTOR3 right = transformPoint({4.0f, 4.0f, -5.0f}, view);
    EXPECT_NEAR(right.x, 1.0f, 1e-5f); // +x stays to the right in a left-handed view

    // Looking along +x with up +y: world +z is on the left.
    const D3DXVECTOR3 origin{}, alongX{1.0f, 0.0f, 0.0f};
    D3DXMatrixLookAtLH(&view, &origin, &alongX, &up);
    const D3DXVECTOR3 zSide = transformPoint({0.0f, 0.0f, 1.0f}, view);
    EXPECT_NEAR(zSide.x, -1.0f, 1e-6f);
    EXPECT_EQ(D3DXMatrixLookAtLH(&view, &origin, nullptr, &up), nullptr);
}

TEST(Projection, MapsNearAndFarPlanesToZeroAndOne) {
    D3DXMATRIX projection;
    ASSERT_EQ(D3DXMatrixPerspectiveFovLH(&projection, kPi / 2, 2.0f, 1.0f, 101.0f), &projection);
    EXPECT_NEAR(projection.m[1][1], 1.0f, 1e-6f);
    EXPECT_NEAR(projection.m[0][0], 0.5f, 1e-6f);
    EXPECT_EQ(projection.m[2][3], 1.0f);
    EXPECT_EQ(projection.m[3][3], 0.0f);
    EXPECT_NEAR(transformPoint({0.0f, 0.0f, 1.0f}, projection).z, 0.0f, 1e-6f);
    EXPECT_NEAR(transformPoint({0.0f, 0.0f, 101.0f}, projection).z, 1.0f, 1e-6f);
    // The top edge of the field of view at depth 10 reaches y = 1.
    EXPECT_NEAR(transformPoint({0.0f, 10.0f, 10.0f}, projection).y, 1.0f, 1e-5f);
}

TEST(Builders, ScalingTranslationAndNullOut) {
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1.0f, 2.0f, 3.0f);
    const D3DXVECTOR3 moved = transformPoint({1.0f, 1.0f, 1.0f}, m);
    EXPECT_EQ(moved.x, 2.0f);
    EXPECT_EQ(moved.y, 3.0f);
    EXPECT_EQ(moved.z, 4.0f);
    D3DXMatrixScaling(&m, 2.0f, 3.0f, 4.0f);
    EXPECT_EQ(m.m[3][3], 1.0f);
    EXPECT_EQ(m.m[2][2], 4.0f);
    EXPECT_EQ(m.m[3][0], 0.0f);
    EXPECT_EQ(D3DXMatrixScaling(nullptr, 1, 1, 1), nullptr);
    EXPECT_EQ(D3DXMatrixTranslation(nullptr, 1, 1, 1), nullptr);
    EXPECT_EQ(D3DXMatrixRotationY(nullptr, 1), nullptr);
    EXPECT_EQ(D3DXMatrixPerspectiveFovLH(nullptr, 1, 1, 1, 2), nullptr);
    EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixIdentity(&m)));
}
