// The fixed-function emulation on small off-screen scenes, pixel by pixel:
// texture stage operations, blending, alpha test, culling of a sphere built
// like the program's meshes, lighting, point sprites, fill mode, pixel
// centres of transformed geometry, mip filtering and back-buffer formats.
#include "GlTestDevice.h"

#include "gfx/math/Math.h"

#include <cmath>

using namespace gfx;
using namespace gfxtest;

namespace {

struct MeshVertex {
    float x, y, z, nx, ny, nz, tu, tv;
};

struct PointVertex { // XYZ | PSIZE | DIFFUSE (0x62)
    float x, y, z, size;
    uint32_t colour;
};

// A pre-transformed quad of one colour over most of the target, then the
// pixel in its middle.
struct StagesTest : GlDeviceTest {
    void SetUp() override {
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferFormat = D3DFMT_A8R8G8B8; // alpha can be read back
        width = height = 16;
        createDevice(parameters);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        texture = makeTexture(1, 1, {0x80FF8040});
    }
    void TearDown() override {
        texture->Release();
        GlDeviceTest::TearDown();
    }
    uint32_t drawn(uint32_t diffuse = 0xFF808080) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->BeginScene();
        drawQuad(0, 0, 16, 16, diffuse);
        device->EndScene();
        return pixel(pixels(), 8, 8);
    }
    void stage(uint32_t index, uint32_t colourOp, uint32_t arg1, uint32_t arg2, uint32_t alphaOp,
               uint32_t alphaArg1 = D3DTA_TEXTURE, uint32_t alphaArg2 = D3DTA_CURRENT) {
        device->SetTextureStageState(index, D3DTSS_COLOROP, colourOp);
        device->SetTextureStageState(index, D3DTSS_COLORARG1, arg1);
        device->SetTextureStageState(index, D3DTSS_COLORARG2, arg2);
        device->SetTextureStageState(index, D3DTSS_ALPHAOP, alphaOp);
        device->SetTextureStageState(index, D3DTSS_ALPHAARG1, alphaArg1);
        device->SetTextureStageState(index, D3DTSS_ALPHAARG2, alphaArg2);
    }
    Texture* texture = nullptr;
};

TEST_F(StagesTest, EachColourAndAlphaOperation) {
    // texture 0x80FF8040, diffuse 0xFF808080, factor 0x40FFFFFF
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x40FFFFFF);
    device->SetTexture(0, texture);
    EXPECT_PRED2(closeTo, drawn(), 0x80804020u); // defaults: MODULATE, alpha SELECTARG1 texture
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE);
    EXPECT_PRED2(closeTo, drawn(), 0xFFFF8040u); // ALPHAOP DISABLE: the diffuse alpha
    stage(0, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TFACTOR);
    EXPECT_PRED2(closeTo, drawn(), 0x40808080u);
    stage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTOP_SELECTARG2);
    EXPECT_PRED2(closeTo, drawn(0x20808080), 0x20FFFFFFu);
    stage(0, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80FFFFC0u);
    stage(0, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80FF8040u);
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80007FBFu);
    stage(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE,
          D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(), 0x80808080u);
    // Stage 0 DISABLE: the diffuse colour and alpha.
    stage(0, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_DISABLE);
    EXPECT_PRED2(closeTo, drawn(0x7F336699), 0x7F336699u);
}

TEST_F(StagesTest, BlendFactorAlphaOverTheStageBefore) {
    // The planet pass: stage 0 selects its input, stage 1 blends the second
    // texture over it by the factor's alpha (0x40 = 25 %).
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x40FFFFFF);
    stage(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    device->SetTexture(1, texture);
    stage(1, D3DTOP_BLENDFACTORALPHA, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_BLENDFACTORALPHA,
          D3DTA_TEXTURE, D3DTA_CURRENT);
    // rgb: 0.25 x (FF, 80, 40) + 0.75 x (80, 80, 80); alpha 0.25 x 80 + 0.75 x FF
    EXPECT_PRED2(closeTo, drawn(), 0xDFA08070u);
    // Stage 2 disabled ends the cascade whatever its arguments say.
    stage(2, D3DTOP_DISABLE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_DISABLE);
    EXPECT_PRED2(closeTo, drawn(), 0xDFA08070u);
}

