// gfxscene [out.png] [frames]: draws a fixed scene through gfx::Device over
// OpenGL, off screen, and writes the back buffer as a PNG.  With a frame
// count it also redraws the scene that many times and prints the mean time
// per frame (the drawing only, Present included).
//
// The scene uses the program's vertex formats and states: a sphere of
// MeshVertex (inward normals, lit by a directional light, banded texture),
// a ring half-annulus strip blended with ONE / SRCALPHA, star point sprites
// with MAX blending and point scaling, and a pre-transformed textured quad.
#include "gfx/device/Direct3D.h"
#include "gfx/device/Lighting.h"
#include "gfx/gl/GlDevice.h"
#include "gfx/math/Math.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace gfx;

namespace {

constexpr uint32_t sceneWidth = 512, sceneHeight = 384;

struct MeshVertex {
    float x, y, z, nx, ny, nz, tu, tv;
};
struct StarVertex {
    float x, y, z, size;
    uint32_t colour;
};
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float tu, tv;
};

// A texture filled texel by texel from a function of (x, y).
template <class Fill>
Texture* makeTexture(Device* device, uint32_t width, uint32_t height, uint32_t levels, Fill fill) {
    Texture* texture = nullptr;
    if (FAILED(device->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     &texture)))
        return nullptr;
    for (uint32_t level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked;
        texture->LockRect(level, &locked, nullptr, 0);
        for (uint32_t y = 0; y < desc.Height; ++y) {
            auto* row = static_cast<uint32_t*>(static_cast<void*>(
                static_cast<uint8_t*>(locked.pBits) + y * uint32_t(locked.Pitch)));
            for (uint32_t x = 0; x < desc.Width; ++x)
                row[x] =
                    fill(float(x + 0.5f) / float(desc.Width), float(y + 0.5f) / float(desc.Height));
        }
        texture->UnlockRect(level);
    }
    return texture;
}

uint32_t argb(float a, float r, float g, float b) {
    auto c = [](float v) {
        return uint32_t(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    return c(a) << 24 | c(r) << 16 | c(g) << 8 | c(b);
}

struct Scene {
    Device* device = nullptr;
    VertexBuffer* sphereVertices = nullptr;
    IndexBuffer* sphereIndices = nullptr;
    VertexBuffer* ringVertices = nullptr;
    Texture* planet = nullptr;
    Texture* ring = nullptr;
    Texture* star = nullptr;
    Texture* panel = nullptr;
    uint32_t sphereVertexCount = 0, sphereTriangles = 0;
    std::vector<StarVertex> stars;

    bool create();
    void draw();
    void release();
};

bool Scene::create() {
    // Sphere of 32 slices x 16 stacks, rows from the north pole, normals inward.
    const uint32_t slices = 32, stacks = 16;
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    for (uint32_t j = 0; j <= stacks; ++j)
        for (uint32_t k = 0; k <= slices; ++k) {
            const float theta = float(j) * 3.1415927f / stacks,
                        phi = float(k) * 6.2831855f / slices;
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
    sphereVertexCount = uint32_t(vertices.size());
    sphereTriangles = uint32_t(indices.size() / 3);
    uint8_t* data = nullptr;
    if (FAILED(device->CreateVertexBuffer(uint32_t(vertices.size() * 32), D3DUSAGE_WRITEONLY, 0x112,
                                          D3DPOOL_MANAGED, &sphereVertices)) ||
        FAILED(device->CreateIndexBuffer(uint32_t(indices.size() * 2), D3DUSAGE_WRITEONLY,
                                         D3DFMT_INDEX16, D3DPOOL_MANAGED, &sphereIndices)))
        return false;
    sphereVertices->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), vertices.size() * 32);
    sphereVertices->Unlock();
    sphereIndices->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), indices.size() * 2);
    sphereIndices->Unlock();

    // Ring: the upper strip of a half-annulus in y = 0, clockwise from +y.
    std::vector<MeshVertex> ringStrip;
    for (int j = 0; j <= 30; ++j) {
        const float a = float(j) * 0.10471976f * 2, tu = float(j) / 30.0f;
        ringStrip.push_back({2.5358f * std::cos(a), 0, 2.5358f * std::sin(a), 0, -1, 0, tu, 0});
        ringStrip.push_back({1.2345f * std::cos(a), 0, 1.2345f * std::sin(a), 0, -1, 0, tu, 1});
    }
    if (FAILED(device->CreateVertexBuffer(uint32_t(ringStrip.size() * 32), D3DUSAGE_WRITEONLY,
                                          0x112, D3DPOOL_MANAGED, &ringVertices)))
        return false;
    ringVertices->Lock(0, 0, &data, 0);
    std::memcpy(data, ringStrip.data(), ringStrip.size() * 32);
    ringVertices->Unlock();

    // Planet: latitude bands with a grid; ring: bands whose alpha is the
    // transmission; star: a soft disc; panel: a diagonal gradient with a frame.
    planet = makeTexture(device, 256, 128, 0, [](float u, float v) {
        const float band = 0.5f + 0.5f * std::sin(v * 40.0f);
        const bool grid = std::fmod(u * 16, 1.0f) < 0.06f || std::fmod(v * 8, 1.0f) < 0.06f;
        return grid ? argb(1, 0.9f, 0.9f, 0.9f)
                    : argb(1, 0.8f * band + 0.2f, 0.5f * band + 0.2f, 0.3f);
    });
    ring = makeTexture(device, 64, 16, 1, [](float, float v) {
        const float density = 0.5f + 0.5f * std::sin(v * 30.0f);
        return argb(1 - 0.8f * density, 0.7f * density, 0.6f * density, 0.45f * density);
    });
    star = makeTexture(device, 32, 32, 1, [](float u, float v) {
        const float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2;
        const float i = std::fmax(0.0f, 1 - d);
        return argb(1, i * i, i * i, i * i);
    });
    panel = makeTexture(device, 64, 64, 1, [](float u, float v) {
        const bool frame = u < 0.06f || u > 0.94f || v < 0.06f || v > 0.94f;
        return frame ? argb(1, 1, 1, 1) : argb(0.75f, u, 0.3f, v);
    });
    if (!planet || !ring || !star || !panel) return false;

    // Stars: a ring of points around the view at various sizes and colours.
    for (int i = 0; i < 60; ++i) {
        const float a = float(i) * 0.37f, e = std::sin(float(i) * 1.7f) * 0.6f;
        const uint32_t colour = i % 3 == 0 ? 0xFFFFD0A0 : i % 3 == 1 ? 0xFFA0C0FF : 0xFFFFFFFF;
        stars.push_back({std::cos(a) * std::cos(e), std::sin(e), std::fabs(std::sin(a)) + 0.3f,
                         0.01f + 0.004f * float(i % 5), colour});
    }
    return true;
}