TEST_F(StagesTest, ReadingAnUnboundTextureDisablesTheRestOfTheCascade) {
    // The line pass: MODULATE texture x diffuse with no texture is the diffuse.
    stage(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1);
    device->SetTexture(0, nullptr);
    EXPECT_PRED2(closeTo, drawn(0xC0336699), 0xC0336699u);
    // ... and a later stage with a texture does not run either.
    device->SetTexture(1, texture);
    stage(1, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1);
    EXPECT_PRED2(closeTo, drawn(0xC0336699), 0xC0336699u);
    // A stage that does not read its texture runs without one.
    stage(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_TEXTURE, D3DTOP_SELECTARG2, D3DTA_TEXTURE,
          D3DTA_DIFFUSE);
    EXPECT_PRED2(closeTo, drawn(0xC0336699), 0x80FF8040u); // stage 1 then selects its texture
}

TEST_F(StagesTest, AnAlphaArgumentOnAnUnboundTextureReadsCurrent) {
    // No texture: stage 0 adds the specular colour to the diffuse one, its
    // alpha (the default SELECTARG1 of TEXTURE) reads CURRENT, the diffuse
    // alpha; stage 1 modulates by the factor.  Only a colour operation on the
    // missing texture would end the cascade.
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80FF8040);
    stage(0, D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_SPECULAR, D3DTOP_SELECTARG1);
    stage(1, D3DTOP_MODULATE, D3DTA_CURRENT, D3DTA_TFACTOR, D3DTOP_DISABLE);
    auto drawnWithSpecular = [&] {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        device->BeginScene();
        drawQuad(0, 0, 16, 16, 0xC0402010, 0x00404040);
        device->EndScene();
        return pixel(pixels(), 8, 8);
    };
    // (40 + 40, 20 + 40, 10 + 40) x (FF, 80, 40) / FF, alpha C0
    EXPECT_PRED2(closeTo, drawnWithSpecular(), 0xC0803014u);
    // An alpha operation on the texture and the factor: the diffuse alpha
    // stands in for the texture's, C0 x 80 / FF.
    stage(0, D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_SPECULAR, D3DTOP_MODULATE, D3DTA_TEXTURE,
          D3DTA_TFACTOR);
    EXPECT_PRED2(closeTo, drawnWithSpecular(), 0x60803014u);
    // Premultiplied blend by the missing texture's alpha: the current alpha,
    // factor + diffuse x (1 - C0 / FF).
    stage(0, D3DTOP_ADD, D3DTA_DIFFUSE, D3DTA_SPECULAR, D3DTOP_BLENDTEXTUREALPHAPM, D3DTA_TFACTOR,
          D3DTA_DIFFUSE);
    EXPECT_PRED2(closeTo, drawnWithSpecular(), 0xB0803014u);
}

struct BlendTest : GlDeviceTest {
    uint32_t blended(uint32_t source, uint32_t sourceFactor, uint32_t destFactor,
                     uint32_t op = D3DBLENDOP_ADD) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF404040, 1.0f, 0);
        device->SetRenderState(D3DRS_LIGHTING, 0);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_SRCBLEND, sourceFactor);
        device->SetRenderState(D3DRS_DESTBLEND, destFactor);
        device->SetRenderState(D3DRS_BLENDOP, op);
        device->BeginScene();
        drawQuad(0, 0, 64, 64, source);
        device->EndScene();
        return pixel(pixels(), 20, 20) & 0xFFFFFF;
    }
};

TEST_F(BlendTest, EveryFactorPairTheProgramUses) {
    const uint32_t half = 0x80C08040, quarter = 0x40C08040; // source alpha 0.5 and 0.25
    EXPECT_PRED2(closeTo, blended(half, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA), 0x806040u);
    EXPECT_PRED2(closeTo, blended(half, D3DBLEND_ONE, D3DBLEND_ONE), 0xFFC080u);
    EXPECT_PRED2(closeTo, blended(half, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR), 0x302010u);
    // Lines: src x (1 - dst) + dst, never darker than what lies below.
    EXPECT_PRED2(closeTo, blended(half, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE), 0xD0A070u);
    // Grid: src x (1 - a) + dst x a.
    EXPECT_PRED2(closeTo, blended(quarter, D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA), 0xA07040u);
    // Rings: src + dst x a.
    EXPECT_PRED2(closeTo, blended(quarter, D3DBLEND_ONE, D3DBLEND_SRCALPHA), 0xD09050u);
    // Stars: MAX ignores the factors.
    EXPECT_PRED2(closeTo, blended(0x80200060, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE, D3DBLENDOP_MAX),
                 0x404060u);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->BeginScene();
    drawQuad(0, 0, 64, 64, half);
    device->EndScene();
    EXPECT_EQ(pixel(pixels(), 20, 20), 0xFFC08040u);
}

TEST_F(GlDeviceTest, AlphaTestComparesAlphaTimes255WithTheReference) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 32, 64, 0x07FFFFFF);  // alpha 7: rejected
    drawQuad(32, 0, 64, 64, 0x08FFFFFF); // alpha 8: kept
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 10, 10), 0xFF000000u);
    EXPECT_EQ(pixel(image, 50, 10), 0xFFFFFFFFu);
}

// The program's sphere: rows from the north pole, quads (c, d+1, c+1), (c, d, d+1).
void buildSphere(uint32_t slices, uint32_t stacks, std::vector<MeshVertex>& vertices,
                 std::vector<uint16_t>& indices) {
    const float dTheta = 3.1415927f / float(stacks), dPhi = 6.2831855f / float(slices);
    for (uint32_t j = 0; j <= stacks; ++j)
        for (uint32_t k = 0; k <= slices; ++k) {
            const float theta = float(j) * dTheta, phi = float(k) * dPhi;
            const float x = std::sin(phi) * std::sin(theta), y = std::cos(theta),
                        z = std::cos(phi) * std::sin(theta);
            vertices.push_back({x, y, z, -x, -y, -z, 1 - phi * 0.15915494f, theta * 0.31830987f});
        }
    for (uint32_t r = 0; r < stacks; ++r)
        for (uint32_t l = 0; l < slices; ++l) {
            const uint16_t c = uint16_t(r * (slices + 1) + l),
                           d = uint16_t((r + 1) * (slices + 1) + l);
            for (uint16_t index : {c, uint16_t(d + 1), uint16_t(c + 1), c, d, uint16_t(d + 1)})
                indices.push_back(index);
        }
}

// The sphere in managed vertex and index buffers.
void uploadSphere(Device* device, const std::vector<MeshVertex>& vertices,
                  const std::vector<uint16_t>& indices, VertexBuffer** vb, IndexBuffer** ib) {
    ASSERT_EQ(device->CreateVertexBuffer(uint32_t(vertices.size() * 32), D3DUSAGE_WRITEONLY, 0x112,
                                         D3DPOOL_MANAGED, vb),
              S_OK);
    ASSERT_EQ(device->CreateIndexBuffer(uint32_t(indices.size() * 2), D3DUSAGE_WRITEONLY,
                                        D3DFMT_INDEX16, D3DPOOL_MANAGED, ib),
              S_OK);
    uint8_t* data = nullptr;
    (*vb)->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), vertices.size() * 32);
    (*vb)->Unlock();
    (*ib)->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), indices.size() * 2);
    (*ib)->Unlock();
}