void Scene::draw() {
    Device& d = *device;
    d.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000010, 1.0f, 0);
    d.BeginScene();
    d.SetRenderState(D3DRS_NORMALIZENORMALS, 1);
    d.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    for (uint32_t stage = 0; stage < 3; ++stage) {
        d.SetTextureStageState(stage, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        d.SetTextureStageState(stage, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    }
    D3DXMATRIX identity, view, projection, world;
    D3DXMatrixIdentity(&identity);
    const D3DXVECTOR3 eye{0, 1.6f, -5}, at{0, 0, 0}, up{0, 1, 0};
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.8f, float(sceneWidth) / float(sceneHeight), 0.5f, 50);
    d.SetTransform(D3DTS_PROJECTION, &projection);

    // Stars: on the sky around the viewer (view rotation only), MAX blending.
    d.SetTransform(D3DTS_WORLD, &identity);
    d.SetTransform(D3DTS_VIEW, &identity);
    d.SetRenderState(D3DRS_LIGHTING, 0);
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
    d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVDESTCOLOR);
    d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    d.SetRenderState(D3DRS_POINTSPRITEENABLE, 1);
    d.SetRenderState(D3DRS_POINTSCALEENABLE, 1);
    d.SetRenderState(D3DRS_POINTSCALE_A, floatBits(0));
    d.SetRenderState(D3DRS_POINTSCALE_B, floatBits(0));
    d.SetRenderState(D3DRS_POINTSCALE_C, floatBits(0.0f));
    d.SetRenderState(D3DRS_POINTSCALE_A, floatBits(1.0f));
    d.SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(0));
    d.SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(0.1f * sceneHeight));
    d.SetTexture(0, star);
    d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    d.SetVertexShader(0x62);
    d.DrawPrimitiveUP(D3DPT_POINTLIST, uint32_t(stars.size()), stars.data(), sizeof(StarVertex));
    d.SetRenderState(D3DRS_POINTSPRITEENABLE, 0);
    d.SetRenderState(D3DRS_POINTSCALEENABLE, 0);
    d.SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);

    // Ring, far half: drawn before the planet.
    d.SetTransform(D3DTS_VIEW, &view);
    D3DXMATRIX tilt;
    D3DXMatrixRotationX(&tilt, 0.35f);
    D3DXMATRIX flip;
    D3DXMatrixRotationY(&flip, 3.1415927f);
    D3DXMATRIX farHalf;
    D3DXMatrixMultiply(&farHalf, &flip, &tilt);
    auto drawRing = [&](const D3DXMATRIX& placement) {
        d.SetTransform(D3DTS_WORLD, &placement);
        d.SetRenderState(D3DRS_LIGHTING, 0);
        d.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
        d.SetTexture(0, ring);
        d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        d.SetVertexShader(0x112);
        d.SetStreamSource(0, ringVertices, 32);
        d.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 60);
        d.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    };
    drawRing(farHalf);

    // Planet: lit by a directional light from the upper left.
    D3DXMatrixRotationY(&world, 0.6f);
    D3DXMATRIX placed;
    D3DXMatrixMultiply(&placed, &world, &tilt);
    d.SetTransform(D3DTS_WORLD, &placed);
    D3DLIGHT8 light;
    fillLight(light, D3DLIGHT_DIRECTIONAL, -1.0f, 0.6f, -0.4f); // toward the sun
    d.SetLight(0, &light);
    d.LightEnable(0, 1);
    D3DMATERIAL8 material;
    fillMaterial(material, 1, 1, 1, 1);
    d.SetMaterial(&material);
    d.SetRenderState(D3DRS_LIGHTING, 1);
    d.SetRenderState(D3DRS_AMBIENT, 0xFF101010);
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    d.SetTexture(0, planet);
    d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_FLATCUBIC);
    d.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    d.SetVertexShader(0x112);
    d.SetStreamSource(0, sphereVertices, 32);
    d.SetIndices(sphereIndices, 0);
    d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, sphereVertexCount, 0, sphereTriangles);

    // Ring, near half: over the planet.
    drawRing(tilt);

    // A pre-transformed panel in the corner, alpha blended and alpha tested.
    d.SetRenderState(D3DRS_LIGHTING, 0);
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d.SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    d.SetRenderState(D3DRS_ALPHAREF, 8);
    d.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d.SetTexture(0, panel);
    d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    d.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    const float x0 = 16, y0 = 16, x1 = 144, y1 = 112;
    const ScreenVertex quad[4] = {{x0 - 0.5f, y1 - 0.5f, 0.9f, 1, 0xFFFFFFFF, 0, 0, 1},
                                  {x0 - 0.5f, y0 - 0.5f, 0.9f, 1, 0xFFFFFFFF, 0, 0, 0},
                                  {x1 - 0.5f, y1 - 0.5f, 0.9f, 1, 0xFFFFFFFF, 0, 1, 1},
                                  {x1 - 0.5f, y0 - 0.5f, 0.9f, 1, 0xFFFFFFFF, 0, 1, 0}};
    d.SetVertexShader(0x1C4);
    d.DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
    d.SetRenderState(D3DRS_ALPHATESTENABLE, 0);
    d.EndScene();
}