TEST_F(GlDeviceTest, CullCcwRemovesTheFarSideOfTheSphere) {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    buildSphere(16, 8, vertices, indices);
    VertexBuffer* vb = nullptr;
    IndexBuffer* ib = nullptr;
    ASSERT_NO_FATAL_FAILURE(uploadSphere(device, vertices, indices, &vb, &ib));

    // The near side (facing -z, toward the eye) has tu near 0.5, the far
    // side tu near 0 or 1: a texture red in the middle and blue at the ends.
    Texture* texture = makeTexture(4, 1, {0xFF0000FF, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF});
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye{0, 0, -3}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 10.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetVertexShader(0x112);
    device->SetStreamSource(0, vb, 32);
    device->SetIndices(ib, 0);
    auto centre = [&](uint32_t cull) {
        device->SetRenderState(D3DRS_CULLMODE, cull);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, uint32_t(vertices.size()), 0,
                                               uint32_t(indices.size() / 3)),
                  S_OK);
        device->EndScene();
        const auto image = pixels();
        EXPECT_EQ(pixel(image, 2, 2), 0xFF000000u); // outside the sphere
        return pixel(image, 32, 32);
    };
    EXPECT_EQ(centre(D3DCULL_CCW), 0xFFFF0000u); // the near hemisphere only
    EXPECT_EQ(centre(D3DCULL_CW), 0xFF0000FFu);  // the far one only

    // Indices past the buffer are refused, not read.
    const uint16_t bad = 999;
    uint8_t* data = nullptr;
    ib->Lock(0, 2, &data, 0);
    std::memcpy(data, &bad, 2);
    ib->Unlock();
    device->BeginScene();
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, uint32_t(vertices.size()), 0, 1),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 151, 1), D3DERR_INVALIDCALL);
    device->EndScene();
    texture->Release();
    ib->Release();
    vb->Release();
}

// A sphere a few pixels across goes to the rasteriser as only the triangles
// that may hold a pixel centre; every fragment must still come out.  Many
// small spheres at sub-pixel offsets, each fragment adding 0x10, drawn
// indexed (tested) and as a plain triangle list (drawn whole): the same sums.
TEST_F(GlDeviceTest, SmallIndexedSpheresDrawEveryFragmentOfTheirTriangles) {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    buildSphere(32, 16, vertices, indices);
    std::vector<MeshVertex> unindexed;
    for (uint16_t index : indices)
        unindexed.push_back(vertices[index]);
    VertexBuffer* vb = nullptr;
    IndexBuffer* ib = nullptr;
    ASSERT_NO_FATAL_FAILURE(uploadSphere(device, vertices, indices, &vb, &ib));

    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye{0, 0, -12}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.0f, 1.0f, 100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x10101010);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetVertexShader(0x112);
    device->SetStreamSource(0, vb, 32);
    device->SetIndices(ib, 0);

    uint32_t seed = 12345;
    auto random = [&seed] { // 0 .. 1
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    std::vector<D3DXMATRIX> worlds;
    for (int i = 0; i < 60; ++i) {
        D3DXMATRIX scale, turn, move, world;
        // 0.01 .. 1.5 units, 10 to 14 units off: a tenth of a pixel to ~20 pixels across.
        const float radius = 0.01f + 1.5f * random() * random();
        D3DXMatrixScaling(&scale, radius, radius, radius);
        const D3DXVECTOR3 axis{random() - 0.5f, random() - 0.5f, random() - 0.5f};
        D3DXMatrixRotationAxis(&turn, &axis, 6.3f * random());
        D3DXMatrixTranslation(&move, 10 * random() - 5, 10 * random() - 5, 4 * random() - 2);
        D3DXMatrixMultiply(&world, &scale, &turn);
        D3DXMatrixMultiply(&world, &world, &move);
        worlds.push_back(world);
    }
    auto drawAll = [&](uint32_t cull, bool indexed) {
        device->SetRenderState(D3DRS_CULLMODE, cull);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (const D3DXMATRIX& world : worlds) {
            device->SetTransform(D3DTS_WORLD, &world);
            if (indexed) {
                device->SetStreamSource(0, vb, 32);
                EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0,
                                                       uint32_t(vertices.size()), 0,
                                                       uint32_t(indices.size() / 3)),
                          S_OK);
            } else {
                EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST,
                                                  uint32_t(unindexed.size() / 3), unindexed.data(),
                                                  32),
                          S_OK);
            }
        }
        device->EndScene();
        return pixels();
    };
    for (uint32_t cull : {D3DCULL_CCW, D3DCULL_CW, D3DCULL_NONE}) {
        const auto whole = drawAll(cull, false);
        const auto tested = drawAll(cull, true);
        size_t lit = 0, differing = 0;
        for (size_t p = 0; p < whole.size(); ++p) {
            lit += whole[p] != 0xFF000000u;
            differing += whole[p] != tested[p];
        }
        EXPECT_GT(lit, 200u) << "cull mode " << cull;
        EXPECT_EQ(differing, 0u) << "cull mode " << cull;
    }
    ib->Release();
    vb->Release();
}

// A quad of MeshVertex in clip space (identity transforms), clockwise on screen.
void drawClipQuad(Device* device, float x0, float y0, float x1, float y1, float z,
                  D3DVECTOR normal) {
    const MeshVertex quad[6] = {{x0, y1, z, normal.x, normal.y, normal.z, 0, 0},
                                {x1, y1, z, normal.x, normal.y, normal.z, 1, 0},
                                {x0, y0, z, normal.x, normal.y, normal.z, 0, 1},
                                {x1, y1, z, normal.x, normal.y, normal.z, 1, 0},
                                {x1, y0, z, normal.x, normal.y, normal.z, 1, 1},
                                {x0, y0, z, normal.x, normal.y, normal.z, 0, 1}};
    device->SetVertexShader(0x112);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, quad, 32), S_OK);
}

TEST_F(GlDeviceTest, TransformedGeometryUsesDirect3DPixelCentres) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    // NDC -0.5 .. 0.5 on 64 pixels: screen 16 .. 48, pixels 16 .. 47.
    drawClipQuad(device, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f, {0, 0, -1});
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 16, 16), 0xFFFFFFFFu); // no vertex colour: opaque white
    EXPECT_EQ(pixel(image, 47, 47), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(image, 15, 30), 0xFF000000u);
    EXPECT_EQ(pixel(image, 48, 30), 0xFF000000u);
    EXPECT_EQ(pixel(image, 30, 15), 0xFF000000u);
    EXPECT_EQ(pixel(image, 30, 48), 0xFF000000u);
}

TEST_F(GlDeviceTest, DirectionalLightAmbientAndNormalisation) {
    D3DMATERIAL8 material;
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, 1}; // shines along +z: lights normals facing -z
    light.Range = 1000;
    device->SetLight(0, &light);
    device->LightEnable(0, 1);
    device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    auto lit = [&](D3DVECTOR normal) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        drawClipQuad(device, -1, -1, 1, 1, 0.5f, normal);
        device->EndScene();
        return pixel(pixels(), 32, 32);
    };
    // ambient 0x20 x 1 + diffuse x N.L, clamped per channel
    EXPECT_PRED2(closeTo, lit({0, 0, -1}), 0xFFA060FFu);
    EXPECT_PRED2(closeTo, lit({0, 0, 1}), 0xFF202020u); // facing away: ambient only
    // A world scale shrinks the normals; NORMALIZENORMALS restores them.
    D3DXMATRIX half;
    D3DXMatrixScaling(&half, 0.5f, 0.5f, 0.5f);
    device->SetTransform(D3DTS_WORLD, &half);
    EXPECT_PRED2(closeTo, lit({0, 0, -2}), 0xFFA060FFu); // unnormalised 2 x 0.5 = 1
    device->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
    EXPECT_PRED2(closeTo, lit({0, 0, -0.5f}), 0xFFA060FFu);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, 0);
    EXPECT_PRED2(closeTo, lit({0, 0, -0.5f}), 0xFF403060u); // N.L = 0.25
    // Light off: ambient only; LIGHTING off: white.
    device->LightEnable(0, 0);
    EXPECT_PRED2(closeTo, lit({0, 0, -2}), 0xFF202020u);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    EXPECT_EQ(lit({0, 0, -2}), 0xFFFFFFFFu);
}

struct PointSpriteTest : GlDeviceTest {
    // Lit columns of row 32 after drawing one point at the centre.
    std::pair<int, int> litColumns(float size) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        const PointVertex point{0, 0, 0.5f, size, 0xFFFFFFFF};
        device->SetVertexShader(0x62);
        device->BeginScene();
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), S_OK);
        device->EndScene();
        const auto image = pixels();
        int first = -1, last = -1;
        for (int x = 0; x < 64; ++x)
            if (pixel(image, uint32_t(x), 32) != 0xFF000000u) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};