void Scene::release() {
    for (Texture** texture : {&planet, &ring, &star, &panel})
        releaseAndNull(*texture);
    releaseAndNull(ringVertices);
    releaseAndNull(sphereIndices);
    releaseAndNull(sphereVertices);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const char* out = argc > 1 ? argv[1] : "gfxscene.png";
    const int frames = argc > 2 ? std::atoi(argv[2]) : 0;
    Direct3D* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!d3d) {
        std::fprintf(stderr, "gfxscene: no OpenGL 3.3 core context\n");
        return 1;
    }
    D3DPRESENT_PARAMETERS parameters;
    parameters.BackBufferWidth = sceneWidth;
    parameters.BackBufferHeight = sceneHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.MultiSampleType = 4;
    parameters.Windowed = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    Scene scene;
    HRESULT hr = d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &parameters, &scene.device);
    if (FAILED(hr) || !scene.create()) {
        std::fprintf(stderr, "gfxscene: device or scene creation failed (0x%08X)\n", uint32_t(hr));
        return 1;
    }
    scene.draw();
    scene.device->Present(nullptr, nullptr, nullptr, nullptr);
    if (frames > 0) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < frames; ++i) {
            scene.draw();
            scene.device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        std::vector<uint32_t> sync;
        uint32_t w = 0, h = 0;
        static_cast<gl::GlDevice*>(scene.device)->readBackBuffer(sync, w, h); // waits for the GPU
        std::printf("%d frames, %.2f ms per frame\n", frames,
                    double(timer.nsecsElapsed()) / 1e6 / frames);
    }
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    static_cast<gl::GlDevice*>(scene.device)->readBackBuffer(pixels, width, height);
    QImage image(reinterpret_cast<const uchar*>(pixels.data()), int(width), int(height),
                 QImage::Format_ARGB32);
    const bool saved = image.copy().save(out);
    scene.release();
    scene.device->Release();
    d3d->Release();
    if (!saved) {
        std::fprintf(stderr, "gfxscene: could not write %s\n", out);
        return 1;
    }
    std::printf("wrote %s (%ux%u)\n", out, width, height);
    return 0;
}