TEST_F(PointSpriteTest, SizeFollowsTheScaleFormulaAndItsClamp) {
    // The device's limit comes from the core point-size query; a limit of 1
    // would make every star one pixel.
    D3DCAPS8 caps{};
    ASSERT_EQ(device->GetDeviceCaps(&caps), S_OK);
    EXPECT_GE(caps.MaxPointSize, 8.0f);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    // Unscaled: PSIZE pixels, centred on pixel 32 (D3D centre 32.0).
    EXPECT_EQ(litColumns(4), std::make_pair(30, 33));
    // Scaled: S = Vh x size x sqrt(1 / (A + B De + C De^2)) = 64 x 0.0625 / 0.5 = 8.
    device->SetRenderState(D3DRS_POINTSCALEENABLE, 1);
    device->SetRenderState(D3DRS_POINTSCALE_A, floatBits(0));
    device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0));
    device->SetRenderState(D3DRS_POINTSCALE_C, floatBits(1));
    EXPECT_EQ(litColumns(0.0625f), std::make_pair(28, 35));
    // Clamped to POINTSIZE_MAX; A = B = C = 0 gives the maximum.
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(6));
    EXPECT_EQ(litColumns(0.0625f), std::make_pair(29, 34));
    device->SetRenderState(D3DRS_POINTSCALE_C, floatBits(0));
    EXPECT_EQ(litColumns(0.0625f), std::make_pair(29, 34));
}

TEST_F(PointSpriteTest, PointsOfSizeZeroAfterTheClampDrawNothing) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    // Size 0 is first clamped to POINTSIZE_MIN (1): one pixel.
    EXPECT_EQ(litColumns(0), std::make_pair(32, 32));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(0));
    EXPECT_EQ(litColumns(0), std::make_pair(-1, -1));
    EXPECT_EQ(litColumns(-2), std::make_pair(-1, -1));
    EXPECT_EQ(litColumns(1), std::make_pair(32, 32)); // other points keep their pixels
    EXPECT_EQ(litColumns(4), std::make_pair(30, 33));
    // Without PSIZE in the format the size is D3DRS_POINTSIZE.
    struct ColouredVertex { // XYZ | DIFFUSE (0x42)
        float x, y, z;
        uint32_t colour;
    };
    const ColouredVertex point{0, 0, 0.5f, 0xFFFFFFFF};
    auto centre = [&](float size) {
        device->SetRenderState(D3DRS_POINTSIZE, floatBits(size));
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->SetVertexShader(0x42);
        device->BeginScene();
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), S_OK);
        device->EndScene();
        return pixel(pixels(), 32, 32);
    };
    EXPECT_EQ(centre(0), 0xFF000000u);
    EXPECT_EQ(centre(1), 0xFFFFFFFFu);
}

TEST_F(PointSpriteTest, SpriteTextureRunsFromTopLeft) {
    Texture* texture = makeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    litColumns(8); // covers 28 .. 35 both ways
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 29, 29), 0xFFFF0000u);
    EXPECT_EQ(pixel(image, 34, 29), 0xFF00FF00u);
    EXPECT_EQ(pixel(image, 29, 34), 0xFF0000FFu);
    EXPECT_EQ(pixel(image, 34, 34), 0xFFFFFFFFu);
    texture->Release();
}

TEST_F(GlDeviceTest, WireframeDrawsEdgesOnly) {
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    drawQuad(10, 10, 50, 50, 0xFFFFFFFF);
    device->EndScene();
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 20, 40), 0xFF000000u); // inside both triangles
    int edge = 0;
    for (uint32_t y = 12; y < 48; ++y)
        edge += pixel(image, 10, y) == 0xFFFFFFFFu;
    EXPECT_GT(edge, 30); // the left edge is drawn
}

TEST_F(GlDeviceTest, MipFilterNoneSamplesLevelZeroOnly) {
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 2, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    for (uint32_t level = 0; level < 2; ++level) {
        D3DLOCKED_RECT locked;
        texture->LockRect(level, &locked, nullptr, 0);
        const uint32_t colour = level == 0 ? 0xFFFF0000 : 0xFF00FF00;
        for (uint32_t y = 0; y < (4u >> level); ++y)
            for (uint32_t x = 0; x < (4u >> level); ++x)
                static_cast<uint32_t*>(static_cast<void*>(static_cast<uint8_t*>(locked.pBits) +
                                                          y * uint32_t(locked.Pitch)))[x] = colour;
        texture->UnlockRect(level);
    }
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    auto sampled = [&](uint32_t mipFilter) {
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, mipFilter);
        device->BeginScene();
        drawQuad(0, 0, 2, 2, 0xFFFFFFFF); // 4 texels on 2 pixels: level 1 with mip maps
        device->EndScene();
        return pixel(pixels(), 0, 0);
    };
    EXPECT_EQ(sampled(D3DTEXF_NONE), 0xFFFF0000u);
    EXPECT_EQ(sampled(D3DTEXF_POINT), 0xFF00FF00u);
    texture->Release();
}

TEST_F(GlDeviceTest, MaxMipLevelAndLodBiasChooseTheLevelSampled) {
    // Levels 0, 1, 2 of a 4 x 4 texture: red, green, blue.
    Texture* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 3, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (uint32_t level = 0; level < 3; ++level) {
        D3DLOCKED_RECT locked;
        texture->LockRect(level, &locked, nullptr, 0);
        for (uint32_t y = 0; y < (4u >> level); ++y)
            for (uint32_t x = 0; x < (4u >> level); ++x)
                static_cast<uint32_t*>(static_cast<void*>(static_cast<uint8_t*>(locked.pBits) +
                                                          y * uint32_t(locked.Pitch)))[x] =
                    colours[level];
        texture->UnlockRect(level);
    }
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    // Quads of 4 x 4 pixels (level 0 by size) and 2 x 2 pixels (level 1).
    auto sampled = [&](uint32_t maxMipLevel, float bias) {
        device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, maxMipLevel);
        device->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, floatBits(bias));
        device->BeginScene();
        drawQuad(0, 0, 4, 4, 0xFFFFFFFF);
        drawQuad(8, 0, 10, 2, 0xFFFFFFFF);
        device->EndScene();
        const auto image = pixels();
        return std::make_pair(pixel(image, 1, 1), pixel(image, 8, 0));
    };
    const uint32_t red = colours[0], green = colours[1], blue = colours[2];
    EXPECT_EQ(sampled(0, 0), std::make_pair(red, green));
    // MAXMIPLEVEL n: level n is the most detailed one used; past the chain, its last.
    EXPECT_EQ(sampled(1, 0), std::make_pair(green, green));
    EXPECT_EQ(sampled(2, 0), std::make_pair(blue, blue));
    EXPECT_EQ(sampled(7, 0), std::make_pair(blue, blue));
    // The bias moves the level chosen, towards less detail when positive.
    EXPECT_EQ(sampled(0, 1), std::make_pair(green, blue));
    EXPECT_EQ(sampled(0, -1), std::make_pair(red, red));
    EXPECT_EQ(sampled(1, -1), std::make_pair(green, green));
    texture->Release();
}

TEST_F(GlDeviceTest, SixteenBitAndMultisampledBackBuffers) {
    device->Release();
    device = nullptr;
    d3d->Release();
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    parameters.MultiSampleType = 4;
    createDevice(parameters);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    device->BeginScene();
    drawQuad(0, 0, 32, 64, 0xFF0000FF);
    device->EndScene();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    const auto image = pixels();
    EXPECT_EQ(pixel(image, 10, 10), 0xFF0000FFu);
    EXPECT_EQ(pixel(image, 50, 10), 0xFFFF0000u);
    D3DCAPS8 caps;
    device->GetDeviceCaps(&caps);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 1, 64),
              D3DERR_NOTAVAILABLE);
}

} // namespace
